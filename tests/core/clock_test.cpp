#include "core/clock.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

namespace tessaron {
namespace {

using namespace std::chrono_literals;

TEST(FakeClockTest, RecordsSleepsAndAdvancesTimeAndCounter) {
    FakeClock clock;
    const auto start = clock.now();
    clock.sleepMs(10);
    clock.sleepMs(0);
    clock.sleep(20ms);
    EXPECT_EQ(clock.sleeps(), (std::vector<Clock::Ms>{10ms, 0ms, 20ms}));
    EXPECT_EQ(clock.totalSlept(), 30ms);
    EXPECT_EQ(clock.now() - start, 30ms);
    EXPECT_EQ(clock.counter(), 30 * FakeClock::kFrequency / 1000);
    clock.advance(5ms);
    EXPECT_EQ(clock.now() - start, 35ms);
    EXPECT_EQ(clock.totalSlept(), 30ms);
}

TEST(SystemClockTest, SleepsAtLeastTheRequestedTime) {
    auto& clock = SystemClock::instance();
    const auto start = clock.now();
    const auto c0 = clock.counter();
    clock.sleepMs(15);
    EXPECT_GE(clock.now() - start, 15ms);
    EXPECT_GE((clock.counter() - c0) * 1000 / clock.counterFrequency(), 15);
}

}  // namespace
}  // namespace tessaron
