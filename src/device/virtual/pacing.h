#pragma once
// Checks a recorded conversation against the waits the keyboard needs between reports: after
// each frame before its reply or first page, after a reply, between pages and after a block. A
// host that cuts a wait short overruns a real keyboard, which simply loses the report.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "device/virtual/virtual_keyboard.h"

namespace tessaron::device {

struct PacingViolation {
    std::size_t index = 0;     // position in the traffic list of the report that came too soon
    std::uint8_t command = 0;  // the frame whose wait was cut short
    std::chrono::milliseconds required{0};
    std::chrono::microseconds actual{0};
    std::string description;
};

// The minimum wait the keyboard needs after the given item of a frame's exchange.
struct FramePacing {
    int afterFrame = 0;  // before the reply, the first page, or the next frame
    int afterReply = 0;
    int betweenPages = 0;
    int afterLastPage = 0;
    std::size_t pages = 0;  // pages that belong to the frame
};

FramePacing pacingFor(std::uint8_t command);

// Events are ignored: they travel on the other channel.
std::vector<PacingViolation> checkPacing(std::span<const Traffic> traffic);

}  // namespace tessaron::device
