#pragma once
// The state of the one exchange with the receiver that runs at a time. Every
// operation reads and writes it directly, on the one thread; the main window
// (or whoever drives the link without a window) owns it.

#include <array>
#include <cstdint>
#include <string>

namespace dz {

struct Exchange {
    // Frames are at most this long, and the receive paths use only this much of RxBuffer.
    static constexpr int kRxUsed = 1024;

    uint8_t Busy = 0;        // an exchange runs; every receive loop goes on only while it is 1
    int32_t ReplyCode = 0;   // outcome of the exchange; -1 while a reply is awaited
    std::string StatusText;  // what the running operation shows when it ends
    std::array<uint8_t, 2048> RxBuffer{};
    int32_t RxCount = 0;      // bytes held in RxBuffer, from its first byte
    int32_t FrameLength = 0;  // length of the frame at the start of RxBuffer; 0 while unread
    uint8_t ScanActive = 0;   // a display scan runs: payloads go whole to the scan

    // Counts the requests sent. A receive loop that pumped the event queue compares it
    // to see whether a nested request has taken the buffer over in the meantime.
    uint32_t RequestSerial = 0;
};

// Reply codes that are not record codes.
namespace reply {
constexpr int32_t kAwaited = -1;
constexpr int32_t kNackQueue = 4;  // update start answered without acceptance
constexpr int32_t kTimeout = 5;    // the watchdog expired
constexpr int32_t kBadRecord = 6;  // a scan column out of order or of the wrong length
}  // namespace reply

}  // namespace dz
