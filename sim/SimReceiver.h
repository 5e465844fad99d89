#pragma once
// A simulated KAV Dizuro receiver on a real TCP socket. It runs its own thread
// and serves any number of connections one after another or side by side; the
// program cannot tell it from the device. Tests reach its state under its lock
// with with(), and break its answers with the fault layer.

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "Faults.h"
#include "Job.h"
#include "ScanJob.h"
#include "SlotsJob.h"
#include "SyncJob.h"
#include "UpdateJob.h"

namespace dzsim {

struct Stats {
    uint64_t connections = 0;
    uint64_t requests = 0;               // every request, whatever its kind
    std::map<uint8_t, uint64_t> byCode;  // requests by their first byte
    uint64_t ignoredBytes = 0;           // bytes that began no known request
    uint64_t randomFaults = 0;           // answers that went wrong at random
    bool keepLog = false;                // when set, every request is kept in `log`
    std::vector<Bytes> log;
};

// Everything the receiver knows. Jobs keep their own state here.
struct SimState {
    Faults faults;
    int faultRequests = 0;  // requests since the faults were set
    std::mt19937 random;    // picks the random faults; seeded when the faults are set
    Stats stats;
    SyncJob sync;
    UpdateJob update;
    ScanJob scan;
    SlotsJob memory;

    // Update blocks begin with a byte of 0x80 or more and go first while an update runs.
    std::vector<Job*> jobs() { return {&sync, &update, &scan, &memory}; }
};

class SimReceiver {
public:
    SimReceiver();
    ~SimReceiver();
    SimReceiver(const SimReceiver&) = delete;
    SimReceiver& operator=(const SimReceiver&) = delete;

    // Listens on host:port (port 0: a free one) and starts serving. Only loopback
    // addresses are accepted. False, with the reason in error(), on failure.
    bool start(const std::string& host = "127.0.0.1", uint16_t port = 0);
    void stop();

    uint16_t port() const { return m_port; }
    const std::string& host() const { return m_host; }
    const std::string& error() const { return m_error; }

    // Runs `f` on the receiver's state under its lock.
    template <class F>
    auto with(F&& f)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return f(m_state);
    }

    // Sets the faults and restarts their request count.
    void setFaults(const Faults& faults);
    Stats stats();
    // Closes every open connection at once, as a receiver that is switched off.
    void dropConnections();

private:
    struct Pending {
        int64_t dueUs;
        Bytes bytes;
        bool close = false;
    };
    struct Connection {
        int fd = -1;
        Bytes input;
        std::deque<Pending> output;  // in order of dueUs; taken from the front, so not a vector
        int64_t lastDueUs = 0;
        bool closing = false;
    };

    void run();
    void accept();
    void readFrom(Connection& c);
    void serve(Connection& c);
    void answer(Connection& c, Replies& replies, int requestNumber, RandomFault randomFault);
    RandomFault pickRandomFault();
    void flush(Connection& c, int64_t nowUs);
    void closeConnection(Connection& c);
    int nextTimeoutMs(int64_t nowUs) const;

    std::mutex m_mutex;
    SimState m_state;
    std::vector<Connection> m_connections;
    int m_listenFd = -1;
    int m_wakeFd = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_dropAll{false};
    std::thread m_thread;
    std::string m_host;
    uint16_t m_port = 0;
    std::string m_error;
};

}  // namespace dzsim
