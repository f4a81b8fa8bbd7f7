// The device link against the virtual keyboard: whole reads and saves through the same channels
// a real keyboard uses, with the keyboard's own acknowledgements and pacing check.

#include <gtest/gtest.h>

#include <span>
#include <vector>

#include "device/commands.h"
#include "device/device_link.h"
#include "device/read_all.h"
#include "device/virtual/factory_settings.h"
#include "device/virtual/pacing.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "device/write_changes.h"
#include "support/fake_clock.h"
#include "support/poll_until.h"

namespace tessaron::device {
namespace {

// Offsets where the host's image and the keyboard's memory differ, apart from the Win Lock flag
// (byte 7495), which the host keeps for itself. Every other field either travels or stays zero on
// both sides, so a field the host files at the wrong offset shows up here.
std::vector<std::size_t> differingBytes(std::span<const std::uint8_t> host,
                                        std::span<const std::uint8_t> keyboard) {
    constexpr std::size_t kHostOnly = 7495;
    std::vector<std::size_t> at;
    if (host.size() != 10056 || keyboard.size() != 10056) return {host.size(), keyboard.size()};
    for (std::size_t i = 0; i < host.size(); ++i) {
        if (i != kHostOnly && host[i] != keyboard[i]) at.push_back(i);
    }
    return at;
}

// Fake time throughout; the listener is pumped inline by the ack waiter.
struct Rig {
    Rig() : kb(std::make_shared<VirtualKeyboard>(clock)), transport(kb) {
        cmd = std::move(transport.openCommand().value());
        events = std::move(transport.openEvent().value());
    }
    Result<WriteOutcome> save(DeviceImage& img, DeviceImage& committed) {
        CommandPort port(*cmd, clock);
        PollingAckWaiter waiter(acks, clock, [&] { (void)listener.pollOnce(*events, {}); });
        return writeChanges(port, img, committed, waiter);
    }

    FakeClock clock;
    std::shared_ptr<VirtualKeyboard> kb;
    VirtualTransport transport;
    std::unique_ptr<CommandChannel> cmd;
    std::unique_ptr<EventChannel> events;
    AckSignal acks;
    Listener listener{acks, clock};
};

TEST(EndToEnd, StartupReadBringsTheKeyboardsWholeMemory) {
    Rig rig;
    CommandPort port(*rig.cmd, rig.clock);
    auto read = startupRead(port, DeviceImage{});
    ASSERT_TRUE(read) << read.error().english;
    EXPECT_EQ(read->firmware.major(), factory::kFirmwareMajor);
    EXPECT_EQ(read->firmware.minor(), factory::kFirmwareMinor);
    EXPECT_EQ(differingBytes(read->image, rig.kb->settings()), std::vector<std::size_t>{});
}

// Save, one change at a time: each field at both ends of its range, each byte of each block. After
// each save the keyboard's whole memory must equal the host's image, so a field sent to a wrong
// offset, a skipped page or a block sent short shows, whatever the host's own constants say.
struct SaveCase {
    std::string name;
    std::size_t offset;
    std::size_t size;
    std::vector<std::uint8_t> values;  // a field's values in turn; empty: each byte flipped
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.name; }

class SaveProperty : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveProperty, KeyboardHoldsWhatTheHostSaved) {
    const SaveCase& c = GetParam();
    Rig rig;
    DeviceImage committed = rig.kb->settings();
    DeviceImage img = committed;
    std::vector<std::pair<std::size_t, std::uint8_t>> changes;
    if (!c.values.empty()) {
        for (std::uint8_t v : c.values) changes.emplace_back(c.offset, v);
    } else {
        for (std::size_t i = c.offset; i < c.offset + c.size; ++i) {
            changes.emplace_back(i, static_cast<std::uint8_t>(img[i] ^ 0xA5));
        }
    }
    for (auto [at, value] : changes) {
        img[at] = value;
        auto out = rig.save(img, committed);
        ASSERT_TRUE(out) << "byte " << at << ": " << out.error().english;
        ASSERT_EQ(differingBytes(img, rig.kb->settings()), std::vector<std::size_t>{})
            << "after changing byte " << at;
    }
    EXPECT_TRUE(checkPacing(rig.kb->traffic()).empty());
    // A fresh read brings back every byte saved, Win Lock included.
    CommandPort port(*rig.cmd, rig.clock);
    DeviceImage back{};
    ASSERT_TRUE(readAll(port, back));
    EXPECT_EQ(differingBytes(back, img), std::vector<std::size_t>{});
    EXPECT_EQ(back[7495], img[7495]);
}

std::vector<SaveCase> saveCases() {
    std::vector<SaveCase> cases{
        {"ReportRate", 11, 1, {0, 3}},   {"ResponseTime", 7449, 1, {10, 1}},
        {"Effect", 7450, 1, {55, 1}},    {"Speed", 7451, 1, {9, 0}},
        {"Brightness", 7452, 1, {0, 50}}, {"Option", 7453, 1, {1, 8}},
        {"Direction", 7454, 1, {4, 1}},  {"GameMode", 7476, 1, {1, 0}},
        {"WinLock", 7495, 1, {1, 0, 1}}, {"KeyMap", 792, 512, {}},
        {"EnableBitmap", 7477, 18, {}},  {"LightingTable", 7455, 21, {}},
    };
    for (std::size_t n = 0; n < 32; ++n) {
        cases.push_back({"MacroSlot" + std::to_string(n), 1304 + 192 * n, 192, {}});
    }
    for (std::size_t m = 0; m < 5; ++m) {
        cases.push_back({"LightMap" + std::to_string(m), 7496 + 512 * m, 512, {}});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryBlock, SaveProperty, ::testing::ValuesIn(saveCases()),
                         [](const auto& c) { return c.param.name; });

TEST(EndToEnd, SilentKeyboardFailsTheSaveAndGetsItsLightBack) {
    Rig rig;
    DeviceImage committed = rig.kb->settings();
    committed[image::kWinLock] = 0;
    DeviceImage img = committed;
    img[image::macroSlot(0)] = 1;
    rig.kb->setFaults(FaultSwitches{.dropNextAcks = 2});  // the dark frame and slot 0
    auto out = rig.save(img, committed);
    ASSERT_FALSE(out);
    EXPECT_NE(out.error().english.find("did not acknowledge"), std::string::npos);
    EXPECT_NE(committed, img);
    EXPECT_FALSE(rig.kb->lightsDimmed());
}

TEST(EndToEnd, FactoryResetThenReadAllGivesTheFactorySettings) {
    Rig rig;
    DeviceImage changed = factorySettings();
    changed[image::kReportRate] = 0;
    changed[image::macroSlot(4)] = 7;
    rig.kb->setSettings(changed);
    CommandPort port(*rig.cmd, rig.clock);
    ASSERT_TRUE(factoryReset(port));
    DeviceImage img{};
    ASSERT_TRUE(readAll(port, img));
    EXPECT_EQ(differingBytes(img, factorySettings()), std::vector<std::size_t>{});
    EXPECT_TRUE(checkPacing(rig.kb->traffic()).empty());
}

TEST(EndToEnd, LinkSavesOnItsListenerThreadAndFollowsUnplugging) {
    // Real time: the listener runs on its own thread.
    auto kb = std::make_shared<VirtualKeyboard>();
    VirtualTransport transport(kb);
    DeviceLink link(transport, SystemClock::instance());
    ASSERT_TRUE(link.openCommand());
    ASSERT_TRUE(link.openEvent());
    DeviceImage committed = kb->settings();
    committed[image::kWinLock] = 0;
    DeviceImage img = committed;
    img[image::kReportRate] = 1;
    auto out = link.save(img, committed);
    ASSERT_TRUE(out) << out.error().english;
    EXPECT_EQ(kb->settings()[image::kReportRate], 1);

    kb->press(0x21);
    std::vector<std::uint8_t> events;
    ASSERT_TRUE(tessaron::testing::pollUntil([&] {
        events = link.listener().takeKeyEvents();
        return !events.empty();
    })) << "key event never arrived";
    EXPECT_EQ(events, std::vector<std::uint8_t>{0x21});

    kb->unplug();
    img[image::kReportRate] = 2;
    out = link.save(img, committed);
    EXPECT_FALSE(out);
    EXPECT_EQ(committed[image::kReportRate], 1);
    link.close();
    kb->plug();
    EXPECT_TRUE(link.openCommand());
}

}  // namespace
}  // namespace tessaron::device
