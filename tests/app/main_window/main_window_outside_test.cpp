// What reaches the window from outside: the tray menu's profiles and another program's writes.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <vector>

#include "keys/keymap_file.h"
#include "main_window_test_support.h"
#include "profiles/profile_store.h"

namespace tessaron::app::testing {
namespace {

namespace img = device::image;

std::vector<QAction*> named(QMenu& menu, const QString& text) {
    emit menu.aboutToShow();
    std::vector<QAction*> found;
    for (QAction* a : menu.actions()) {
        if (a->text() == text) found.push_back(a);
    }
    return found;
}

bool told(const std::vector<std::string>& texts, const std::string& part) {
    return std::ranges::any_of(
        texts, [&](const std::string& t) { return t.find(part) != std::string::npos; });
}

TEST(MainWindowOutside, TheTrayMenuLoadsAProfileWithOneClickAndSaysWhyItCannot) {
    RigOptions options;
    options.tray = true;
    Rig rig(options);
    const auto folder = rig.folder() / profiles::kProfileFolderName;
    std::filesystem::create_directories(folder);
    auto image = rig.live().image;
    image[img::kBrightness] = image[img::kBrightness] == 3 ? 4 : 3;
    ASSERT_TRUE(keys::writeKeymap(folder / "Quiet.bin", image, rig.live().records));
    // A profile made by New: zeros, nothing to send.
    ASSERT_TRUE(
        keys::writeKeymap(folder / "Empty.bin", device::DeviceImage{}, keys::KeyRecordTable{}));
    QMenu& menu = *rig.window->trayMenu();

    ASSERT_EQ(named(menu, "Empty").size(), 1U);
    EXPECT_FALSE(named(menu, "Empty")[0]->isEnabled());
    auto quiet = named(menu, "Quiet");  // opened again: listed once, not twice
    ASSERT_EQ(quiet.size(), 1U);
    EXPECT_FALSE(quiet[0]->isChecked());
    quiet[0]->trigger();
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.keyboard->settings()[img::kBrightness], image[img::kBrightness]);
    EXPECT_FALSE(rig.controller->isDirty());
    EXPECT_TRUE(named(menu, "Quiet")[0]->isChecked());
    EXPECT_TRUE(rig.dialogs.shown.empty());

    rig.keyboard->unplug();
    ASSERT_TRUE(waitFor([&] { return !rig.controller->isConnected(); }));
    named(menu, "Quiet")[0]->trigger();
    EXPECT_TRUE(told(rig.dialogs.shown, "\"Quiet\" was not loaded: no keyboard"));
}

TEST(MainWindowOutside, AnotherProgramsChangeOverUnsavedEditsIsAskedAndTheOtherSideKept) {
    Rig rig;
    auto image = rig.live().image;
    image[img::kBrightness] = image[img::kBrightness] == 3 ? 4 : 3;
    const std::uint8_t mine = rig.live().image[img::kSpeed] == 3 ? 4 : 3;
    rig.controller->edit([&](LiveConfig& live) { live.image[img::kSpeed] = mine; });
    ASSERT_TRUE(keys::writeKeymap(rig.live().keymapPath(), image, rig.live().records));
    rig.dialogs.answerOk = false;  // keep mine

    rig.controller->checkOutsideChanges();
    ASSERT_EQ(rig.dialogs.asked.size(), 1U);
    EXPECT_TRUE(told(rig.dialogs.asked, rig.live().keymapPath().string()));
    EXPECT_TRUE(told(rig.dialogs.asked, "[Take theirs|Keep mine]"));
    EXPECT_EQ(rig.live().image[img::kSpeed], mine);
    EXPECT_TRUE(told(rig.dialogs.shown, "The other program's settings were kept as"));
}

}  // namespace
}  // namespace tessaron::app::testing
