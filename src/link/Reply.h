#pragma once
// What one exchange brought: a frame's payload, or why the wait ended without one.

#include <cstdint>
#include <span>
#include <vector>

namespace dz {

// How a frame's payload is taken: walked record by record (reply codes, the version
// record, slot blocks); walked, frame after frame, until one brings a reply code or a
// slot block; or whole (a scan's status and column records).
enum class Reading { Records, Answer, Whole };

struct Reply {
    enum class End {
        Frame,          // a frame came; its payload is below
        Timeout,        // the watchdog fired first
        LinkLost,       // the link went down, or was down
        Refused,        // nothing was sent: no claim, or the link is down
        BadFrame,       // a length field no frame can have
        UnknownRecord,  // a record code the link does not know ends the exchange
        Interrupted,    // the holder asked to stop waiting (a user's cancel)
        Closed,         // the window is closing
    };

    End end = End::Refused;
    std::span<const uint8_t> payload;    // valid until the next call on the link
    std::vector<int> codes;              // reply codes 0, 85, 90 in the order they came
    std::span<const uint8_t> slotBlock;  // record 16 and what follows it, if any

    bool ok() const { return end == End::Frame; }
    // The code an operation acts on: the last one, -1 when none came.
    int code() const { return codes.empty() ? -1 : codes.back(); }
};

}  // namespace dz
