// The profiles panel with the keyboard alone and as a screen reader finds it: a profile loaded
// through the panel's menu (opened with the context-menu key) and saved from the main window,
// all with QTest::keyClick; the panel's list and buttons named in both languages.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>

#include "../keyboard_road.h"
#include "app/controller/device_session.h"
#include "app/main_window/main_window.h"
#include "app/profiles/profiles_dlg.h"
#include "app/profiles/profiles_dlg_page.h"
#include "app/shell/live_config.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "keys/keymap_file.h"
#include "profiles_window_rig.h"
#include "support/fake_clock.h"
#include "support/qt_wait.h"
#include "support/test_names.h"
#include "ui/transparent_list_box.h"

namespace tessaron::app {
namespace {

namespace fs = std::filesystem;
namespace img = device::image;
using tessaron::testing::waitFor;

using road::focusedName;
using road::key;
using road::keyTarget;
using road::tabTo;

// Picks the menu entry at `row` with the arrows and Enter, once the menu is up.
void pickFromMenu(int row) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [poll, row] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || !menu->isVisible()) {
            QTimer::singleShot(10, *poll);
            return;
        }
        *poll = nullptr;  // it holds the pointer to itself; the running copy goes on
        for (int i = 0; i <= row; ++i) QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    };
    QTimer::singleShot(0, *poll);
}

class ProfilesKeyboard : public ::testing::TestWithParam<bool> {};

TEST_P(ProfilesKeyboard, AProfileLoadedFromThePanelMenuReachesTheKeyboardWithSave) {
    const bool shiftF10 = GetParam();
    testing::ProfilesWindowRig rig;
    auto& keyboard = rig.keyboard;
    auto& live = rig.live;
    CTessaronDlg& window = *rig.window;
    ASSERT_TRUE(waitFor([&] { return !window.busy(); }));

    // A profile file that differs from the keyboard in brightness.
    const auto loaded = rig.profileFromKeyboard();
    const std::uint8_t brightness = loaded->image[img::kBrightness];
    ASSERT_TRUE(rig.offer(*loaded));

    window.activateWindow();
    window.setFocus();
    ASSERT_TRUE(tabTo(&window, window, QStringLiteral("Profile")));
    bool ran = false;
    road::whenOpen<CConfigureDlg>(
        [&](CConfigureDlg& panel) {
            ASSERT_TRUE(tabTo(&panel, panel, panel.list()->accessibleName()));
            key(panel.list(), Qt::Key_Down);
            ASSERT_EQ(panel.list()->currentRow(), 0);
            // The menu's fourth entry is Load.
            pickFromMenu(3);
            if (shiftF10) {
                key(panel.list(), Qt::Key_F10, Qt::ShiftModifier);
            } else {
                key(panel.list(), Qt::Key_Menu);
            }
            EXPECT_EQ(live->image[img::kBrightness], brightness);
            // Shift+Tab back to the close button, Space closes the panel.
            key(keyTarget(&panel), Qt::Key_Tab, Qt::ShiftModifier);
            EXPECT_EQ(focusedName(panel), QStringLiteral("Close"));
            key(&panel, Qt::Key_Space);
        },
        ran, [&window] { return window.findChild<CConfigureDlg*>(); });
    key(&window, Qt::Key_Space);
    ASSERT_TRUE(ran) << "the profiles panel did not open";
    ASSERT_EQ(live->image, loaded->image);

    ASSERT_TRUE(tabTo(&window, window, QStringLiteral("Return")));
    key(&window, Qt::Key_Right);
    key(&window, Qt::Key_Right);
    ASSERT_EQ(focusedName(window), QStringLiteral("Save"));
    key(&window, Qt::Key_Space);
    ASSERT_TRUE(waitFor([&] { return !window.busy(); }));
    EXPECT_EQ(keyboard->settings()[img::kBrightness], brightness);
}

INSTANTIATE_TEST_SUITE_P(MenuKeyOrShiftF10, ProfilesKeyboard, ::testing::Values(false, true),
                         [](const auto& c) { return c.param ? "ShiftF10" : "MenuKey"; });

class ProfilesAccessible : public ::testing::TestWithParam<Language> {};

TEST_P(ProfilesAccessible, TheListAndButtonsAreNamedWithRolesAndActions) {
    QTemporaryDir temp;
    const fs::path dir(temp.path().toStdString());
    fs::create_directories(dir / "Configure");
    auto live = std::make_unique<LiveConfig>();
    ASSERT_TRUE(keys::writeKeymap(dir / "Configure" / "Work.bin", live->image, live->records));
    testing::ChooserOnly prompts;
    FakeClock clock;
    ProfilesPanelSetup setup;
    setup.imageBase = QStringLiteral(TESSARON_TEST_SHARE_DIR);
    setup.dataFolder = dir;
    setup.language = GetParam();
    setup.clock = &clock;
    setup.prompts = &prompts;
    CConfigureDlg panel({live->image, live->records}, setup);
    panel.prepare(QRect(0, 0, 100, 100));
    panel.show();

    const bool zh = GetParam() == Language::Chinese;
    QAccessibleInterface* w = QAccessible::queryAccessibleInterface(&panel);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->childCount(), 5);
    const auto& t = profilesdlg::texts(GetParam());
    EXPECT_EQ(w->child(0)->text(QAccessible::Name), t.title);
    EXPECT_EQ(w->child(0)->role(), QAccessible::StaticText);
    EXPECT_EQ(w->child(1)->text(QAccessible::Name),
              zh ? QStringLiteral("关闭") : QStringLiteral("Close"));
    EXPECT_EQ(w->child(2)->object(), static_cast<QObject*>(panel.list()));
    EXPECT_EQ(w->child(2)->text(QAccessible::Name), t.title);
    EXPECT_EQ(w->child(2)->childCount(), 1);  // Work
    EXPECT_EQ(w->child(3)->text(QAccessible::Name), t.newLabel);
    EXPECT_EQ(w->child(4)->text(QAccessible::Name), t.deleteLabel);
    for (int i : {1, 3, 4}) {
        EXPECT_EQ(w->child(i)->role(), QAccessible::Button);
        EXPECT_TRUE(w->child(i)->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
    }
    // New through the reader: a second profile in the list.
    w->child(3)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return panel.list()->count() == 2; }));
    // A rename (F2) edits in a named editor; the renamed profile stays selected.
    ui::CTransparentListBox& list = *panel.list();
    list.endEdit(false);
    ASSERT_TRUE(list.beginEdit(1));
    ASSERT_NE(list.editor(), nullptr);
    EXPECT_EQ(list.editor()->accessibleName(),
              zh ? QStringLiteral("配置名称") : QStringLiteral("Profile name"));
    list.editor()->setText(QStringLiteral("Play"));
    list.endEdit(true);
    const auto selected = [&] {
        const int row = list.selectedIndex();
        return row < 0 ? QString() : list.itemText(row);
    };
    // The rename lands in the folder, the list is filled again, the row stays selected.
    ASSERT_TRUE(waitFor([&] { return fs::exists(dir / "Configure" / "Play.bin"); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(selected(), QStringLiteral("Play"));
    // Tab into the list selects its current row.
    list.clearSelection();
    panel.setFocus();
    panel.activateWindow();
    list.setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(waitFor([&] { return !selected().isEmpty(); }));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ProfilesAccessible,
                         ::testing::Values(Language::English, Language::Chinese),
                         tessaron::testing::languageName);

}  // namespace
}  // namespace tessaron::app
