#include "core/clock.h"

#include <thread>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace tessaron {

namespace {
constexpr std::chrono::microseconds kWakeUpLateness{40};
}  // namespace

void SystemClock::sleep(Ms duration) {
    if (duration.count() <= 0) {
        std::this_thread::yield();
        return;
    }
#if defined(__linux__)
    // The protocol's waits are a millisecond or a few, and a save makes dozens of them: the
    // kernel's default timer slack (50 us) would make each one late by that much and more.
    thread_local const bool tight = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
    (void)tight;
#endif
    // What lateness remains (the wake-up itself) is taken off the sleep and made up by
    // watching the clock for the last few microseconds.
    const auto deadline = std::chrono::steady_clock::now() + duration;
    if (duration > kWakeUpLateness) std::this_thread::sleep_for(duration - kWakeUpLateness);
    while (std::chrono::steady_clock::now() < deadline) {
    }
}

Clock::TimePoint SystemClock::now() const { return std::chrono::steady_clock::now(); }

std::int64_t SystemClock::counter() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::int64_t SystemClock::counterFrequency() const { return 1'000'000'000; }

SystemClock& SystemClock::instance() {
    static SystemClock clock;
    return clock;
}

}  // namespace tessaron
