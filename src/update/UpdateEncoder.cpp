#include "update/UpdateEncoder.h"

#include <algorithm>
#include <cstring>

namespace dz {

namespace {

constexpr int kNameRecords = 3;
constexpr int kRecordsPerBlock = 64;
constexpr int kBytesPerRecord = 4;
constexpr int kBytesPerBlock = 256;

}  // namespace

StartRequest BuildStartRequest(UpdateTarget target, uint64_t fileSize)
{
    const auto size = static_cast<uint32_t>(fileSize);
    return {static_cast<uint8_t>(target == UpdateTarget::Pocket ? 0x0C : 0x09), static_cast<uint8_t>(size),
            static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 24)};
}

NameField makeNameField(std::string_view name)
{
    NameField field{};
    const std::size_t n = std::min<std::size_t>(name.size(), 10);
    std::memcpy(field.data() + 2, name.data(), n);
    return field;  // a shorter name is followed by zeros, its terminator among them
}

UpdateEncoder::UpdateEncoder(UpdateTarget target, std::vector<uint8_t> file, const NameField& name)
    : m_target(target), m_file(std::move(file)), m_name(name)
{
}

void UpdateEncoder::copyFile(uint8_t* to, int64_t offset, int n) const
{
    const int64_t from = BytesSent + offset;
    const int64_t have = std::clamp<int64_t>(fileSize() - from, 0, n);
    if (have > 0) {
        std::memcpy(to, m_file.data() + from, static_cast<std::size_t>(have));
    }
    std::memset(to + have, 0xFF, static_cast<std::size_t>(n - have));
}

UpdateEncoder::Block UpdateEncoder::BuildNextBlock()
{
    const int64_t startedAt = SequenceCount;
    if (m_target == UpdateTarget::Pocket && SequenceCount <= kNameRecords) {
        m_block[0] = sequenceByte();
        std::memcpy(&m_block[1], m_name.data() + 4 * (SequenceCount - 1), 4);
        ++SequenceCount;
        return {std::span<const uint8_t>(m_block.data(), 5), startedAt, false};
    }
    if (m_target == UpdateTarget::Pocket) {
        // Most blocks lie wholly inside the file: their records copy without the filler checks.
        const bool whole = BytesSent + kBytesPerBlock <= fileSize();
        for (int i = 0; i < kRecordsPerBlock; ++i) {
            uint8_t* record = &m_block[static_cast<std::size_t>(5 * i)];
            record[0] = sequenceByte();
            const int64_t offset = static_cast<int64_t>(i) * kBytesPerRecord;
            if (whole) {
                std::memcpy(record + 1, m_file.data() + BytesSent + offset, kBytesPerRecord);
            } else {
                copyFile(record + 1, offset, kBytesPerRecord);
            }
            ++SequenceCount;
        }
        BytesSent += kBytesPerBlock;
        return {std::span<const uint8_t>(m_block.data(), 320), startedAt, true};
    }
    m_block[0] = sequenceByte();
    copyFile(&m_block[1], 0, kBytesPerBlock);
    ++SequenceCount;
    BytesSent += kBytesPerBlock;
    return {std::span<const uint8_t>(m_block.data(), 257), startedAt, true};
}

}  // namespace dz
