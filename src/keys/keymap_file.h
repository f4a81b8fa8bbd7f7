#pragma once
// keymap.bin: the device image followed by the key record table, 206916 bytes, no header. Profile
// files share the layout.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

#include "core/atomic_file.h"
#include "core/result.h"
#include "device/device_image.h"
#include "keys/key_record.h"

namespace tessaron::keys {

inline constexpr std::string_view kKeymapFileName = "keymap.bin";
inline constexpr std::size_t kKeymapFileSize = device::image::kSize + kKeyRecordTableSize;
static_assert(kKeymapFileSize == 206916);

enum class KeymapBlocks {
    All,          // device image and key record table
    RecordsOnly,  // the key record table; the device image in memory is left untouched
};

enum class KeymapLoad {
    Read,      // the file was read
    Created,   // the file was missing and has been created
    Replaced,  // the file could not be used: it was moved aside and made afresh
};

struct KeymapLoaded {
    KeymapLoad how = KeymapLoad::Read;
    // For Replaced: which file could not be used, why, and where it was kept.
    std::optional<Error> notice;

    friend bool operator==(const KeymapLoaded& a, KeymapLoad b) { return a.how == b; }
};

// Reads the file into the live configuration. A missing file is created from the current
// device image and an all-zero record table (the records in memory are zeroed to match). A file
// of any size but 206916 bytes is none Tessaron wrote: with KeymapBlocks::All it is moved aside
// as "keymap.bin.broken-DATE" and made afresh like a missing one; with RecordsOnly (a window
// already holds the settings) it is refused and left alone. Byte 0 of records 0..112 is then set
// to the layout VK. A file that exists but cannot be read is reported and changes nothing.
Result<KeymapLoaded> loadKeymap(const std::filesystem::path& path, device::DeviceImage& image,
                                KeyRecordTable& records, KeymapBlocks blocks = KeymapBlocks::All);

// Replaces the file atomically; on failure the previous file stays intact and the error names
// the file and the reason.
Status writeKeymap(const std::filesystem::path& path, const device::DeviceImage& image,
                   const KeyRecordTable& records);
// The same as one file of a batch committed together with others.
Status stageKeymap(FileBatch& batch, const std::filesystem::path& path,
                   const device::DeviceImage& image, const KeyRecordTable& records);

}  // namespace tessaron::keys
