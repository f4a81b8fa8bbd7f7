// The profiles panel opened from the main window against the virtual keyboard: a loaded profile
// refreshes the window without touching the keyboard and reaches it with the next Save.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <memory>

#include "app/controller/device_session.h"
#include "app/shell/live_config.h"
#include "app/main_window/main_window.h"
#include "app/profiles/profiles_dlg.h"
#include "app/profiles/profiles_dlg_page.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "keys/keymap_file.h"
#include "profiles_window_rig.h"
#include "support/qt_wait.h"
#include "ui/bit_slider.h"
#include "ui/edit_helper.h"
#include "ui/transparent_list_box.h"

namespace tessaron::app {
namespace {

namespace fs = std::filesystem;
namespace img = device::image;

using tessaron::testing::waitFor;


TEST(ProfilesPanelRoad, ALoadedProfileReachesTheKeyboardWithTheNextSave) {
    testing::ProfilesWindowRig rig;
    auto& keyboard = rig.keyboard;
    auto& live = rig.live;
    CTessaronDlg& window = *rig.window;
    ASSERT_TRUE(waitFor([&] { return !window.busy(); }));

    // A profile file that differs from the keyboard in brightness, response time and one key.
    auto loaded = rig.profileFromKeyboard();
    const std::uint8_t brightness = loaded->image[img::kBrightness];
    loaded->image[img::kResponseTime] = loaded->image[img::kResponseTime] == 3 ? 4 : 3;
    const std::size_t cell = img::keyCell(2, 3);
    loaded->image[cell + 1] ^= 0x01;
    ASSERT_TRUE(rig.offer(*loaded));

    QTimer::singleShot(0, &window, [&] {
        auto* panel = window.findChild<CConfigureDlg*>();
        ASSERT_NE(panel, nullptr);
        panel->list()->setCurrentRow(0);
        panel->runCommand(profilesdlg::Command::Load);
        QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, QPoint(255, 17));
    });
    keyboard->clearTraffic();
    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(50, 620));  // Profile
    ASSERT_EQ(live->image, loaded->image);

    // The refresh: sliders from the image and keymap.bin rewritten, nothing asked of the keyboard.
    ASSERT_TRUE(waitFor([&] { return window.slider(kBrightnessSliderId)->value() == brightness; }));
    device::DeviceImage onDisk{};
    auto records = std::make_unique<keys::KeyRecordTable>();
    ASSERT_TRUE(keys::loadKeymap(live->keymapPath(), onDisk, *records));
    EXPECT_EQ(onDisk, loaded->image);
    EXPECT_TRUE(keyboard->traffic(device::TrafficKind::Frame).empty());
    EXPECT_NE(keyboard->settings()[img::kBrightness], brightness);

    QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier, QPoint(950, 620));  // Save
    ASSERT_TRUE(waitFor([&] { return !window.busy(); }));
    const device::DeviceImage sent = keyboard->settings();
    EXPECT_EQ(sent[img::kBrightness], brightness);
    EXPECT_EQ(sent[img::kResponseTime], loaded->image[img::kResponseTime]);
    EXPECT_EQ(sent[cell + 1], loaded->image[cell + 1]);
}

}  // namespace
}  // namespace tessaron::app
