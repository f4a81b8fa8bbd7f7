#include "device/trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace tessaron::device {

std::string toHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i) text.push_back(' ');
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return text;
}

Trace::Trace(std::ostream& out, Clock& clock) : out_(out), clock_(clock), start_(clock.now()) {}

void Trace::report(TraceDirection direction, std::string_view what,
                   std::span<const std::uint8_t> bytes) {
    std::string body = direction == TraceDirection::Sent ? "> " : "< ";
    body.append(what);
    body.append(": ");
    body.append(toHex(bytes));
    line(body);
}

void Trace::note(std::string_view text) {
    line(std::string("# ").append(text));
}

void Trace::line(std::string_view body) {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(clock_.now() - start_).count();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%10.3f ms] ", static_cast<double>(elapsed) / 1000.0);
    std::lock_guard lock(mutex_);
    out_ << stamp << body << '\n';
    out_.flush();
}

Trace* Trace::fromEnvironment() {
    const char* value = std::getenv("TESSARON_TRACE");
    if (!value || std::strcmp(value, "1") != 0) return nullptr;
    static Trace trace(std::cerr, SystemClock::instance());
    return &trace;
}

}  // namespace tessaron::device
