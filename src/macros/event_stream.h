#pragma once
// Macro event streams. An event is a flags byte (bit 7 = release, bits 0-6 = delay code) and a
// key code, followed by a big-endian delay when the delay code is 127. Streams come from files
// and are not trusted: every walk stops at the end of the buffer and nothing is read or written
// outside it. The host and device streams of a macro always change together.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/result.h"
#include "macros/macro_record.h"

namespace tessaron::macros {

namespace event {
inline constexpr std::uint8_t kReleaseBit = 0x80;
inline constexpr std::uint8_t kDelayMask = 0x7F;
inline constexpr std::uint8_t kNoDelay = 1;
inline constexpr std::uint8_t kLongDelay = 127;
inline constexpr std::size_t kShortSize = 2;
inline constexpr std::size_t kLongSize = 4;
inline constexpr std::uint16_t kMinDelayMs = 2;
inline constexpr std::uint16_t kMaxShortDelayMs = 126;
inline constexpr std::uint16_t kMaxDelayMs = 60000;
static_assert(kMaxShortDelayMs + 1 == kLongDelay);
}  // namespace event

// Mouse buttons carry the same code in both streams.
inline constexpr std::uint8_t kMouseLeft = 0xF0;
inline constexpr std::uint8_t kMouseRight = 0xF1;
inline constexpr std::uint8_t kMouseMiddle = 0xF2;

struct Event {
    std::size_t offset = 0;
    std::uint8_t flags = 0;
    std::uint8_t code = 0;
    std::uint16_t longDelay = 0;  // bytes 2-3 of a long event

    [[nodiscard]] bool release() const { return (flags & event::kReleaseBit) != 0; }
    [[nodiscard]] std::uint8_t delayCode() const { return flags & event::kDelayMask; }
    [[nodiscard]] bool isLong() const { return delayCode() == event::kLongDelay; }
    [[nodiscard]] std::size_t length() const {
        return isLong() ? event::kLongSize : event::kShortSize;
    }
    [[nodiscard]] std::size_t end() const { return offset + length(); }
    // Milliseconds waited before the event; 0 for none.
    [[nodiscard]] std::uint16_t delayMs() const;
};

// The events from byte 0 up to the first zero key code, the end of the buffer, or a long event
// that would end past it.
std::vector<Event> decodeEvents(const Stream& stream);
// The offset just past the last event.
std::size_t streamEnd(const Stream& stream);

// The delay code a delay is stored with: 1 below 2 ms, the delay up to 126 ms, else 127.
std::uint8_t delayCodeFor(std::uint16_t delayMs);

struct StreamPair {
    Stream host{};
    Stream device{};

    void clear() {
        host.fill(0);
        device.fill(0);
    }
    friend bool operator==(const StreamPair&, const StreamPair&) = default;
};

struct NewEvent {
    bool release = false;
    std::uint8_t hostCode = 0;
    std::uint8_t deviceCode = 0;
    std::uint16_t delayMs = 0;  // clamped to 60000; below 2 means none
};

// Inserts an event at an event boundary (or the end), moving the rest towards the end. Refused
// when the event would not fit entirely in the free bytes: nothing is ever cut.
Status insertEvent(StreamPair& streams, std::size_t offset, const NewEvent& event);
// Removes count bytes at offset; the rest moves towards the start and the freed bytes become 0.
void removeBytes(StreamPair& streams, std::size_t offset, std::size_t count);
// Gives the event at offset a new delay (clamped to 0..60000), growing or shrinking it between
// the short and the long form. Refused when growing does not fit.
Status setEventDelay(StreamPair& streams, std::size_t offset, std::uint16_t delayMs);
// The first event never waits: its delay code becomes 1 and long delay bytes are removed.
void normaliseFirstEvent(StreamPair& streams);
// Zeroes both streams past the end of the host stream's events, so that stray bytes of a damaged
// file cannot turn into events when something is appended.
void clearPastEnd(StreamPair& streams);

}  // namespace tessaron::macros
