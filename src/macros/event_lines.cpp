#include "macros/event_lines.h"

#include "keys/key_names.h"

namespace tessaron::macros {
namespace {

std::size_t linesOf(const Event& e) {
    return (e.offset != 0 && e.delayCode() > event::kNoDelay) ? 2 : 1;
}

}  // namespace

std::string keyLine(std::uint8_t vk, bool release) {
    return std::string(keys::keyName(vk)) + (release ? " up" : " dn");
}

std::string delayLine(std::uint16_t delayMs) {
    return std::to_string(delayMs) + " ms";
}

std::vector<EventLine> eventLines(const Stream& host) {
    std::vector<EventLine> lines;
    for (const auto& e : decodeEvents(host)) {
        if (linesOf(e) == 2) {
            lines.push_back({delayLine(e.delayMs()), true, e.offset, 0, false, e.delayMs()});
        }
        lines.push_back({keyLine(e.code, e.release()), false, e.offset, e.code, e.release(), 0});
    }
    return lines;
}

std::optional<std::size_t> offsetOfFirstLine(const Stream& host, std::size_t n) {
    std::size_t line = 0;
    for (const auto& e : decodeEvents(host)) {
        if (line == n) return e.offset;
        if (line > n) return std::nullopt;
        line += linesOf(e);
    }
    if (line == n) return streamEnd(host);
    return std::nullopt;
}

std::optional<std::size_t> offsetOfLastLine(const Stream& host, std::size_t n) {
    std::size_t line = 0;
    for (const auto& e : decodeEvents(host)) {
        line += linesOf(e);
        if (line == n + 1) return e.offset;
        if (line > n + 1) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace tessaron::macros
