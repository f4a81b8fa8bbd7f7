#pragma once
// keymap.bin: the device image followed by the key record table, 206916 bytes, no header. Profile
// files share the layout.

#include <cstddef>
#include <filesystem>
#include <string_view>

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
    Read,     // the file was read (a short file fills only what it reaches)
    Created,  // the file was missing and has been created
};

// Reads the file into the live configuration. Each block takes what the file holds and keeps
// its previous contents beyond. A missing file is created from the current device image and
// an all-zero record table (the records in memory are zeroed to match). In both cases byte 0
// of records 0..112 is then set to the layout VK. A file that exists but cannot be read is
// reported and changes nothing.
Result<KeymapLoad> loadKeymap(const std::filesystem::path& path, device::DeviceImage& image,
                              KeyRecordTable& records, KeymapBlocks blocks = KeymapBlocks::All);

// Replaces the file atomically; on failure the previous file stays intact.
Status writeKeymap(const std::filesystem::path& path, const device::DeviceImage& image,
                   const KeyRecordTable& records);

}  // namespace tessaron::keys
