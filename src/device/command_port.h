#pragma once
// The command channel as the protocol uses it: frames, replies, pages and the waits between
// them, all through one Clock, with every report optionally traced.

#include <chrono>

#include "core/clock.h"
#include "core/result.h"
#include "device/reports.h"
#include "device/trace.h"
#include "device/transport.h"

namespace tessaron::device {

// How long a page read may take before the keyboard counts as silent.
inline constexpr std::chrono::milliseconds kPageReadTimeout{1000};

class CommandPort {
public:
    CommandPort(CommandChannel& channel, Clock& clock, Trace* trace = nullptr)
        : channel_(channel), clock_(clock), trace_(trace) {}

    Status send(const FeatureFrame& frame);
    Result<FrameBytes> fetch();
    Status writePage(const Page& page);
    Result<Page> readPage();
    void wait(int ms) { clock_.sleepMs(ms); }

    Clock& clock() { return clock_; }
    Trace* trace() { return trace_; }

private:
    CommandChannel& channel_;
    Clock& clock_;
    Trace* trace_;
};

}  // namespace tessaron::device
