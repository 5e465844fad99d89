// The bytes of a transfer: start requests, name records, record and LAN blocks.

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "update/UpdateEncoder.h"

namespace {

using dz::UpdateTarget;
using Bytes = std::vector<uint8_t>;

Bytes pattern(std::size_t n)
{
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    return b;
}

Bytes bytesOf(const dz::UpdateEncoder::Block& b)
{
    return Bytes(b.bytes.begin(), b.bytes.end());
}

TEST(StartRequest, CarriesTheTargetCodeAndTheSizeLowByteFirst)
{
    EXPECT_EQ(dz::BuildStartRequest(UpdateTarget::Pocket, 1000), (dz::StartRequest{0x0C, 0xE8, 0x03, 0x00, 0x00}));
    EXPECT_EQ(dz::BuildStartRequest(UpdateTarget::Lan, 70000), (dz::StartRequest{0x09, 0x70, 0x11, 0x01, 0x00}));
    EXPECT_EQ(dz::BuildStartRequest(UpdateTarget::Lan, 0xFFFFFFFFu), (dz::StartRequest{0x09, 0xFF, 0xFF, 0xFF, 0xFF}));
}

struct NameCase {
    std::string name;
    dz::NameField field;
};

class NameFieldText : public testing::TestWithParam<NameCase> {};

TEST_P(NameFieldText, HoldsTenBytesOfTheNameOrTheNameAndAZero)
{
    EXPECT_EQ(dz::makeNameField(GetParam().name), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, NameFieldText,
    testing::Values(NameCase{"RADIO.KPF", {0, 0, 'R', 'A', 'D', 'I', 'O', '.', 'K', 'P', 'F', 0}},
                    NameCase{"RADIO1.KPF", {0, 0, 'R', 'A', 'D', 'I', 'O', '1', '.', 'K', 'P', 'F'}},
                    NameCase{"RADIO12.KPF", {0, 0, 'R', 'A', 'D', 'I', 'O', '1', '2', '.', 'K', 'P'}},
                    NameCase{"A.KPF", {0, 0, 'A', '.', 'K', 'P', 'F', 0, 0, 0, 0, 0}}));

TEST(PocketPackage, ThousandBytesGiveThreeNameRecordsAndFourRecordBlocks)
{
    const Bytes file = pattern(1000);
    dz::UpdateEncoder e(UpdateTarget::Pocket, file, dz::makeNameField("RADIO.KPF"));
    const Bytes names[] = {{0x81, 0, 0, 'R', 'A'}, {0x82, 'D', 'I', 'O', '.'}, {0x83, 'K', 'P', 'F', 0}};
    for (const Bytes& expected : names) {
        const auto b = e.BuildNextBlock();
        EXPECT_FALSE(b.carriesData);
        EXPECT_EQ(bytesOf(b), expected);
    }
    EXPECT_EQ(e.BytesSent, 0);

    std::vector<Bytes> blocks;
    std::vector<int64_t> started;
    while (!e.complete()) {
        const auto b = e.BuildNextBlock();
        EXPECT_TRUE(b.carriesData);
        blocks.push_back(bytesOf(b));
        started.push_back(b.startedAt);
    }
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(e.BytesSent, 1024);
    EXPECT_EQ(started, (std::vector<int64_t>{4, 68, 132, 196}));
    EXPECT_EQ(blocks[0][0], 0x84);
    EXPECT_EQ(blocks[3][0], 0xC4);  // count 196
    for (const Bytes& b : blocks) {
        ASSERT_EQ(b.size(), 320u);
    }
    // Block 4: 232 file bytes in 58 records, then 6 filler records with their own sequence bytes.
    const Bytes& last = blocks[3];
    for (int r = 0; r < 64; ++r) {
        EXPECT_EQ(last[5 * r], static_cast<uint8_t>(0x80 | ((196 + r) & 0x7F))) << "record " << r;
        for (int k = 1; k <= 4; ++k) {
            const int at = 768 + 4 * r + (k - 1);
            const uint8_t expected = r < 58 ? file[static_cast<std::size_t>(at)] : 0xFF;
            EXPECT_EQ(last[5 * r + k], expected) << "record " << r << " byte " << k;
        }
    }
}

TEST(PocketPackage, OneByteMoreCarriesItInARecordOfItsOwnBeforeFiveFillerRecords)
{
    const Bytes file = pattern(1001);
    dz::UpdateEncoder e(UpdateTarget::Pocket, file, dz::makeNameField("X.KPF"));
    Bytes last;
    while (!e.complete()) {
        last = bytesOf(e.BuildNextBlock());
    }
    EXPECT_EQ(last[5 * 58 + 1], file[1000]);
    for (int r = 59; r < 64; ++r) {
        EXPECT_EQ(Bytes(last.begin() + 5 * r + 1, last.begin() + 5 * r + 5), Bytes(4, 0xFF)) << r;
    }
}

TEST(LanImage, ThreeHundredBytesGiveTwoBlocksTheSecondFilledUp)
{
    const Bytes file = pattern(300);
    dz::UpdateEncoder e(UpdateTarget::Lan, file, dz::makeNameField("LAN.BIN"));
    const Bytes b1 = bytesOf(e.BuildNextBlock());
    const Bytes b2 = bytesOf(e.BuildNextBlock());
    EXPECT_TRUE(e.complete());
    EXPECT_EQ(e.BytesSent, 512);
    ASSERT_EQ(b1.size(), 257u);
    EXPECT_EQ(b1[0], 0x81);
    EXPECT_EQ(Bytes(b1.begin() + 1, b1.end()), Bytes(file.begin(), file.begin() + 256));
    EXPECT_EQ(b2[0], 0x82);
    EXPECT_EQ(Bytes(b2.begin() + 1, b2.begin() + 45), Bytes(file.begin() + 256, file.end()));
    EXPECT_EQ(Bytes(b2.begin() + 45, b2.end()), Bytes(212, 0xFF));
}

TEST(LanImage, WholeBlocksNeedNoFillerAndTheBlockAfterCompletionIsFillerOnly)
{
    const Bytes file(512, 0x00);
    dz::UpdateEncoder e(UpdateTarget::Lan, file, {});
    const Bytes b1 = bytesOf(e.BuildNextBlock());
    const Bytes b2 = bytesOf(e.BuildNextBlock());
    EXPECT_EQ(std::count(b1.begin() + 1, b1.end(), 0xFF) + std::count(b2.begin() + 1, b2.end(), 0xFF), 0);
    ASSERT_TRUE(e.complete());
    const Bytes closing = bytesOf(e.BuildNextBlock());
    EXPECT_EQ(closing[0], 0x83);
    EXPECT_EQ(Bytes(closing.begin() + 1, closing.end()), Bytes(256, 0xFF));
}

TEST(SequenceBytes, WrapFromFFTo80)
{
    dz::UpdateEncoder e(UpdateTarget::Pocket, pattern(2000), {});
    Bytes sequence;
    for (int i = 0; i < 3; ++i) {
        sequence.push_back(bytesOf(e.BuildNextBlock())[0]);
    }
    for (int i = 0; i < 2; ++i) {
        const Bytes b = bytesOf(e.BuildNextBlock());
        for (int r = 0; r < 64; ++r) {
            sequence.push_back(b[5 * r]);
        }
    }
    // The 127th record has FF, the 128th 80, the 129th 81.
    EXPECT_EQ(sequence[126], 0xFF);
    EXPECT_EQ(sequence[127], 0x80);
    EXPECT_EQ(sequence[128], 0x81);
}

struct SizeCase {
    UpdateTarget target;
    std::size_t size;
};

class Reassembly : public testing::TestWithParam<SizeCase> {};

TEST_P(Reassembly, DataBytesOfAllBlocksAreTheFileInOrder)
{
    const Bytes file = pattern(GetParam().size);
    dz::UpdateEncoder e(GetParam().target, file, {});
    Bytes got;
    std::size_t blocks = 0;
    while (!e.complete()) {
        const auto b = e.BuildNextBlock();
        if (!b.carriesData) {
            continue;
        }
        ++blocks;
        if (GetParam().target == UpdateTarget::Lan) {
            got.insert(got.end(), b.bytes.begin() + 1, b.bytes.end());
        } else {
            for (int r = 0; r < 64; ++r) {
                got.insert(got.end(), b.bytes.begin() + 5 * r + 1, b.bytes.begin() + 5 * r + 5);
            }
        }
    }
    EXPECT_EQ(blocks, (GetParam().size + 255) / 256);
    got.resize(file.size());
    EXPECT_EQ(got, file);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Reassembly,
                         testing::Values(SizeCase{UpdateTarget::Pocket, 1}, SizeCase{UpdateTarget::Pocket, 255},
                                         SizeCase{UpdateTarget::Pocket, 256}, SizeCase{UpdateTarget::Pocket, 257},
                                         SizeCase{UpdateTarget::Pocket, 70000}, SizeCase{UpdateTarget::Lan, 1},
                                         SizeCase{UpdateTarget::Lan, 257}, SizeCase{UpdateTarget::Lan, 70000}));

}  // namespace
