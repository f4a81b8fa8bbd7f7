// The controller on its own, without a window: what later callers (the D-Bus service, undo, the
// profile switcher) stand on.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include "controller_rig.h"
#include "keys/keymap_file.h"
#include "support/qt_wait.h"

namespace tessaron::app {
namespace {

namespace img = device::image;
using tessaron::testing::waitFor;

std::uint8_t otherThan(std::uint8_t value) {
    return value == 7 ? 9 : 7;
}

TEST(SettingsController, EditsAreUnsavedUntilSavedAndRevertDropsThem) {
    ControllerRig rig;
    ASSERT_TRUE(rig.controller->isConnected());
    ASSERT_FALSE(rig.controller->isDirty());
    QSignalSpy changed(rig.controller.get(), &SettingsController::settingsChanged);

    const std::uint8_t saved = otherThan(rig.live->image[img::kBrightness]);
    rig.controller->edit([&](LiveConfig& live) { live.image[img::kBrightness] = saved; });
    EXPECT_EQ(changed.size(), 1);
    EXPECT_TRUE(rig.controller->isDirty());
    rig.controller->save();
    ASSERT_TRUE(rig.idle());
    EXPECT_FALSE(rig.controller->isDirty());
    EXPECT_EQ(rig.keyboard->settings()[img::kBrightness], saved);
    EXPECT_EQ(rig.onDisk()[img::kBrightness], saved);

    // An edit reverted never reaches the keyboard, and keymap.bin is back to what it holds.
    rig.controller->edit(
        [&](LiveConfig& live) { live.image[img::kBrightness] = otherThan(saved); });
    rig.controller->revert();
    EXPECT_FALSE(rig.controller->isDirty());
    EXPECT_EQ(rig.live->image[img::kBrightness], saved);
    EXPECT_EQ(rig.onDisk()[img::kBrightness], saved);
    EXPECT_EQ(rig.keyboard->settings()[img::kBrightness], saved);
}

TEST(SettingsController, AReloadTakesTheKeyboardsStateAndKeepsUnsavedEdits) {
    ControllerRig rig;
    // The keyboard's own Fn keys changed the brightness; the user changed the speed, unsaved.
    auto settings = rig.keyboard->settings();
    const std::uint8_t onKeyboard = otherThan(settings[img::kBrightness]);
    settings[img::kBrightness] = onKeyboard;
    rig.keyboard->setSettings(settings);
    const std::uint8_t edited = otherThan(rig.live->image[img::kSpeed]);
    rig.controller->edit([&](LiveConfig& live) { live.image[img::kSpeed] = edited; });

    rig.controller->reloadFromKeyboard();
    ASSERT_TRUE(rig.idle());
    EXPECT_EQ(rig.live->committedImage[img::kBrightness], onKeyboard);
    EXPECT_EQ(rig.live->image[img::kBrightness], onKeyboard);
    EXPECT_EQ(rig.live->image[img::kSpeed], edited);
    EXPECT_TRUE(rig.controller->isDirty());
}

TEST(SettingsController, WithoutAKeyboardSaveAndResetAreRefusedAndNothingChanges) {
    ControllerRig rig(false);
    QSignalSpy errors(rig.controller.get(), &SettingsController::errorOccurred);
    QSignalSpy busy(rig.controller.get(), &SettingsController::busyChanged);
    rig.controller->edit([](LiveConfig& live) { live.image[img::kBrightness] ^= 1; });
    rig.controller->save();
    rig.controller->factoryReset();
    EXPECT_EQ(errors.size(), 2);
    EXPECT_TRUE(busy.empty());
    EXPECT_TRUE(rig.controller->isDirty());  // the edit stays for a later Save
}

}  // namespace
}  // namespace tessaron::app
