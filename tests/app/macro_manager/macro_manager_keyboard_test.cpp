// The macro manager with the keyboard alone and as a screen reader finds it: a macro recorded
// from the keyboard, given to a key on the key page and saved, all with QTest::keyClick; the
// window's lists, options and buttons named in both languages.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QListWidget>

#include <algorithm>

#include "../keyboard_road.h"
#include "../main_window/main_window_test_support.h"
#include "app/key_page/key_page.h"
#include "app/key_page/key_page_run.h"
#include "app/macro_manager/macro_manager_dlg_page.h"
#include "keys/key_cell.h"
#include "keys/key_layout.h"
#include "macro_manager_test_support.h"
#include "support/fake_clock.h"
#include "support/test_names.h"
#include "ui/transparent_list_box.h"

namespace tessaron::app::testing {
namespace {

constexpr keys::KeyIndex kKeyQ = 42;

using road::focusedName;
using road::key;
using road::tabTo;
using road::whenOpen;

TEST(MacroManagerKeyboardRoad, AMacroRecordedFromTheKeyboardIsGivenToQAndSaved) {
    RecordingPrompts prompts;
    FakeClock clock;  // the recording's quiet moment passes when the test says so
    RigOptions options;
    options.pages.macroManager = macroManagerPage(&prompts, &clock);
    options.pages.keyPage = [](QWidget* parent, LiveConfig& config, keys::KeyIndex k) {
        return runKeyPage(parent, config, k, nullptr);
    };
    Rig rig(std::move(options));
    CTessaronDlg& w = *rig.window;
    w.activateWindow();
    w.setFocus();

    ASSERT_TRUE(tabTo(&w, w, QStringLiteral("Macro Management")));
    bool ran = false;
    whenOpen<CMacroRecordDlg>(
        [&clock](CMacroRecordDlg& dlg) {
            ASSERT_TRUE(tabTo(&dlg, dlg, QStringLiteral("New")));
            key(&dlg, Qt::Key_Space);
            ASSERT_EQ(dlg.manager().macroNames().size(), 1u);
            ASSERT_TRUE(tabTo(&dlg, dlg, QStringLiteral("Start Recording")));
            key(&dlg, Qt::Key_Space);
            ASSERT_TRUE(dlg.manager().recording());
            // Every key goes into the macro, Tab and Enter too.
            key(&dlg, Qt::Key_A);
            key(&dlg, Qt::Key_Tab);
            EXPECT_TRUE(dlg.manager().recording());
            // A quiet moment ends a recording begun from the keyboard.
            clock.advance(std::chrono::milliseconds(CMacroRecordDlg::kKeyboardRecordingQuietMs - 1));
            QTest::qWait(200);
            ASSERT_TRUE(dlg.manager().recording());
            clock.advance(std::chrono::milliseconds(1));
            ASSERT_TRUE(waitFor([&] { return !dlg.manager().recording(); }));
            EXPECT_EQ(dlg.eventList()->count(), 4);  // A and Tab, down and up
            ASSERT_TRUE(tabTo(&dlg, dlg, QStringLiteral("OK")));
            key(&dlg, Qt::Key_Return);  // Enter belongs to macros, never to the window
            EXPECT_TRUE(dlg.isVisible());
            key(&dlg, Qt::Key_Space);
            EXPECT_EQ(dlg.result(), QDialog::Accepted);
        },
        ran);
    key(&w, Qt::Key_Space);
    ASSERT_TRUE(ran) << "the macro manager did not open";
    ASSERT_EQ(rig.live().committedMacros.countInUse(), 1u);

    // Q plays it: the picture from Esc to Q, the key page's Macro tab, its list, Save.
    ASSERT_TRUE(tabTo(&w, w, QStringLiteral("Escape")));
    key(&w, Qt::Key_Down);
    key(&w, Qt::Key_Down);
    key(&w, Qt::Key_Right);
    ASSERT_EQ(focusedName(w), QStringLiteral("Q"));
    ran = false;
    whenOpen<CKeyMap>(
        [](CKeyMap& page) {
            ASSERT_TRUE(tabTo(&page, page, QStringLiteral("Single/Combine")));
            key(&page, Qt::Key_Right);
            key(&page, Qt::Key_Space);
            ASSERT_EQ(page.model().tab(), key_page::Tab::Macro);
            ASSERT_TRUE(tabTo(&page, page, QStringLiteral("Macro")));  // the tab strip
            key(&page, Qt::Key_Tab);                                   // the list
            key(&page, Qt::Key_Down);
            EXPECT_EQ(page.macroList()->currentRow(), 0);
            ASSERT_TRUE(tabTo(&page, page, QStringLiteral("Default")));
            key(&page, Qt::Key_Right);
            key(&page, Qt::Key_Right);
            key(&page, Qt::Key_Space);
            EXPECT_EQ(page.result(), QDialog::Accepted);
        },
        ran);
    key(&w, Qt::Key_Space);
    ASSERT_TRUE(ran) << "the key page did not open";

    ASSERT_TRUE(tabTo(&w, w, QStringLiteral("Return")));
    key(&w, Qt::Key_Right);
    key(&w, Qt::Key_Right);
    key(&w, Qt::Key_Space);
    ASSERT_TRUE(rig.settle());
    // Cell 04 01 n 00 plays macro slot n.
    const keys::KeyCell expected{0x04, 0x01, 0x00, 0x00};
    EXPECT_EQ(keys::readCell(rig.keyboard->settings(), keys::matrixCellOffset(kKeyQ)), expected);
    // Slot 0: loop count 00 01, then press and release of A (usage 04) and of Tab (usage 2B)
    // in the short form (01 press, 81 release), then zeros.
    const std::uint8_t slot[] = {0x00, 0x01, 0x01, 0x04, 0x81, 0x04, 0x01, 0x2B, 0x81, 0x2B, 0x00};
    const auto held = rig.keyboard->settings();
    EXPECT_TRUE(
        std::equal(std::begin(slot), std::end(slot), held.begin() + device::image::macroSlot(0)));
}

// ---- What a reader finds.

class MacroManagerAccessible : public ::testing::TestWithParam<Language> {};

TEST_P(MacroManagerAccessible, ListsOptionsAndButtonsAreNamedWithRolesAndActions) {
    ManagerRig rig(tableWith({"Combo"}), GetParam());
    const macromgr::Texts& t = rig.dlg->texts();
    QAccessibleInterface* w = QAccessible::queryAccessibleInterface(rig.dlg.get());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->role(), QAccessible::Dialog);
    const struct {
        QString name;
        QAccessible::Role role;
        bool acts;
    } expected[] = {
        {t.title, QAccessible::StaticText, false},  {t.macroHeading, QAccessible::List, false},
        {t.eventHeading, QAccessible::List, false}, {t.startRecording, QAccessible::Button, true},
        {QString(), QAccessible::CheckBox, true},  // Record Delay: its name runs over lines
        {t.loops, QAccessible::CheckBox, true},     {t.loops, QAccessible::EditableText, false},
        {t.newButton, QAccessible::Button, true},   {t.deleteButton, QAccessible::Button, true},
        {t.ok, QAccessible::Button, true},          {t.cancel, QAccessible::Button, true},
    };
    ASSERT_EQ(w->childCount(), static_cast<int>(std::size(expected)));
    for (int i = 0; i < w->childCount(); ++i) {
        QAccessibleInterface* c = w->child(i);
        const auto& e = expected[i];
        if (!e.name.isEmpty()) {
            EXPECT_EQ(c->text(QAccessible::Name), e.name) << i;
        }
        EXPECT_FALSE(c->text(QAccessible::Name).isEmpty()) << i;
        EXPECT_EQ(c->role(), e.role) << i;
        auto* actions = c->actionInterface();
        EXPECT_EQ(actions != nullptr && !actions->actionNames().isEmpty(), e.acts) << i;
    }
    EXPECT_TRUE(w->child(4)->text(QAccessible::Name).startsWith(t.recordDelay[0]));
    // The macro list is the list widget itself, with its one row.
    EXPECT_EQ(w->child(1)->object(), static_cast<QObject*>(rig.dlg->macroList()));
    EXPECT_EQ(w->child(1)->childCount(), 1);

    // An action does what the click does; the loops box is checked afterwards.
    QAccessibleInterface* loops = w->child(5);
    EXPECT_FALSE(loops->state().checked);
    loops->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    ASSERT_TRUE(waitFor([&] { return rig.dlg->manager().loopsOn(); }));
    EXPECT_TRUE(loops->state().checked);
}

// The rows hold a notation ("A  dn", "300 ms") the list reads back; a reader hears words.
TEST_P(MacroManagerAccessible, EventRowsAreSpokenAsPressesReleasesAndWaits) {
    macros::MacroTable table = tableWith({"Combo"});
    table[0].setHostStream(streamOf({0x01, 0x41, 0xFF, 0x41, 0x01, 0x2C, 0x05, 0x42, 0x81, 0x42}));
    ManagerRig rig(table, GetParam());
    rig.dlg->macroList()->setCurrentRow(0);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(rig.dlg->eventList());
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->childCount(), 6);
    const QStringList expected =
        GetParam() == Language::Chinese
            ? QStringList{"按下 A", "等待 300 ms", "松开 A", "等待 5 ms", "按下 B", "松开 B"}
            : QStringList{"A pressed", "Wait 300 ms", "A released", "Wait 5 ms", "B pressed",
                          "B released"};
    for (int i = 0; i < list->childCount(); ++i) {
        EXPECT_EQ(list->child(i)->text(QAccessible::Name), expected[i]) << i;
    }
    EXPECT_EQ(rig.eventTexts()[1], QStringLiteral("300 ms"));  // the notation stays as it was
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, MacroManagerAccessible,
                         ::testing::Values(Language::English, Language::Chinese),
                         tessaron::testing::languageName);

}  // namespace
}  // namespace tessaron::app::testing
