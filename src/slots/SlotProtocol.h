#pragma once
// The memory-slot requests and the slot block that answers a read.
//
//   program:  10                                    read: the receiver answers with its next slot
//   receiver: 0C 01 00 00  10 00 00 00  05 00 00 00  <256 record bytes>
//             frame of 268 bytes: a slot block for slot 5 with its whole record
//   program:  11 05 00 00  <256 record bytes>        write slot 5
//   receiver: 08 00 00 00  00 00 00 00               acknowledged (record code 0)
//   program:  11 05 00 00  <256 zero bytes>          clear slot 5
//
// Some receivers send the block in 256 bytes, code to record byte 247: the last
// 8 record bytes are not carried.

#include <array>
#include <cstdint>
#include <optional>

#include "slots/SlotRecord.h"

namespace dz {

namespace slotRequest {
constexpr uint8_t kRead = 0x10;
constexpr uint8_t kWrite = 0x11;
constexpr int kWriteLength = 4 + slot::kRecordSize;  // 260
}  // namespace slotRequest

using SlotWriteRequest = std::array<uint8_t, slotRequest::kWriteLength>;

SlotWriteRequest slotWriteRequest(int slot, const SlotRecord& record);
// A write of zeros.
SlotWriteRequest slotClearRequest(int slot);

// A received slot block: which slot, and the record bytes it carries (from the
// record's first byte; they point into the payload).
struct SlotBlock {
    static constexpr int kHeader = 8;                           // code, 3 bytes, slot number (32 bits)
    static constexpr int kWhole = kHeader + slot::kRecordSize;  // 264
    static constexpr int kShort = slot::kRecordSize;            // 256: 248 record bytes

    int slot = 0;
    const uint8_t* record = nullptr;
    int carried = 0;
};

// Reads the block at `payload` (its record code first; `count` bytes received from
// there). Nothing for any length but 264 and 256 or a slot number outside 1 to 63.
// Never reads past `count`.
std::optional<SlotBlock> parseSlotBlock(const uint8_t* payload, int count);

}  // namespace dz
