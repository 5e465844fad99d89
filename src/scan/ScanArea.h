#pragma once
// The rules that keep the scan area inside the receiver's screen, and the four
// presets. The screen is 640 × 480 under the VGA presets, 800 × 480 otherwise.

#include <optional>
#include <vector>

#include "scan/ScanProtocol.h"

namespace dz {

namespace screen {
constexpr int kVgaWidth = 640;
constexpr int kWvgaWidth = 800;
constexpr int kHeight = 480;
// The ranges of the four area fields; they never change.
constexpr int kXMax = 790;
constexpr int kYMax = 470;
constexpr int kWMax = 800;
constexpr int kHMax = 480;
}  // namespace screen

enum class AreaField { X, Y, W, H };

// The rule of the field that has just changed: the value it must take instead, or
// nothing when it may stand. Each rule moves only its own field, so the value
// being edited is the one that gives way.
std::optional<int> areaRule(AreaField changed, const ScanArea& area, int widthLimit);

enum class ScanPreset { FullVga, FullWvga, DiagramVga, DiagramWvga };

struct AreaStep {
    AreaField field;
    int value;
};

// The width limit a preset sets and its assignments, in the order they are made.
// The diagram presets shrink W and H first, so that the height rule cannot pull
// their Y of 93 back: from any earlier area each preset lands on its result.
int widthLimit(ScanPreset preset);
std::vector<AreaStep> presetSteps(ScanPreset preset);

// Where a preset's steps lead from `from`, each value brought into its field's
// range and through that field's rule, as the page's controls do.
ScanArea presetArea(ScanPreset preset, ScanArea from = {});

}  // namespace dz
