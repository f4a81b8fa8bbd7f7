#pragma once
// What the demo keyboard does with one line of `tessaronctl --demo press`/`plug`/`unplug`
// (demo_press_protocol.h): a press reaches the keyboard as with a real finger, so a key holding
// an enabled host-action cell reports its code on the event channel; a plug request pulls or
// puts back the cable.

#include <string>
#include <string_view>

namespace tessaron::device {
class VirtualKeyboard;
}

namespace tessaron::device::press {

// The reply line to one request line.
std::string answer(VirtualKeyboard& keyboard, std::string_view line);

}  // namespace tessaron::device::press
