#pragma once
// Finding keys by the words people type for them: a legend or a key name as the key tables spell
// them, compared without regard to letter case or surrounding blanks, or "#N" for key index N.

#include <cstdint>
#include <optional>
#include <string_view>

#include "keys/key_layout.h"

namespace tessaron::keys {

// A key of the layout. Legends are tried before names; keys that can take an assignment are
// preferred over the left Windows key, the Fn key and the absent positions with the same words
// ("Apps" is the App key, not Fn).
std::optional<KeyIndex> findKey(std::string_view text);

// A virtual-key code for a captured key: the layout key's code, else a code of the key name
// table by its name ("RWin").
std::optional<std::uint8_t> findKeyCode(std::string_view text);

}  // namespace tessaron::keys
