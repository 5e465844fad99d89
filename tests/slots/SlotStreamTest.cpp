// The slot store: records by slot number, zeros where nothing was written, the
// edited fields, and which memory files it takes.

#include <gtest/gtest.h>

#include "slots/SlotEdit.h"
#include "slots/SlotStream.h"

namespace dztest {
namespace {

std::vector<uint8_t> filled(std::size_t n, uint8_t value)
{
    return std::vector<uint8_t>(n, value);
}

TEST(SlotStream, ARecordLandsAtItsSlotAndWhatItSkipsIsZero)
{
    dz::SlotStream s;
    const auto five = filled(256, 0x55);
    s.storeRecordBytes(5, five.data(), 256);
    ASSERT_EQ(s.size(), 5u * 256);
    EXPECT_TRUE(std::all_of(s.bytes().begin(), s.bytes().begin() + 4 * 256, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(s.record(5).bytes[0], 0x55);
    EXPECT_EQ(s.record(5).bytes[255], 0x55);
    EXPECT_TRUE(s.holds(5, 255));
    EXPECT_FALSE(s.holds(6, 0));
}

TEST(SlotStream, ABlockCarryingFewerBytesKeepsTheRestOfTheRecord)
{
    dz::SlotStream s;
    s.resize(16128);
    const auto old = filled(256, 0xAA);
    s.storeRecordBytes(2, old.data(), 256);
    const auto part = filled(248, 0x11);
    s.storeRecordBytes(2, part.data(), 248);
    const auto r = s.record(2);
    EXPECT_EQ(r.bytes[247], 0x11);
    EXPECT_EQ(r.bytes[248], 0xAA);
    EXPECT_EQ(r.bytes[255], 0xAA);
    EXPECT_EQ(s.record(3).bytes[0], 0);  // the neighbour is untouched
}

TEST(SlotStream, RecordsBeyondTheEndReadAsZero)
{
    dz::SlotStream s;
    EXPECT_EQ(s.record(1).bytes, dz::SlotRecord{}.bytes);
    s.storeName(2, dz::nameField("Cut"));  // the store ends behind slot 2's name
    ASSERT_EQ(s.size(), 256u + 35);
    dz::SlotRecord expected;
    const std::string field = dz::nameField("Cut");
    std::copy(field.begin(), field.end(), expected.bytes.begin() + 18);
    EXPECT_EQ(s.record(2).bytes, expected.bytes);
    EXPECT_TRUE(s.holds(2, 34));
    EXPECT_FALSE(s.holds(2, 35));
    EXPECT_EQ(s.record(3).bytes, dz::SlotRecord{}.bytes);
}

TEST(SlotStream, ResizeKeepsTheContentAndAddsZeros)
{
    dz::SlotStream s;
    const auto one = filled(256, 9);
    s.storeRecordBytes(1, one.data(), 256);
    s.resize(16128);
    EXPECT_EQ(s.record(1).bytes[100], 9);
    EXPECT_TRUE(std::all_of(s.bytes().begin() + 256, s.bytes().end(), [](uint8_t b) { return b == 0; }));
}

TEST(SlotStream, EditsBeyondTheEndGrowTheStoreWithZeros)
{
    dz::SlotStream s;
    s.storeName(3, dz::nameField("Abc"));
    ASSERT_EQ(s.size(), 2u * 256 + 18 + 17);
    EXPECT_EQ(s.record(3).name(), "Abc" + std::string(14, ' '));
    EXPECT_TRUE(std::all_of(s.bytes().begin(), s.bytes().begin() + 2 * 256 + 18, [](uint8_t b) { return b == 0; }));
    s.storeNumber(3, 12);
    EXPECT_EQ(s.record(3).bytes[1], 0xCC);
    EXPECT_EQ(s.record(3).number(), 12);
}

TEST(SlotStream, NameEditsTouchOnlyTheNameField)
{
    dz::SlotStream s;
    const auto ones = filled(256, 1);
    s.storeRecordBytes(1, ones.data(), 256);
    s.storeName(1, dz::nameField(std::string(20, 'n')));
    const auto r = s.record(1);
    EXPECT_EQ(r.bytes[17], 1);
    EXPECT_EQ(r.bytes[18], 'n');
    EXPECT_EQ(r.bytes[34], 'n');
    EXPECT_EQ(r.bytes[35], 1);
}

struct FileCase {
    std::size_t size;
    bool taken;
};

void PrintTo(const FileCase& c, std::ostream* os)
{
    *os << c.size;
}

class MemoryFileLoad : public testing::TestWithParam<FileCase> {};

TEST_P(MemoryFileLoad, ShortFilesAreRefusedAndChangeNothingLongerOnesLoadWhole)
{
    dz::SlotStream s;
    s.resize(16128);
    const auto before = s.bytes();
    EXPECT_EQ(s.load(filled(GetParam().size, 0x3C)), GetParam().taken);
    if (GetParam().taken) {
        EXPECT_EQ(s.bytes(), filled(GetParam().size, 0x3C));
    } else {
        EXPECT_EQ(s.bytes(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MemoryFileLoad,
                         testing::Values(FileCase{0, false}, FileCase{256, false}, FileCase{16127, false},
                                         FileCase{16128, true}, FileCase{16129, true}, FileCase{16128 + 300, true}));

TEST(NameField, IsCutOrFilledToSeventeen)
{
    EXPECT_EQ(dz::nameField("Abc"), "Abc" + std::string(14, ' '));
    EXPECT_EQ(dz::nameField("12345678901234567890"), "12345678901234567");
    EXPECT_EQ(dz::nameField(std::string(17, 'q')), std::string(17, 'q'));
}

struct NumberCase {
    const char* text;
    int number;  // -1: refused
};

void PrintTo(const NumberCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class NumberCell : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberCell, TakesWholeNumbersZeroToFifteen)
{
    const auto n = dz::slotNumber(GetParam().text);
    EXPECT_EQ(n.value_or(-1), GetParam().number) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, NumberCell,
                         testing::Values(NumberCase{"7", 7}, NumberCase{"12", 12}, NumberCase{"0", 0},
                                         NumberCase{"15", 15}, NumberCase{" 3 ", 3}, NumberCase{"07", 7},
                                         NumberCase{"16", -1}, NumberCase{"A", -1}, NumberCase{"", -1},
                                         NumberCase{"  ", -1}, NumberCase{"1a", -1}, NumberCase{"-1", -1},
                                         NumberCase{"+3", -1}, NumberCase{"1 2", -1}, NumberCase{"007", -1}));

}  // namespace
}  // namespace dztest
