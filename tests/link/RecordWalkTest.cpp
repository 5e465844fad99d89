// The record walk and the version text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/RecordWalk.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Writes every effect of the walk as one line, so that a case reads as what happened.
class Trace final : public dz::RecordSink {
public:
    std::vector<std::string> lines;
    void replyCode(int code) override { lines.push_back("reply " + std::to_string(code)); }
    void versionText(const std::string& text) override { lines.push_back("version " + text); }
    void slotBlock(const uint8_t*, int count) override { lines.push_back("slot block " + std::to_string(count)); }
    void unknownRecord(int code) override { lines.push_back("end on " + std::to_string(code)); }
};

struct WalkCase {
    const char* name;
    Bytes payload;
    std::vector<std::string> effects;
};

class RecordWalk : public testing::TestWithParam<WalkCase> {};

TEST_P(RecordWalk, ActsOnEachRecordByItsCode)
{
    const WalkCase& c = GetParam();
    Trace t;
    dz::walkRecords(c.payload.data(), static_cast<int>(c.payload.size()), t);
    EXPECT_EQ(t.lines, c.effects);
}

const Bytes kVersion{18, 0x05, 0, 0, 0x54, 0x00, 0x07, 0x01};

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, RecordWalk,
    testing::Values(
        WalkCase{"PocketThenVersion", Bytes{85, 0, 0, 0} + kVersion, {"reply 85", "version LAN V05; KAV0054 V107"}},
        WalkCase{"UnknownCodeDropsTheRest", Bytes{0, 0, 0, 0, 7, 0, 0, 0, 85, 0, 0, 0}, {"reply 0", "end on 7"}},
        WalkCase{"CodeOneIsNotPassedOver", Bytes{1, 0, 0, 0, 85, 0, 0, 0}, {"end on 1"}},
        WalkCase{"CodeTwoIsPassedOver", Bytes{2, 9, 9, 9, 90, 0, 0, 0}, {"reply 90"}},
        WalkCase{"Code192SkipsEightBytes", Bytes{192, 1, 2, 3, 85, 5, 6, 7, 0, 0, 0, 0}, {"reply 0"}},
        WalkCase{"VersionCutByThePayloadEndIsIgnored", Bytes{0, 0, 0, 0, 18, 5, 0, 0, 0x54}, {"reply 0"}},
        WalkCase{"Code192CutIsIgnored", Bytes{192, 0, 0, 0}, {}}, WalkCase{"HeaderCutShortIsIgnored", Bytes{85, 0}, {}},
        WalkCase{"EmptyPayload", Bytes{}, {}}),
    [](const testing::TestParamInfo<WalkCase>& p) { return std::string(p.param.name); });

TEST(RecordWalkSlots, SlotBlockIsHandedOnWithEverythingAfterItsStart)
{
    Bytes payload{0, 0, 0, 0, 16, 0, 0, 0, 5, 0, 0, 0};
    payload.resize(4 + 264, 0xAB);
    Trace t;
    dz::walkRecords(payload.data(), static_cast<int>(payload.size()), t);
    EXPECT_EQ(t.lines, (std::vector<std::string>{"reply 0", "slot block 264"}));
}

struct VersionCase {
    Bytes record;
    const char* text;
};

class VersionText : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionText, FormatsTheThreeNumbersInHex)
{
    EXPECT_EQ(dz::versionText(GetParam().record.data()), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Records, VersionText,
    testing::Values(VersionCase{{18, 0x05, 0, 0, 0x54, 0x00, 0x07, 0x01}, "LAN V05; KAV0054 V107"},
                    VersionCase{{18, 0x00, 0, 0, 0x00, 0x00, 0x00, 0x80}, "LAN V00; KAV0000 VFFFF8000"},
                    VersionCase{{18, 0xAB, 9, 9, 0xFF, 0xFF, 0xFF, 0x7F}, "LAN VAB; KAVFFFF V7FFF"},
                    VersionCase{{18, 0x0F, 0, 0, 0x34, 0x12, 0x05, 0x00}, "LAN V0F; KAV1234 V005"},
                    VersionCase{{18, 0x01, 0, 0, 0x01, 0x00, 0xFF, 0xFF}, "LAN V01; KAV0001 VFFFFFFFF"}));

}  // namespace
