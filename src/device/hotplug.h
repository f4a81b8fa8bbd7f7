#pragma once
// Follows this keyboard being plugged in and out. Only the keyboard's own notices are reported.

#include <functional>

#include "core/result.h"

namespace tessaron::device {

enum class PlugChange { Arrived, Removed };

class HotplugMonitor {
public:
    using Callback = std::function<void(PlugChange)>;
    virtual ~HotplugMonitor() = default;
    // Starts watching; the callback runs on the monitor's own thread.
    virtual Status start(Callback callback) = 0;
    virtual void stop() = 0;
};

}  // namespace tessaron::device
