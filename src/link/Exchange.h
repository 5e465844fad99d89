#pragma once
// The state of the one exchange with the receiver that runs at a time. Only the
// link reads and writes it; operations see what an exchange brought as a Reply.

#include <array>
#include <cstdint>
#include <string>

namespace dz {

struct Exchange {
    // Frames are at most this long, and the receive path uses only this much of RxBuffer.
    static constexpr int kRxUsed = 1024;

    uint8_t Busy = 0;        // a wait for the receiver runs; whatever ends it clears this
    int32_t ReplyCode = 0;   // why the last wait ended when no frame ended it (reply::)
    std::string StatusText;  // what the watchdog says when it ends a wait
    std::array<uint8_t, 2048> RxBuffer{};
    int32_t RxCount = 0;      // bytes held in RxBuffer, from its first byte
    int32_t FrameLength = 0;  // length of the frame at the start of RxBuffer; 0 while unread
    uint8_t ScanActive = 0;   // the frames are a scan's: handed out whole, not walked
};

// Reply codes that are not record codes.
namespace reply {
constexpr int32_t kAwaited = -1;
constexpr int32_t kNackQueue = 4;  // update start answered without acceptance
constexpr int32_t kTimeout = 5;    // the watchdog expired
constexpr int32_t kBadRecord = 6;  // a scan column out of order or of the wrong length
}  // namespace reply

inline constexpr char kTimeoutText[] = "Timeout: Device doesn't respond!";

}  // namespace dz
