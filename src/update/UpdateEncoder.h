#pragma once
// The bytes of a software transfer. A pocket software package (.KPF) of 1000 bytes:
//
//   0C E8 03 00 00                    start: code, file size little-endian
//   81 00 00 'R' 'A'                  three name records: sequence byte, 4 name-field bytes
//   82 'D' 'I' 'O' '.'
//   83 'K' 'P' 'F' 00
//   84 f0 f1 f2 f3  85 f4 ...         record blocks: 64 records of sequence byte + 4 file bytes
//   ...                               (320 bytes; the last one filled up with FF FF FF FF records)
//
// A LAN driver image (.BIN) has start code 09, no name records, and blocks of a
// sequence byte and 256 file bytes (257 bytes; the last one filled up with FF).
// Sequence bytes run 81, 82 ... FF, 80, 81 ...

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace dz {

enum class UpdateTarget { Pocket, Lan };

using NameField = std::array<uint8_t, 12>;
using StartRequest = std::array<uint8_t, 5>;

// The start request: the target's code and the low 32 bits of the file size.
StartRequest BuildStartRequest(UpdateTarget target, uint64_t fileSize);

// Bytes 2-11 carry the file's name (already in the receiver's code page): its
// first ten bytes, or the whole name and a zero byte. Every other byte is zero.
NameField makeNameField(std::string_view name);

// Cuts one update file into the requests that follow the start request.
class UpdateEncoder {
public:
    struct Block {
        std::span<const uint8_t> bytes;  // valid until the next call
        int64_t startedAt;               // SequenceCount before the block was built
        bool carriesData;                // a record block or LAN block, not a name record
    };

    UpdateEncoder(UpdateTarget target, std::vector<uint8_t> file, const NameField& name);

    // The next request: a name record, a record block or a LAN block. Once the
    // file is complete it still gives blocks, of filler only.
    Block BuildNextBlock();

    bool complete() const { return BytesSent >= fileSize(); }
    int64_t fileSize() const { return static_cast<int64_t>(m_file.size()); }
    UpdateTarget target() const { return m_target; }

    int64_t SequenceCount = 1;  // numbers every record (pocket) or block (LAN)
    int64_t BytesSent = 0;      // file bytes handed to blocks, always a multiple of 256

private:
    uint8_t sequenceByte() const { return static_cast<uint8_t>(0x80 | (SequenceCount & 0x7F)); }
    // Copies up to `n` file bytes from BytesSent + offset, filling the rest with 0xFF.
    void copyFile(uint8_t* to, int64_t offset, int n) const;

    UpdateTarget m_target;
    std::vector<uint8_t> m_file;
    NameField m_name;
    std::array<uint8_t, 320> m_block{};
};

}  // namespace dz
