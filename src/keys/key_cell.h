#pragma once
// A key cell is what the keyboard itself executes for one key: 4 bytes in the device key map.

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/device_image.h"

namespace tessaron::keys {

inline constexpr std::size_t kCellSize = device::image::kCellSize;
using KeyCell = std::array<std::uint8_t, kCellSize>;

// Byte 0 of a cell: what the keyboard does with bytes 1..3.
namespace cell {
inline constexpr std::uint8_t kKeyboard = 0x00;    // up to three keyboard-page usages in 1..3
inline constexpr std::uint8_t kFn = 0x02;          // the Fn key itself
inline constexpr std::uint8_t kConsumer = 0x03;    // consumer usage: low byte 2, high byte 3
inline constexpr std::uint8_t kMacro = 0x04;       // 04 01 n 00 plays macro slot n
inline constexpr std::uint8_t kHostAction = 0x0A;  // 0A 00 vk 00 reports vk to the host
}  // namespace cell

// Byte 2 carries the usage of a plain key, the macro number and the host-action key code.
inline constexpr std::size_t kCellValueByte = 2;

constexpr KeyCell plainKeyCell(std::uint8_t usage) {
    return {cell::kKeyboard, 0, usage, 0};
}
constexpr KeyCell macroCell(std::uint8_t macro) {
    return {cell::kMacro, 1, macro, 0};
}
constexpr KeyCell hostActionCell(std::uint8_t vk) {
    return {cell::kHostAction, 0, vk, 0};
}

inline KeyCell readCell(const device::DeviceImage& image, std::size_t offset) {
    KeyCell c{};
    for (std::size_t i = 0; i < kCellSize; ++i) c[i] = image.at(offset + i);
    return c;
}

inline void writeCell(device::DeviceImage& image, std::size_t offset, const KeyCell& c) {
    for (std::size_t i = 0; i < kCellSize; ++i) image.at(offset + i) = c[i];
}

}  // namespace tessaron::keys
