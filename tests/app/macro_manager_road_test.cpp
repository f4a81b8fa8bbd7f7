// The whole road of a macro: recorded in the manager, OK, packed and written to both files,
// assigned to a key, saved, and played from the virtual keyboard's own slot.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "app/live_config.h"
#include "app/macro_manager_dlg_page.h"
#include "device/ack.h"
#include "device/command_port.h"
#include "device/listener.h"
#include "device/read_all.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "device/write_changes.h"
#include "keys/assignment.h"
#include "keys/key_cell.h"
#include "keys/key_layout.h"
#include "keys/keymap_file.h"
#include "macro_manager_test_support.h"
#include "macros/macro_file.h"
#include "macros/slot_packing.h"
#include "macros/tholwin/tholwin.h"
#include "ui/messages.h"

namespace tessaron::app::testing {
namespace {

namespace fs = std::filesystem;
namespace image = device::image;

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

keys::KeyIndex keyWithVk(std::uint8_t vk) {
    for (keys::KeyIndex i = 0; i < keys::kLayoutKeyCount; ++i) {
        if (keys::layoutVk(i) == vk) return i;
    }
    return keys::kNoKey;
}

struct Keyboard {
    Keyboard() : kb(std::make_shared<device::VirtualKeyboard>(clock)), transport(kb) {
        cmd = std::move(transport.openCommand().value());
        events = std::move(transport.openEvent().value());
    }
    Result<device::WriteOutcome> save(device::DeviceImage& img, device::DeviceImage& committed) {
        device::CommandPort port(*cmd, clock);
        device::PollingAckWaiter waiter(acks, clock, [&] { (void)listener.pollOnce(*events, {}); });
        return device::writeChanges(port, img, committed, waiter);
    }

    FakeClock clock;
    std::shared_ptr<device::VirtualKeyboard> kb;
    device::VirtualTransport transport;
    std::unique_ptr<device::CommandChannel> cmd;
    std::unique_ptr<device::EventChannel> events;
    device::AckSignal acks;
    device::Listener listener{acks, clock};
};

// Runs while the page's window is open, as the user would: a new macro, Record Delay, "A dn",
// 300 ms, "A up", OK.
void recordAndOk(FakeClock& clock) {
    auto* dlg = qobject_cast<CMacroRecordDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    const auto click = [dlg](const QRect& r) {
        QTest::mouseClick(dlg, Qt::LeftButton, Qt::NoModifier, r.center());
    };
    click(macromgr::kNewButton);
    click(macromgr::kRecordDelayBox);
    click(macromgr::kRecordButton);
    ui::sendMessage(dlg, ui::WM_MACRO_KEY, 0x41, 0);
    clock.advance(std::chrono::milliseconds(300));
    ui::sendMessage(dlg, ui::WM_MACRO_KEY, 0x41, tholwin::kReleaseFlag);
    click(macromgr::kOkButton);
}

TEST(MacroManagerRoad, RecordedMacroReachesTheKeyboardSlotAndBothFiles) {
    const fs::path dir = fs::path(::testing::TempDir()) / "macro_manager_road";
    fs::remove_all(dir);
    fs::create_directories(dir);

    Keyboard keyboard;
    device::CommandPort port(*keyboard.cmd, keyboard.clock);
    auto read = device::startupRead(port, device::DeviceImage{});
    ASSERT_TRUE(read) << read.error().english;
    auto live = std::make_unique<LiveConfig>();
    live->image = read->image;
    live->commit();
    live->dataFolder = dir;
    live->imageBase = TESSARON_TEST_SHARE_DIR;

    // The Macro Management button, then what the main window does after OK.
    RecordingPrompts prompts;
    FakeClock clock;
    const MacroManagerPage page = macroManagerPage(&prompts, &clock);
    QTimer::singleShot(0, [&] { recordAndOk(clock); });
    ASSERT_TRUE(page(nullptr, *live));
    macros::packMacroSlots(live->committedMacros, live->image);
    ASSERT_TRUE(keys::writeKeymap(live->keymapPath(), live->image, live->records));
    ASSERT_TRUE(macros::writeMacroFile(live->macroFilePath(), live->committedMacros));
    EXPECT_EQ(fileBytes(live->macroFilePath()), live->committedMacros.toBytes());
    EXPECT_EQ(live->committedMacros[0].name(), u"Macro_001");
    EXPECT_FALSE(tholwin::hookInstalled());

    // Assign macro 0 to the Q key, as the key page's OK does.
    const keys::KeyIndex q = keyWithVk(0x51);
    ASSERT_NE(q, keys::kNoKey);
    live->pending.selectedKey = q;
    live->pending.kind = keys::kind::kMacro;
    live->pending.macroNumber = 0;
    keys::ApplyContext context;
    context.repackMacroSlots = [&](device::DeviceImage& i) {
        macros::packMacroSlots(live->committedMacros, i);
    };
    ASSERT_TRUE(keys::applyAssignment(live->pending, live->liveKeys(), context));

    // Save.
    auto saved = keyboard.save(live->image, live->committedImage);
    ASSERT_TRUE(saved) << saved.error().english;

    const device::DeviceImage held = keyboard.kb->settings();
    const std::uint8_t expected[] = {0x00, 0x01, 0x01, 0x04, 0xFF, 0x04, 0x01, 0x2C, 0x00};
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected),
                           held.begin() + static_cast<std::ptrdiff_t>(image::macroSlot(0))));
    const std::size_t cell = keys::matrixCellOffset(q);
    const keys::KeyCell macroCell = keys::macroCell(0);
    EXPECT_TRUE(std::equal(macroCell.begin(), macroCell.end(),
                           held.begin() + static_cast<std::ptrdiff_t>(cell)));
    fs::remove_all(dir);
}

}  // namespace
}  // namespace tessaron::app::testing
