#pragma once
// The key name table: for every virtual-key code the usage the keyboard must emit for it and the
// name under which the key is shown. Most names end in one space so that names can be run
// together with "+ " between them.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessaron::keys {

struct KeyNameEntry {
    std::uint8_t code = 0;   // the entry's own virtual-key code
    std::uint8_t usage = 0;  // 0 = none
    std::string_view name;   // empty = none
};

inline constexpr std::size_t kKeyNameCount = 256;

const std::array<KeyNameEntry, kKeyNameCount>& keyNameTable();

std::string_view keyName(std::uint8_t vk);
std::uint8_t usageCode(std::uint8_t vk);

// The names of the non-zero codes joined with "+ " ("LCtrl + C ").
std::string joinKeyNames(std::span<const std::uint8_t> vks);

}  // namespace tessaron::keys
