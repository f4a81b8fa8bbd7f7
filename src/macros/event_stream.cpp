#include "macros/event_stream.h"

#include <algorithm>

#include "macros/macro_messages.h"

namespace tessaron::macros {
namespace {

constexpr std::size_t kSize = record::kStreamSize;
static_assert(kSize % 2 == 0,
              "events start at even offsets, so the last one ends at the buffer end");

std::optional<Event> eventAt(const Stream& stream, std::size_t offset) {
    for (const auto& e : decodeEvents(stream)) {
        if (e.offset == offset) return e;
        if (e.offset > offset) break;
    }
    return std::nullopt;
}

// Opens a gap of count bytes at offset; the last count bytes of the buffer are dropped.
void openGap(Stream& s, std::size_t offset, std::size_t count) {
    if (offset >= kSize || count == 0) return;
    count = std::min(count, kSize - offset);
    std::copy_backward(s.begin() + static_cast<std::ptrdiff_t>(offset),
                       s.end() - static_cast<std::ptrdiff_t>(count), s.end());
    std::fill_n(s.begin() + static_cast<std::ptrdiff_t>(offset), count, std::uint8_t{0});
}

void closeGap(Stream& s, std::size_t offset, std::size_t count) {
    if (offset >= kSize || count == 0) return;
    count = std::min(count, kSize - offset);
    std::copy(s.begin() + static_cast<std::ptrdiff_t>(offset + count), s.end(),
              s.begin() + static_cast<std::ptrdiff_t>(offset));
    std::fill(s.end() - static_cast<std::ptrdiff_t>(count), s.end(), std::uint8_t{0});
}

void writeDelayBytes(Stream& s, std::size_t offset, std::uint16_t delayMs) {
    s[offset + 2] = static_cast<std::uint8_t>(delayMs >> 8);
    s[offset + 3] = static_cast<std::uint8_t>(delayMs & 0xFF);
}

std::uint8_t withDelayCode(std::uint8_t flags, std::uint8_t code) {
    return static_cast<std::uint8_t>((flags & event::kReleaseBit) | code);
}

}  // namespace

std::uint16_t Event::delayMs() const {
    if (isLong()) return longDelay;
    return delayCode() > event::kNoDelay ? delayCode() : 0;
}

std::vector<Event> decodeEvents(const Stream& stream) {
    std::vector<Event> events;
    std::size_t offset = 0;
    while (offset + event::kShortSize <= kSize) {
        Event e;
        e.offset = offset;
        e.flags = stream[offset];
        e.code = stream[offset + 1];
        if (e.code == 0) break;
        if (e.isLong()) {
            if (offset + event::kLongSize > kSize) break;
            e.longDelay =
                static_cast<std::uint16_t>((stream[offset + 2] << 8) | stream[offset + 3]);
        }
        events.push_back(e);
        offset = e.end();
    }
    return events;
}

std::size_t streamEnd(const Stream& stream) {
    const auto events = decodeEvents(stream);
    return events.empty() ? 0 : events.back().end();
}

std::uint8_t delayCodeFor(std::uint16_t delayMs) {
    if (delayMs < event::kMinDelayMs) return event::kNoDelay;
    if (delayMs <= event::kMaxShortDelayMs) return static_cast<std::uint8_t>(delayMs);
    return event::kLongDelay;
}

Status insertEvent(StreamPair& streams, std::size_t offset, const NewEvent& ev) {
    const std::size_t end = streamEnd(streams.host);
    if (offset != end && !eventAt(streams.host, offset)) return messages::noSuchLine();
    const std::uint16_t delay = std::min(ev.delayMs, event::kMaxDelayMs);
    const std::uint8_t code = delayCodeFor(delay);
    const std::size_t length = code == event::kLongDelay ? event::kLongSize : event::kShortSize;
    if (end + length > kSize) return messages::macroFull();

    const auto flags = static_cast<std::uint8_t>((ev.release ? event::kReleaseBit : 0) | code);
    auto put = [&](Stream& s, std::uint8_t keyCode) {
        openGap(s, offset, length);
        s[offset] = flags;
        s[offset + 1] = keyCode;
        if (length == event::kLongSize) writeDelayBytes(s, offset, delay);
    };
    put(streams.host, ev.hostCode);
    put(streams.device, ev.deviceCode);
    return {};
}

void removeBytes(StreamPair& streams, std::size_t offset, std::size_t count) {
    closeGap(streams.host, offset, count);
    closeGap(streams.device, offset, count);
}

Status setEventDelay(StreamPair& streams, std::size_t offset, std::uint16_t delayMs) {
    const auto found = eventAt(streams.host, offset);
    if (!found) return messages::noSuchLine();
    const std::uint16_t delay = std::min(delayMs, event::kMaxDelayMs);
    const std::uint8_t code = delayCodeFor(delay);
    if (code == event::kLongDelay) {
        if (!found->isLong()) {
            if (streamEnd(streams.host) + 2 > kSize) return messages::macroFull();
            openGap(streams.host, offset + 2, 2);
            openGap(streams.device, offset + 2, 2);
        }
        writeDelayBytes(streams.host, offset, delay);
        writeDelayBytes(streams.device, offset, delay);
    } else if (found->isLong()) {
        removeBytes(streams, offset + 2, 2);
    }
    streams.host[offset] = withDelayCode(streams.host[offset], code);
    streams.device[offset] = withDelayCode(streams.device[offset], code);
    return {};
}

void normaliseFirstEvent(StreamPair& streams) {
    const auto events = decodeEvents(streams.host);
    if (events.empty()) return;
    if (events.front().isLong()) removeBytes(streams, 2, 2);
    streams.host[0] = withDelayCode(streams.host[0], event::kNoDelay);
    streams.device[0] = withDelayCode(streams.device[0], event::kNoDelay);
}

void clearPastEnd(StreamPair& streams) {
    const auto end = static_cast<std::ptrdiff_t>(streamEnd(streams.host));
    std::fill(streams.host.begin() + end, streams.host.end(), std::uint8_t{0});
    std::fill(streams.device.begin() + end, streams.device.end(), std::uint8_t{0});
}

}  // namespace tessaron::macros
