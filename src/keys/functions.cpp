#include "keys/functions.h"
#include "core/text.h"

#include <array>

namespace tessaron::keys {
namespace {

constexpr std::array<KeyFunction, kFunctionCount> kFunctions{{
    {TR_TEXT("Keys", "Search"), {0x00, 0xE3, 0x09, 0x00}},
    {TR_TEXT("Keys", "Run"), {0x00, 0xE3, 0x15, 0x00}},
    {TR_TEXT("Keys", "Media Player"), {0x03, 0x00, 0x83, 0x01}},
    {TR_TEXT("Keys", "Prev"), {0x03, 0x00, 0xB6, 0x00}},
    {TR_TEXT("Keys", "Next"), {0x03, 0x00, 0xB5, 0x00}},
    {TR_TEXT("Keys", "Play/Pause"), {0x03, 0x00, 0xCD, 0x00}},
    {TR_TEXT("Keys", "Stop"), {0x03, 0x00, 0xB7, 0x00}},
    {TR_TEXT("Keys", "Vol+"), {0x03, 0x00, 0xE9, 0x00}},
    {TR_TEXT("Keys", "Vol-"), {0x03, 0x00, 0xEA, 0x00}},
    {TR_TEXT("Keys", "Mute"), {0x03, 0x00, 0xE2, 0x00}},
    {TR_TEXT("Keys", "New"), {0x00, 0xE0, 0x11, 0x00}},
    {TR_TEXT("Keys", "Cut"), {0x00, 0xE0, 0x1B, 0x00}},
    {TR_TEXT("Keys", "Copy"), {0x00, 0xE0, 0x06, 0x00}},
    {TR_TEXT("Keys", "Paste"), {0x00, 0xE0, 0x19, 0x00}},
    {TR_TEXT("Keys", "Save"), {0x00, 0xE0, 0x16, 0x00}},
    {TR_TEXT("Keys", "Print"), {0x00, 0xE0, 0x13, 0x00}},
    {TR_TEXT("Keys", "Select All"), {0x00, 0xE0, 0x04, 0x00}},
    {TR_TEXT("Keys", "Max"), {0x00, 0xE2, 0x2C, 0x1B}},
    {TR_TEXT("Keys", "Min"), {0x00, 0xE2, 0x2C, 0x11}},
    {TR_TEXT("Keys", "Computer"), {0x03, 0x00, 0x94, 0x01}},
    {TR_TEXT("Keys", "Task Management"), {0x00, 0xE0, 0xE2, 0x4C}},
    {TR_TEXT("Keys", "Homepage"), {0x03, 0x00, 0x23, 0x02}},
    {TR_TEXT("Keys", "Close"), {0x00, 0xE2, 0x3D, 0x00}},
}};

}  // namespace

std::span<const KeyFunction, kFunctionCount> functionTable() {
    return kFunctions;
}

std::optional<std::size_t> findFunctionByName(std::string_view name, Language lang) {
    for (std::size_t i = 0; i < kFunctionCount; ++i) {
        if (kFunctions[i].name(lang) == name) return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> findFunctionByCell(const KeyCell& c) {
    for (std::size_t i = 0; i < kFunctionCount; ++i) {
        if (kFunctions[i].cell == c) return i;
    }
    return std::nullopt;
}

}  // namespace tessaron::keys
