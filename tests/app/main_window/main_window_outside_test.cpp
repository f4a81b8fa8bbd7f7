// What reaches the window from outside: the tray menu's profiles and another program's writes.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QMenu>

#include <algorithm>
#include <vector>

#include "keys/keymap_file.h"
#include "main_window_test_support.h"
#include "profiles/profile_store.h"
#include "ui/accessible_areas.h"

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

// The profile "Quiet": the window's settings with another brightness.
device::DeviceImage writeQuiet(Rig& rig) {
    const auto folder = rig.folder() / profiles::kProfileFolderName;
    std::filesystem::create_directories(folder);
    auto image = rig.live().image;
    image[img::kBrightness] = image[img::kBrightness] == 3 ? 4 : 3;
    EXPECT_TRUE(keys::writeKeymap(folder / "Quiet.bin", image, rig.live().records));
    return image;
}

TEST(MainWindowOutside, TheTrayMenuLoadsAProfileWithOneClickAndSaysWhyItCannot) {
    RigOptions options;
    options.tray = true;
    Rig rig(options);
    const auto folder = rig.folder() / profiles::kProfileFolderName;
    const auto image = writeQuiet(rig);
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

std::vector<QString> g_alerts;
void recordAlert(QAccessibleEvent* e) {
    if (e->type() == QAccessible::Alert && e->accessibleInterface() != nullptr) {
        g_alerts.push_back(e->accessibleInterface()->text(QAccessible::Name));
    }
}

TEST(MainWindowOutside, TheTrayNamesUndoStepsAndItsProfileLoadTellsAReaderTheHistoryWent) {
    for (const Language lang : {Language::English, Language::Chinese}) {
        const bool zh = lang == Language::Chinese;
        RigOptions options;
        options.tray = true;
        options.language = lang;
        Rig rig(options);
        writeQuiet(rig);
        QMenu& menu = *rig.window->trayMenu();
        const auto entry = [&](const QString& start) -> QAction* {
            emit menu.aboutToShow();
            for (QAction* a : menu.actions()) {
                if (a->text().startsWith(start)) return a;
            }
            return nullptr;
        };
        const QString undo = zh ? "撤销" : "Undo";
        const QString redo = zh ? "重做" : "Redo";
        const QString step = zh ? "更改设置" : "Change settings";
        const QString colon = zh ? "：" : ": ";
        ASSERT_NE(entry(undo), nullptr);
        EXPECT_EQ(entry(undo)->text(), undo);
        EXPECT_FALSE(entry(undo)->isEnabled());

        rig.controller->edit([](LiveConfig& live) { live.image[img::kSpeed] ^= 1; });
        EXPECT_EQ(entry(undo)->text(), undo + colon + step);
        EXPECT_TRUE(entry(undo)->isEnabled());
        rig.controller->undo();
        EXPECT_EQ(entry(redo)->text(), redo + colon + step);
        rig.controller->redo();
        rig.controller->save();
        ASSERT_TRUE(rig.settle());

        // Nothing unsaved, so no question: the load clears the history and says why.
        g_alerts.clear();
        ui::observeAccessibleEvents(&recordAlert);
        named(menu, "Quiet")[0]->trigger();
        ASSERT_TRUE(rig.settle());
        ui::observeAccessibleEvents(nullptr);
        const QString said = zh ? "配置“Quiet”已从图标菜单加载：撤销记录已清除。"
                                : "The profile \"Quiet\" was loaded from the icon menu: the "
                                  "undo history was cleared.";
        EXPECT_EQ(g_alerts, std::vector<QString>{said});
        const auto areas = rig.window->paintedAreas();
        const auto notice = std::ranges::find(areas, said, &ui::PaintedArea::name);
        ASSERT_NE(notice, areas.end());
        EXPECT_EQ(notice->role, QAccessible::AlertMessage);
        EXPECT_EQ(entry(undo)->text(), undo);
        EXPECT_FALSE(entry(undo)->isEnabled());
    }
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
