#pragma once
// The texts of the slot grid, one function per column kind. Numbers follow the
// user's separators, which the caller passes in; only the "." that fills the
// frequency text to 12 characters is the same in every locale.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "slots/SlotRecord.h"

namespace dz {

// The locale's separators, as UTF-8 text (a group separator may be a non-breaking space).
struct NumberFormat {
    std::string decimal = ".";
    std::string group = ",";
};

// Frequency ÷ 10 with one decimal and grouping, filled in front to 12 characters:
// 1455000 -> "00.145.500,0" with German separators.
std::string frequencyText(int32_t frequency, const NumberFormat& format);
// 2400 -> "2.400".
std::string uValueText(uint16_t value, const NumberFormat& format);
// 1500 -> " +1.500", 0 -> "  0", -800 -> "  -800".
std::string sValueText(int16_t value, const NumberFormat& format);

// The selector tables; nullptr for a value outside the table.
const char* modeText(uint8_t mode);
const char* lowerEdgeText(uint8_t edge);
const char* upperEdgeText(uint8_t edge);

const char* ohmText(bool flag0Ohm);
const char* dBText(bool flag20dB);
const char* kHzText(bool flag1kHz);

// The cells of a slot's row, columns 1 to 11 at indexes 0 to 10. A selector outside
// its table gives nothing: that cell keeps the text it had.
using SlotRowTexts = std::array<std::optional<std::string>, 11>;
SlotRowTexts slotRowTexts(const SlotRecord& record, const NumberFormat& format);

}  // namespace dz
