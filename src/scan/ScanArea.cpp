#include "scan/ScanArea.h"

#include <algorithm>
#include <utility>

namespace dz {

std::optional<int> areaRule(AreaField changed, const ScanArea& a, int limit)
{
    switch (changed) {
        case AreaField::X:
            if (limit - a.W < a.X) {
                return limit - a.W;
            }
            break;
        case AreaField::Y:
            if (screen::kHeight - a.H < a.Y) {
                return screen::kHeight - a.H;
            }
            break;
        case AreaField::W:
            if (limit - a.X < a.W) {
                return limit - a.X;
            }
            break;
        case AreaField::H:
            if (screen::kHeight - a.Y < a.H) {
                return screen::kHeight - a.Y;
            }
            break;
    }
    return std::nullopt;
}

int widthLimit(ScanPreset preset)
{
    return preset == ScanPreset::FullVga || preset == ScanPreset::DiagramVga ? screen::kVgaWidth : screen::kWvgaWidth;
}

std::vector<AreaStep> presetSteps(ScanPreset preset)
{
    using F = AreaField;
    switch (preset) {
        case ScanPreset::FullVga:
            return {{F::X, 0}, {F::Y, 0}, {F::W, 640}, {F::H, 480}};
        case ScanPreset::FullWvga:
            return {{F::X, 0}, {F::Y, 0}, {F::W, 800}, {F::H, 480}};
        case ScanPreset::DiagramVga:
            return {{F::W, 1}, {F::H, 1}, {F::X, 0}, {F::Y, 93}, {F::W, 520}, {F::H, 387}};
        case ScanPreset::DiagramWvga:
            return {{F::W, 1}, {F::H, 1}, {F::X, 0}, {F::Y, 93}, {F::W, 648}, {F::H, 387}};
    }
    return {};
}

ScanArea presetArea(ScanPreset preset, ScanArea from)
{
    const auto slot = [&from](AreaField f) -> std::pair<int*, int> {
        switch (f) {
            case AreaField::X:
                return {&from.X, screen::kXMax};
            case AreaField::Y:
                return {&from.Y, screen::kYMax};
            case AreaField::W:
                return {&from.W, screen::kWMax};
            case AreaField::H:
                return {&from.H, screen::kHMax};
        }
        return {&from.X, screen::kXMax};
    };
    const int limit = widthLimit(preset);
    for (const AreaStep& step : presetSteps(preset)) {
        const auto [value, maximum] = slot(step.field);
        *value = std::clamp(step.value, 0, maximum);
        if (const std::optional<int> v = areaRule(step.field, from, limit)) {
            *value = std::clamp(*v, 0, maximum);
        }
    }
    return from;
}

}  // namespace dz
