#pragma once
// Hex trace of every report that crosses the two channels, for diagnosing a keyboard that
// misbehaves. Enabled with TESSARON_TRACE=1 in the environment.

#include <cstdint>
#include <iosfwd>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "core/clock.h"

namespace tessaron::device {

enum class TraceDirection { Sent, Received };

class Trace {
public:
    Trace(std::ostream& out, Clock& clock);

    // One line: time since the trace began, direction, what it was, and the bytes in hex.
    void report(TraceDirection direction, std::string_view what,
                std::span<const std::uint8_t> bytes);
    void note(std::string_view text);

    // The standard-error trace when TESSARON_TRACE=1, otherwise nullptr.
    static Trace* fromEnvironment();

private:
    void line(std::string_view body);

    std::mutex mutex_;
    std::ostream& out_;
    Clock& clock_;
    Clock::TimePoint start_;
};

std::string toHex(std::span<const std::uint8_t> bytes);

}  // namespace tessaron::device
