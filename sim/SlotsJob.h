#pragma once
// The receiver's 63 memory slots: each read answers with the next slot's block,
// a write stores one record, a clear is a write of zeros.
//
//   0x10                         -> 0C 01 00 00  10 00 00 00  <slot, 4 bytes>  <256 record bytes>
//   0x11 <slot> 00 00 <256 bytes> -> 08 00 00 00  00 00 00 00   stored
//
// The fault switches name a slot: what goes wrong is seen in that slot.

#include <array>

#include "Job.h"

namespace dzsim {

class SlotsJob final : public Job {
public:
    static constexpr int kSlots = 63;
    static constexpr int kRecordSize = 256;

    SlotsJob();

    // The stored records, slot k at index k - 1, seeded with a realistic set.
    std::array<Bytes, kSlots> records;
    // The slot whose block the next read brings.
    int nextRead = 1;

    bool shortBlocks = false;  // blocks of 256 bytes: the last 8 record bytes are not carried
    int wrongLengthSlot = -1;  // this slot's block is 260 bytes long
    int outOfRangeSlot = -1;   // this slot's block carries the slot number 64
    int missingSlot = -1;      // this slot's block is never sent; the next read brings the next slot
    int busyWriteSlot = -1;    // a write to this slot is answered 85 and not stored
    int wrongStoreSlot = -1;   // a write to this slot is acknowledged but stored with its name's first byte changed

    // The records as they are at start.
    static std::array<Bytes, kSlots> seedRecords();

    std::size_t requestLength(uint8_t code) const override;
    void handle(const Bytes& request, Replies& replies) override;

private:
    void read(Replies& replies);
    void write(const Bytes& request, Replies& replies);
};

}  // namespace dzsim
