#pragma once
// The 23 named multimedia and system functions a key can be given, in the order the key page
// lists them.

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "core/language.h"
#include "core/text.h"
#include "keys/key_cell.h"

namespace tessaron::keys {

struct KeyFunction {
    Text text;
    KeyCell cell;

    std::string_view english() const { return text.source; }
    std::string name(Language lang) const { return translate(lang, text); }
};

inline constexpr std::size_t kFunctionCount = 23;

std::span<const KeyFunction, kFunctionCount> functionTable();

// The first function whose name in the interface language equals name exactly.
std::optional<std::size_t> findFunctionByName(std::string_view name, Language lang);
// The first function whose cell equals the given cell.
std::optional<std::size_t> findFunctionByCell(const KeyCell& c);

}  // namespace tessaron::keys
