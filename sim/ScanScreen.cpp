#include "ScanScreen.h"

#include <cmath>

namespace dzsim {

namespace {

constexpr uint8_t rgb(int r3, int g3, int b3)
{
    // r3 in 0..3, g3 and b3 in 0..7
    return static_cast<uint8_t>((b3 << 5) | (g3 << 2) | r3);
}

constexpr uint8_t kBlack = 0x00;
constexpr uint8_t kWhite = 0xFF;
constexpr uint8_t kMenuBar = rgb(0, 1, 3);
constexpr uint8_t kMenuKey = rgb(1, 3, 5);
constexpr uint8_t kReadout = rgb(3, 7, 0);  // yellow
constexpr uint8_t kDiagramBack = rgb(0, 0, 1);
constexpr uint8_t kGrid = rgb(1, 2, 2);
constexpr uint8_t kTrace = rgb(0, 7, 0);  // green
constexpr uint8_t kTraceFill = rgb(0, 3, 1);
constexpr uint8_t kMarker = rgb(3, 0, 0);  // red
constexpr uint8_t kSoftKey = rgb(1, 1, 2);

// Seven segments a-g for 0-9.
constexpr uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

}  // namespace

ScanScreen::ScanScreen() : m_pixels(static_cast<std::size_t>(kWidth) * kHeight, kBlack)
{
    // Menu bar with five keys.
    fill(0, 0, kWidth, 28, kMenuBar);
    for (int k = 0; k < 5; ++k) {
        fill(8 + k * 128, 4, 112, 20, kMenuKey);
        fill(20 + k * 128, 12, 40 + 8 * k, 4, kWhite);
    }
    // Frequency read-out "145.500.000" in seven segments, the S-meter beside it.
    const int digits[] = {1, 4, 5, -1, 5, 0, 0, -1, 0, 0, 0};
    int x = 24;
    for (int d : digits) {
        if (d < 0) {
            dot(x, 80, 4, kReadout);
            x += 14;
        } else {
            digit(x, 36, 26, d, kReadout);
            x += 40;
        }
    }
    for (int bar = 0; bar < 20; ++bar) {
        fill(520 + bar * 12, 70 - bar, 8, 14 + bar, bar < 14 ? kTrace : kMarker);
    }
    // The spectrum diagram, 648 × 387 from row 93: grid, a noise floor with three
    // carriers, filled below the trace, and the tuning marker.
    fill(0, 93, 648, 387, kDiagramBack);
    for (int gx = 0; gx < 648; gx += 54) {
        fill(gx, 93, 1, 387, kGrid);
    }
    for (int gy = 93; gy < kHeight; gy += 43) {
        fill(0, gy, 648, 1, kGrid);
    }
    for (int cx = 0; cx < 648; ++cx) {
        const double noise = 18.0 + 6.0 * std::sin(cx * 0.37) + 4.0 * std::sin(cx * 1.91 + 1.0);
        const auto peak = [cx](double at, double height, double width) {
            const double d = (cx - at) / width;
            return height * std::exp(-d * d);
        };
        const double level = noise + peak(162, 250, 6) + peak(324, 310, 3) + peak(470, 140, 12);
        const int top = kHeight - 1 - static_cast<int>(std::min(level, 380.0));
        for (int y = top + 1; y < kHeight; ++y) {
            set(cx, y, kTraceFill);
        }
        set(cx, top, kTrace);
        set(cx, top - 1, kTrace);
    }
    fill(324, 93, 1, 387, kMarker);
    // Soft keys right of the diagram.
    for (int k = 0; k < 6; ++k) {
        fill(660, 100 + k * 62, 128, 52, kSoftKey);
        fill(672, 120 + k * 62, 60 + 6 * k, 6, kWhite);
    }
}

void ScanScreen::set(int x, int y, uint8_t colour)
{
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) {
        m_pixels[static_cast<std::size_t>(y) * kWidth + x] = colour;
    }
}

void ScanScreen::fill(int x, int y, int w, int h, uint8_t colour)
{
    for (int row = y; row < y + h; ++row) {
        for (int col = x; col < x + w; ++col) {
            set(col, row, colour);
        }
    }
}

void ScanScreen::dot(int x, int y, int size, uint8_t colour)
{
    fill(x, y, size, size, colour);
}

void ScanScreen::digit(int x, int y, int size, int value, uint8_t colour)
{
    const uint8_t s = kSegments[value];
    const int t = 4;  // stroke
    const int w = size;
    const int h = size;
    if (s & 0x01)
        fill(x, y, w, t, colour);  // a
    if (s & 0x02)
        fill(x + w - t, y, t, h, colour);  // b
    if (s & 0x04)
        fill(x + w - t, y + h, t, h, colour);  // c
    if (s & 0x08)
        fill(x, y + 2 * h - t, w, t, colour);  // d
    if (s & 0x10)
        fill(x, y + h, t, h, colour);  // e
    if (s & 0x20)
        fill(x, y, t, h, colour);  // f
    if (s & 0x40)
        fill(x, y + h - t / 2, w, t, colour);  // g
}

}  // namespace dzsim
