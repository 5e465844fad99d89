#include "slots/SlotRecord.h"

namespace dz {

namespace {

uint32_t le(const uint8_t* p, int width)
{
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) {
        v = (v << 8) | p[i];
    }
    return v;
}

}  // namespace

std::string SlotRecord::name() const
{
    const auto* first = reinterpret_cast<const char*>(bytes.data() + slot::kNameAt);
    std::size_t length = 0;
    while (length < slot::kNameLength && first[length] != '\0') {
        ++length;
    }
    return std::string(first, length);
}

int32_t SlotRecord::frequency() const
{
    return static_cast<int32_t>(le(bytes.data() + slot::kFrequencyAt, 4));
}

int16_t SlotRecord::sValue() const
{
    return static_cast<int16_t>(le(bytes.data() + slot::kSValueAt, 2));
}

uint16_t SlotRecord::uValue() const
{
    return static_cast<uint16_t>(le(bytes.data() + slot::kUValueAt, 2));
}

}  // namespace dz
