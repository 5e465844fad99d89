#pragma once
// The receiver's screen as the simulated receiver shows it: 800 × 480 pixels,
// one byte each (blue in bits 7-5, green in 4-2, red in 1-0). Drawn from code
// and always the same: a menu bar, the frequency read-out, the spectrum diagram
// where the "Diagram" presets look, and a column of soft keys on the right.

#include <cstdint>
#include <vector>

namespace dzsim {

class ScanScreen {
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 480;

    ScanScreen();

    uint8_t at(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * kWidth + x]; }

private:
    void fill(int x, int y, int w, int h, uint8_t colour);
    void set(int x, int y, uint8_t colour);
    void digit(int x, int y, int size, int value, uint8_t colour);
    void dot(int x, int y, int size, uint8_t colour);

    std::vector<uint8_t> m_pixels;
};

}  // namespace dzsim
