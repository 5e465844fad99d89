// The texts of the slot grid, with German and English separators.

#include <gtest/gtest.h>

#include "SlotsJob.h"
#include "slots/SlotTexts.h"

namespace dztest {
namespace {

const dz::NumberFormat kGerman{",", "."};
const dz::NumberFormat kEnglish{".", ","};
// French groups with a narrow no-break space: one character, three bytes.
const dz::NumberFormat kFrench{",", "\u202F"};

struct FrequencyCase {
    int32_t stored;
    const char* german;
    const char* english;
};

void PrintTo(const FrequencyCase& c, std::ostream* os)
{
    *os << c.stored;
}

class FrequencyText : public testing::TestWithParam<FrequencyCase> {};

TEST_P(FrequencyText, IsFilledToTwelveWithTheFixedDot)
{
    EXPECT_EQ(dz::frequencyText(GetParam().stored, kGerman), GetParam().german);
    EXPECT_EQ(dz::frequencyText(GetParam().stored, kEnglish), GetParam().english);
}

INSTANTIATE_TEST_SUITE_P(Values, FrequencyText,
                         testing::Values(FrequencyCase{1455000, "00.145.500,0", "00.145,500.0"},
                                         FrequencyCase{142000000, "14.200.000,0", "14,200,000.0"},
                                         FrequencyCase{0, "00.000.000,0", "00.000.000.0"},
                                         FrequencyCase{7, "00.000.000,7", "00.000.000.7"},
                                         FrequencyCase{12345, "00.001.234,5", "00.001,234.5"},
                                         // Longer than 12 characters: shown as formatted.
                                         FrequencyCase{1000000000, "100.000.000,0", "100,000,000.0"},
                                         FrequencyCase{2147483647, "214.748.364,7", "214,748,364.7"},
                                         // The sign stays in front of the fill.
                                         FrequencyCase{-1455000, "-0.145.500,0", "-0.145,500.0"},
                                         FrequencyCase{-2147483647 - 1, "-214.748.364,8", "-214,748,364.8"}));

TEST(FrequencyText, FillCountsCharactersNotBytes)
{
    EXPECT_EQ(dz::frequencyText(1455000, kFrench), "00.145\u202F500,0");
}

struct NumberCase {
    int value;
    const char* german;
    const char* english;
};

void PrintTo(const NumberCase& c, std::ostream* os)
{
    *os << c.value;
}

class UValueText : public testing::TestWithParam<NumberCase> {};

TEST_P(UValueText, IsGroupedWithoutDecimals)
{
    const auto v = static_cast<uint16_t>(GetParam().value);
    EXPECT_EQ(dz::uValueText(v, kGerman), GetParam().german);
    EXPECT_EQ(dz::uValueText(v, kEnglish), GetParam().english);
}

INSTANTIATE_TEST_SUITE_P(Values, UValueText,
                         testing::Values(NumberCase{2400, "2.400", "2,400"}, NumberCase{0, "0", "0"},
                                         NumberCase{999, "999", "999"}, NumberCase{65535, "65.535", "65,535"}));

class SValueText : public testing::TestWithParam<NumberCase> {};

TEST_P(SValueText, HasAPlusOnlyAboveZero)
{
    const auto v = static_cast<int16_t>(GetParam().value);
    EXPECT_EQ(dz::sValueText(v, kGerman), GetParam().german);
    EXPECT_EQ(dz::sValueText(v, kEnglish), GetParam().english);
}

INSTANTIATE_TEST_SUITE_P(Values, SValueText,
                         testing::Values(NumberCase{1500, " +1.500", " +1,500"}, NumberCase{0, "  0", "  0"},
                                         NumberCase{-800, "  -800", "  -800"},
                                         NumberCase{-1500, "  -1.500", "  -1,500"},
                                         NumberCase{32767, " +32.767", " +32,767"},
                                         NumberCase{-32768, "  -32.768", "  -32,768"}));

TEST(SelectorTexts, CoverTheirTablesAndNothingBeyond)
{
    std::vector<std::string> modes;
    std::vector<std::string> lower;
    std::vector<std::string> upper;
    for (uint8_t v = 0; v < 8; ++v) {
        modes.emplace_back(dz::modeText(v) ? dz::modeText(v) : "-");
        lower.emplace_back(dz::lowerEdgeText(v));
        upper.emplace_back(dz::upperEdgeText(v));
    }
    EXPECT_EQ(modes, (std::vector<std::string>{"Auto", "DSB", "LSB", "USB", "SSB", "CW", "-", "-"}));
    EXPECT_EQ(lower, (std::vector<std::string>{"Auto", "1,8M", "3,5M", "7,0M", "10M", "14M", "50M", "AUS"}));
    EXPECT_EQ(upper, (std::vector<std::string>{"Auto", "170k", "2,0M", "3,8M", "7,2M", "11M", "54M", "AUS"}));
    EXPECT_EQ(dz::lowerEdgeText(8), nullptr);
    EXPECT_EQ(dz::upperEdgeText(255), nullptr);
}

std::vector<std::string> cells(const dz::SlotRowTexts& texts)
{
    std::vector<std::string> out;
    for (const auto& t : texts) {
        out.push_back(t.value_or("<keeps>"));
    }
    return out;
}

TEST(SlotRow, ZeroRecord)
{
    const dz::SlotRecord zero;
    EXPECT_EQ(cells(dz::slotRowTexts(zero, kGerman)),
              (std::vector<std::string>{"", "00.000.000,0", "Auto", "0", "  0", "75 kHz", "50 Ohm", " 0 dB", "Auto",
                                        "Auto", "0"}));
}

TEST(SlotRow, EveryFieldFromItsOwnBytes)
{
    dz::SlotRecord r;
    r.bytes[1] = 0xC5;
    const std::string name = "Flughafen K\xF6ln";  // Windows-1252
    std::copy(name.begin(), name.end(), r.bytes.begin() + 18);
    r.bytes[45] = 5;
    r.bytes[46] = 3;
    r.bytes[47] = 1;
    r.bytes[48] = 0x80;
    r.bytes[49] = 2;
    r.bytes[51] = 3;
    const uint8_t frequency[] = {0x98, 0x33, 0x16, 0x00};  // 1455000
    std::copy(std::begin(frequency), std::end(frequency), r.bytes.begin() + 156);
    r.bytes[202] = 0xDC;  // 1500
    r.bytes[203] = 0x05;
    r.bytes[204] = 0x60;  // 2400
    r.bytes[205] = 0x09;
    EXPECT_EQ(cells(dz::slotRowTexts(r, kGerman)),
              (std::vector<std::string>{"Flughafen K\u00F6ln", "00.145.500,0", "USB", "2.400", " +1.500", " 1 kHz",
                                        " 0 Ohm", "20 dB", "7,0M", "11M", "5"}));
    EXPECT_EQ(cells(dz::slotRowTexts(r, kEnglish)),
              (std::vector<std::string>{"Flughafen K\u00F6ln", "00.145,500.0", "USB", "2,400", " +1,500", " 1 kHz",
                                        " 0 Ohm", "20 dB", "7,0M", "11M", "5"}));
}

TEST(SlotRow, NameTakesAtMostSeventeenBytesAndStopsAtZero)
{
    dz::SlotRecord r;
    std::fill(r.bytes.begin() + 18, r.bytes.begin() + 40, 'x');  // byte 35 onwards is no part of it
    EXPECT_EQ(dz::slotRowTexts(r, kGerman)[0], std::string(17, 'x'));
    r.bytes[21] = 0;
    EXPECT_EQ(dz::slotRowTexts(r, kGerman)[0], "xxx");
}

TEST(SlotRow, SelectorsOutsideTheirTablesKeepTheCell)
{
    dz::SlotRecord r;
    r.bytes[51] = 6;
    r.bytes[46] = 8;
    r.bytes[45] = 200;
    const auto texts = dz::slotRowTexts(r, kGerman);
    EXPECT_FALSE(texts[2].has_value());
    EXPECT_FALSE(texts[8].has_value());
    EXPECT_FALSE(texts[9].has_value());
    EXPECT_TRUE(texts[1].has_value());
}

TEST(SlotRow, TheSimulatorsSeedReadsAsChannels)
{
    // The demo's records must look like an owner's: a name, a mode and a frequency per slot.
    const auto seed = dzsim::SlotsJob::seedRecords();
    dz::SlotRecord tower;
    std::copy(seed[0].begin(), seed[0].end(), tower.bytes.begin());
    EXPECT_EQ(cells(dz::slotRowTexts(tower, kGerman)),
              (std::vector<std::string>{"Tower EDDF", "00.118.905,0", "DSB", "2.400", "  0", "75 kHz", "50 Ohm",
                                        " 0 dB", "Auto", "Auto", "1"}));
    for (const auto& bytes : seed) {
        dz::SlotRecord r;
        std::copy(bytes.begin(), bytes.end(), r.bytes.begin());
        const auto texts = dz::slotRowTexts(r, kGerman);
        for (const auto& t : texts) {
            EXPECT_TRUE(t.has_value());
        }
        EXPECT_FALSE(texts[0]->empty());
    }
}

}  // namespace
}  // namespace dztest
