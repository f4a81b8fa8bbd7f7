#pragma once
// What the main window does after the macro manager closed with OK: the macros in use go into
// the keyboard's macro slots of the device image (they travel at the next Save), and both files
// are written, keymap.bin and MacroDefine.bin.

#include <filesystem>

#include "core/result.h"
#include "device/device_image.h"
#include "keys/key_record.h"
#include "macros/macro_record.h"

namespace tessaron::app {

struct MacroCommitTargets {
    device::DeviceImage& image;
    const keys::KeyRecordTable& records;
    std::filesystem::path keymapPath;
    std::filesystem::path macroFilePath;
};

// Packs the slots, then writes both files. Both writes are attempted; the first failure is
// returned. The image is changed even when a file cannot be written.
Status commitMacroTable(const macros::MacroTable& committed, const MacroCommitTargets& targets);

}  // namespace tessaron::app
