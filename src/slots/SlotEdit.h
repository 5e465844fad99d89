#pragma once
// What an edited grid cell stores: the name field and the slot number.

#include <optional>
#include <string>
#include <string_view>

namespace dz {

// The name in the receiver's code page as the name field holds it: its first
// 17 characters, filled with blanks to 17.
std::string nameField(std::string_view ansi);

// The number cell's text as a slot number 0 to 15, blanks around it allowed;
// nothing for any other text.
std::optional<int> slotNumber(std::string_view text);

}  // namespace dz
