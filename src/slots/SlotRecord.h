#pragma once
// One memory slot as the receiver keeps it: 256 bytes, multi-byte fields
// little-endian. The program reads the fields the grid shows and carries every
// other byte as it is.

#include <array>
#include <cstdint>
#include <string>

namespace dz {

namespace slot {
constexpr int kCount = 63;
constexpr int kRecordSize = 256;
constexpr int kStoreSize = kCount * kRecordSize;  // 16128

constexpr int kNumberAt = 1;  // low 4 bits; the editor sets bits 6 and 7
constexpr int kNameAt = 18;
constexpr int kNameLength = 17;
constexpr int kUpperEdgeAt = 45;
constexpr int kLowerEdgeAt = 46;
constexpr int kFlag0OhmAt = 47;
constexpr int kFlag20dBAt = 48;
constexpr int kFlag1kHzAt = 49;
constexpr int kModeAt = 51;
constexpr int kFrequencyAt = 156;  // signed 32 bits, shown ÷ 10
constexpr int kSValueAt = 202;     // signed 16 bits
constexpr int kUValueAt = 204;     // unsigned 16 bits
}  // namespace slot

struct SlotRecord {
    std::array<uint8_t, slot::kRecordSize> bytes{};

    int number() const { return bytes[slot::kNumberAt] & 0x0F; }
    // The name's bytes in the receiver's code page, up to the first zero byte.
    std::string name() const;
    uint8_t upperEdge() const { return bytes[slot::kUpperEdgeAt]; }
    uint8_t lowerEdge() const { return bytes[slot::kLowerEdgeAt]; }
    bool flag0Ohm() const { return bytes[slot::kFlag0OhmAt] != 0; }
    bool flag20dB() const { return bytes[slot::kFlag20dBAt] != 0; }
    bool flag1kHz() const { return bytes[slot::kFlag1kHzAt] != 0; }
    uint8_t mode() const { return bytes[slot::kModeAt]; }
    int32_t frequency() const;
    int16_t sValue() const;
    uint16_t uValue() const;
};

}  // namespace dz
