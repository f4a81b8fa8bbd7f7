#pragma once
// Turning a choice made for one key into its key record and its key cell, and deriving the
// per-key modified marks from the live configuration.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/language.h"
#include "core/result.h"
#include "device/device_image.h"
#include "keys/key_record.h"
#include "keys/keymap_file.h"

namespace tessaron::keys {

inline constexpr std::uint8_t kDefaultKeyCount = 255;  // key count of the Default button
inline constexpr std::int32_t kNoMacro = -1;
inline constexpr std::size_t kMacroSlotCount = device::image::kMacroSlotCount;

// What the key page hands to the main window on OK.
struct PendingAssignment {
    KeyIndex selectedKey = kNoKey;
    std::uint8_t selectedVk = 255;
    std::uint8_t kind = kind::kNone;  // 0..8, kind::kNone = none chosen
    std::uint8_t keyCount = 0;        // captured keys; kDefaultKeyCount = Default
    std::array<std::uint8_t, kAssignmentBytes> capturedKeys{};
    std::string functionName;  // in the interface language
    std::string hostPath;      // UTF-8
    std::int32_t macroNumber = kNoMacro;
    bool enabled = true;

    // Forgets the previous page's choice; the selected key stays.
    void clearChoice();
};

// One byte per key index; 1 = the key's assignment differs from the factory state.
using ModifiedMarks = std::array<std::uint8_t, kKeyRecordCount>;

// The parts of the live configuration that an assignment touches.
struct LiveKeys {
    device::DeviceImage& image;
    KeyRecordTable& records;
    ModifiedMarks& marks;
};

struct ApplyContext {
    Language language = Language::English;  // function names are matched in this language
    // Packs the macro slots of the device image again from the macro table; called after a
    // macro assignment. May be empty.
    std::function<void(device::DeviceImage&)> repackMacroSlots;
};

// Writes the selected key's record and cell (and its mark) from the pending assignment. Does
// not write keymap.bin. Refuses, changing nothing, when no key is selected, a host path does
// not fit the record or a macro number names no slot.
Status applyAssignment(PendingAssignment& pending, LiveKeys live, const ApplyContext& context);

// Derives the marks of keys 0..112 from cells, factory cells, records and enable bits.
void recomputeModifiedMarks(LiveKeys live);
// The marks after the main window's refresh: recomputed, and the Fn key never marked.
void refreshModifiedMarks(LiveKeys live);

// Edit key, before the key page opens: selects the key and reads the key records again from
// keymap.bin, leaving the device image in memory as it is.
Result<KeymapLoaded> beginKeyEdit(PendingAssignment& pending, KeyIndex index, LiveKeys live,
                                const std::filesystem::path& keymapPath);

// Edit key, after the key page's OK: applies the assignment, sets or clears the key's enable
// bit and writes keymap.bin.
Status finishKeyEdit(PendingAssignment& pending, LiveKeys live, const ApplyContext& context,
                     const std::filesystem::path& keymapPath);

}  // namespace tessaron::keys
