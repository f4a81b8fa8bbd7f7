#pragma once
// Which of the keyboard's HID interfaces carries which channel.

#include <string_view>

#include "device/transport.h"

namespace tessaron::device::hid {

// The keyboard's command interface number.
inline constexpr int kCommandInterface = 3;
// The event channel's input report.
inline constexpr std::uint8_t kEventReportIdDeclared = kEventReportId;

struct InterfaceFacts {
    int interfaceNumber = -1;
    bool declaresEventReport = false;  // its report descriptor has input report ID 4
};

// On Linux: the command channel is interface 3, the event channel the interface that declares
// input report 4; either can be named by number instead.
bool servesCommand(const InterfaceFacts& facts, const ChannelSelection& selection);
bool servesEvent(const InterfaceFacts& facts, const ChannelSelection& selection);
// The role shown for an interface (the command role wins when one serves both).
ChannelRole roleOf(const InterfaceFacts& facts, const ChannelSelection& selection);

// On Windows the interfaces are told apart by their device paths instead.
bool windowsPathSelects(std::string_view devicePath, ChannelRole role);

}  // namespace tessaron::device::hid
