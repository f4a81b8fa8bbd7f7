#include "macros/key_lookup.h"

#include <array>
#include <string>

namespace tessaron::macros {
namespace {

// Stand-in for the key name table until the keys module provides it: the names that follow from
// the table's rules for letters, digits, function keys and the mouse action keys.
struct Entry {
    std::string name;
    std::uint8_t usage = 0;
};

const std::array<Entry, 256>& table() {
    static const std::array<Entry, 256> entries = [] {
        std::array<Entry, 256> t{};
        for (int vk = 'A'; vk <= 'Z'; ++vk) {
            t[vk] = {std::string(1, static_cast<char>(vk)) + " ",
                     static_cast<std::uint8_t>(vk - 61)};
        }
        for (int vk = '1'; vk <= '9'; ++vk) {
            t[vk] = {std::string(1, static_cast<char>(vk)) + " ",
                     static_cast<std::uint8_t>(vk - 19)};
        }
        t['0'] = {"0", 0x27};
        for (int vk = 112; vk <= 123; ++vk) {
            t[vk] = {"F" + std::to_string(vk - 111) + " ", static_cast<std::uint8_t>(vk - 54)};
        }
        t[92] = {"RWin ", 0xE7};
        const char* mouse[] = {"MsLB",
                               "MsRB",
                               "MsMB",
                               "",
                               "",
                               "Mouse Pointer Right",
                               "Mouse Pointer Up",
                               "Mouse pointer Down",
                               "Mouse Wheel Up",
                               "Mouse Wheel Down"};
        for (int i = 0; i < 10; ++i) t[0xF0 + i] = {mouse[i], static_cast<std::uint8_t>(0xF0 + i)};
        return t;
    }();
    return entries;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

std::string_view keyDisplayName(std::uint8_t vk) {
    return table()[vk].name;
}

std::uint8_t deviceCode(std::uint8_t vk) {
    return table()[vk].usage;
}

std::optional<std::uint8_t> keyByName(std::string_view text) {
    text = trim(text);
    if (text.empty()) return std::nullopt;
    for (int vk = 1; vk < 256; ++vk) {
        const auto code = static_cast<std::uint8_t>(vk);
        if (equalsIgnoringCase(trim(keyDisplayName(code)), text)) return code;
    }
    return std::nullopt;
}

}  // namespace tessaron::macros
