// The virtual keyboard's channels: plugging, the event channel and its faults, enumeration.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "device/device_image.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "support/fake_clock.h"
#include "support/poll_until.h"

namespace tessaron::device {
namespace {

using std::chrono::milliseconds;

FrameBytes frame(std::uint8_t command, std::array<std::uint8_t, kFrameArgs> args = {}) {
    return FeatureFrame{command, args}.bytes();
}

struct Rig {
    Rig() : kb(std::make_shared<VirtualKeyboard>(clock)), transport(kb) {
        cmd = std::move(transport.openCommand().value());
        events = std::move(transport.openEvent().value());
    }
    std::optional<EventReport> nextEvent(milliseconds timeout = milliseconds(0)) {
        auto e = events->readEvent(timeout);
        EXPECT_TRUE(e.ok());
        return e.ok() ? *e : std::nullopt;
    }

    FakeClock clock;
    std::shared_ptr<VirtualKeyboard> kb;
    VirtualTransport transport;
    std::unique_ptr<CommandChannel> cmd;
    std::unique_ptr<EventChannel> events;
};

TEST(VirtualTransportTest, UnpluggedChannelsStayDeadAndASecondOpenerIsRefused) {
    Rig rig;
    rig.kb->unplug();
    EXPECT_FALSE(rig.cmd->sendFeature(frame(0x81)).ok());
    EXPECT_FALSE(rig.cmd->getFeature().ok());
    EXPECT_FALSE(rig.cmd->writePage(Page{}).ok());
    EXPECT_FALSE(rig.cmd->readPage(milliseconds(10)).ok());
    EXPECT_FALSE(rig.events->readEvent(milliseconds(10)).ok());
    EXPECT_FALSE(rig.transport.openCommand().ok());
    EXPECT_TRUE(rig.transport.enumerate().empty());

    rig.kb->plug();
    EXPECT_FALSE(rig.cmd->sendFeature(frame(0x81)).ok());  // old handle: must be reopened
    auto fresh = rig.transport.openCommand();
    ASSERT_TRUE(fresh.ok());
    EXPECT_TRUE((*fresh)->sendFeature(frame(0x81)).ok());
    EXPECT_EQ((*fresh)->getFeature().value()[2], rig.kb->settings()[image::kReportRate]);

    // One opener at a time: a second host's frames would interleave with the first's.
    auto second = rig.transport.openCommand();
    ASSERT_FALSE(second.ok());
    EXPECT_NE(second.error().english.find("already open"), std::string::npos);
    fresh->reset();
    EXPECT_TRUE(rig.transport.openCommand().ok());
}

TEST(VirtualTransportTest, UnplugWakesAWaitingEventReader) {
    Rig rig;
    std::atomic<bool> failed{false};
    std::thread reader([&] { failed = !rig.events->readEvent(milliseconds(5000)).ok(); });
    std::this_thread::sleep_for(milliseconds(20));
    const auto start = std::chrono::steady_clock::now();
    rig.kb->unplug();
    reader.join();
    EXPECT_TRUE(failed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(1000));
}

TEST(VirtualTransportTest, AcknowledgementsCanBeDroppedOrDelayed) {
    Rig rig;
    rig.kb->setFaults(FaultSwitches{.dropNextAcks = 1});
    ASSERT_TRUE(rig.cmd->sendFeature(frame(0x01, {1})).ok());
    EXPECT_FALSE(rig.nextEvent().has_value());
    ASSERT_TRUE(rig.cmd->sendFeature(frame(0x01, {2})).ok());
    auto ack = rig.nextEvent();
    ASSERT_TRUE(ack.has_value());
    EXPECT_TRUE(ack->isAck());
    EXPECT_EQ(rig.kb->settings()[image::kReportRate], 2);  // dropped ack, step still taken

    rig.kb->setFaults(FaultSwitches{.ackDelay = milliseconds(300)});
    rig.kb->press(0x41);
    ASSERT_TRUE(rig.cmd->sendFeature(frame(0x04, {3})).ok());
    rig.kb->press(0x42);
    EXPECT_EQ(rig.nextEvent()->value, 0x41);
    EXPECT_FALSE(rig.nextEvent().has_value());  // the ack is not due yet, the key behind it waits
    rig.clock.sleep(milliseconds(299));
    EXPECT_FALSE(rig.nextEvent().has_value());
    rig.clock.sleep(milliseconds(1));
    EXPECT_TRUE(rig.nextEvent()->isAck());
    EXPECT_EQ(rig.nextEvent()->value, 0x42);

    rig.kb->setFaults(FaultSwitches{.dropAllAcks = true});
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(rig.cmd->sendFeature(frame(0x01, {0})).ok());
    EXPECT_FALSE(rig.nextEvent().has_value());
    const auto log = rig.kb->traffic(TrafficKind::Event);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const Traffic& t) { return t.outcome == Outcome::Dropped; }),
              4);
}

TEST(VirtualTransportTest, DelayedAcknowledgementReachesAReaderWhileAnotherThreadAdvancesTime) {
    Rig rig;
    rig.kb->setFaults(FaultSwitches{.ackDelay = milliseconds(50)});
    ASSERT_TRUE(rig.cmd->sendFeature(frame(0x01, {1})).ok());
    std::atomic<bool> got{false};
    std::atomic<bool> done{false};
    std::thread reader([&] {
        auto e = rig.events->readEvent(milliseconds(3000));
        got = e.ok() && e->has_value() && (*e)->isAck();
        done = true;
    });
    // The host's 10 ms acknowledgement polls move the time on until the reader returns.
    EXPECT_TRUE(tessaron::testing::pollUntil([&] {
        rig.clock.sleep(milliseconds(10));
        return done.load();
    }));
    reader.join();
    EXPECT_TRUE(got);
}

TEST(VirtualTransportTest, GarbledRepliesAndPagesDifferAndRepliesFailTheirChecksum) {
    Rig rig;
    ASSERT_TRUE(rig.cmd->sendFeature(frame(0x84)).ok());
    const FrameBytes clean = rig.cmd->getFeature().value();
    rig.kb->setFaults(FaultSwitches{.garbleReplies = true, .garblePages = true});
    const FrameBytes garbled = rig.cmd->getFeature().value();
    EXPECT_NE(garbled, clean);
    EXPECT_NE(frameChecksum(garbled), garbled[8]);

    ASSERT_TRUE(rig.cmd->sendFeature(frame(0x8D)).ok());
    const Page page = rig.cmd->readPage(milliseconds(10)).value();
    const DeviceImage s = rig.kb->settings();
    EXPECT_FALSE(std::equal(page.begin(), page.end(), s.begin() + image::kKeyMap));
    EXPECT_EQ(rig.kb->settings(), s);  // only the copy on the wire is spoiled
}

TEST(VirtualTransportTest, EventsAreKeptOnlyWhileSomeoneListens) {
    Rig rig;
    rig.events.reset();
    rig.kb->press(0x30);
    ASSERT_TRUE(rig.cmd->sendFeature(frame(0x01, {1})).ok());
    rig.events = std::move(rig.transport.openEvent().value());
    EXPECT_FALSE(rig.nextEvent().has_value());  // no stale reports from before the open
    rig.kb->press(0x31);
    EXPECT_EQ(rig.nextEvent()->value, 0x31);
}

TEST(VirtualTransportTest, EnumeratesBothInterfacesOfEachKeyboardAndOpensTheFirst) {
    FakeClock clock;
    auto first = std::make_shared<VirtualKeyboard>(clock);
    auto second = std::make_shared<VirtualKeyboard>(clock);
    second->setFirmwareVersion(9, 9);
    VirtualTransport transport(first);
    transport.addKeyboard(second);

    const auto found = transport.enumerate();
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].interfaceNumber, VirtualTransport::kCommandInterface);
    EXPECT_EQ(found[0].role, ChannelRole::Command);
    EXPECT_EQ(found[1].interfaceNumber, VirtualTransport::kEventInterface);
    EXPECT_EQ(found[1].role, ChannelRole::Event);
    for (const auto& i : found) {
        EXPECT_EQ(i.vendorId, kVendorId);
        EXPECT_EQ(i.productId, kProductId);
    }
    EXPECT_NE(found[0].path, found[2].path);

    auto versionOf = [&] {
        auto cmd = std::move(transport.openCommand().value());
        EXPECT_TRUE(cmd->sendFeature(frame(0x80)).ok());
        return cmd->getFeature().value()[2];
    };
    EXPECT_EQ(versionOf(), factory::kFirmwareMajor);
    first->unplug();
    EXPECT_EQ(versionOf(), 9);  // the second keyboard takes over

    transport.setAccessible(false);
    EXPECT_FALSE(transport.enumerate().front().accessible);
    EXPECT_FALSE(transport.openCommand().ok());
}

TEST(VirtualTransportTest, HotplugReportsChangesOnItsOwnThread) {
    auto kb = std::make_shared<VirtualKeyboard>();
    VirtualHotplug monitor(kb);
    std::mutex m;
    std::condition_variable cv;
    std::vector<PlugChange> seen;
    std::thread::id callbackThread;
    ASSERT_TRUE(monitor
                    .start([&](PlugChange c) {
                        std::lock_guard lock(m);
                        seen.push_back(c);
                        callbackThread = std::this_thread::get_id();
                        cv.notify_all();
                    })
                    .ok());
    EXPECT_FALSE(monitor.start([](PlugChange) {}).ok());
    kb->unplug();
    kb->unplug();  // already out: no second notice
    kb->plug();
    {
        std::unique_lock lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(5), [&] { return seen.size() == 2; }));
        EXPECT_EQ(seen, (std::vector<PlugChange>{PlugChange::Removed, PlugChange::Arrived}));
        EXPECT_NE(callbackThread, std::this_thread::get_id());
    }
    monitor.stop();
    kb->unplug();
    std::this_thread::sleep_for(milliseconds(20));
    std::lock_guard lock(m);
    EXPECT_EQ(seen.size(), 2u);
}

}  // namespace
}  // namespace tessaron::device
