#include "core/stepped_clock.h"

#include <thread>

namespace tessaron {

void SteppedClock::sleep(Ms duration) {
    advance(duration);
    // Lets other threads (a listener, a virtual keyboard) make progress between polls.
    std::this_thread::yield();
}

Clock::TimePoint SteppedClock::now() const {
    std::lock_guard lock(mutex_);
    return TimePoint(elapsed_);
}

std::int64_t SteppedClock::counter() const {
    std::lock_guard lock(mutex_);
    return elapsed_.count();
}

void SteppedClock::advance(std::chrono::microseconds duration) {
    std::lock_guard lock(mutex_);
    elapsed_ += duration;
}

}  // namespace tessaron
