#include "macros/key_lookup.h"

#include "keys/key_lookup.h"
#include "keys/key_names.h"

namespace tessaron::macros {

std::string_view keyDisplayName(std::uint8_t vk) {
    return keys::keyName(vk);
}

std::uint8_t deviceCode(std::uint8_t vk) {
    return keys::usageCode(vk);
}

std::optional<std::uint8_t> keyByName(std::string_view text) {
    return keys::findKeyCode(text);
}

}  // namespace tessaron::macros
