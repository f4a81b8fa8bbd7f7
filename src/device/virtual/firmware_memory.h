#pragma once
// Where the keyboard's firmware keeps each setting in its settings memory, as the firmware knows
// it. The host mirrors the same layout in its device image; the firmware model writes it down
// again, with numbers and names of its own, so that a host offset that drifts makes host and
// keyboard disagree in the tests instead of being copied into both.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessaron::device::fw {

namespace mem {
inline constexpr std::size_t kTotal = 10056;

inline constexpr std::size_t kReportRate = 11;

// The key cells, row-major: 6 rows of 21 cells of 4 bytes (504 bytes), 8 spare bytes.
inline constexpr std::size_t kCellMap = 792;
inline constexpr std::size_t kCellMapBytes = 512;
inline constexpr std::size_t kCellBytes = 4;
inline constexpr std::size_t kCellColumns = 21;
inline constexpr std::size_t kCellRows = 6;
inline constexpr std::size_t kCellRowStride = 84;

inline constexpr std::size_t kMacroArea = 1304;
inline constexpr std::size_t kMacroBytes = 192;
inline constexpr std::size_t kMacroCount = 32;

inline constexpr std::size_t kSpare = 7448;  // no command reaches it
inline constexpr std::size_t kResponseTime = 7449;

inline constexpr std::size_t kLightEffect = 7450;
inline constexpr std::size_t kLightSpeed = 7451;  // kept as 10 - wire speed
inline constexpr std::size_t kLightBrightness = 7452;
inline constexpr std::size_t kLightOption = 7453;
inline constexpr std::size_t kLightDirection = 7454;

inline constexpr std::size_t kPalette = 7455;  // the lighting table
inline constexpr std::size_t kPaletteEntries = 7;
inline constexpr std::size_t kPaletteEntryBytes = 3;

inline constexpr std::size_t kGameMode = 7476;

// One bit per key grid position g = row * 24 + column: byte g / 8, bit g % 8; 1 = enabled.
inline constexpr std::size_t kKeyEnable = 7477;
inline constexpr std::size_t kKeyEnableBytes = 18;
inline constexpr std::size_t kGridColumns = 24;

inline constexpr std::size_t kHostOnly = 7495;  // the host's Win Lock flag; never sent

inline constexpr std::size_t kDiyMaps = 7496;  // light maps of the effects DIY1..DIY5
inline constexpr std::size_t kDiyMapBytes = 512;
inline constexpr std::size_t kDiyMapCount = 5;

// The fields follow each other without a gap and fill the memory exactly.
static_assert(kReportRate < kCellMap);
static_assert(kCellMap + kCellMapBytes == kMacroArea);
static_assert(kCellColumns * kCellBytes == kCellRowStride);
static_assert(kCellRows * kCellRowStride + 8 == kCellMapBytes);
static_assert(kMacroArea + kMacroBytes * kMacroCount == kSpare);
static_assert(kSpare + 1 == kResponseTime);
static_assert(kResponseTime + 1 == kLightEffect);
static_assert(kLightEffect + 1 == kLightSpeed && kLightSpeed + 1 == kLightBrightness);
static_assert(kLightBrightness + 1 == kLightOption && kLightOption + 1 == kLightDirection);
static_assert(kLightDirection + 1 == kPalette);
static_assert(kPalette + kPaletteEntries * kPaletteEntryBytes == kGameMode);
static_assert(kGameMode + 1 == kKeyEnable);
static_assert(kKeyEnableBytes * 8 == kCellRows * kGridColumns);
static_assert(kKeyEnable + kKeyEnableBytes == kHostOnly);
static_assert(kHostOnly + 1 == kDiyMaps);
static_assert(kDiyMaps + kDiyMapBytes * kDiyMapCount == kTotal);

constexpr std::size_t macro(std::size_t n) {
    return kMacroArea + kMacroBytes * n;
}
constexpr std::size_t diyMap(std::size_t m) {
    return kDiyMaps + kDiyMapBytes * m;
}
constexpr std::size_t paletteEntry(std::size_t n) {
    return kPalette + kPaletteEntryBytes * n;
}
constexpr std::size_t cell(std::size_t column, std::size_t row) {
    return kCellMap + row * kCellRowStride + column * kCellBytes;
}
}  // namespace mem

using SettingsMemory = std::array<std::uint8_t, mem::kTotal>;

}  // namespace tessaron::device::fw
