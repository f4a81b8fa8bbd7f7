#pragma once
// The settings controller on the virtual keyboard, read and idle, with a profile "Games" in its
// data folder: what the switching tests switch to.

#include <QTemporaryDir>

#include <filesystem>
#include <memory>

#include "app/controller/settings_controller.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "keys/keymap_file.h"
#include "profiles/profile_store.h"
#include "support/fake_clock.h"
#include "support/qt_wait.h"

namespace tessaron::app::testing {

struct KeyboardRig {
    KeyboardRig() {
        controller->loadFiles();
        controller->connectKeyboard();
        EXPECT_TRUE(idle());
    }
    bool idle() {
        return tessaron::testing::waitFor([this] { return !controller->isBusy(); });
    }
    // The profile "Games": what the keyboard holds, with another brightness unless sameAsHeld.
    // Its brightness.
    std::uint8_t makeProfile(bool sameAsHeld = false) {
        namespace img = device::image;
        auto image = live->committedImage;
        if (!sameAsHeld) image[img::kBrightness] = image[img::kBrightness] == 1 ? 2 : 1;
        const auto folder = live->dataFolder / profiles::kProfileFolderName;
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(keys::writeKeymap(folder / "Games.bin", image, live->committedRecords));
        return image[img::kBrightness];
    }

    QTemporaryDir dir;
    FakeClock clock;  // the keyboard's pacing takes no time
    std::shared_ptr<device::VirtualKeyboard> keyboard =
        std::make_shared<device::VirtualKeyboard>(clock);
    device::VirtualTransport transport{keyboard};
    std::unique_ptr<LiveConfig> live = std::make_unique<LiveConfig>();
    std::unique_ptr<SettingsController> controller = [this] {
        live->dataFolder = dir.path().toStdString();
        return std::make_unique<SettingsController>(
            *live, std::make_unique<DeviceSession>(transport, clock, nullptr),
            nullptr);
    }();
};

}  // namespace tessaron::app::testing
