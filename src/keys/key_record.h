#pragma once
// Key records remember how the user chose each key's assignment (typed keys, function, file), so
// the key page can show it again and host actions can be carried out. Their byte layout is the
// second block of keymap.bin and of every profile file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/result.h"
#include "keys/key_layout.h"

namespace tessaron::keys {

// Assignment kinds of a record (and of the pending assignment, which adds Restore).
namespace kind {
inline constexpr std::uint8_t kSingle = 0;
inline constexpr std::uint8_t kCombination = 1;
inline constexpr std::uint8_t kMacro = 2;
inline constexpr std::uint8_t kFunction = 3;
inline constexpr std::uint8_t kPlaySound = 4;
inline constexpr std::uint8_t kStartup = 5;
inline constexpr std::uint8_t kOpenFile = 6;
inline constexpr std::uint8_t kOpenFolder = 7;
inline constexpr std::uint8_t kRestore = 8;  // pending assignment only; applying it leaves kSingle
inline constexpr std::uint8_t kNone = 255;
constexpr bool isHostAction(std::uint8_t k) {
    return k >= kPlaySound && k <= kOpenFolder;
}
}  // namespace kind

inline constexpr std::size_t kAssignmentBytes = 255;
inline constexpr std::size_t kHostPathBytes = 512;
// UTF-16 code units before the terminating zero.
inline constexpr std::size_t kMaxHostPathUnits = kHostPathBytes / 2 - 1;

// Assignment bytes 2..5 of every host-action record.
inline constexpr std::array<std::uint8_t, 4> kHostActionMarker{0x03, 0x00, 0x23, 0x02};

struct KeyRecord {
    std::uint8_t vk = 0;                                 // layout VK of the key
    std::uint8_t kind = 0;                               // see namespace kind
    std::array<std::uint8_t, kAssignmentBytes> bytes{};  // record offsets 2..256, by kind
    std::uint8_t keyCount = 0;                           // captured keys of kinds 0 and 1
    std::array<std::uint8_t, 2> spare{};
    std::array<std::uint8_t, kHostPathBytes> hostPath{};  // UTF-16LE, zero-terminated

    // The factory state: kind 0, no captured keys. Byte 0 and the host path stay.
    void makeFactoryState() {
        kind = kind::kSingle;
        keyCount = 0;
        bytes.fill(0);
    }
};

inline constexpr std::size_t kKeyRecordSize = 772;
inline constexpr std::size_t kKeyRecordCount = 255;
inline constexpr std::size_t kKeyRecordTableSize = kKeyRecordSize * kKeyRecordCount;  // 196860

static_assert(sizeof(KeyRecord) == kKeyRecordSize);
static_assert(offsetof(KeyRecord, kind) == 1);
static_assert(offsetof(KeyRecord, bytes) == 2);
static_assert(offsetof(KeyRecord, keyCount) == 257);
static_assert(offsetof(KeyRecord, spare) == 258);
static_assert(offsetof(KeyRecord, hostPath) == 260);
static_assert(kKeyRecordTableSize == 196860);

// Record i belongs to key index i; records 113..254 stay zero.
using KeyRecordTable = std::array<KeyRecord, kKeyRecordCount>;
static_assert(sizeof(KeyRecordTable) == kKeyRecordTableSize);

inline std::span<const std::uint8_t> asBytes(const KeyRecordTable& table) {
    return {reinterpret_cast<const std::uint8_t*>(table.data()), sizeof(KeyRecordTable)};
}
inline std::span<std::uint8_t> asWritableBytes(KeyRecordTable& table) {
    return {reinterpret_cast<std::uint8_t*>(table.data()), sizeof(KeyRecordTable)};
}

// Byte 0 of records 0..112 = the layout VK; after every load and after a reset.
void fillLayoutVks(KeyRecordTable& table);
// The factory reset of the records: all zero, then byte 0 refilled.
void resetKeyRecords(KeyRecordTable& table);

// The host path as UTF-8. Unpaired surrogates become U+FFFD.
std::string hostPath(const KeyRecord& record);
// Checks that a path fits the record: valid UTF-8, no zero character, at most 255 UTF-16 units.
Status validateHostPath(std::string_view path);
// Stores the path with its terminating zero and clears the rest of the field; refuses (and
// leaves the record unchanged) what validateHostPath refuses.
Status setHostPath(KeyRecord& record, std::string_view path);

// Key enable bitmap: bit g mod 8 of device image byte 7477 + g div 8, g = grid position.
bool keyEnabled(const device::DeviceImage& image, KeyIndex index);
void setKeyEnabled(device::DeviceImage& image, KeyIndex index, bool enabled);
// Every key enabled (all 18 bitmap bytes 0xFF), as after a factory reset.
void enableAllKeys(device::DeviceImage& image);

}  // namespace tessaron::keys
