#pragma once
// Acknowledgements pace a save: the listener sets the signal when the keyboard confirms a write
// step, and the save clears it before each step and waits for it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "core/clock.h"

namespace tessaron::device {

class AckSignal {
public:
    void set() {
        {
            std::lock_guard lock(mutex_);
            flag_.store(true, std::memory_order_release);
        }
        changed_.notify_all();
    }
    void clear() { flag_.store(false, std::memory_order_release); }
    bool isSet() const { return flag_.load(std::memory_order_acquire); }
    // Waits at most the duration, in real time, for the signal; true when it is set.
    bool waitFor(std::chrono::milliseconds duration) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, duration, [this] { return isSet(); });
    }

private:
    std::atomic<bool> flag_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
};

class AckWaiter {
public:
    virtual ~AckWaiter() = default;
    // Forgets any earlier acknowledgement; called before a step is sent.
    virtual void arm() = 0;
    // True once the step was acknowledged, false when the keyboard stayed silent too long.
    virtual bool wait() = 0;
};

inline constexpr std::chrono::milliseconds kAckPollInterval{10};
inline constexpr std::chrono::milliseconds kAckTimeout{2000};
inline constexpr std::chrono::milliseconds kAckLookOnATestClock{2};

// Polls the signal every 10 ms through the clock, up to the bound. The optional pump runs
// before every look; tests use it to let the listener read inline instead of on its thread. On
// the real clock a look also ends as soon as the signal is set, so an acknowledgement costs no
// more than its own way through the listener. On another clock without a pump (a test's, with
// the listener on its thread) a look waits at most kAckLookOnATestClock of real time for the
// signal and then counts a whole interval on that clock.
class PollingAckWaiter final : public AckWaiter {
public:
    PollingAckWaiter(AckSignal& signal, Clock& clock, std::function<void()> pump = {},
                     std::chrono::milliseconds bound = kAckTimeout)
        : signal_(signal), clock_(clock), pump_(std::move(pump)), bound_(bound) {}

    void arm() override { signal_.clear(); }
    bool wait() override;

private:
    AckSignal& signal_;
    Clock& clock_;
    std::function<void()> pump_;
    std::chrono::milliseconds bound_;
};

}  // namespace tessaron::device
