#pragma once
// The clock of the tests, benchmarks and fuzz targets: no real waiting.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "core/clock.h"

namespace tessaron {

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
