#pragma once
// The static key layout of this keyboard: 113 matrix positions (108 real keys and five positions
// the board does not populate), with their key codes, matrix and grid positions, picture
// rectangles, legends and factory cells.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "device/device_image.h"
#include "keys/key_cell.h"

namespace tessaron::keys {

using KeyIndex = std::uint8_t;
inline constexpr std::size_t kLayoutKeyCount = 113;  // key indices 0..112
inline constexpr std::size_t kRealKeyCount = 108;    // 108..112 are absent positions S1..S5
inline constexpr KeyIndex kNoKey = 255;

// Keys that outside DIY mode cannot be picked on the keyboard picture.
inline constexpr KeyIndex kLeftWinKey = 96;
inline constexpr KeyIndex kFnKey = 100;
inline constexpr KeyIndex kAppKey = 101;

// Rectangles are relative to the keyboard origin; all four edges are inside the key.
struct KeyRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr bool empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
};

struct Point {
    int x = 0;
    int y = 0;
};

// Where the keyboard picture sits in the main window's client area, and where legends go.
inline constexpr Point kKeyboardOrigin{315, 127};
inline constexpr Point kLegendOrigin{310, 122};

inline constexpr std::size_t kMatrixColumns = device::image::kKeyMapColumns;  // 21
inline constexpr std::size_t kMatrixRows = device::image::kKeyMapRows;        // 6, row 0 = bottom
inline constexpr std::size_t kMatrixCells = kMatrixColumns * kMatrixRows;     // 126
inline constexpr std::size_t kGridColumns = 24;  // the enable bitmap's 6 x 24 grid

struct KeyLayoutEntry {
    std::uint8_t vk;
    std::uint8_t column;
    std::uint8_t row;
    std::uint8_t grid;
    KeyRect rect;
    std::string_view legend;
    Point legendAt;
    KeyCell factoryCell;

    // Byte offset of the key's cell in the column-major factory key map, and of its 4-byte
    // entry in every light map.
    constexpr std::uint16_t matrixOffset() const {
        return static_cast<std::uint16_t>(kCellSize * (column * kMatrixRows + row));
    }
};

std::span<const KeyLayoutEntry, kLayoutKeyCount> keyLayout();

// Lookups by key index; index must be below kLayoutKeyCount.
const KeyLayoutEntry& layoutEntry(KeyIndex index);
std::uint8_t layoutVk(KeyIndex index);
// Device image offset of the key's cell in the row-major device key map.
std::size_t matrixCellOffset(KeyIndex index);
std::uint8_t gridPosition(KeyIndex index);
KeyCell factoryCell(KeyIndex index);
std::string_view legend(KeyIndex index);
KeyRect keyRect(KeyIndex index);
Point legendPosition(KeyIndex index);  // in window coordinates (legend origin added)

// The keyboard's factory key map: 126 cells in column-major order (column c, row r = cell
// c * 6 + r), 504 bytes.
using FactoryKeyMap = std::array<std::uint8_t, kMatrixCells * kCellSize>;
const FactoryKeyMap& factoryKeyMap();
// Puts all 126 factory cells into the row-major device key map of the image.
void writeFactoryKeyMap(device::DeviceImage& image);

// The key whose rectangle holds the window point (x, y). Outside DIY mode the left Windows key
// and the Fn key are answered as none, so they cannot be reassigned.
std::optional<KeyIndex> keyAtPoint(int x, int y, bool diyMode);

// True when the key can take an assignment of its own outside DIY mode.
bool isAssignable(KeyIndex index);

}  // namespace tessaron::keys
