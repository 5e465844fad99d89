// Slots as CSV text: what a line holds, the byte-exact way back, what the
// named columns change, and every kind of text that is refused.

#include <gtest/gtest.h>

#include <random>

#include "slots/SlotCsv.h"
#include "slots/SlotStream.h"

namespace dztest {
namespace {

using Bytes = std::vector<uint8_t>;

const std::string kHeader =
    "Slot,Name,Frequency,Mode,UValue,SValue,Flag1kHz,Flag0Ohm,Flag20dB,LowerEdge,UpperEdge,Number,Record\r\n";

dz::SlotRecord recordWith(std::string_view name, int32_t frequency)
{
    dz::SlotRecord r;
    std::copy(name.begin(), name.end(), r.bytes.begin() + dz::slot::kNameAt);
    for (int i = 0; i < 4; ++i) {
        r.bytes[static_cast<std::size_t>(dz::slot::kFrequencyAt + i)] =
            static_cast<uint8_t>(static_cast<uint32_t>(frequency) >> (8 * i));
    }
    return r;
}

std::string hexOf(const dz::SlotRecord& r)
{
    std::string out;
    for (const uint8_t b : r.bytes) {
        out += "0123456789abcdef"[b >> 4];
        out += "0123456789abcdef"[b & 0x0F];
    }
    return out;
}

// Records as an owner's receiver may hold them: any byte anywhere, names with the
// bytes Windows-1252 leaves undefined, quotes, commas and line breaks.
std::vector<dz::CsvSlot> randomSlots(unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<dz::CsvSlot> entries;
    for (int slot = 1; slot <= 63; ++slot) {
        dz::CsvSlot s{slot, {}};
        for (uint8_t& b : s.record.bytes) {
            b = static_cast<uint8_t>(random());
        }
        entries.push_back(s);
    }
    std::shuffle(entries.begin(), entries.end(), random);
    const std::string names[] = {"\x81\x8D\x8F\x90\x9D", "say \"hi\", then", "two\r\nlines", " blank ", "M\xFChle"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        std::copy(names[i].begin(), names[i].end(), entries[i].record.bytes.begin() + dz::slot::kNameAt);
        entries[i].record.bytes[dz::slot::kNameAt + names[i].size()] = 0;
    }
    return entries;
}

bool sameSlots(const std::vector<dz::CsvSlot>& a, const std::vector<dz::CsvSlot>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const dz::CsvSlot& x, const dz::CsvSlot& y) {
        return x.slot == y.slot && x.record.bytes == y.record.bytes;
    });
}

TEST(SlotCsv, ALineHoldsTheGridsFieldsAndTheWholeRecord)
{
    dz::SlotRecord r = recordWith("say \"hi\", K\xF6ln", 1455000);
    r.bytes[dz::slot::kNumberAt] = 0xCC;
    r.bytes[dz::slot::kModeAt] = 5;
    r.bytes[dz::slot::kLowerEdgeAt] = 1;
    r.bytes[dz::slot::kUpperEdgeAt] = 9;  // outside the table: no text
    r.bytes[dz::slot::kFlag20dBAt] = 7;
    r.bytes[dz::slot::kSValueAt] = 0xE0;  // -800
    r.bytes[dz::slot::kSValueAt + 1] = 0xFC;
    r.bytes[dz::slot::kUValueAt] = 0x60;  // 2400
    r.bytes[dz::slot::kUValueAt + 1] = 0x09;
    dz::SlotRecord negative = recordWith("", -5);
    EXPECT_EQ(dz::slotsToCsv({{12, r}, {3, negative}}),
              kHeader + "12,\"say \"\"hi\"\", K\xC3\xB6ln\",145500.0,CW,2400,-800,0,0,1,\"1,8M\",,12," + hexOf(r) +
                  "\r\n3,,-0.5,Auto,0,0,0,0,0,Auto,Auto,0," + hexOf(negative) + "\r\n");
}

TEST(SlotCsv, ExportAndImportGiveBackEveryRecordByteForByte)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const std::vector<dz::CsvSlot> entries = randomSlots(seed);
        const std::string csv = dz::slotsToCsv(entries);
        const dz::CsvSlots back = dz::csvToSlots(csv);
        ASSERT_FALSE(back.error) << dz::describe(*back.error);
        EXPECT_TRUE(sameSlots(back.entries, entries)) << "seed " << seed;
        EXPECT_EQ(dz::slotsToCsv(back.entries), csv);
    }
}

TEST(SlotCsv, AMemoryFileBecomesCsvAndComesBack)
{
    Bytes file(16128);
    std::mt19937 random(7);
    for (uint8_t& b : file) {
        b = static_cast<uint8_t>(random());
    }
    const dz::CsvMemoryFile back = dz::csvToMemoryFile(dz::slotsToCsv(file));
    ASSERT_FALSE(back.error) << dz::describe(*back.error);
    EXPECT_EQ(back.bytes, file);

    // A store cut short: the records it holds, the last one filled with zeros.
    const Bytes part(300, 0x11);
    const dz::CsvSlots two = dz::csvToSlots(dz::slotsToCsv(part));
    ASSERT_EQ(two.entries.size(), 2u);
    EXPECT_EQ(two.entries[1].record.bytes[43], 0x11);
    EXPECT_EQ(two.entries[1].record.bytes[44], 0);
    // Slots a text does not name are zero in the memory file.
    const dz::CsvMemoryFile one = dz::csvToMemoryFile("Slot,Name\n2,Abc\n");
    ASSERT_FALSE(one.error);
    Bytes expected(16128, 0);
    std::copy_n("Abc", 3, expected.begin() + 256 + 18);
    EXPECT_EQ(one.bytes, expected);
}

TEST(SlotCsv, FilledColumnsSetTheirFieldsOverTheBase)
{
    dz::SlotStream store;
    dz::SlotRecord old = recordWith("Alt", 100);
    old.bytes[dz::slot::kNumberAt] = 0x05;
    old.bytes[dz::slot::kFlag1kHzAt] = 9;
    old.bytes[200] = 0x77;  // not shown anywhere
    store.storeRecordBytes(4, old.bytes.data(), 256);

    // Any order, a subset, LF endings, a byte-order mark; empty cells keep the base.
    const dz::CsvSlots read = dz::csvToSlots(
        "\xEF\xBB\xBFNumber,Frequency, Name ,Mode,Flag1kHz,UpperEdge\n5,,\xC2\x81x,USB,1,\n\n", store.bytes());
    ASSERT_FALSE(read.error) << dz::describe(*read.error);
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0].slot, 1);  // no Slot column: the lines count from 1
    const dz::SlotRecord& r = read.entries[0].record;
    EXPECT_EQ(r.name(), "\x81x");
    EXPECT_EQ(r.mode(), 3);
    EXPECT_EQ(r.bytes[dz::slot::kNumberAt], 0xC5);  // as the grid's editor stores it

    // The same columns over slot 4's record: what equals the base changes no byte.
    const dz::CsvSlots same =
        dz::csvToSlots("Slot,Name,Frequency,Number,Flag1kHz,Flag0Ohm\n4,Alt,10.0,5,1,0\n", store.bytes());
    ASSERT_FALSE(same.error) << dz::describe(*same.error);
    EXPECT_EQ(same.entries[0].record.bytes, old.bytes);

    // Record gives the base; a shorter name ends at a zero and the field's other bytes stay.
    dz::SlotRecord base = recordWith("ABCDEFGHIJKLMNOPQ", 1);
    const dz::CsvSlots over = dz::csvToSlots(
        "Slot,Record,Name,Frequency,UValue,SValue,Flag20dB,LowerEdge\n"
        "63," +
            hexOf(base) + ",xy,145500.0,65535,-32768,1,AUS\n",
        store.bytes());
    ASSERT_FALSE(over.error) << dz::describe(*over.error);
    dz::SlotRecord expected = base;
    expected.bytes[18] = 'x';
    expected.bytes[19] = 'y';
    expected.bytes[20] = 0;
    // 145500.0 -> 1455000, little-endian; 65535; -32768; the 20 dB flag; "AUS" is 7.
    const std::pair<int, uint8_t> changed[] = {{156, 0x98}, {157, 0x33}, {158, 0x16}, {159, 0x00}, {204, 0xFF},
                                               {205, 0xFF}, {202, 0x00}, {203, 0x80}, {48, 0x01},  {46, 0x07}};
    for (const auto& [at, v] : changed) {
        expected.bytes[static_cast<std::size_t>(at)] = v;
    }
    EXPECT_EQ(over.entries[0].record.bytes, expected.bytes);
    EXPECT_EQ(over.entries[0].record.name(), "xy");
}

TEST(SlotCsv, SlotsFollowTheLineBeforeWhenNotNamed)
{
    const dz::CsvSlots read = dz::csvToSlots("Slot,Name\r\n7,a\r\n,b\r\n2,\"c\r\nd\"\r\n,e");
    ASSERT_FALSE(read.error) << dz::describe(*read.error);
    std::vector<std::pair<int, std::string>> got;
    for (const auto& s : read.entries) {
        got.emplace_back(s.slot, s.record.name());
    }
    EXPECT_EQ(got, (std::vector<std::pair<int, std::string>>{{7, "a"}, {8, "b"}, {2, "c\r\nd"}, {3, "e"}}));
}

struct BadCsv {
    const char* name;
    std::string csv;
    int line;
    const char* column;
    const char* says;
};

void PrintTo(const BadCsv& c, std::ostream* os)
{
    *os << c.name;
}

class SlotCsvRefused : public testing::TestWithParam<BadCsv> {};

TEST_P(SlotCsvRefused, NamesTheLineAndColumnAndGivesNoSlots)
{
    const dz::CsvSlots read = dz::csvToSlots(GetParam().csv);
    ASSERT_TRUE(read.error);
    EXPECT_EQ(read.error->line, GetParam().line);
    EXPECT_EQ(read.error->column, GetParam().column);
    EXPECT_NE(read.error->message.find(GetParam().says), std::string::npos) << read.error->message;
    EXPECT_TRUE(read.entries.empty());
    EXPECT_TRUE(dz::csvToMemoryFile(GetParam().csv).bytes.empty());
}

const std::string kZeros(512, '0');

INSTANTIATE_TEST_SUITE_P(
    Texts, SlotCsvRefused,
    testing::Values(BadCsv{"Empty", "", 1, "", "no header"},
                    BadCsv{"UnknownColumn", "Slot,Frequenz\n", 1, "Frequenz", "not a column"},
                    BadCsv{"ColumnTwice", "Name,Slot,Name\n", 1, "Name", "twice"},
                    BadCsv{"FieldsMissing", "Slot,Name\n1,a\n2\n", 3, "", "1 field where the header names 2"},
                    BadCsv{"OpenQuote", "Slot,Name\n1,a\n2,\"b\n\n", 3, "", "never closed"},
                    BadCsv{"TextAfterQuote", "Slot,Name\n1,\"a\"b\n", 2, "", "follows a closing quote"},
                    BadCsv{"StrayQuote", "Slot,Name\n1,a\"b\n", 2, "", "quote inside"},
                    BadCsv{"SlotZero", "Slot\n0\n", 2, "Slot", "1 to 63"},
                    BadCsv{"Slot64", "Slot\n64\n", 2, "Slot", "1 to 63"},
                    BadCsv{"SlotTwice", "Slot,Name\n5,a\n\n5,b\n", 4, "Slot", "already on line 2"},
                    BadCsv{"PastSlot63", "Slot,Name\n63,a\n,b\n", 3, "Slot", "no slot follows"},
                    BadCsv{"LineAfterAQuotedBreak", "Slot,Name\n1,\"a\nb\"\n2,a,b\n", 4, "", "3 fields"},
                    BadCsv{"NameTooLong", "Name\nABCDEFGHIJKLMNOPQR\n", 2, "Name", "17"},
                    BadCsv{"NameOutsideCodePage", "Name\n\xC5\x81\xC3\xB3\x64\xC5\xBA\n", 2, "Name", "Windows-1252"},
                    BadCsv{"NameNotUtf8", "Name\na\xFF\n", 2, "Name", "Windows-1252"},
                    BadCsv{"CommaDecimal", "Frequency\n145500,0\n", 2, "", "2 fields where the header names 1"},
                    BadCsv{"TwoDecimals", "Frequency\n145500.05\n", 2, "Frequency", "one decimal"},
                    BadCsv{"Grouped", "Frequency\n\"145,500.0\"\n", 2, "Frequency", "145500.0"},
                    BadCsv{"FrequencyTooLarge", "Frequency\n214748364.8\n", 2, "Frequency", "145500.0"},
                    BadCsv{"NoDigitBeforePoint", "Frequency\n.5\n", 2, "Frequency", "145500.0"},
                    BadCsv{"UValueNegative", "UValue\n-1\n", 2, "UValue", "0 to 65535"},
                    BadCsv{"SValueTooLarge", "SValue\n32768\n", 2, "SValue", "-32768 to 32767"},
                    BadCsv{"SValueSigns", "SValue\n+-5\n", 2, "SValue", "-32768 to 32767"},
                    BadCsv{"ModeUnknown", "Mode\nFM\n", 2, "Mode", "Auto, DSB, LSB, USB, SSB, CW"},
                    BadCsv{"LowerEdgeOfTheUpper", "LowerEdge\n170k\n", 2, "LowerEdge", "not one of"},
                    BadCsv{"FlagTwo", "Flag0Ohm\n2\n", 2, "Flag0Ohm", "0 or 1"},
                    BadCsv{"Number16", "Number\n16\n", 2, "Number", "0 to 15"},
                    BadCsv{"RecordShort", "Record\n" + kZeros.substr(2) + "\n", 2, "Record", "512 hexadecimal"},
                    BadCsv{"RecordNotHex", "Record\n" + kZeros.substr(1) + "g\n", 2, "Record", "512 hexadecimal"},
                    BadCsv{"GoodLinesBeforeABadOne", "Slot,Mode\n1,Auto\n2,CW\n3,cw\n", 4, "Mode", "not one of"}),
    [](const testing::TestParamInfo<BadCsv>& p) { return std::string(p.param.name); });

TEST(SlotCsv, DescribesAnErrorForTheUser)
{
    EXPECT_EQ(dz::describe({4, "Frequency", "not a number"}), "line 4, column Frequency: not a number");
    EXPECT_EQ(dz::describe({2, "", "it has 3 fields"}), "line 2: it has 3 fields");
}

}  // namespace
}  // namespace dztest
