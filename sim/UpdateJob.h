#pragma once
// A software transfer at the receiver: the start request, the clearing of its
// memory, then name records and blocks, each checked and acknowledged.
//
//   0C <size LE32>     -> 90, then (after clearMs) 0
//   81..83 <4 bytes>   -> 0      three name records (pocket software only)
//   84.. 64 x (seq + 4 bytes) -> 0   record block, 320 bytes (pocket software)
//   09 <size LE32>     -> 90 ... 0   and 81.. <256 bytes> -> 0   LAN driver blocks, 257 bytes
//
// It reassembles the file (filler beyond the declared size dropped) and notes every
// sequence byte out of order, so tests can compare what arrived with what was sent.

#include <array>
#include <cstdint>

#include "Job.h"

namespace dzsim {

class UpdateJob final : public Job {
public:
    enum class Target { None, Pocket, Lan };

    // Settings
    int clearMs = 1200;        // how long clearing the memory takes
    uint8_t startAnswer = 90;  // the answer to a start request; 90 accepts
    int busyEvery = 0;         // every Nth request after the start is first answered 85
    int busyRepeats = 1;       // how many 85s before the real answer
    int busyGapMs = 5;         // between them

    // What has arrived in the current (or last) transfer
    Target target = Target::None;
    uint32_t declaredSize = 0;
    Bytes data;  // the file as reassembled
    std::array<uint8_t, 12> nameField{};
    int sequenceErrors = 0;           // sequence bytes that were not the expected one
    int requests = 0;                 // name records and blocks of this transfer
    int closingBlocks = 0;            // blocks after the file was complete
    bool closingBlocksFiller = true;  // and they carried filler only
    bool complete() const { return target != Target::None && data.size() >= declaredSize; }

    std::size_t requestLength(uint8_t code) const override;
    void handle(const Bytes& request, Replies& replies) override;

private:
    void checkSequence(uint8_t byte);
    void take(const uint8_t* bytes, std::size_t n);
    void answer(Replies& replies);

    int64_t m_sequence = 1;  // the count the next record or block must carry
};

}  // namespace dzsim
