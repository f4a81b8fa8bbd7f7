#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "device/device_link.h"
#include "device/frames.h"
#include "fake_keyboard.h"
#include "support/fake_clock.h"
#include "test_support.h"

namespace tessaron::device {
namespace {

using testing::BlockingEvents;
using testing::FakeKeyboard;

// Hands out channels onto a keyboard that outlives them.
class FakeTransport final : public Transport {
public:
    explicit FakeTransport(FakeKeyboard& kb) : kb_(kb) {}

    std::vector<InterfaceInfo> enumerate() override { return {}; }
    Result<std::unique_ptr<CommandChannel>> openCommand() override {
        ++commandOpens;
        if (!present || failOpens > 0) {
            --failOpens;
            return errors();
        }
        return std::unique_ptr<CommandChannel>(std::make_unique<Forward>(kb_));
    }
    Result<std::unique_ptr<EventChannel>> openEvent() override {
        if (!present) return errors();
        auto events = std::make_unique<BlockingEvents>();
        lastEvents = events.get();
        return std::unique_ptr<EventChannel>(std::move(events));
    }

    bool present = true;
    int failOpens = 0;
    int commandOpens = 0;
    BlockingEvents* lastEvents = nullptr;

private:
    static Error errors() { return verbatim("no keyboard"); }

    struct Forward final : CommandChannel {
        explicit Forward(FakeKeyboard& k) : kb(k) {}
        Status sendFeature(const FrameBytes& f) override { return kb.sendFeature(f); }
        Result<FrameBytes> getFeature() override { return kb.getFeature(); }
        Status writePage(const Page& p) override { return kb.writePage(p); }
        Result<Page> readPage(std::chrono::milliseconds t) override { return kb.readPage(t); }
        FakeKeyboard& kb;
    };
    FakeKeyboard& kb_;
};

class DeviceLinkTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeKeyboard kb{clock};
    FakeTransport transport{kb};
    DeviceImage img = enabled();
    DeviceImage committed = enabled();

    // Win Lock off leaves the Windows key's enable bit set, so an unchanged image stays equal.
    static DeviceImage enabled() {
        DeviceImage i{};
        i[image::kEnableBitmap] = kWinLockBit;
        return i;
    }
};

TEST_F(DeviceLinkTest, SaveWithoutKeyboardFailsAtOnce) {
    transport.present = false;
    DeviceLink link(transport, clock);
    EXPECT_FALSE(link.openCommand());
    img[image::kBrightness] = 3;
    auto out = link.save(img, committed);
    ASSERT_FALSE(out);
    EXPECT_NE(out.error().english.find("No gaming keyboard"), std::string::npos);
    EXPECT_EQ(clock.totalSlept(), std::chrono::milliseconds(0));
    EXPECT_EQ(committed, enabled());
}

TEST_F(DeviceLinkTest, SaveNeedsTheEventChannelOnlyForAcknowledgedSteps) {
    DeviceLink link(transport, clock);
    ASSERT_TRUE(link.openCommand());
    img[image::kBrightness] = 3;
    ASSERT_TRUE(link.save(img, committed));
    EXPECT_EQ(committed, img);

    img[image::kGameMode] = 1;
    auto out = link.save(img, committed);
    ASSERT_FALSE(out);
    EXPECT_NE(out.error().english.find("event interface"), std::string::npos);
    EXPECT_EQ(kb.sentFrames().size(), 1u);
}

TEST_F(DeviceLinkTest, CommandChannelHasOneUserAtATime) {
    DeviceLink link(transport, clock);
    ASSERT_TRUE(link.openCommand());
    auto lease = link.acquire();
    ASSERT_TRUE(lease);
    std::atomic<bool> got{false};
    std::thread other([&] {
        auto second = link.acquire();
        got = second.ok();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(got.load());
    EXPECT_TRUE(link.isConnected());  // answered while the channel is busy
    { auto released = std::move(lease).value(); }
    other.join();
    EXPECT_TRUE(got.load());
}

TEST_F(DeviceLinkTest, ArrivalSettlesRetriesReadsAndRestartsTheListener) {
    for (std::size_t m = 0; m < 5; ++m) kb.settings[image::lightMap(m) + 7] = 0x33;
    kb.settings[image::kGameMode] = 1;
    transport.failOpens = 2;
    DeviceLink link(transport, clock);
    img[image::kWinLock] = 1;
    auto result = runArrival(link, img);
    EXPECT_FALSE(result.error) << result.error->english;
    EXPECT_TRUE(result.commandOpened);
    EXPECT_TRUE(result.eventOpened);
    ASSERT_TRUE(result.firmware);
    EXPECT_EQ(result.firmware->payload, kb.firmware);
    ASSERT_TRUE(result.image);
    EXPECT_EQ((*result.image)[image::kGameMode], 1);
    EXPECT_EQ((*result.image)[image::lightMap(4) + 7], 0x33);
    EXPECT_EQ(transport.commandOpens, 3);
    const auto sleeps = clock.sleeps();
    ASSERT_GE(sleeps.size(), 3u);
    EXPECT_EQ(sleeps[0], kArrivalSettle);
    EXPECT_EQ(sleeps[1], kArrivalRetry.interval);
    EXPECT_EQ(sleeps[2], kArrivalRetry.interval);
    // Firmware first, then a full read, then the light maps a second time.
    const auto frames = kb.sentFrames();
    EXPECT_EQ(frames[0], frames::getFirmwareVersion().bytes());
    EXPECT_EQ(frames[1], frames::opening().bytes());
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [](auto& f) { return f[1] == 0x92; }),
              10);
    EXPECT_TRUE(link.isListening());

    // A second arrival with both channels open only waits.
    kb.log.clear();
    auto again = runArrival(link, img);
    EXPECT_FALSE(again.commandOpened || again.eventOpened || again.image);
    EXPECT_TRUE(kb.log.empty());
}

TEST_F(DeviceLinkTest, ArrivalWithoutKeyboardGivesUp) {
    transport.present = false;
    DeviceLink link(transport, clock);
    auto result = runArrival(link, img);
    EXPECT_FALSE(result.commandOpened);
    EXPECT_FALSE(result.image);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(transport.commandOpens, kArrivalRetry.attempts);
    EXPECT_FALSE(link.isConnected());
}

}  // namespace
}  // namespace tessaron::device
