// The macro manager window: recording through hook messages, the options, the macro list's
// buttons, OK and Cancel.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include "macro_manager_test_support.h"
#include "macros/event_stream.h"
#include "tholwin/tholwin.h"
#include "ui/edit_helper.h"  // completes the list box's editor pointer
#include "ui/transparent_list_box.h"

namespace tessaron::app::testing {
namespace {

using macros::Stream;
namespace mm = macromgr;

constexpr std::uint8_t kA = 0x41, kB = 0x42;

TEST(MacroManagerRecording, RecordsWithoutDelaysIgnoringAutoRepeat) {
    ManagerRig rig(tableWith({"Macro_001"}));
    rig.click(mm::kRecordButton);
    ASSERT_TRUE(rig.dlg->manager().recording());
    EXPECT_TRUE(tholwin::hookInstalled());

    rig.key(kA, false);
    rig.advanceMs(40);
    rig.key(kA, false);  // auto-repeat
    rig.advanceMs(40);
    rig.key(kA, true);
    rig.type(kB);

    const auto& rec = rig.dlg->manager().workingTable()[0];
    EXPECT_EQ(rec.hostStream(), streamOf({0x01, kA, 0x81, kA, 0x01, kB, 0x81, kB}));
    EXPECT_EQ(rec.deviceStream(), streamOf({0x01, 0x04, 0x81, 0x04, 0x01, 0x05, 0x81, 0x05}));
    EXPECT_EQ(rig.eventTexts(), rig.modelLines());
    EXPECT_EQ(rig.eventTexts().size(), 4);
    EXPECT_EQ(rig.dlg->eventList()->selectedIndex(), 3);  // the newest line

    rig.click(mm::kRecordButton);
    EXPECT_FALSE(rig.dlg->manager().recording());
    EXPECT_FALSE(tholwin::hookInstalled());
    rig.type(kA);  // no longer recorded
    EXPECT_EQ(rig.eventTexts().size(), 4);
    EXPECT_EQ(rig.committed[0].hostStream(), Stream{}) << "nothing is committed before OK";
}

TEST(MacroManagerRecording, RecordsDelaysWithTheOptionOn) {
    ManagerRig rig(tableWith({"Macro_001"}));
    rig.click(mm::kRecordDelayBox);
    ASSERT_TRUE(rig.dlg->manager().recordDelay());
    rig.click(mm::kRecordButton);

    rig.advanceMs(900);  // before the first event: never stored
    rig.key(kA, false);
    rig.advanceMs(300);
    rig.key(kA, true);
    rig.advanceMs(5);
    rig.key(kB, false);
    rig.advanceMs(1);
    rig.key(kB, true);

    const auto& rec = rig.dlg->manager().workingTable()[0];
    EXPECT_EQ(rec.hostStream(), streamOf({0x01, kA, 0xFF, kA, 0x01, 0x2C, 0x05, kB, 0x81, kB}));
    EXPECT_EQ(rec.deviceStream(),
              streamOf({0x01, 0x04, 0xFF, 0x04, 0x01, 0x2C, 0x05, 0x05, 0x81, 0x05}));
    EXPECT_EQ(rec.delayFlag(), 1);
    EXPECT_EQ(rig.eventTexts(),
              QStringList({"A  dn", "300 ms", "A  up", "5 ms", "B  dn", "B  up"}));
}

TEST(MacroManagerRecording, StartWithoutAMacroAsksForOne) {
    ManagerRig rig(macros::MacroTable{});
    rig.click(mm::kRecordButton);
    ASSERT_EQ(rig.prompts.shown.size(), 1u);
    EXPECT_EQ(rig.prompts.shown[0].caption, "Macro Manager");
    EXPECT_EQ(rig.prompts.shown[0].text, "Please select a Macro file to record \n");
    EXPECT_FALSE(rig.dlg->manager().recording());
    EXPECT_FALSE(tholwin::hookInstalled());
}

TEST(MacroManagerRecording, AReleaseThatDoesNotFitIsToldInTheWindowNotInABox) {
    ManagerRig rig(tableWith({"Macro_001"}));
    rig.click(mm::kRecordDelayBox);
    rig.click(mm::kRecordButton);
    for (int i = 0; i < 45; ++i) rig.type(i % 2 == 0 ? kA : kB);  // 180 bytes
    rig.key(kA, false);
    rig.key(kB, false);  // ends at 184
    rig.advanceMs(200);
    rig.key(kA, true);  // long form: ends at 188
    rig.advanceMs(200);
    rig.key(kB, true);  // would end at 192
    EXPECT_EQ(macros::streamEnd(rig.dlg->manager().streams().host), 188u);
    EXPECT_TRUE(rig.prompts.shown.empty()) << "a box could not be answered while recording";
    EXPECT_FALSE(rig.dlg->notice().isEmpty());
    EXPECT_TRUE(rig.dlg->manager().recording());
    rig.click(mm::kRecordButton);
    EXPECT_TRUE(rig.dlg->notice().isEmpty());
}

TEST(MacroManagerOptions, LoopFieldTakesThreeDigitsOnlyWhileTheOptionIsOn) {
    auto table = tableWith({"Once", "Often"});
    table[1].setLoopCount(300);
    ManagerRig rig(table);
    QLineEdit* field = rig.dlg->loopField();
    EXPECT_FALSE(field->isEnabled());
    EXPECT_EQ(field->text(), "1");

    rig.dlg->macroList()->setCurrentRow(1);
    EXPECT_TRUE(rig.dlg->manager().loopsOn());
    EXPECT_TRUE(field->isEnabled());
    EXPECT_EQ(field->text(), "300");

    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, "12x3456");
    EXPECT_EQ(field->text(), "123");
    EXPECT_EQ(rig.dlg->manager().workingTable()[1].loopCount(), 123);

    rig.click(mm::kLoopsBox);
    EXPECT_FALSE(field->isEnabled());
    EXPECT_EQ(field->text(), "1");
    EXPECT_EQ(rig.dlg->manager().workingTable()[1].loopCount(), 1);

    // Going back to a macro shows its own options again.
    rig.dlg->macroList()->setCurrentRow(0);
    EXPECT_FALSE(rig.dlg->manager().loopsOn());
}

TEST(MacroManagerList, NewFillsTheFirstGapAndStopsAt32) {
    ManagerRig rig(tableWith({"Macro_001", "Macro_003"}));
    rig.click(mm::kRecordButton);
    rig.click(mm::kNewButton);
    EXPECT_EQ(rig.macroTexts(), QStringList({"Macro_001", "Macro_003", "Macro_002"}));
    EXPECT_EQ(rig.dlg->macroList()->selectedIndex(), 2);
    EXPECT_FALSE(rig.dlg->manager().recording()) << "New stops recording";
    EXPECT_FALSE(tholwin::hookInstalled());
    EXPECT_TRUE(rig.eventTexts().isEmpty());

    for (int i = 0; i < 40; ++i) rig.click(mm::kNewButton);
    EXPECT_EQ(rig.macroTexts().size(), 32);
    EXPECT_EQ(rig.macroTexts().last(), "Macro_032");
    EXPECT_TRUE(rig.prompts.shown.empty());
}

TEST(MacroManagerList, DeleteAsksThenSelectsTheNeighbour) {
    ManagerRig rig(tableWith({"One", "Two", "Three"}));
    rig.prompts.answerOk = false;
    rig.dlg->macroList()->setCurrentRow(2);
    rig.click(mm::kRecordButton);
    rig.click(mm::kDeleteButton);
    EXPECT_EQ(rig.macroTexts().size(), 3) << "Cancel keeps the macro";
    EXPECT_FALSE(tholwin::hookInstalled()) << "the question is asked without the hook";
    EXPECT_FALSE(rig.dlg->manager().recording());
    ASSERT_EQ(rig.prompts.asked.size(), 1u);
    EXPECT_EQ(rig.prompts.asked[0].text, "Confirm to delete?");

    rig.prompts.answerOk = true;
    rig.click(mm::kDeleteButton);  // the last: the new last is selected
    EXPECT_EQ(rig.macroTexts(), QStringList({"One", "Two"}));
    EXPECT_EQ(rig.dlg->macroList()->selectedIndex(), 1);
    EXPECT_EQ(rig.dlg->manager().selectedMacro(), 1u);

    rig.dlg->macroList()->setCurrentRow(0);
    rig.click(mm::kDeleteButton);  // the first: the new first is selected
    EXPECT_EQ(rig.macroTexts(), QStringList({"Two"}));
    EXPECT_EQ(rig.dlg->macroList()->selectedIndex(), 0);
    EXPECT_FALSE(rig.dlg->manager().workingTable()[1].inUse());

    rig.click(mm::kDeleteButton);  // the only one
    EXPECT_TRUE(rig.macroTexts().isEmpty());
    EXPECT_EQ(rig.dlg->macroList()->selectedIndex(), -1);
    EXPECT_TRUE(rig.eventTexts().isEmpty());

    rig.click(mm::kDeleteButton);
    ASSERT_FALSE(rig.prompts.shown.empty());
    EXPECT_EQ(rig.prompts.shown.back().text, "Please select a Macro file to delete\n");
}

TEST(MacroManagerClose, OkHandsBackTheWorkingTableCancelDropsIt) {
    const auto original = tableWith({"Macro_001"});
    {
        ManagerRig rig(original);
        rig.click(mm::kNewButton);
        rig.click(mm::kRecordButton);
        rig.click(mm::kCancelButton);
        EXPECT_EQ(rig.dlg->result(), QDialog::Rejected);
        EXPECT_FALSE(tholwin::hookInstalled());
        EXPECT_EQ(rig.committed, original);
    }
    ManagerRig rig(original);
    rig.click(mm::kRecordButton);
    rig.type(kA);
    rig.click(mm::kOkButton);  // while recording: the hook goes
    EXPECT_EQ(rig.dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(tholwin::hookInstalled());
    EXPECT_EQ(rig.committed, rig.dlg->manager().workingTable());
    EXPECT_EQ(rig.committed[0].hostStream(), streamOf({0x01, kA, 0x81, kA}));
}

TEST(MacroManagerUndo, EachEditIsOneStepAndCtrlZWhileRecordingIsAKeyOfTheMacro) {
    ManagerRig rig(tableWith({"Macro_001"}));
    CMacroRecordDlg& dlg = *rig.dlg;
    const macros::MacroTable start = dlg.manager().workingTable();
    const auto ctrl = [&dlg](Qt::Key key, Qt::KeyboardModifiers more = {}) {
        QTest::keyClick(&dlg, key, Qt::ControlModifier | more);
    };

    rig.click(mm::kRecordButton);
    rig.type(kA);
    ctrl(Qt::Key_Z);  // while recording it goes to the macro (through the hook), never undoes
    rig.type(kB);
    rig.click(mm::kRecordButton);
    constexpr std::uint8_t kLCtrl = 0xA2, kZ = 0x5A;
    EXPECT_EQ(dlg.manager().workingTable()[0].hostStream(),
              streamOf({0x01, kA, 0x81, kA, 0x01, kLCtrl, 0x01, kZ, 0x81, kZ, 0x01, kB, 0x81, kB}));
    rig.click(mm::kNewButton);
    rig.click(mm::kLoopsBox);
    dlg.loopField()->setFocus();
    dlg.loopField()->selectAll();
    QTest::keyClicks(dlg.loopField(), "12");
    dlg.setFocus();
    // Recording, New, the loops switch, and the digits typed as one.
    EXPECT_EQ(dlg.history().count(), 4);
    EXPECT_EQ(dlg.history().undoText(), QStringLiteral("Number of Loops"));
    const macros::MacroTable end = dlg.manager().workingTable();

    for (int i = 0; i < 4; ++i) ctrl(Qt::Key_Z);
    EXPECT_EQ(dlg.manager().workingTable(), start);
    EXPECT_EQ(rig.macroTexts(), QStringList({"Macro_001"}));
    EXPECT_TRUE(rig.eventTexts().isEmpty());
    ctrl(Qt::Key_Y);
    EXPECT_EQ(rig.eventTexts().size(), 7);
    for (int i = 0; i < 3; ++i) ctrl(Qt::Key_Z, Qt::ShiftModifier);
    EXPECT_EQ(dlg.manager().workingTable(), end);
    EXPECT_EQ(dlg.loopField()->text(), "12");
    rig.click(mm::kOkButton);
    EXPECT_EQ(rig.committed, end);
}

TEST(MacroManagerWindow, EnterAndEscapeDoNotCloseIt) {
    ManagerRig rig(tableWith({"Macro_001"}));
    QTest::keyClick(rig.dlg.get(), Qt::Key_Escape);
    QTest::keyClick(rig.dlg.get(), Qt::Key_Return);
    EXPECT_TRUE(rig.dlg->isVisible());
}

TEST(MacroManagerWindow, HoverAndDragging) {
    ManagerRig rig(tableWith({"Macro_001"}));
    EXPECT_EQ(rig.dlg->size(), QSize(412, 436)) << "sized to its background";
    QTest::mouseMove(rig.dlg.get(), mm::kOkButton.centre());
    EXPECT_EQ(rig.dlg->hoveredButton(), mm::Button::Ok);
    QTest::mouseMove(rig.dlg.get(), QPoint(200, 20));
    EXPECT_EQ(rig.dlg->hoveredButton(), mm::Button::None);

    // Dragging from a spot outside the buttons moves the window and clicks nothing, even when
    // released over a button.
    const QPoint start = rig.dlg->pos();
    const auto mouse = [&](QEvent::Type type, QPoint local, Qt::MouseButtons held) {
        const QPoint global = rig.dlg->mapToGlobal(local);
        QMouseEvent e(type, QPointF(local), QPointF(global), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(rig.dlg.get(), &e);
    };
    mouse(QEvent::MouseButtonPress, QPoint(200, 20), Qt::LeftButton);
    mouse(QEvent::MouseMove, QPoint(230, 60), Qt::LeftButton);
    EXPECT_EQ(rig.dlg->pos(), start + QPoint(30, 40));
    mouse(QEvent::MouseButtonRelease, mm::kCancelButton.centre(), Qt::NoButton);
    EXPECT_TRUE(rig.dlg->isVisible());
}

}  // namespace
}  // namespace tessaron::app::testing
