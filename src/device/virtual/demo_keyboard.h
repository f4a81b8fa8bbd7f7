#pragma once
// What --demo runs on: a virtual keyboard that keeps its settings in the data folder, with the
// transport and plug monitor that reach it. Two programs running the demo at once each hold their
// own keyboard; the one that changes it last decides what the file keeps.

#include <filesystem>
#include <memory>

#include "core/clock.h"
#include "device/hotplug.h"
#include "device/transport.h"
#include "device/virtual/keyboard_state_file.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"

namespace tessaron::device {

class DemoKeyboard {
public:
    explicit DemoKeyboard(const std::filesystem::path& dataFolder,
                          Clock& clock = SystemClock::instance());

    VirtualKeyboard& keyboard() { return *keyboard_; }
    const std::shared_ptr<VirtualKeyboard>& sharedKeyboard() const { return keyboard_; }
    Transport& transport() { return transport_; }
    std::unique_ptr<HotplugMonitor> makeHotplug() const;
    const PersistentKeyboard& persistence() const { return persistence_; }

private:
    std::shared_ptr<VirtualKeyboard> keyboard_;
    PersistentKeyboard persistence_;
    VirtualTransport transport_;
};

}  // namespace tessaron::device
