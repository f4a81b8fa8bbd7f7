#pragma once
// The clock of the tests, benchmarks and fuzz targets: no real waiting.

#include <mutex>
#include <vector>

#include "core/stepped_clock.h"

namespace tessaron {

// Advances instantly and remembers every sleep. Thread-safe.
class FakeClock final : public SteppedClock {
public:
    void sleep(Ms duration) override;

    std::vector<Ms> sleeps() const;
    void clearSleeps();
    // Sum of all sleeps recorded so far.
    Ms totalSlept() const;

private:
    mutable std::mutex mutex_;
    std::vector<Ms> sleeps_;
};

}  // namespace tessaron
