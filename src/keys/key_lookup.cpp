#include "keys/key_lookup.h"

#include <cctype>
#include <charconv>

#include "keys/key_names.h"

namespace tessaron::keys {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool sameWords(std::string_view a, std::string_view b) {
    a = trim(a);
    b = trim(b);
    if (a.size() != b.size() || a.empty()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<KeyIndex> byIndexSyntax(std::string_view text) {
    text = trim(text);
    if (text.size() < 2 || text.front() != '#') return std::nullopt;
    unsigned value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data() + 1, end, value);
    if (ec != std::errc() || ptr != end || value >= kLayoutKeyCount) return std::nullopt;
    return static_cast<KeyIndex>(value);
}

}  // namespace

std::optional<KeyIndex> findKey(std::string_view text) {
    if (auto index = byIndexSyntax(text)) return index;
    const auto layout = keyLayout();
    for (const bool assignableOnly : {true, false}) {
        for (const bool byLegend : {true, false}) {
            for (std::size_t i = 0; i < kLayoutKeyCount; ++i) {
                const auto k = static_cast<KeyIndex>(i);
                if (assignableOnly && !isAssignable(k)) continue;
                const std::string_view words = byLegend ? layout[i].legend : keyName(layout[i].vk);
                if (sameWords(words, text)) return k;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::uint8_t> findKeyCode(std::string_view text) {
    if (auto key = findKey(text)) return layoutVk(*key);
    for (const auto& entry : keyNameTable()) {
        if (sameWords(entry.name, text)) return entry.code;
    }
    return std::nullopt;
}

}  // namespace tessaron::keys
