#pragma once
// Waiting without an event loop for what another thread brings about.

#include <chrono>
#include <functional>
#include <thread>

namespace tessaron::testing {

// Asks until the condition holds; false when the time ran out first.
inline bool pollUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace tessaron::testing
