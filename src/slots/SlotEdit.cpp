#include "slots/SlotEdit.h"

#include "slots/SlotRecord.h"

namespace dz {

std::string nameField(std::string_view ansi)
{
    std::string field(ansi.substr(0, slot::kNameLength));
    field.resize(slot::kNameLength, ' ');
    return field;
}

std::optional<int> slotNumber(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view digits = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (digits.size() > 2) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > 15) {
        return std::nullopt;
    }
    return value;
}

}  // namespace dz
