#pragma once
// The live configuration, changed only through the settings controller for the whole process.
// Pages opened from the window (key page, macro manager, profiles panel) take it by reference
// from the controller and edit it in place, or edit a working copy and hand it back on OK; the
// controller then applies and keeps the result.
//
// The object is large (two device images and two key record tables, about 420 KB): keep it on
// the heap (std::make_unique<LiveConfig>()), never on the stack.

#include <filesystem>

#include "core/language.h"
#include "device/device_image.h"
#include "keys/assignment.h"
#include "keys/key_record.h"
#include "keys/keymap_file.h"
#include "macros/macro_file.h"
#include "macros/macro_record.h"

namespace tessaron::app {

struct LiveConfig {
    // What the windows show and Save sends.
    device::DeviceImage image{};
    keys::KeyRecordTable records{};
    // As last sent to, read from or reset on the keyboard, or loaded at start-up; Save sends
    // only what differs from committedImage.
    device::DeviceImage committedImage{};
    keys::KeyRecordTable committedRecords{};
    // The macros as stored in MacroDefine.bin; the macro manager edits a working copy.
    macros::MacroTable committedMacros;

    keys::ModifiedMarks marks{};
    // The key page's result, applied by the controller after the page's OK.
    keys::PendingAssignment pending;

    // Where keymap.bin, MacroDefine.bin and the profiles' "Configure" folder live.
    std::filesystem::path dataFolder;
    // The folder holding "png/<language>/..." (may differ from dataFolder when the images come
    // from the installed share folder); pass it to ui::imageFolder().
    std::filesystem::path imageBase;
    Language language = Language::English;

    // Set while the lighting panel is in DIY mode: key clicks toggle lights instead of opening
    // the key page.
    bool diyMode = false;

    [[nodiscard]] keys::LiveKeys liveKeys() { return {image, records, marks}; }

    [[nodiscard]] std::filesystem::path keymapPath() const {
        return dataFolder / keys::kKeymapFileName;
    }
    [[nodiscard]] std::filesystem::path macroFilePath() const {
        return dataFolder / macros::kMacroFileName;
    }

    // The live state becomes the committed state (after a read, a Save or a reset).
    void commit() {
        committedImage = image;
        committedRecords = records;
    }
    // Back to the committed state (Cancel).
    void restoreCommitted() {
        image = committedImage;
        records = committedRecords;
    }
};

}  // namespace tessaron::app
