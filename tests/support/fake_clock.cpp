#include "support/fake_clock.h"

#include <numeric>

namespace tessaron {

void FakeClock::sleep(Ms duration) {
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(duration);
    }
    SteppedClock::sleep(duration);
}

std::vector<Clock::Ms> FakeClock::sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
}

void FakeClock::clearSleeps() {
    std::lock_guard lock(mutex_);
    sleeps_.clear();
}

Clock::Ms FakeClock::totalSlept() const {
    std::lock_guard lock(mutex_);
    return std::accumulate(sleeps_.begin(), sleeps_.end(), Ms(0));
}

}  // namespace tessaron
