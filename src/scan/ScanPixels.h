#pragma once
// The receiver's pixel byte and the 24-bit picture it is painted into.
//
//   bit  7 6 5 | 4 3 2 | 1 0
//        blue  | green | red     blue and green in 8 levels, red in 4
//
// The picture is rows of 3-byte pixels in the order red, green, blue, each row
// `bytesPerLine` long: the layout of an RGB888 image.

#include <array>
#include <cstdint>

namespace dz {

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb expandPixel(uint8_t b)
{
    return Rgb{static_cast<uint8_t>((b & 3) * 85), static_cast<uint8_t>(((b >> 2) & 7) * 255 / 7),
               static_cast<uint8_t>(((b >> 5) & 7) * 255 / 7)};
}

struct PixelRows {
    uint8_t* bits;
    int width;
    int height;
    int bytesPerLine;
};

// Paints `rows` pixel bytes top to bottom into picture column x from row y on;
// whatever falls outside the picture is left out.
void paintColumn(const PixelRows& picture, int x, int y, const uint8_t* pixels, int rows);

// Fills the rectangle from (0, 0) to (width − 1, height − 1), clipped to the picture.
void fillTopLeft(const PixelRows& picture, int width, int height, Rgb colour);

}  // namespace dz
