#pragma once
// Waiting in a test for something that the event loop or another thread brings about.

#include <functional>

namespace tessaron::testing {

// Processes events until the condition holds, then once more so that what it set off is
// delivered; false when the time ran out first.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 15000);

}  // namespace tessaron::testing
