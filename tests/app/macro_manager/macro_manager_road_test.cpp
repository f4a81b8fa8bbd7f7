// The whole road of a macro: recorded through the page the main window opens, OK, packed into
// the slots, assigned to a key, saved, and held by the virtual keyboard.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "app/macro_manager/macro_manager_dlg_page.h"
#include "app/shell/live_config.h"
#include "device/ack.h"
#include "device/command_port.h"
#include "device/listener.h"
#include "device/read_all.h"
#include "device/virtual/virtual_transport.h"
#include "device/write_changes.h"
#include "keys/key_cell.h"
#include "keys/key_layout.h"
#include "macro_manager_test_support.h"
#include "macros/slot_packing.h"
#include "support/fake_clock.h"
#include "tholwin/tholwin.h"
#include "ui/messages.h"

namespace tessaron::app::testing {
namespace {

// While the page is open, as the user would: New, Record Delay, "A dn", 300 ms, "A up", OK.
void recordAndOk(FakeClock& clock) {
    auto* dlg = qobject_cast<CMacroRecordDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    for (const ui::Rect& r :
         {macromgr::kNewButton, macromgr::kRecordDelayBox, macromgr::kRecordButton}) {
        QTest::mouseClick(dlg, Qt::LeftButton, Qt::NoModifier, r.centre());
    }
    ui::sendMessage(dlg, ui::WM_MACRO_KEY, 0x41, 0);
    clock.advance(std::chrono::milliseconds(300));
    ui::sendMessage(dlg, ui::WM_MACRO_KEY, 0x41, tholwin::kReleaseFlag);
    QTest::mouseClick(dlg, Qt::LeftButton, Qt::NoModifier, macromgr::kOkButton.centre());
}

TEST(MacroManagerRoad, ARecordedMacroReachesTheKeyboardSlot) {
    FakeClock clock;
    auto kb = std::make_shared<device::VirtualKeyboard>(clock);
    device::VirtualTransport transport(kb);
    auto cmd = std::move(transport.openCommand().value());
    auto events = std::move(transport.openEvent().value());
    device::CommandPort port(*cmd, clock);
    auto read = device::startupRead(port, device::DeviceImage{});
    ASSERT_TRUE(read) << read.error().english;
    auto live = std::make_unique<LiveConfig>();
    live->image = read->image;
    live->commit();
    live->imageBase = TESSARON_TEST_SHARE_DIR;

    RecordingPrompts prompts;
    const MacroManagerPage page = macroManagerPage(&prompts, &clock);
    QTimer::singleShot(0, [&] { recordAndOk(clock); });
    ASSERT_TRUE(page(nullptr, *live));
    EXPECT_EQ(live->committedMacros[0].name(), u"Macro_001");
    EXPECT_FALSE(tholwin::hookInstalled());

    // The main window packs after OK; the key page's OK assigns macro 0 to the Q key.
    macros::packMacroSlots(live->committedMacros, live->image);
    keys::KeyIndex q = 0;
    while (keys::layoutVk(q) != 'Q') ++q;
    live->pending.selectedKey = q;
    live->pending.kind = keys::kind::kMacro;
    live->pending.macroNumber = 0;
    ASSERT_TRUE(keys::applyAssignment(live->pending, live->liveKeys(), {}));

    // Save.
    device::AckSignal acks;
    device::Listener listener{acks, clock};
    device::PollingAckWaiter waiter(acks, clock, [&] { (void)listener.pollOnce(*events, {}); });
    auto saved = device::writeChanges(port, live->image, live->committedImage, waiter);
    ASSERT_TRUE(saved) << saved.error().english;

    const device::DeviceImage held = kb->settings();
    const std::uint8_t slot[] = {0x00, 0x01, 0x01, 0x04, 0xFF, 0x04, 0x01, 0x2C, 0x00};
    EXPECT_TRUE(
        std::equal(std::begin(slot), std::end(slot), held.begin() + device::image::macroSlot(0)));
    const keys::KeyCell cell = keys::macroCell(0);
    EXPECT_TRUE(std::equal(cell.begin(), cell.end(), held.begin() + keys::matrixCellOffset(q)));
}

}  // namespace
}  // namespace tessaron::app::testing
