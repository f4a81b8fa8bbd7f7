#pragma once
// Key names and device codes of virtual-key codes, as macros show and store them.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaron::macros {

// The display name of a virtual-key code ("A ", "F1 ", "MsLB"); empty when the key has none.
std::string_view keyDisplayName(std::uint8_t vk);

// The code the keyboard plays for the key (its usage); 0 when the keyboard has none.
std::uint8_t deviceCode(std::uint8_t vk);

// The virtual-key code of a key named by its legend or name, letter case and surrounding blanks
// ignored; nothing for an unknown name.
std::optional<std::uint8_t> keyByName(std::string_view text);

}  // namespace tessaron::macros
