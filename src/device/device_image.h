#pragma once
// The device image: the host's mirror of every setting of the keyboard. Its layout is also the
// first block of keymap.bin and of every profile file, so every offset here is a file format.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tessaron::device {

namespace image {
inline constexpr std::size_t kSize = 10056;

inline constexpr std::size_t kReportRate = 11;

inline constexpr std::size_t kKeyMap = 792;
inline constexpr std::size_t kKeyMapSize = 512;
inline constexpr std::size_t kKeyMapRowBytes = 84;  // 21 cells of 4 bytes
inline constexpr std::size_t kKeyMapRows = 6;
inline constexpr std::size_t kKeyMapColumns = 21;
inline constexpr std::size_t kCellSize = 4;

inline constexpr std::size_t kMacroSlots = 1304;
inline constexpr std::size_t kMacroSlotSize = 192;
inline constexpr std::size_t kMacroSlotCount = 32;

inline constexpr std::size_t kResponseTime = 7449;

inline constexpr std::size_t kLighting = 7450;  // the 5-byte lighting block
inline constexpr std::size_t kLightingSize = 5;
inline constexpr std::size_t kEffect = 7450;
inline constexpr std::size_t kSpeed = 7451;
inline constexpr std::size_t kBrightness = 7452;
inline constexpr std::size_t kOption = 7453;
inline constexpr std::size_t kDirection = 7454;

inline constexpr std::size_t kLightingTable = 7455;
inline constexpr std::size_t kLightingTableEntries = 7;
inline constexpr std::size_t kLightingTableEntrySize = 3;

inline constexpr std::size_t kGameMode = 7476;

inline constexpr std::size_t kEnableBitmap = 7477;
inline constexpr std::size_t kEnableBitmapSize = 18;

inline constexpr std::size_t kWinLock = 7495;

inline constexpr std::size_t kLightMaps = 7496;
inline constexpr std::size_t kLightMapSize = 512;
inline constexpr std::size_t kLightMapCount = 5;

static_assert(kKeyMap + kKeyMapSize == kMacroSlots);
static_assert(kMacroSlots + kMacroSlotSize * kMacroSlotCount + 1 == kResponseTime);
static_assert(kLighting + kLightingSize == kLightingTable);
static_assert(kLightingTable + kLightingTableEntries * kLightingTableEntrySize == kGameMode);
static_assert(kEnableBitmap + kEnableBitmapSize == kWinLock);
static_assert(kLightMaps + kLightMapSize * kLightMapCount == kSize);
static_assert(kKeyMapRows * kKeyMapRowBytes <= kKeyMapSize);

constexpr std::size_t macroSlot(std::size_t n) {
    return kMacroSlots + kMacroSlotSize * n;
}
constexpr std::size_t lightMap(std::size_t m) {
    return kLightMaps + kLightMapSize * m;
}
constexpr std::size_t lightingTableEntry(std::size_t n) {
    return kLightingTable + kLightingTableEntrySize * n;
}
// Offset of the key cell at matrix (column, row); the device key map is row-major.
constexpr std::size_t keyCell(std::size_t column, std::size_t row) {
    return kKeyMap + row * kKeyMapRowBytes + column * kCellSize;
}
}  // namespace image

using DeviceImage = std::array<std::uint8_t, image::kSize>;

// Win Lock lives in bit 1 of the first enable-bitmap byte (grid position 1, the left Windows key):
// clear = key disabled = Windows key locked.
inline constexpr std::uint8_t kWinLockBit = 0x02;

}  // namespace tessaron::device
