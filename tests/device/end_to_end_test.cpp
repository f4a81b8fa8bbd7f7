// The device link against the virtual keyboard: whole reads and saves through the same channels
// a real keyboard uses, with the keyboard's own acknowledgements and pacing check.

#include <gtest/gtest.h>

#include <span>
#include <thread>
#include <vector>

#include "device/commands.h"
#include "device/device_link.h"
#include "device/read_all.h"
#include "device/virtual/factory_settings.h"
#include "device/virtual/pacing.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "device/write_changes.h"

namespace tessaron::device {
namespace {

using std::chrono::milliseconds;

bool sameBlock(const DeviceImage& a, const DeviceImage& b, std::size_t offset, std::size_t size) {
    return std::equal(a.begin() + static_cast<std::ptrdiff_t>(offset),
                      a.begin() + static_cast<std::ptrdiff_t>(offset + size),
                      b.begin() + static_cast<std::ptrdiff_t>(offset));
}

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

TEST(EndToEnd, StartupReadThenSaveRoundTrips) {
    Rig rig;
    CommandPort port(*rig.cmd, rig.clock);
    auto read = startupRead(port, DeviceImage{});
    ASSERT_TRUE(read) << read.error().english;
    EXPECT_EQ(read->firmware.major(), factory::kFirmwareMajor);
    EXPECT_EQ(read->firmware.minor(), factory::kFirmwareMinor);
    const DeviceImage factory = factorySettings();
    EXPECT_TRUE(sameBlock(read->image, factory, image::kKeyMap, image::kKeyMapSize));
    EXPECT_EQ(read->image[image::kReportRate], factory::kReportRate);
    EXPECT_EQ(read->image[image::kSpeed], factory::kSpeed);
    EXPECT_EQ(differingBytes(read->image, rig.kb->settings()), std::vector<std::size_t>{});

    DeviceImage img = read->image;
    DeviceImage committed = read->image;
    img[image::kWinLock] = 1;
    img[image::kGameMode] = 1;
    img[image::kResponseTime] = 7;
    img[image::keyCell(3, 2) + 1] = 0x3B;
    img[image::macroSlot(9) + 10] = 0x42;
    img[image::lightMap(3) + 100] = 0x99;
    img[image::lightingTableEntry(6) + 2] = 0x10;
    img[image::kBrightness] = 20;
    img[image::kReportRate] = 1;
    img[image::kEffect] = 5;
    img[image::kSpeed] = 2;
    img[image::kOption] = 3;
    img[image::kDirection] = 2;
    rig.kb->clearTraffic();
    auto out = rig.save(img, committed);
    ASSERT_TRUE(out) << out.error().english;
    EXPECT_EQ(committed, img);
    EXPECT_FALSE(rig.kb->lightsDimmed());
    EXPECT_TRUE(checkPacing(rig.kb->traffic()).empty());
    EXPECT_EQ(differingBytes(img, rig.kb->settings()), std::vector<std::size_t>{});

    // A fresh read sees exactly what was saved, Win Lock included.
    DeviceImage back = factory;
    ASSERT_TRUE(readAll(port, back));
    for (auto [offset, size] : std::initializer_list<std::pair<std::size_t, std::size_t>>{
             {image::kReportRate, 1},
             {image::kKeyMap, image::kWinLock + 1 - image::kKeyMap},
             {image::kLightMaps, image::kLightMapSize * image::kLightMapCount}}) {
        EXPECT_TRUE(sameBlock(back, img, offset, size)) << "at " << offset;
    }
    EXPECT_EQ(back[image::kWinLock], 1);
}

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
    const DeviceImage factory = factorySettings();
    EXPECT_EQ(img[image::kReportRate], factory::kReportRate);
    EXPECT_EQ(img[image::macroSlot(4)], 0);
    EXPECT_TRUE(sameBlock(img, factory, image::kKeyMap, image::kKeyMapSize));
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
    for (int i = 0; i < 100; ++i) {
        auto events = link.listener().takeKeyEvents();
        if (!events.empty()) {
            EXPECT_EQ(events, std::vector<std::uint8_t>{0x21});
            break;
        }
        std::this_thread::sleep_for(milliseconds(10));
        ASSERT_LT(i, 99) << "key event never arrived";
    }

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
