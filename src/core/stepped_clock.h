#pragma once
// A time line of its own that moves only when slept on (or advanced): waits take no real time,
// yet everything timed against it sees them pass. The demo keyboard runs on one when asked to,
// and the tests' clock is one.

#include <chrono>
#include <cstdint>
#include <mutex>

#include "core/clock.h"

namespace tessaron {

class SteppedClock : public Clock {
public:
    // The counter runs at 1 MHz on the time line.
    static constexpr std::int64_t kFrequency = 1'000'000;

    void sleep(Ms duration) override;
    TimePoint now() const override;
    std::int64_t counter() const override;
    std::int64_t counterFrequency() const override { return kFrequency; }

    void advance(std::chrono::microseconds duration);

private:
    mutable std::mutex mutex_;
    std::chrono::microseconds elapsed_{0};
};

}  // namespace tessaron
