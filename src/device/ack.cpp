#include "device/ack.h"

namespace tessaron::device {

bool PollingAckWaiter::wait() {
    const auto deadline = clock_.now() + bound_;
    for (;;) {
        if (pump_) pump_();
        if (signal_.isSet()) return true;
        if (clock_.now() >= deadline) return false;
        if (pump_) {
            clock_.sleep(kAckPollInterval);
        } else if (&clock_ == &SystemClock::instance()) {
            (void)signal_.waitFor(kAckPollInterval);
        } else if (!signal_.waitFor(kAckLookOnATestClock)) {
            // The listener runs in real time on its own thread: it gets a moment to answer
            // before the look counts on the clock, so only a silent keyboard uses up the bound.
            clock_.sleep(kAckPollInterval);
        }
    }
}

}  // namespace tessaron::device
