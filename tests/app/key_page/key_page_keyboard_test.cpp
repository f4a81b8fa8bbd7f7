// The key page with the keyboard alone and through a screen reader's eyes: the road from the
// main window's picture to the keyboard's bytes with QTest::keyClick only, the capture rule
// (while a field listens every key is captured), and the page's accessible areas.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <memory>

#include "../keyboard_road.h"
#include "../main_window/main_window_test_support.h"
#include "app/key_page/key_page.h"
#include "app/key_page/key_page_dialogs.h"
#include "app/key_page/key_page_run.h"
#include "app/main_window/main_window.h"
#include "keys/key_cell.h"
#include "keys/key_layout.h"
#include "keys/key_record.h"
#include "support/fake_clock.h"
#include "support/test_names.h"
#include "ui/image_folders.h"
#include "ui/vivid_tree.h"

namespace tessaron::app {
namespace {

using testing::waitFor;

constexpr keys::KeyIndex kCapsLock = 62;

using road::focusedName;
using road::key;

TEST(KeyPageKeyboardRoad, CapsLockBecomesLeftCtrlPlusZAndSaveSendsIt) {
    FakeClock quiet;  // the combination field's quiet moment passes when the test says so
    testing::RigOptions options;
    options.pages.keyPage = [&quiet](QWidget* parent, LiveConfig& config, keys::KeyIndex k) {
        return runKeyPage(parent, config, k, nullptr, &quiet);
    };
    testing::Rig rig(std::move(options));
    ASSERT_TRUE(waitFor([&] { return !rig.window->busy() && rig.keyboard->hasEventReader(); }));
    CTessaronDlg& w = *rig.window;
    w.activateWindow();
    w.setFocus();
    // A step before the page, which the Ctrl+Z typed on the page must leave alone.
    rig.controller->edit([](LiveConfig& l) { l.image[device::image::kSpeed] ^= 1; });
    const std::uint8_t speed = rig.live().image[device::image::kSpeed];

    // Tab to the keyboard picture, then by arrows from Esc down to Caps Lock.
    ASSERT_TRUE(road::tabTo(&w, w, QStringLiteral("Escape")));
    for (int i = 0; i < 3; ++i) key(&w, Qt::Key_Down);
    ASSERT_EQ(focusedName(w), QStringLiteral("Caps Lock"));

    bool ran = false;
    road::whenOpen<CKeyMap>(
        [&quiet](CKeyMap& page) {
            ASSERT_TRUE(page.hookInstalled());
            // The page starts on the single field; Tab goes on to the combination field, and
            // Space makes it listen.
            EXPECT_EQ(focusedName(page), QStringLiteral("Single"));
            key(&page, Qt::Key_Tab);
            EXPECT_EQ(focusedName(page), QStringLiteral("Combine"));
            key(&page, Qt::Key_Space);
            EXPECT_TRUE(page.listening());
            // While it listens, Tab is captured like any key; held together, Ctrl and Z are
            // the combination.
            key(&page, Qt::Key_Tab);
            EXPECT_EQ(page.combinationField()->text(), QStringLiteral("Tab "));
            quiet.advance(CKeyMap::kCaptureQuiet);
            key(&page, Qt::Key_Space);  // listens again: the next keys start a new combination
            key(&page, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(page.combinationField()->text(), QStringLiteral("LCtrl + Z "));
            // A quiet moment ends the capture; Tab moves on again. Enter does nothing to the page.
            quiet.advance(CKeyMap::kCaptureQuiet);
            key(&page, Qt::Key_Tab);
            EXPECT_FALSE(page.listening());
            EXPECT_EQ(page.combinationField()->text(), QStringLiteral("LCtrl + Z "));
            EXPECT_EQ(focusedName(page), QStringLiteral("Disable"));
            key(&page, Qt::Key_Tab);
            EXPECT_EQ(focusedName(page), QStringLiteral("Default"));
            key(&page, Qt::Key_Right);
            key(&page, Qt::Key_Right);
            EXPECT_EQ(focusedName(page), QStringLiteral("Save"));
            key(&page, Qt::Key_Space);
            EXPECT_EQ(page.result(), QDialog::Accepted);
        },
        ran);
    key(&w, Qt::Key_Space);
    ASSERT_TRUE(ran) << "the key page did not open";
    EXPECT_EQ(rig.live().image[device::image::kSpeed], speed);
    EXPECT_EQ(rig.controller->history().count(), 2);
    ASSERT_TRUE(rig.controller->undoName());
    EXPECT_EQ(rig.controller->undoName()->english, "Caps Lock → Left Ctrl + Z");

    // In the window Ctrl+Z takes the key back, Ctrl+Y and Ctrl+Shift+Z bring steps back again.
    const auto cell = [&] {
        return keys::readCell(rig.live().image, keys::matrixCellOffset(kCapsLock));
    };
    const keys::KeyCell assigned = cell();
    key(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(cell(), assigned);
    key(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(rig.live().image[device::image::kSpeed], speed);
    key(&w, Qt::Key_Y, Qt::ControlModifier);
    key(&w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(cell(), assigned);

    // The window's Save: Tab to the bottom buttons, right to Save.
    ASSERT_TRUE(road::tabTo(&w, w, QStringLiteral("Return")));
    key(&w, Qt::Key_Right);
    key(&w, Qt::Key_Right);
    ASSERT_EQ(focusedName(w), QStringLiteral("Save"));
    key(&w, Qt::Key_Space);
    ASSERT_TRUE(rig.settle());

    // Cell 00 u1 u2 00: Left Ctrl is usage E0, Z is usage 1D.
    const keys::KeyCell expected{0x00, 0xE0, 0x1D, 0x00};
    EXPECT_EQ(keys::readCell(rig.keyboard->settings(), keys::matrixCellOffset(kCapsLock)),
              expected);
}

TEST(KeyPageKeyboard, AFunctionKeyOpensOnItsTreeAndTheArrowsWalkIt) {
    auto records = std::make_unique<keys::KeyRecordTable>();
    keys::fillLayoutVks(*records);
    auto& record = (*records)[kCapsLock];
    record.kind = keys::kind::kFunction;
    record.bytes[0] = 0x00;
    record.bytes[1] = 0xE2;
    record.bytes[2] = 0x2C;
    record.bytes[3] = 0x11;  // Min, under Windows
    keys::PendingAssignment pending;
    pending.selectedKey = kCapsLock;
    pending.selectedVk = keys::layoutVk(kCapsLock);
    KeyPageSetup setup;
    setup.imageFolder = ui::imageFolder(QStringLiteral(TESSARON_TEST_SHARE_DIR), Language::English,
                                        ui::Panel::Custom);
    setup.pending = &pending;
    setup.records = records.get();
    CKeyMap page(setup);
    page.show();
    ASSERT_EQ(page.model().tab(), key_page::Tab::Basic);
    ASSERT_EQ(page.functionTree()->currentItem()->text(0), QStringLiteral("Min"));
    QTreeWidgetItem* windows = page.functionTree()->currentItem()->parent();
    key(&page, Qt::Key_Up);
    EXPECT_NE(page.functionTree()->currentItem()->text(0), QStringLiteral("Min"));
    key(&page, Qt::Key_Down);
    EXPECT_EQ(page.functionTree()->currentItem()->text(0), QStringLiteral("Min"));
    // Left goes to the group, a second Left closes it.
    key(&page, Qt::Key_Left);
    EXPECT_EQ(page.functionTree()->currentItem(), windows);
    key(&page, Qt::Key_Left);
    EXPECT_FALSE(windows->isExpanded());
    key(&page, Qt::Key_Right);
    EXPECT_TRUE(windows->isExpanded());
    page.reject();
}

// ---- What a reader finds on the page.

class KeyPageAccessible : public ::testing::TestWithParam<Language> {
protected:
    void SetUp() override {
        records = std::make_unique<keys::KeyRecordTable>();
        keys::fillLayoutVks(*records);
        macros[0].setName(u"Combo");
        pending.selectedKey = kCapsLock;
        pending.selectedVk = keys::layoutVk(kCapsLock);
        KeyPageSetup setup;
        setup.imageFolder =
            ui::imageFolder(QStringLiteral(TESSARON_TEST_SHARE_DIR), GetParam(), ui::Panel::Custom);
        setup.language = GetParam();
        setup.pending = &pending;
        setup.records = records.get();
        setup.macros = &macros;
        page = std::make_unique<CKeyMap>(setup);
        page->show();
    }

    QAccessibleInterface* child(const QString& name) {
        QAccessibleInterface* w = QAccessible::queryAccessibleInterface(page.get());
        for (int i = 0; i < w->childCount(); ++i) {
            if (w->child(i)->text(QAccessible::Name) == name) return w->child(i);
        }
        return nullptr;
    }

    keys::PendingAssignment pending;
    std::unique_ptr<keys::KeyRecordTable> records;
    macros::MacroTable macros;
    std::unique_ptr<CKeyMap> page;
};

TEST_P(KeyPageAccessible, TabsFieldsOptionsAndButtonsAreNamedWithTheirRolesAndActions) {
    const bool zh = GetParam() == Language::Chinese;
    const auto t = [zh](const char* en, const char* cn) { return QString::fromUtf8(zh ? cn : en); };
    QAccessibleInterface* w = QAccessible::queryAccessibleInterface(page.get());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->role(), QAccessible::Dialog);
    const struct {
        QString name;
        QAccessible::Role role;
    } expected[] = {
        {t("Current Key: Caps Lock", "当前按键: Caps Lock"), QAccessible::StaticText},
        {t("Close", "关闭"), QAccessible::Button},
        {t("Single/Combine", "单键/组合键"), QAccessible::PageTab},
        {t("Macro", "宏"), QAccessible::PageTab},
        {t("Basic", "基本功能"), QAccessible::PageTab},
        {t("Advance", "高级功能"), QAccessible::PageTab},
        {t("Single", "单键"), QAccessible::EditableText},
        {t("Combine", "组合键"), QAccessible::EditableText},
        {t("Disable", "禁用按钮"), QAccessible::CheckBox},
        {t("Default", "初始值"), QAccessible::Button},
        {t("Cancel", "取消"), QAccessible::Button},
        {t("Save", "保存"), QAccessible::Button},
    };
    ASSERT_EQ(w->childCount(), static_cast<int>(std::size(expected)));
    for (int i = 0; i < w->childCount(); ++i) {
        const auto& e = expected[i];
        QAccessibleInterface* c = w->child(i);
        EXPECT_EQ(c->text(QAccessible::Name), e.name) << i;
        EXPECT_EQ(c->role(), e.role) << i;
        const bool acts = e.role != QAccessible::StaticText;
        EXPECT_EQ(c->actionInterface() != nullptr && !c->actionInterface()->actionNames().isEmpty(),
                  acts)
            << i;
    }
    EXPECT_TRUE(child(t("Single/Combine", "单键/组合键"))->state().selected);

    // Pressed, a field listens with the keyboard focus in it: the reader's object for the
    // focused widget is the page's named field, with its text.
    QAccessibleInterface* single = child(t("Single", "单键"));
    single->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return page->focusWidget() != nullptr; }));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(page->focusWidget()), single);
    EXPECT_EQ(w->indexOfChild(single), 6);
    ASSERT_NE(single->textInterface(), nullptr);
    EXPECT_EQ(single->textInterface()->text(0, single->textInterface()->characterCount()),
              single->text(QAccessible::Value));

    // Actions do what clicks do: the Macro tab shows its list as the reader's next child.
    child(t("Macro", "宏"))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return page->model().tab() == key_page::Tab::Macro; }));
    QAccessibleInterface* list = child(t("Macro", "宏"));
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->state().selected);  // the tab
    // After the four tabs.
    QAccessibleInterface* macroList = w->child(w->indexOfChild(list) + 3);
    ASSERT_NE(macroList, nullptr);
    EXPECT_EQ(macroList->role(), QAccessible::List);
    EXPECT_EQ(macroList->object(), static_cast<QObject*>(page->macroList()));
    EXPECT_EQ(macroList->childCount(), 1);  // the one macro in use

    QAccessibleInterface* disable = child(t("Disable", "禁用按钮"));
    EXPECT_FALSE(disable->state().checked);
    disable->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(waitFor([&] { return page->model().disabled(); }));
    EXPECT_TRUE(disable->state().checked);

    // The Advance tab: a radio and a Browse button for each row.
    child(t("Advance", "高级功能"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return page->model().tab() == key_page::Tab::Advance; }));
    const auto role = [&](const QString& name) {
        QAccessibleInterface* c = child(name);
        return c != nullptr ? c->role() : QAccessible::NoRole;
    };
    EXPECT_EQ(role(t("Open Folder", "打开目录")), QAccessible::RadioButton);
    EXPECT_EQ(role(t("Browse: Open Folder", "浏览: 打开目录")), QAccessible::Button);
    page->reject();
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, KeyPageAccessible,
                         ::testing::Values(Language::English, Language::Chinese),
                         tessaron::testing::languageName);

}  // namespace
}  // namespace tessaron::app
