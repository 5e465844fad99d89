#include "scan/ScanPixels.h"

#include <algorithm>

namespace dz {

namespace {

constexpr std::array<Rgb, 256> makeTable()
{
    std::array<Rgb, 256> t{};
    for (int b = 0; b < 256; ++b) {
        t[b] = expandPixel(static_cast<uint8_t>(b));
    }
    return t;
}

constexpr std::array<Rgb, 256> kExpanded = makeTable();

}  // namespace

void paintColumn(const PixelRows& picture, int x, int y, const uint8_t* pixels, int rows)
{
    if (x < 0 || x >= picture.width || rows <= 0) {
        return;
    }
    const int first = std::max(0, -y);
    const int end = std::min(rows, picture.height - y);
    uint8_t* at = picture.bits + static_cast<std::ptrdiff_t>(y + first) * picture.bytesPerLine + x * 3;
    for (int r = first; r < end; ++r, at += picture.bytesPerLine) {
        const Rgb c = kExpanded[pixels[r]];
        at[0] = c.r;
        at[1] = c.g;
        at[2] = c.b;
    }
}

void fillTopLeft(const PixelRows& picture, int width, int height, Rgb colour)
{
    const int w = std::clamp(width, 0, picture.width);
    const int h = std::clamp(height, 0, picture.height);
    for (int y = 0; y < h; ++y) {
        uint8_t* at = picture.bits + static_cast<std::ptrdiff_t>(y) * picture.bytesPerLine;
        for (int x = 0; x < w; ++x, at += 3) {
            at[0] = colour.r;
            at[1] = colour.g;
            at[2] = colour.b;
        }
    }
}

}  // namespace dz
