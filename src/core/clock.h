#pragma once
// Every protocol wait and every timestamp goes through a Clock, so tests can check the waits
// without sleeping.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace tessaron {

class Clock {
public:
    using Ms = std::chrono::milliseconds;
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    // Pauses the calling thread; 0 only yields.
    virtual void sleep(Ms duration) = 0;
    virtual TimePoint now() const = 0;
    // High-resolution counter and its ticks per second (macro delays).
    virtual std::int64_t counter() const = 0;
    virtual std::int64_t counterFrequency() const = 0;

    void sleepMs(int ms) { sleep(Ms(ms)); }
};

class SystemClock final : public Clock {
public:
    void sleep(Ms duration) override;
    TimePoint now() const override;
    std::int64_t counter() const override;
    std::int64_t counterFrequency() const override;

    // The process-wide real clock.
    static SystemClock& instance();
};

// Advances instantly and remembers every sleep. Thread-safe.
class FakeClock final : public Clock {
public:
    // The counter runs at 1 MHz on the fake time line.
    static constexpr std::int64_t kFrequency = 1'000'000;

    void sleep(Ms duration) override;
    TimePoint now() const override;
    std::int64_t counter() const override;
    std::int64_t counterFrequency() const override { return kFrequency; }

    void advance(std::chrono::microseconds duration);
    std::vector<Ms> sleeps() const;
    void clearSleeps();
    // Sum of all sleeps recorded so far.
    Ms totalSlept() const;

private:
    mutable std::mutex mutex_;
    std::chrono::microseconds elapsed_{0};
    std::vector<Ms> sleeps_;
};

}  // namespace tessaron
