#pragma once
// The line model: how the macro manager lists a stream. Every event gives a key line ("%s dn" or
// "%s up"); an event that waits gives a delay line ("%d ms") just before it. The first event
// never shows a delay, whatever is stored, and counts as one line in every walk, so that the
// lines shown and the walks always agree.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "macros/event_stream.h"

namespace tessaron::macros {

struct EventLine {
    std::string text;
    bool isDelay = false;
    std::size_t eventOffset = 0;  // the event the line belongs to
    // What the text stands for, so a window can say it in the interface language.
    std::uint8_t vk = 0;  // key lines
    bool release = false;
    std::uint16_t delayMs = 0;  // delay lines
};

std::vector<EventLine> eventLines(const Stream& host);

// "A  dn", "MsLB up": the key line of an event.
std::string keyLine(std::uint8_t vk, bool release);
std::string delayLine(std::uint16_t delayMs);

// The offset of the event whose first line is n; for n equal to the number of lines, the end of
// the stream. Nothing when no event starts at line n.
std::optional<std::size_t> offsetOfFirstLine(const Stream& host, std::size_t n);
// The offset of the event whose last line is n; nothing when no event ends at line n.
std::optional<std::size_t> offsetOfLastLine(const Stream& host, std::size_t n);

}  // namespace tessaron::macros
