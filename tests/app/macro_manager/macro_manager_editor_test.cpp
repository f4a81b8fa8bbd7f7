// The macro manager window: the event list's context menu, in-place delay edits and renames.

#include <gtest/gtest.h>

#include <QTest>

#include "macro_manager_test_support.h"
#include "macros/event_stream.h"
#include "support/qt_wait.h"
#include "tholwin/tholwin.h"
#include "ui/edit_helper.h"
#include "ui/transparent_list_box.h"

namespace tessaron::app::testing {
namespace {

using macros::Stream;

constexpr std::uint8_t kA = 0x41, kB = 0x42;

// "A dn", 300 ms, "A up".
macros::MacroTable pressAndSlowRelease() {
    auto table = tableWith({"Macro_001"});
    const Stream host = streamOf({0x01, kA, 0xFF, kA, 0x01, 0x2C});
    table[0].setHostStream(host);
    table[0].setDeviceStream(deviceFor(host));
    return table;
}

// The list shows the model's lines, and the record holds both streams in step.
void expectConsistent(const ManagerRig& rig, const Stream& host) {
    const auto& m = rig.dlg->manager();
    EXPECT_EQ(rig.eventTexts(), rig.modelLines());
    ASSERT_TRUE(m.selectedMacro());
    const auto& rec = m.workingTable()[*m.selectedMacro()];
    EXPECT_EQ(rec.hostStream(), host);
    EXPECT_EQ(rec.deviceStream(), deviceFor(host));
}

class MacroEditor : public ::testing::Test {
protected:
    ManagerRig rig{pressAndSlowRelease()};
    const QString insertAfter = QStringLiteral("Insert After");
    const QString insertBefore = QStringLiteral("Insert Before");
};

TEST_F(MacroEditor, InsertAfterTheLastLineAppendsAKeystroke) {
    rig.menu(2, {insertAfter});
    EXPECT_TRUE(tholwin::hookInstalled());
    rig.advanceMs(500);  // inserted keystrokes never carry a delay
    rig.type(kB);
    EXPECT_FALSE(tholwin::hookInstalled()) << "the release ends the insertion";
    EXPECT_FALSE(rig.dlg->manager().insertMode());
    EXPECT_EQ(rig.eventTexts(), QStringList({"A  dn", "300 ms", "A  up", "B  dn", "B  up"}));
    expectConsistent(rig, streamOf({0x01, kA, 0xFF, kA, 0x01, 0x2C, 0x01, kB, 0x81, kB}));
    EXPECT_EQ(rig.dlg->eventList()->selectedIndex(), 4);
}

TEST_F(MacroEditor, InsertBeforeAnEventKeepsItsDelayWithIt) {
    rig.menu(2, {insertBefore});
    rig.type(kB);
    EXPECT_EQ(rig.eventTexts(), QStringList({"A  dn", "B  dn", "B  up", "300 ms", "A  up"}));
    expectConsistent(rig, streamOf({0x01, kA, 0x01, kB, 0x81, kB, 0xFF, kA, 0x01, 0x2C}));
}

TEST_F(MacroEditor, MouseKeysGoAfterTheSelectedEvent) {
    rig.menu(2, {"Insert Mouse Key", "Left", "Click"});
    EXPECT_EQ(rig.eventTexts().mid(3), QStringList({"MsLB dn", "MsLB up"}));
    expectConsistent(rig, streamOf({0x01, kA, 0xFF, kA, 0x01, 0x2C, 0x01, 0xF0, 0x81, 0xF0}));

    rig.menu(0, {"Insert Mouse Key", "Right", "Down"});
    rig.menu(1, {"Insert Mouse Key", "Middle", "Up"});
    EXPECT_EQ(rig.eventTexts().mid(0, 3), QStringList({"A  dn", "MsRB dn", "MsMB up"}));
    EXPECT_FALSE(tholwin::hookInstalled());
}

TEST_F(MacroEditor, InsertDelayRulesAndItsMessage) {
    rig.menu(1, {"Insert Delay"});
    ASSERT_EQ(rig.prompts.shown.size(), 1u);
    EXPECT_EQ(rig.prompts.shown[0].text, "Please edit current delay\n");
    EXPECT_EQ(rig.prompts.shown[0].caption, "Macro Manager");

    rig.menu(2, {"Insert Delay"});  // the last line: nothing happens
    EXPECT_EQ(rig.prompts.shown.size(), 1u);
    expectConsistent(rig, streamOf({0x01, kA, 0xFF, kA, 0x01, 0x2C}));

    // The following event's long delay becomes a short 50 ms, never a short code before
    // leftover delay bytes.
    rig.menu(0, {"Insert Delay"});
    EXPECT_EQ(rig.eventTexts(), QStringList({"A  dn", "50 ms", "A  up"}));
    expectConsistent(rig, streamOf({0x01, kA, 0x80 | 50, kA}));
}

TEST_F(MacroEditor, DeleteRemovesAnEventOrOnlyItsDelay) {
    rig.menu(1, {"Delete"});
    EXPECT_EQ(rig.eventTexts(), QStringList({"A  dn", "A  up"}));
    expectConsistent(rig, streamOf({0x01, kA, 0x81, kA}));

    rig.menu(0, {"Delete"});
    EXPECT_EQ(rig.eventTexts(), QStringList({"A  up"}));
    expectConsistent(rig, streamOf({0x81, kA}));

    // Without a selected line every item does nothing.
    rig.dlg->eventList()->clearSelection();
    rig.dlg->eventList()->setCurrentRow(-1);
    const auto menu = rig.dlg->eventMenu();
    for (QAction* a : menu->actions()) a->trigger();
    EXPECT_EQ(rig.eventTexts(), QStringList({"A  up"}));
    EXPECT_FALSE(tholwin::hookInstalled());
}

TEST_F(MacroEditor, DelayEditsAreClampedAndChangeTheEventForm) {
    ui::CTransparentListBox* list = rig.dlg->eventList();
    const auto edit = [&](int row, const QString& text) {
        list->setCurrentRow(row);
        ASSERT_TRUE(list->beginEdit(row));
        ASSERT_NE(list->editor(), nullptr);
        list->editor()->setText(text);
        list->endEdit(true);
    };
    EXPECT_FALSE(list->beginEdit(0)) << "key lines are not edited";

    edit(1, QStringLiteral("1"));
    EXPECT_EQ(rig.eventTexts(), QStringList({"A  dn", "2 ms", "A  up"}));
    expectConsistent(rig, streamOf({0x01, kA, 0x82, kA}));

    edit(1, QStringLiteral("70000"));
    EXPECT_EQ(rig.eventTexts()[1], "60000 ms");
    expectConsistent(rig, streamOf({0x01, kA, 0xFF, kA, 0xEA, 0x60}));
    EXPECT_EQ(list->selectedIndex(), 1);
}

TEST_F(MacroEditor, AnEditStopsRecording) {
    rig.dlg->macroList()->setCurrentRow(0);
    rig.dlg->pressButton(macromgr::Button::Record);
    rig.type(kB);  // recording restarts the macro
    rig.dlg->pressButton(macromgr::Button::RecordDelay);
    rig.advanceMs(20);
    rig.type(kA);
    ASSERT_TRUE(rig.dlg->manager().recording());
    ASSERT_EQ(rig.eventTexts()[2], "20 ms");
    ASSERT_TRUE(rig.dlg->eventList()->beginEdit(2));
    EXPECT_FALSE(rig.dlg->manager().recording());
    EXPECT_FALSE(tholwin::hookInstalled());
    rig.dlg->eventList()->endEdit(false);
}

TEST_F(MacroEditor, StartingToRecordDropsAnArmedInsertion) {
    rig.menu(0, {insertAfter});
    rig.dlg->pressButton(macromgr::Button::Record);
    rig.type(kB);
    EXPECT_TRUE(rig.prompts.shown.empty());
    EXPECT_TRUE(rig.dlg->manager().recording());
    EXPECT_TRUE(tholwin::hookInstalled());
    EXPECT_EQ(rig.eventTexts(), QStringList({"B  dn", "B  up"}));
    expectConsistent(rig, streamOf({0x01, kB, 0x81, kB}));
}

TEST_F(MacroEditor, AnInsertionThatDoesNotFitIsRefusedWhole) {
    // 95 events fill the stream to its last byte.
    auto table = tableWith({"Full"});
    Stream host{};
    for (std::size_t i = 0; i < host.size(); i += 2) {
        host[i] = (i / 2) % 2 == 0 ? 0x01 : 0x81;
        host[i + 1] = kA;
    }
    table[0].setHostStream(host);
    table[0].setDeviceStream(deviceFor(host));
    ManagerRig full(table);
    full.menu(3, {insertAfter});
    full.type(kB);
    ASSERT_FALSE(full.prompts.shown.empty());
    EXPECT_EQ(full.prompts.shown.back().text,
              "The macro is full: there is no room left for this event.");
    EXPECT_FALSE(tholwin::hookInstalled());
    expectConsistent(full, host);

    full.menu(3, {"Insert Mouse Key", "Left", "Down"});
    expectConsistent(full, host);
    EXPECT_EQ(full.prompts.shown.size(), 2u);
}

TEST(MacroManagerRename, EmptyNamesAreRefusedAndTheTimerCarriesNames) {
    ManagerRig rig(tableWith({"Macro_001", "Macro_002"}));
    ui::CTransparentListBox* list = rig.dlg->macroList();
    list->setCurrentRow(0);
    ASSERT_TRUE(list->beginEdit(0));
    list->editor()->setText(QString());
    list->endEdit(true);
    EXPECT_EQ(rig.macroTexts()[0], "Macro_001");
    ASSERT_EQ(rig.prompts.shown.size(), 1u);
    EXPECT_EQ(rig.prompts.shown[0].text, "A macro needs a name; the empty name was not taken.");

    ASSERT_TRUE(list->beginEdit(0));
    list->editor()->setText(QStringLiteral("Boss fight"));
    list->endEdit(true);
    EXPECT_EQ(rig.dlg->manager().workingTable()[0].name(), u"Boss fight");

    list->item(1)->setText(QStringLiteral("Combo"));  // carried over by the dialog's name timer
    EXPECT_TRUE(tessaron::testing::waitFor(
        [&] { return rig.dlg->manager().workingTable()[1].name() == u"Combo"; }));
    rig.click(macromgr::kOkButton);
    EXPECT_EQ(rig.committed[1].name(), u"Combo");
}

TEST(MacroManagerMenu, EveryItemInChinese) {
    ManagerRig rig(pressAndSlowRelease(), Language::Chinese);
    const QStringList top{"在之前开始录入", "在之后开始录入", "插入鼠标按键", "插入延迟", "删除"};
    const auto menu = rig.dlg->eventMenu();
    QStringList labels;
    for (QAction* a : menu->actions()) labels << a->text();
    EXPECT_EQ(labels, top);
    rig.menu(2, {"插入鼠标按键", "中健", "单击"});
    EXPECT_EQ(rig.eventTexts().mid(3), QStringList({"MsMB dn", "MsMB up"}));
    rig.menu(1, {"插入延迟"});
    ASSERT_EQ(rig.prompts.shown.size(), 1u);
    EXPECT_EQ(rig.prompts.shown[0].caption, "Macro Manager");
}

}  // namespace
}  // namespace tessaron::app::testing
