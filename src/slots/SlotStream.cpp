#include "slots/SlotStream.h"

#include <algorithm>

namespace dz {

namespace {

std::size_t recordOffset(int slot)
{
    return static_cast<std::size_t>(slot - 1) * slot::kRecordSize;
}

}  // namespace

bool SlotStream::holds(int slot, int at) const
{
    return slot >= 1 && recordOffset(slot) + static_cast<std::size_t>(at) < m_bytes.size();
}

SlotRecord SlotStream::record(int slot) const
{
    SlotRecord r;
    const std::size_t at = recordOffset(slot);
    if (slot >= 1 && at < m_bytes.size()) {
        const std::size_t n = std::min<std::size_t>(slot::kRecordSize, m_bytes.size() - at);
        std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(at), n, r.bytes.begin());
    }
    return r;
}

void SlotStream::resize(std::size_t size)
{
    m_bytes.resize(size, 0);
    for (int slot = 1; slot <= slot::kCount; ++slot) {
        if (recordOffset(slot) >= size) {
            m_known.reset(static_cast<std::size_t>(slot));
        }
    }
}

void SlotStream::markKnown(std::size_t offset, std::size_t count)
{
    if (count == 0) {
        return;
    }
    const int first = static_cast<int>(offset / slot::kRecordSize) + 1;
    const int last = static_cast<int>((offset + count - 1) / slot::kRecordSize) + 1;
    for (int slot = std::max(first, 1); slot <= std::min(last, slot::kCount); ++slot) {
        m_known.set(static_cast<std::size_t>(slot));
    }
}

void SlotStream::write(std::size_t offset, const uint8_t* data, std::size_t count)
{
    if (m_bytes.size() < offset + count) {
        m_bytes.resize(offset + count, 0);
    }
    std::copy_n(data, count, m_bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    markKnown(offset, count);
}

void SlotStream::storeRecordBytes(int slot, const uint8_t* data, int count)
{
    write(recordOffset(slot), data, static_cast<std::size_t>(std::clamp(count, 0, slot::kRecordSize)));
}

void SlotStream::storeName(int slot, std::string_view field)
{
    const std::size_t n = std::min<std::size_t>(field.size(), slot::kNameLength);
    write(recordOffset(slot) + slot::kNameAt, reinterpret_cast<const uint8_t*>(field.data()), n);
}

void SlotStream::storeNumber(int slot, int number)
{
    const auto byte = static_cast<uint8_t>(0xC0 | (number & 0x0F));
    write(recordOffset(slot) + slot::kNumberAt, &byte, 1);
}

bool SlotStream::load(std::vector<uint8_t> file)
{
    if (!completeFile(file.size())) {
        return false;
    }
    m_bytes = std::move(file);
    m_known.set();
    return true;
}

}  // namespace dz
