#include "device/ack.h"

namespace tessaron::device {

bool PollingAckWaiter::wait() {
    const auto deadline = clock_.now() + bound_;
    for (;;) {
        if (pump_) pump_();
        if (signal_.isSet()) return true;
        if (clock_.now() >= deadline) return false;
        if (&clock_ == &SystemClock::instance() && !pump_) {
            (void)signal_.waitFor(kAckPollInterval);
        } else {
            clock_.sleep(kAckPollInterval);
        }
    }
}

}  // namespace tessaron::device
