#include "slots/SlotTexts.h"

#include "link/AnsiText.h"

namespace dz {

namespace {

constexpr std::size_t kFrequencyWidth = 12;

std::string grouped(uint64_t value, const std::string& group)
{
    std::string digits = std::to_string(value);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += group;
        }
        out += digits[i];
    }
    return out;
}

std::size_t characters(const std::string& utf8)
{
    std::size_t n = 0;
    for (const char c : utf8) {
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return n;
}

template <std::size_t N>
const char* lookUp(const char* const (&table)[N], uint8_t value)
{
    return value < N ? table[value] : nullptr;
}

}  // namespace

std::string frequencyText(int32_t frequency, const NumberFormat& format)
{
    const bool negative = frequency < 0;
    const auto magnitude = static_cast<uint64_t>(negative ? -static_cast<int64_t>(frequency) : frequency);
    std::string text = grouped(magnitude / 10, format.group) + format.decimal;
    text += static_cast<char>('0' + magnitude % 10);
    // A minus sign goes in front of the fill, so that a negative value still reads as a number.
    const std::size_t width = kFrequencyWidth - (negative ? 1 : 0);
    for (std::size_t length = characters(text); length < width; ++length) {
        text.insert(0, length == 5 || length == 9 ? "." : "0");
    }
    return negative ? "-" + text : text;
}

std::string uValueText(uint16_t value, const NumberFormat& format)
{
    return grouped(value, format.group);
}

std::string sValueText(int16_t value, const NumberFormat& format)
{
    const auto magnitude = static_cast<uint64_t>(value < 0 ? -static_cast<int32_t>(value) : value);
    return std::string(value > 0 ? " +" : "  ") + (value < 0 ? "-" : "") + grouped(magnitude, format.group);
}

const char* modeText(uint8_t mode)
{
    static const char* const kModes[] = {"Auto", "DSB", "LSB", "USB", "SSB", "CW"};
    return lookUp(kModes, mode);
}

const char* lowerEdgeText(uint8_t edge)
{
    static const char* const kEdges[] = {"Auto", "1,8M", "3,5M", "7,0M", "10M", "14M", "50M", "AUS"};
    return lookUp(kEdges, edge);
}

const char* upperEdgeText(uint8_t edge)
{
    static const char* const kEdges[] = {"Auto", "170k", "2,0M", "3,8M", "7,2M", "11M", "54M", "AUS"};
    return lookUp(kEdges, edge);
}

const char* ohmText(bool flag0Ohm)
{
    return flag0Ohm ? " 0 Ohm" : "50 Ohm";
}

const char* dBText(bool flag20dB)
{
    return flag20dB ? "20 dB" : " 0 dB";
}

const char* kHzText(bool flag1kHz)
{
    return flag1kHz ? " 1 kHz" : "75 kHz";
}

SlotRowTexts slotRowTexts(const SlotRecord& record, const NumberFormat& format)
{
    const auto selector = [](const char* text) { return text ? std::optional<std::string>(text) : std::nullopt; };
    return {
        fromAnsi(record.name()),
        frequencyText(record.frequency(), format),
        selector(modeText(record.mode())),
        uValueText(record.uValue(), format),
        sValueText(record.sValue(), format),
        kHzText(record.flag1kHz()),
        ohmText(record.flag0Ohm()),
        dBText(record.flag20dB()),
        selector(lowerEdgeText(record.lowerEdge())),
        selector(upperEdgeText(record.upperEdge())),
        std::to_string(record.number()),
    };
}

}  // namespace dz
