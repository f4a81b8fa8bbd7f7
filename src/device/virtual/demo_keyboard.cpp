#include "device/virtual/demo_keyboard.h"

namespace tessaron::device {

DemoKeyboard::DemoKeyboard(const std::filesystem::path& dataFolder, Clock& clock)
    : keyboard_(std::make_shared<VirtualKeyboard>(clock)),
      persistence_(keyboard_, dataFolder / kVirtualKeyboardFileName),
      transport_(keyboard_) {
    // Nothing reads the record of a demo's traffic; kept, it would grow with every plug-in
    // and Save for as long as the program runs.
    keyboard_->setTrafficLimit(0);
}

std::unique_ptr<HotplugMonitor> DemoKeyboard::makeHotplug() const {
    return std::make_unique<VirtualHotplug>(keyboard_);
}

}  // namespace tessaron::device
