#include "support/fake_clock.h"

#include <numeric>
#include <thread>

namespace tessaron {

void FakeClock::sleep(Ms duration) {
    {
        std::lock_guard lock(mutex_);
        sleeps_.push_back(duration);
        elapsed_ += duration;
    }
    // Lets other threads (a listener, a virtual keyboard) make progress between polls.
    std::this_thread::yield();
}

Clock::TimePoint FakeClock::now() const {
    std::lock_guard lock(mutex_);
    return TimePoint(elapsed_);
}

std::int64_t FakeClock::counter() const {
    std::lock_guard lock(mutex_);
    return elapsed_.count();
}

void FakeClock::advance(std::chrono::microseconds duration) {
    std::lock_guard lock(mutex_);
    elapsed_ += duration;
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
