#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "device/listener.h"
#include "fake_keyboard.h"
#include "support/fake_clock.h"
#include "support/poll_until.h"

namespace tessaron::device {
namespace {

using testing::BlockingEvents;
using testing::FakeEvents;
using Read = Result<std::optional<EventReport>>;

Read report(std::uint8_t kind, std::uint8_t value) {
    return std::optional<EventReport>(EventReport{kind, value, 0});
}

TEST(Listener, AcknowledgementsSetTheSignalKeyEventsAreQueued) {
    FakeClock clock;
    AckSignal acks;
    Listener listener(acks, clock);
    FakeEvents events;
    events.queue.push_back(report(1, 0x3A));
    events.queue.push_back(report(kAckKind, 0x77));
    events.queue.push_back(report(0, 0x05));
    events.queue.push_back(std::optional<EventReport>{});
    events.queue.push_back(Read(verbatim("gone")));

    EXPECT_EQ(listener.pollOnce(events, kListenerSlice), PollResult::KeyEvent);
    EXPECT_FALSE(acks.isSet());
    EXPECT_EQ(listener.pollOnce(events, kListenerSlice), PollResult::Ack);
    EXPECT_TRUE(acks.isSet());
    EXPECT_EQ(listener.pollOnce(events, kListenerSlice), PollResult::KeyEvent);
    EXPECT_EQ(listener.pollOnce(events, kListenerSlice), PollResult::Nothing);
    EXPECT_EQ(listener.pollOnce(events, kListenerSlice), PollResult::Error);
    // The acknowledgement's value never reaches the window; key events keep their order.
    EXPECT_EQ(listener.takeKeyEvents(), (std::vector<std::uint8_t>{0x3A, 0x05}));
    EXPECT_TRUE(listener.takeKeyEvents().empty());
    EXPECT_EQ(events.timeouts.front(), kListenerSlice);
}

TEST(Listener, AckBehindAKeyEventIsNotHeldUp) {
    // The window is busy saving and does not take key events; the ack still arrives.
    FakeClock clock;
    AckSignal acks;
    Listener listener(acks, clock);
    FakeEvents events;
    for (int i = 0; i < 50; ++i) events.queue.push_back(report(2, static_cast<std::uint8_t>(i)));
    events.queue.push_back(report(kAckKind, 0));
    PollingAckWaiter waiter(acks, clock, [&] { (void)listener.pollOnce(events, {}); });
    waiter.arm();
    EXPECT_TRUE(waiter.wait());
    EXPECT_EQ(listener.takeKeyEvents().size(), 50u);
}

TEST(Listener, ThreadDispatchesAndStops) {
    AckSignal acks;
    Listener listener(acks, SystemClock::instance());
    auto channel = std::make_unique<BlockingEvents>();
    auto* events = channel.get();
    std::atomic<int> notified{0};
    listener.start(std::move(channel), [&] { ++notified; });
    ASSERT_TRUE(listener.running());
    events->push({7, 0x41, 0});
    events->push({kAckKind, 0, 0});
    EXPECT_TRUE(tessaron::testing::pollUntil([&] { return acks.isSet() && notified.load() == 1; }));
    EXPECT_EQ(notified.load(), 1);
    EXPECT_EQ(listener.takeKeyEvents(), (std::vector<std::uint8_t>{0x41}));
    const auto started = std::chrono::steady_clock::now();
    listener.stop();
    // It notices the stop flag within one read slice.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
    EXPECT_FALSE(listener.running());
}

}  // namespace
}  // namespace tessaron::device
