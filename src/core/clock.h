#pragma once
// Every protocol wait and every timestamp goes through a Clock, so tests can check the waits
// without sleeping.

#include <chrono>
#include <cstdint>

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

}  // namespace tessaron
