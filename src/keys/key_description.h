#pragma once
// What a key of the picture does now, in words a screen reader can speak: "Caps Lock: Left
// Ctrl + Z", "F5: disabled", "F12: starts /usr/bin/xterm".

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/language.h"
#include "device/device_image.h"
#include "keys/key_layout.h"
#include "keys/key_record.h"

namespace tessaron::keys {

// The name a key is spoken by: the short names of the key name table written out ("LCtrl " is
// "Left Ctrl"); names without a short form come back trimmed.
std::string spokenKeyName(std::uint8_t vk);

// The name a key of the picture is spoken by, told apart from keys sharing its legend ("Left
// Shift", "Keypad 7", "Print Screen"); the legend where the key has no name.
std::string pictureKeyName(KeyIndex key, Language lang);

// The name of macro n, or empty when the caller does not know it.
using MacroNamer = std::function<std::string(std::uint8_t)>;

// "<picture key name>: <what it does>" from the key's enable bit and record.
std::string describeKey(KeyIndex key, const device::DeviceImage& image,
                        const KeyRecordTable& records, Language lang,
                        const MacroNamer& macroName = {});
// "<picture key name> → <what it does>": the name of a key's edit ("Caps Lock → Left Ctrl + Z").
std::string describeKeyChange(KeyIndex key, const device::DeviceImage& image,
                              const KeyRecordTable& records, Language lang,
                              const MacroNamer& macroName = {});

}  // namespace tessaron::keys
