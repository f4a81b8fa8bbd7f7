#pragma once
// The controller over the virtual keyboard in a temporary data folder, loaded and connected.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>

#include "app/controller/settings_controller.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "keys/keymap_file.h"
#include "support/fake_clock.h"
#include "support/qt_wait.h"

namespace tessaron::app {

struct ControllerRig {
    explicit ControllerRig(bool withKeyboard = true) {
        live->dataFolder = dir.path().toStdString();
        std::unique_ptr<DeviceSession> session;
        if (withKeyboard) {
            session = std::make_unique<DeviceSession>(transport, clock, nullptr);
        }
        controller = std::make_unique<SettingsController>(*live, std::move(session), nullptr);
        controller->loadFiles();
        controller->connectKeyboard();
        EXPECT_TRUE(idle());
    }
    bool idle() {
        return tessaron::testing::waitFor([this] { return !controller->isBusy(); });
    }
    device::DeviceImage onDisk() const {
        device::DeviceImage image{};
        keys::KeyRecordTable records{};
        EXPECT_TRUE(keys::loadKeymap(live->keymapPath(), image, records));
        return image;
    }

    QTemporaryDir dir;
    FakeClock clock;  // the keyboard's pacing takes no time
    std::shared_ptr<device::VirtualKeyboard> keyboard =
        std::make_shared<device::VirtualKeyboard>(clock);
    device::VirtualTransport transport{keyboard};
    std::unique_ptr<LiveConfig> live = std::make_unique<LiveConfig>();
    std::unique_ptr<SettingsController> controller;
};

}  // namespace tessaron::app
