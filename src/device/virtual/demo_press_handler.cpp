#include "device/virtual/demo_press_handler.h"

#include "device/virtual/demo_press_protocol.h"
#include "device/virtual/virtual_keyboard.h"
#include "keys/key_cell.h"
#include "keys/key_layout.h"

namespace tessaron::device::press {

std::string answer(VirtualKeyboard& keyboard, std::string_view line) {
    if (const auto plugIn = parsePlugRequest(line)) {
        // The hot-plug notice reaches the window as with a real cable.
        if (*plugIn) {
            keyboard.plug();
            return formatReply({Reply::Kind::Plugged, 0, {}});
        }
        keyboard.unplug();
        return formatReply({Reply::Kind::Unplugged, 0, {}});
    }
    const auto index = parseRequest(line);
    if (!index) return formatReply({Reply::Kind::Error, 0, kBadRequest.source});
    if (*index >= keys::kLayoutKeyCount) return formatReply({Reply::Kind::Error, 0, kNoSuchKey.source});
    // An unplugged keyboard reports nothing, whatever the key holds.
    if (!keyboard.isPlugged()) return formatReply({Reply::Kind::Unplugged, 0, {}});
    const auto& entry = keys::layoutEntry(static_cast<keys::KeyIndex>(*index));
    // The firmware reports byte 2 of the key's cell.
    const keys::KeyCell cell =
        keys::readCell(keyboard.settings(), image::keyCell(entry.column, entry.row));
    switch (keyboard.pressKeyAt(entry.column, entry.row)) {
        case VirtualKeyboard::KeyPress::Reported:
            break;
        case VirtualKeyboard::KeyPress::NoHostAction:
            return formatReply({Reply::Kind::Silent, 0, {}});
        case VirtualKeyboard::KeyPress::Unheard:
            // Just plugged in, the window reads the keyboard's events again after it settles.
            return formatReply({Reply::Kind::Error, 0, kUnheard.source});
    }
    return formatReply({Reply::Kind::Reported, cell[keys::kCellValueByte], {}});
}

}  // namespace tessaron::device::press
