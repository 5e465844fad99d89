// The slot requests and the parsing of a received slot block.

#include <gtest/gtest.h>

#include <memory>
#include <numeric>

#include "slots/SlotProtocol.h"

namespace dztest {
namespace {

TEST(SlotRequests, WriteCarriesSlotTwoZerosAndTheRecord)
{
    dz::SlotRecord r;
    std::iota(r.bytes.begin(), r.bytes.end(), uint8_t{1});
    const auto request = dz::slotWriteRequest(42, r);
    ASSERT_EQ(request.size(), 260u);
    EXPECT_EQ(request[0], 0x11);
    EXPECT_EQ(request[1], 42);
    EXPECT_EQ(request[2], 0);
    EXPECT_EQ(request[3], 0);
    EXPECT_TRUE(std::equal(r.bytes.begin(), r.bytes.end(), request.begin() + 4));
}

TEST(SlotRequests, ClearIsAWriteOfZeros)
{
    const auto request = dz::slotClearRequest(63);
    EXPECT_EQ(request[0], 0x11);
    EXPECT_EQ(request[1], 63);
    EXPECT_TRUE(std::all_of(request.begin() + 2, request.end(), [](uint8_t b) { return b == 0; }));
}

// A block in a buffer of exactly its size, so that a read past it is a fault the sanitizers see.
std::unique_ptr<uint8_t[]> block(int count, int32_t slot)
{
    auto p = std::make_unique<uint8_t[]>(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        p[static_cast<std::size_t>(i)] = static_cast<uint8_t>(i * 3);
    }
    p[0] = 16;
    if (count >= 8) {
        for (int i = 0; i < 4; ++i) {
            p[static_cast<std::size_t>(4 + i)] = static_cast<uint8_t>(static_cast<uint32_t>(slot) >> (8 * i));
        }
    }
    return p;
}

struct LengthCase {
    int count;
    int carried;  // 0: refused
};

void PrintTo(const LengthCase& c, std::ostream* os)
{
    *os << c.count;
}

class SlotBlockLength : public testing::TestWithParam<LengthCase> {};

TEST_P(SlotBlockLength, OnlyTheWholeAndTheShortFormAreTaken)
{
    const auto p = block(GetParam().count, 7);
    const auto parsed = dz::parseSlotBlock(p.get(), GetParam().count);
    if (GetParam().carried == 0) {
        EXPECT_FALSE(parsed.has_value());
        return;
    }
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->slot, 7);
    EXPECT_EQ(parsed->carried, GetParam().carried);
    EXPECT_EQ(parsed->record, p.get() + 8);
}

INSTANTIATE_TEST_SUITE_P(Lengths, SlotBlockLength,
                         testing::Values(LengthCase{264, 256}, LengthCase{256, 248}, LengthCase{260, 0},
                                         LengthCase{255, 0}, LengthCase{257, 0}, LengthCase{263, 0}, LengthCase{265, 0},
                                         LengthCase{8, 0}, LengthCase{4, 0}));

class SlotBlockNumber : public testing::TestWithParam<int32_t> {};

TEST_P(SlotBlockNumber, OutsideOneToSixtyThreeIsRefused)
{
    const int32_t slot = GetParam();
    const auto p = block(264, slot);
    const auto parsed = dz::parseSlotBlock(p.get(), 264);
    EXPECT_EQ(parsed.has_value(), slot >= 1 && slot <= 63);
    if (parsed) {
        EXPECT_EQ(parsed->slot, slot);
    }
}

INSTANTIATE_TEST_SUITE_P(Numbers, SlotBlockNumber, testing::Values(1, 63, 0, 64, -1, 256 + 5, 0x01000001));

}  // namespace
}  // namespace dztest
