#pragma once
// The records of all slots back to back, slot k at (k - 1) × 256: what a read
// fills, a write sends, an edit changes and a memory file holds. Every byte
// nothing has written is zero.

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "slots/SlotRecord.h"

namespace dz {

class SlotStream {
public:
    std::size_t size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }

    // The store reaches byte `at` of the record of `slot`.
    bool holds(int slot, int at) const;
    // The record of `slot` came from somewhere: a read, a file, an edit, a paste. A
    // write sends no other: zeros nobody made must not overwrite the receiver's slot.
    bool known(int slot) const
    {
        return slot >= 1 && slot <= slot::kCount && m_known.test(static_cast<std::size_t>(slot));
    }
    // The record of `slot`; what lies beyond the end reads as zero.
    SlotRecord record(int slot) const;

    // Keeps what is there; bytes added are zero, and their slots not known.
    void resize(std::size_t size);
    // Writes `count` record bytes of `slot`, from the record's first byte; the
    // record's other bytes keep what the store held.
    void storeRecordBytes(int slot, const uint8_t* data, int count);
    // The 17 bytes of a name field as the editor stores it.
    void storeName(int slot, std::string_view field);
    // Byte 1 as the editor writes it: the number 0 to 15, bits 6 and 7 set.
    void storeNumber(int slot, int number);
    // Any bytes at any place; the store grows with zeros to take them.
    void write(std::size_t offset, const uint8_t* data, std::size_t count);

    // A memory file's bytes replace the whole store. A file shorter than the
    // 63 records is refused (false) and changes nothing.
    bool load(std::vector<uint8_t> file);
    static bool completeFile(std::size_t size) { return size >= static_cast<std::size_t>(slot::kStoreSize); }

private:
    void markKnown(std::size_t offset, std::size_t count);

    std::vector<uint8_t> m_bytes;
    std::bitset<slot::kCount + 1> m_known;
};

}  // namespace dz
