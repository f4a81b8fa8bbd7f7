#include "device/hid/interface_rules.h"

namespace tessaron::device::hid {

bool servesCommand(const InterfaceFacts& facts, const ChannelSelection& selection) {
    return facts.interfaceNumber == selection.commandInterface.value_or(kCommandInterface);
}

bool servesEvent(const InterfaceFacts& facts, const ChannelSelection& selection) {
    if (selection.eventInterface) return facts.interfaceNumber == *selection.eventInterface;
    return facts.declaresEventReport;
}

ChannelRole roleOf(const InterfaceFacts& facts, const ChannelSelection& selection) {
    if (servesCommand(facts, selection)) return ChannelRole::Command;
    if (servesEvent(facts, selection)) return ChannelRole::Event;
    return ChannelRole::None;
}

bool windowsPathSelects(std::string_view devicePath, ChannelRole role) {
    // Case-sensitive substrings of the interface path, as the Windows HID stack names them.
    switch (role) {
        case ChannelRole::Command:
            return devicePath.find("mi_03") != std::string_view::npos;
        case ChannelRole::Event:
            return devicePath.find("ol04") != std::string_view::npos;
        case ChannelRole::None:
            break;
    }
    return false;
}

}  // namespace tessaron::device::hid
