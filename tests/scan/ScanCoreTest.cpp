// The display scan's pure parts: the request, the column records, the pixel
// byte and the painting, the area rules and the presets.

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "scan/ScanArea.h"
#include "scan/ScanPixels.h"
#include "scan/ScanProtocol.h"

namespace dz {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(ScanPixel, ExpandsEachComponentToItsLevels)
{
    struct Case {
        uint8_t byte;
        Rgb colour;
    };
    const Case cases[] = {
        {0xFF, {255, 255, 255}}, {0x00, {0, 0, 0}},   {0xE0, {0, 0, 255}},
        {0x1C, {0, 255, 0}},     {0x03, {255, 0, 0}}, {0x49, {85, 72, 72}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(expandPixel(c.byte), c.colour) << int(c.byte);
    }
    const int levels[] = {0, 36, 72, 109, 145, 182, 218, 255};
    for (int v = 0; v < 8; ++v) {
        EXPECT_EQ(expandPixel(static_cast<uint8_t>(v << 5)).b, levels[v]);
        EXPECT_EQ(expandPixel(static_cast<uint8_t>(v << 2)).g, levels[v]);
    }
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(expandPixel(static_cast<uint8_t>(v)).r, v * 85);
    }
}

TEST(ScanRequest, PresetAreasGoOutByteForByte)
{
    struct Case {
        ScanArea area;
        ScanRequest bytes;
    };
    const Case cases[] = {
        {{0, 0, 800, 480}, {0x08, 0x00, 0x00, 0x00, 0x00, 0x20, 0x03, 0xE0, 0x01, 0x00}},
        {{0, 0, 640, 480}, {0x08, 0x00, 0x00, 0x00, 0x00, 0x80, 0x02, 0xE0, 0x01, 0x00}},
        {{0, 93, 520, 387}, {0x08, 0x00, 0x00, 0x5D, 0x00, 0x08, 0x02, 0x83, 0x01, 0x00}},
        {{0, 93, 648, 387}, {0x08, 0x00, 0x00, 0x5D, 0x00, 0x88, 0x02, 0x83, 0x01, 0x00}},
        {{790, 470, 1, 2}, {0x08, 0x16, 0x03, 0xD6, 0x01, 0x01, 0x00, 0x02, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(buildScanRequest(c.area), c.bytes) << c.area.W << "x" << c.area.H;
    }
}

TEST(ScanRequest, ColumnRecordLengthIsHeightPlusTwoRoundedUpToFour)
{
    const std::pair<int, int> cases[] = {{480, 484}, {387, 392}, {0, 4}, {1, 4}, {2, 4}, {3, 8}, {6, 8}, {7, 12}};
    for (const auto& [height, length] : cases) {
        EXPECT_EQ(columnRecordLength(height), length) << height;
    }
}

Bytes columnRecord(int index, int length)
{
    Bytes b(static_cast<std::size_t>(length), 0x49);
    b[0] = static_cast<uint8_t>(index & 0xFF);
    b[1] = static_cast<uint8_t>(index >> 8);
    return b;
}

TEST(ScanRecordRead, TellsStatusColumnAndBadRecordsApart)
{
    using K = ScanRecord::Kind;
    struct Case {
        const char* what;
        Bytes payload;
        int expected, width, rows;
        K kind;
        int index, paintedRows;
        bool last;
    };
    const Case cases[] = {
        {"status 0", {0, 1, 2, 3}, 484, 800, 480, K::Status, 0, 0, false},
        {"column 5", columnRecord(5, 484), 484, 800, 480, K::Column, 5, 480, false},
        {"last column", columnRecord(799, 484), 484, 800, 480, K::Column, 799, 480, true},
        {"one byte long", columnRecord(5, 485), 484, 800, 480, K::Bad, 0, 0, false},
        {"one byte short", columnRecord(5, 483), 484, 800, 480, K::Bad, 0, 0, false},
        {"index equal to W", columnRecord(800, 484), 484, 800, 480, K::Bad, 0, 0, false},
        {"W of 0", columnRecord(0, 484), 484, 0, 480, K::Bad, 0, 0, false},
        {"W lowered under the index", columnRecord(300, 484), 484, 200, 480, K::Bad, 0, 0, false},
        {"rows past the record's end", columnRecord(2, 104), 104, 800, 480, K::Column, 2, 102, false},
        {"rows lowered", columnRecord(2, 484), 484, 800, 10, K::Column, 2, 10, false},
        {"too short for an index", {7}, 4, 800, 2, K::Bad, 0, 0, false},
    };
    for (const Case& c : cases) {
        const ScanRecord r =
            readScanRecord(c.payload.data(), static_cast<int>(c.payload.size()), c.expected, c.width, c.rows);
        EXPECT_EQ(r.kind, c.kind) << c.what;
        if (r.kind == K::Column) {
            EXPECT_EQ(r.index, c.index) << c.what;
            EXPECT_EQ(r.rows, c.paintedRows) << c.what;
            EXPECT_EQ(r.last, c.last) << c.what;
            EXPECT_EQ(r.pixels, c.payload.data() + 2) << c.what;
        }
    }
    // With H of 2 or less every column record is as long as a status record.
    const Bytes column3 = columnRecord(3, 4);
    const ScanRecord r = readScanRecord(column3.data(), 4, columnRecordLength(2), 800, 2);
    EXPECT_EQ(r.kind, K::Status);
    EXPECT_EQ(r.status, 3);
}

struct Picture {
    static constexpr int kW = 12, kH = 9, kLine = 40;  // a padded row, as images have
    std::vector<uint8_t> bits = std::vector<uint8_t>(kLine * kH, 0xAA);
    PixelRows rows() { return {bits.data(), kW, kH, kLine}; }
    Rgb at(int x, int y) const
    {
        const uint8_t* p = &bits[static_cast<std::size_t>(y * kLine + x * 3)];
        return {p[0], p[1], p[2]};
    }
};

TEST(ScanPaint, ColumnGoesDownOneColumnAndStaysInsideThePicture)
{
    Picture pic;
    const uint8_t pixels[] = {0xFF, 0xE0, 0x1C, 0x03, 0x49, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    paintColumn(pic.rows(), 3, 2, pixels, 4);
    EXPECT_EQ(pic.at(3, 2), expandPixel(0xFF));
    EXPECT_EQ(pic.at(3, 3), expandPixel(0xE0));
    EXPECT_EQ(pic.at(3, 5), expandPixel(0x03));
    EXPECT_EQ(pic.at(3, 6), (Rgb{0xAA, 0xAA, 0xAA}));
    EXPECT_EQ(pic.at(3, 1), (Rgb{0xAA, 0xAA, 0xAA}));
    EXPECT_EQ(pic.at(4, 2), (Rgb{0xAA, 0xAA, 0xAA}));

    // Rows below the picture and columns beside it are left out, never written.
    Picture clipped;
    paintColumn(clipped.rows(), 11, 5, pixels, 11);
    paintColumn(clipped.rows(), 12, 0, pixels, 4);
    paintColumn(clipped.rows(), -1, 0, pixels, 4);
    EXPECT_EQ(clipped.at(11, 5), expandPixel(0xFF));
    EXPECT_EQ(clipped.at(11, 8), expandPixel(0x03));
    for (std::size_t i = 0; i < clipped.bits.size(); ++i) {
        const int y = static_cast<int>(i) / Picture::kLine;
        const int x = static_cast<int>(i) % Picture::kLine / 3;
        if (x != 11 || y < 5 || static_cast<int>(i) % Picture::kLine >= Picture::kW * 3) {
            ASSERT_EQ(clipped.bits[i], 0xAA) << "byte " << i;
        }
    }
}

TEST(ScanPaint, FillCoversExactlyTheTopLeftRectangle)
{
    Picture pic;
    fillTopLeft(pic.rows(), 5, 3, Rgb{1, 2, 3});
    for (int y = 0; y < Picture::kH; ++y) {
        for (int x = 0; x < Picture::kW; ++x) {
            const bool inside = x < 5 && y < 3;
            EXPECT_EQ(pic.at(x, y), inside ? (Rgb{1, 2, 3}) : (Rgb{0xAA, 0xAA, 0xAA})) << x << "," << y;
        }
    }
    Picture whole;
    fillTopLeft(whole.rows(), 100, 100, Rgb{9, 9, 9});
    EXPECT_EQ(whole.at(Picture::kW - 1, Picture::kH - 1), (Rgb{9, 9, 9}));
    EXPECT_EQ(whole.bits[Picture::kW * 3], 0xAA) << "the row's padding";
}

TEST(ScanAreaRules, TheEditedValueGivesWay)
{
    struct Case {
        AreaField changed;
        ScanArea area;
        int limit;
        std::optional<int> result;
    };
    const Case cases[] = {
        {AreaField::X, {10, 0, 800, 480}, 800, 0},    {AreaField::X, {100, 0, 540, 480}, 640, std::nullopt},
        {AreaField::X, {101, 0, 540, 480}, 640, 100}, {AreaField::Y, {0, 200, 800, 400}, 800, 80},
        {AreaField::W, {100, 0, 700, 480}, 640, 540}, {AreaField::W, {0, 0, 800, 480}, 800, std::nullopt},
        {AreaField::H, {0, 200, 800, 400}, 800, 280}, {AreaField::X, {50, 0, 700, 480}, 640, -60},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(areaRule(c.changed, c.area, c.limit), c.result) << static_cast<int>(c.changed);
    }
}

TEST(ScanAreaRules, EachPresetLandsOnItsAreaFromAnyEarlierOne)
{
    struct Case {
        ScanPreset preset;
        ScanArea result;
    };
    const Case cases[] = {
        {ScanPreset::FullVga, {0, 0, 640, 480}},
        {ScanPreset::FullWvga, {0, 0, 800, 480}},
        {ScanPreset::DiagramVga, {0, 93, 520, 387}},
        {ScanPreset::DiagramWvga, {0, 93, 648, 387}},
    };
    const ScanArea earlier[] = {{}, {790, 470, 0, 0}, {50, 0, 700, 480}, {0, 400, 800, 80}};
    for (const Case& c : cases) {
        for (const ScanArea& from : earlier) {
            const ScanArea a = presetArea(c.preset, from);
            EXPECT_EQ(std::tie(a.X, a.Y, a.W, a.H), std::tie(c.result.X, c.result.Y, c.result.W, c.result.H))
                << static_cast<int>(c.preset) << " from " << from.X << "," << from.Y << "," << from.W << "," << from.H;
        }
    }
}

}  // namespace
}  // namespace dz
