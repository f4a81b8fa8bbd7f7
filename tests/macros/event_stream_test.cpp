#include "macros/event_stream.h"

#include <gtest/gtest.h>

#include "macro_test_support.h"
#include "macros/event_lines.h"

namespace tessaron::macros {
namespace {

using testing::pairOf;
using testing::streamOf;

std::vector<std::string> texts(const Stream& host) {
    std::vector<std::string> out;
    for (const auto& l : eventLines(host)) out.push_back(l.text);
    return out;
}

TEST(EventStream, DecodesShortAndBigEndianLongEvents) {
    // A press, then a release after 300 ms (long form), then a press after 126 ms (short form).
    const Stream s = streamOf({0x01, 'A', 0xFF, 'A', 0x01, 0x2C, 0x7E, 'B'});
    const auto events = decodeEvents(s);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].offset, 2u);
    EXPECT_TRUE(events[1].release());
    EXPECT_EQ(events[1].delayMs(), 300);
    EXPECT_EQ(events[1].length(), 4u);
    EXPECT_EQ(events[2].offset, 6u);
    EXPECT_EQ(events[2].delayMs(), 126);
    EXPECT_EQ(streamEnd(s), 8u);
    EXPECT_EQ(texts(s), (std::vector<std::string>{"A  dn", "300 ms", "A  up", "126 ms", "B  dn"}));
}

TEST(EventStream, DelayCodeChoice) {
    EXPECT_EQ(delayCodeFor(0), 1);
    EXPECT_EQ(delayCodeFor(1), 1);
    EXPECT_EQ(delayCodeFor(2), 2);
    EXPECT_EQ(delayCodeFor(126), 126);
    EXPECT_EQ(delayCodeFor(127), 127);
    EXPECT_EQ(delayCodeFor(60000), 127);
}

TEST(EventStream, MalformedStreamsNeverReadPastTheBuffer) {
    // Full of 2-byte events: no terminator, the walk stops at byte 190.
    Stream full{};
    for (std::size_t i = 0; i < full.size(); i += 2) {
        full[i] = 0x01;
        full[i + 1] = 'A';
    }
    EXPECT_EQ(decodeEvents(full).size(), 95u);
    EXPECT_EQ(streamEnd(full), 190u);
    EXPECT_EQ(offsetOfFirstLine(full, 95), 190u);
    EXPECT_EQ(offsetOfLastLine(full, 94), 188u);
    EXPECT_FALSE(offsetOfLastLine(full, 95));

    // A long event starting at 188 would end past the buffer: the stream ends before it.
    full[188] = 0x7F;
    EXPECT_EQ(decodeEvents(full).size(), 94u);
    EXPECT_EQ(streamEnd(full), 188u);

    // Delay code 0 (never written) reads as a plain event; the first event shows no delay.
    const Stream odd = streamOf({0x30, 'A', 0x00, 'B', 0x00, 0x00, 0x05, 'C'});
    EXPECT_EQ(texts(odd), (std::vector<std::string>{"A  dn", "B  dn"}));
}

TEST(EventStream, LineWalksFindEventsByFirstAndLastLine) {
    // Lines: 0 "A dn", 1 "300 ms", 2 "A up", 3 "B dn"
    const Stream s = streamOf({0x01, 'A', 0xFF, 'A', 0x01, 0x2C, 0x01, 'B'});
    EXPECT_EQ(offsetOfFirstLine(s, 0), 0u);
    EXPECT_EQ(offsetOfFirstLine(s, 1), 2u);
    EXPECT_FALSE(offsetOfFirstLine(s, 2));  // the key line of a delayed event starts nothing
    EXPECT_EQ(offsetOfFirstLine(s, 3), 6u);
    EXPECT_EQ(offsetOfFirstLine(s, 4), 8u);  // one past the last line: the end
    EXPECT_FALSE(offsetOfFirstLine(s, 5));
    EXPECT_EQ(offsetOfLastLine(s, 0), 0u);
    EXPECT_FALSE(offsetOfLastLine(s, 1));
    EXPECT_EQ(offsetOfLastLine(s, 2), 2u);
    EXPECT_EQ(offsetOfLastLine(s, 3), 6u);
    EXPECT_FALSE(offsetOfLastLine(s, 4));
}

TEST(EventStream, InsertKeepsBothStreamsInShapeAndNeverCuts) {
    StreamPair p = pairOf({0x01, 'A', 0x81, 'A'});
    ASSERT_TRUE(insertEvent(p, 2, NewEvent{false, 'B', 0x05, 300}).ok());
    EXPECT_EQ(p.host, streamOf({0x01, 'A', 0x7F, 'B', 0x01, 0x2C, 0x81, 'A'}));
    EXPECT_EQ(p.device, streamOf({0x01, 0x04, 0x7F, 0x05, 0x01, 0x2C, 0x81, 0x04}));
    // Not at an event boundary.
    EXPECT_FALSE(insertEvent(p, 4, NewEvent{false, 'C', 0x06, 0}).ok());

    // 188 bytes used: a 2-byte event fits, a 4-byte one does not and nothing changes.
    StreamPair nearly;
    for (std::size_t i = 0; i < 188; i += 2) {
        nearly.host[i] = nearly.device[i] = 0x01;
        nearly.host[i + 1] = 'A';
        nearly.device[i + 1] = 0x04;
    }
    const StreamPair before = nearly;
    EXPECT_FALSE(insertEvent(nearly, 0, NewEvent{true, 'B', 0x05, 500}).ok());
    EXPECT_EQ(nearly, before);
    ASSERT_TRUE(insertEvent(nearly, 0, NewEvent{true, 'B', 0x05, 0}).ok());
    EXPECT_EQ(streamEnd(nearly.host), 190u);
    EXPECT_EQ(nearly.host[0], 0x81);
    EXPECT_EQ(nearly.host[189], 'A');
    EXPECT_FALSE(insertEvent(nearly, 190, NewEvent{false, 'C', 0x06, 0}).ok());
}

TEST(EventStream, DelayChangesMoveTheRestOfBothStreams) {
    StreamPair p = pairOf({0x01, 'A', 0x05, 'B', 0x81, 'B'});
    ASSERT_TRUE(setEventDelay(p, 2, 300).ok());
    EXPECT_EQ(p.host, streamOf({0x01, 'A', 0x7F, 'B', 0x01, 0x2C, 0x81, 'B'}));
    EXPECT_EQ(p.device, streamOf({0x01, 0x04, 0x7F, 0x05, 0x01, 0x2C, 0x81, 0x05}));
    ASSERT_TRUE(setEventDelay(p, 2, 60000).ok());
    EXPECT_EQ(p.host[4], 0xEA);
    EXPECT_EQ(p.host[5], 0x60);
    ASSERT_TRUE(setEventDelay(p, 2, 126).ok());
    EXPECT_EQ(p.host, streamOf({0x01, 'A', 0x7E, 'B', 0x81, 'B'}));
    ASSERT_TRUE(setEventDelay(p, 4, 0).ok());
    EXPECT_EQ(p.host[4], 0x81);
    EXPECT_FALSE(setEventDelay(p, 3, 10).ok());

    // Growing to the long form on a full stream is refused whole.
    StreamPair full;
    for (std::size_t i = 0; i < 190; i += 2) {
        full.host[i] = full.device[i] = 0x01;
        full.host[i + 1] = full.device[i + 1] = 'A';
    }
    const StreamPair before = full;
    EXPECT_FALSE(setEventDelay(full, 10, 200).ok());
    EXPECT_EQ(full, before);
    EXPECT_TRUE(setEventDelay(full, 10, 20).ok());
}

TEST(EventStream, FirstEventNeverWaits) {
    StreamPair p = pairOf({0xFF, 'A', 0x01, 0x2C, 0x05, 'B'});
    normaliseFirstEvent(p);
    EXPECT_EQ(p.host, streamOf({0x81, 'A', 0x05, 'B'}));
    EXPECT_EQ(p.device, streamOf({0x81, 0x04, 0x05, 0x05}));
    StreamPair empty;
    normaliseFirstEvent(empty);
    EXPECT_EQ(empty, StreamPair{});
}

TEST(EventStream, ClearPastEndDropsStrayBytes) {
    StreamPair p = pairOf({0x01, 'A', 0x01, 0x00, 0x01, 'B', 0x7F});
    clearPastEnd(p);
    EXPECT_EQ(p.host, streamOf({0x01, 'A'}));
    EXPECT_EQ(p.device, streamOf({0x01, 0x04}));
}

}  // namespace
}  // namespace tessaron::macros
