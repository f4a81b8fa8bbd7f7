#pragma once
// What the keyboard holds when it leaves the factory, and again after the factory reset command.

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/virtual/firmware_memory.h"

namespace tessaron::device {

using KeyCellBytes = std::array<std::uint8_t, fw::mem::kCellBytes>;

inline constexpr std::size_t kFactoryColumns = 21;
inline constexpr std::size_t kFactoryRows = 6;
inline constexpr std::size_t kFactoryCells = kFactoryColumns * kFactoryRows;  // 126
static_assert(kFactoryColumns == fw::mem::kCellColumns && kFactoryRows == fw::mem::kCellRows);

// The factory key map in its column-major order: column c, row r is cell c * 6 + r.
const std::array<KeyCellBytes, kFactoryCells>& factoryKeyMapColumnMajor();

// Factory defaults of the single-byte settings, in the form the settings memory keeps them.
namespace factory {
inline constexpr std::uint8_t kReportRate = 3;    // 1000 reports per second
inline constexpr std::uint8_t kResponseTime = 2;  // 4 ms
inline constexpr std::uint8_t kGameMode = 0;
inline constexpr std::uint8_t kEffect = 3;  // Wave
inline constexpr std::uint8_t kSpeed = 5;   // host form 0..9; the wire carries 10 - speed
inline constexpr std::uint8_t kBrightness = 50;
inline constexpr std::uint8_t kOption = 8;
inline constexpr std::uint8_t kDirection = 1;  // left
inline constexpr std::uint8_t kFirmwareMajor = 1;
inline constexpr std::uint8_t kFirmwareMinor = 5;
}  // namespace factory

// The complete factory settings memory: the factory key map placed row-major, every key enabled,
// the default lighting, lighting table and performance settings; macro slots and light maps
// empty. Bytes no command reaches stay zero.
fw::SettingsMemory factorySettings();

}  // namespace tessaron::device
