#pragma once
// One job of the simulated receiver: the requests of one kind (sync and version,
// update, scan, memory slots), with the job's own state machine. The receiver
// cuts the request stream by asking each job how long a request starting with
// a given code is; the job then answers it with frames.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dzsim {

using Bytes = std::vector<uint8_t>;

// The answers to one request, in order.
class Replies {
public:
    struct Item {
        Bytes bytes;      // a whole frame, length field included
        int delayMs = 0;  // after the previous item (or after the request)
    };

    // A frame carrying `payload`: 2-byte little-endian length, 2 unused bytes, payload.
    void frame(const Bytes& payload, int delayMs = 0);
    // Bytes written exactly as given: for frames that break the rules.
    void raw(Bytes bytes, int delayMs = 0) { m_items.push_back({std::move(bytes), delayMs}); }
    // Closes the connection after the answers.
    void closeConnection() { m_close = true; }

    std::vector<Item>& items() { return m_items; }
    bool closes() const { return m_close; }
    void clear()
    {
        m_items.clear();
        m_close = false;
    }

private:
    std::vector<Item> m_items;
    bool m_close = false;
};

class Job {
public:
    virtual ~Job() = default;
    // The length of the request that begins with `code`, 0 when it is not this job's.
    virtual std::size_t requestLength(uint8_t code) const = 0;
    virtual void handle(const Bytes& request, Replies& replies) = 0;
};

Bytes makeFrame(const Bytes& payload);

}  // namespace dzsim
