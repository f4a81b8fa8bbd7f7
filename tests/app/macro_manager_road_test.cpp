// The whole road of a macro: recorded in the manager, OK, packed and written to both files,
// assigned to a key, saved, and played from the virtual keyboard's own slot.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/macro_manager_dlg_commit.h"
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

TEST(MacroManagerRoad, RecordedMacroReachesTheKeyboardSlotAndBothFiles) {
    const fs::path dir = fs::path(::testing::TempDir()) / "macro_manager_road";
    fs::remove_all(dir);
    fs::create_directories(dir);

    Keyboard keyboard;
    device::CommandPort port(*keyboard.cmd, keyboard.clock);
    auto read = device::startupRead(port, device::DeviceImage{});
    ASSERT_TRUE(read) << read.error().english;
    device::DeviceImage img = read->image;
    device::DeviceImage committedImage = read->image;
    auto records = std::make_unique<keys::KeyRecordTable>();
    keys::ModifiedMarks marks{};

    // Record "A dn", 300 ms, "A up" into a new macro and press OK.
    ManagerRig rig(macros::MacroTable{});
    rig.click(macromgr::kNewButton);
    rig.click(macromgr::kRecordDelayBox);
    rig.click(macromgr::kRecordButton);
    rig.key(0x41, false);
    rig.advanceMs(300);
    rig.key(0x41, true);
    rig.click(macromgr::kOkButton);
    ASSERT_EQ(rig.dlg->result(), QDialog::Accepted);

    const MacroCommitTargets targets{img, *records, dir / "keymap.bin", dir / "MacroDefine.bin"};
    ASSERT_TRUE(commitMacroTable(rig.committed, targets));
    EXPECT_EQ(fileBytes(targets.macroFilePath), rig.committed.toBytes());
    EXPECT_EQ(fileBytes(targets.keymapPath).size(), keys::kKeymapFileSize);

    // Assign macro 0 to the Q key, as the key page's OK does.
    const keys::KeyIndex q = keyWithVk(0x51);
    ASSERT_NE(q, keys::kNoKey);
    keys::PendingAssignment pending;
    pending.selectedKey = q;
    pending.kind = keys::kind::kMacro;
    pending.macroNumber = 0;
    keys::ApplyContext context;
    context.repackMacroSlots = [&](device::DeviceImage& i) {
        macros::packMacroSlots(rig.committed, i);
    };
    ASSERT_TRUE(keys::applyAssignment(pending, {img, *records, marks}, context));

    auto saved = keyboard.save(img, committedImage);
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
