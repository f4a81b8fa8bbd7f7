#pragma once
// A fresh read of the keyboard (at start, after a plug-in, after a factory reset that did not
// finish) against what the window holds. The keyboard's state becomes the committed one; the
// user's unsaved edits and the key assignments keymap.bin holds beyond the keyboard stay in the
// window as unsaved changes, so Save sends them and Cancel drops them. Nothing is shown that
// Save would not send.

#include <cstddef>

#include "app/shell/live_config.h"
#include "device/device_image.h"

namespace tessaron::app {

// read: the keyboard's settings read over a copy of live.committedImage.
// keepAssignments: false when the window's key cells are no one's choice (keymap.bin was just
// made and the keyboard never read); only the user's edits then stay.
// Returns how many keys the window holds beyond the keyboard besides the user's edits.
std::size_t mergeKeyboardRead(LiveConfig& live, const device::DeviceImage& read,
                              bool keepAssignments);

// The same for the lighting block alone (the keyboard's Fn keys change it).
void mergeLightingRead(LiveConfig& live, const device::DeviceImage& read);

}  // namespace tessaron::app
