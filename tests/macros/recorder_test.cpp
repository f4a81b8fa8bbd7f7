#include <gtest/gtest.h>

#include "macro_test_support.h"
#include "macros/macro_manager.h"
#include "macros/macro_messages.h"
#include "support/fake_clock.h"

namespace tessaron::macros {
namespace {

using testing::FakeHook;
using testing::streamOf;

constexpr std::int64_t kMs = FakeClock::kFrequency / 1000;

class RecorderTest : public ::testing::Test {
protected:
    RecorderTest() { manager_.newMacro(); }

    void startRecording(bool withDelays) {
        if (withDelays != manager_.recordDelay()) manager_.toggleRecordDelay();
        ASSERT_TRUE(manager_.toggleRecording().ok());
        ASSERT_TRUE(manager_.recording());
    }
    void press(std::uint8_t vk, std::int64_t atMs) {
        ASSERT_TRUE(manager_.keystroke(vk, KeyAction::Press, atMs * kMs).ok());
    }
    void release(std::uint8_t vk, std::int64_t atMs) {
        ASSERT_TRUE(manager_.keystroke(vk, KeyAction::Release, atMs * kMs).ok());
    }
    std::vector<std::string> lineTexts() const {
        std::vector<std::string> out;
        for (const auto& l : manager_.lines()) out.push_back(l.text);
        return out;
    }

    FakeClock clock_;
    FakeHook hook_;
    MacroManager manager_{MacroTable{}, hook_, clock_};
};

TEST_F(RecorderTest, PressAndReleaseWithoutDelays) {
    startRecording(false);
    press('A', 1000);
    release('A', 1300);
    const MacroRecord& rec = manager_.workingTable()[0];
    EXPECT_EQ(rec.deviceStream(), streamOf({0x01, 0x04, 0x81, 0x04}));
    EXPECT_EQ(rec.hostStream(), streamOf({0x01, 0x41, 0x81, 0x41}));
    EXPECT_EQ(rec.loopCount(), 1);
    EXPECT_EQ(rec.delayFlag(), 0);
    EXPECT_EQ(lineTexts(), (std::vector<std::string>{"A  dn", "A  up"}));
    EXPECT_EQ(manager_.selectedLine(), 1u);
    EXPECT_EQ(manager_.appendPosition(), 4u);
}

TEST_F(RecorderTest, DelaysShortLongClampedAndFirstEventNeverWaits) {
    startRecording(true);
    press('A', 5000);            // first event: no delay whatever came before
    release('A', 5005);          // 5 ms
    press('B', 5006);            // 1 ms: no delay line
    release('B', 5306);          // 300 ms, long form
    press('C', 5432);            // 126 ms, short
    release('C', 5559);          // 127 ms, long
    press('D', 5559 + 120'000);  // two minutes clamp to 60000
    EXPECT_EQ(manager_.streams().host,
              streamOf({0x01, 'A', 0x85, 'A', 0x01, 'B',  0xFF, 'B', 0x01, 0x2C,
                        0x7E, 'C', 0xFF, 'C', 0x00, 0x7F, 0x7F, 'D', 0xEA, 0x60}));
    EXPECT_EQ(lineTexts(), (std::vector<std::string>{"A  dn", "5 ms", "A  up", "B  dn", "300 ms",
                                                     "B  up", "126 ms", "C  dn", "127 ms", "C  up",
                                                     "60000 ms", "D  dn"}));
    EXPECT_EQ(manager_.workingTable()[0].delayFlag(), 1);
}

TEST_F(RecorderTest, DelayMathRoundsDownAndSurvivesHugeCounters) {
    startRecording(true);
    // A counter near the top of its range: multiplying by 10^6 first would overflow.
    const std::int64_t base = std::int64_t{1} << 61;
    ASSERT_TRUE(manager_.keystroke('A', KeyAction::Press, base).ok());
    ASSERT_TRUE(manager_.keystroke('A', KeyAction::Release, base + 2 * kMs - 1).ok());  // 1.999 ms
    ASSERT_TRUE(manager_.keystroke('B', KeyAction::Press, base + 2 * kMs - 1 + 42 * kMs).ok());
    EXPECT_EQ(manager_.streams().host, streamOf({0x01, 'A', 0x81, 'A', 0x2A, 'B'}));
}

TEST_F(RecorderTest, LateDeliveriesAreTimedWhenTheyHappened) {
    using namespace std::chrono_literals;
    startRecording(true);
    clock_.advance(10s);
    ASSERT_TRUE(manager_.keystroke('A', KeyAction::Press, 0ns).ok());
    clock_.advance(130ms);
    // Released 100 ms after the press, handed over 30 ms later.
    ASSERT_TRUE(manager_.keystroke('A', KeyAction::Release, 30ms).ok());
    clock_.advance(99'970ms);
    // 80 s late: 20 s after the release, and no overflow on the way.
    ASSERT_TRUE(manager_.keystroke('B', KeyAction::Press, 80s).ok());
    EXPECT_EQ(manager_.streams().host,
              streamOf({0x01, 'A', 0xE4, 'A', 0x7F, 'B', 0x4E, 0x20}));
}

TEST_F(RecorderTest, AutoRepeatIsDroppedButAlternatingKeystrokesAreKept) {
    startRecording(false);
    press('A', 0);
    press('A', 30);  // auto-repeat
    press('A', 60);
    release('A', 90);
    release('A', 95);  // a second release right after is ignored too
    press('A', 100);
    release('A', 110);
    EXPECT_EQ(lineTexts(), (std::vector<std::string>{"A  dn", "A  up", "A  dn", "A  up"}));
}

TEST_F(RecorderTest, UsesTheClockCounterAndStopsWhenTheHookIsGone) {
    startRecording(true);
    clock_.advance(std::chrono::milliseconds(10));
    ASSERT_TRUE(manager_.keystroke('A', KeyAction::Press).ok());
    clock_.advance(std::chrono::milliseconds(40));
    ASSERT_TRUE(manager_.keystroke('A', KeyAction::Release).ok());
    EXPECT_EQ(manager_.streams().host, streamOf({0x01, 'A', 0xA8, 'A'}));
    EXPECT_TRUE(hook_.installed);

    ASSERT_TRUE(manager_.toggleRecording().ok());
    EXPECT_FALSE(hook_.installed);
    ASSERT_TRUE(manager_.keystroke('B', KeyAction::Press).ok());
    EXPECT_EQ(streamEnd(manager_.streams().host), 4u);

    // Starting again clears the macro's events but keeps its name.
    ASSERT_TRUE(manager_.toggleRecording().ok());
    EXPECT_EQ(manager_.workingTable()[0].hostStream(), Stream{});
    EXPECT_EQ(manager_.macroNames(), std::vector<std::string>{"Macro_001"});
}

TEST_F(RecorderTest, FailedHookShowsRecordingButRecordsNothing) {
    hook_.succeed = false;
    startRecording(false);
    press('A', 0);
    EXPECT_TRUE(manager_.lines().empty());
}

TEST_F(RecorderTest, NeedsASelectedMacro) {
    manager_.select(std::nullopt);
    const Status s = manager_.toggleRecording();
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().english, messages::selectToRecord().english);
    EXPECT_FALSE(manager_.recording());
}

TEST_F(RecorderTest, KeysTheKeyboardCannotPlayAreRefused) {
    startRecording(false);
    EXPECT_FALSE(manager_.keystroke(0xE9, KeyAction::Press, 0).ok());  // no device code
    EXPECT_TRUE(manager_.lines().empty());
}

TEST_F(RecorderTest, FillingTheMacroDropsLatePressesAndNeverCutsAnEvent) {
    startRecording(false);
    // 46 pairs of 2-byte events: 184 bytes.
    for (int i = 0; i < 46; ++i) {
        press(i % 2 ? 'A' : 'B', 2 * i);
        release(i % 2 ? 'A' : 'B', 2 * i + 1);
    }
    ASSERT_EQ(manager_.appendPosition(), 184u);
    press('C', 200);  // beyond 183: dropped silently
    EXPECT_EQ(manager_.appendPosition(), 184u);
    release('C', 201);  // releases are still taken
    EXPECT_EQ(manager_.appendPosition(), 186u);

    // Releases of keys held together can run out of room: an event that does not fit whole is
    // refused, and a shorter one still fits after it.
    manager_.toggleRecordDelay();
    release('D', 202);
    ASSERT_EQ(manager_.appendPosition(), 188u);
    const Status s = manager_.keystroke('F', KeyAction::Release, 2000 * kMs);  // 4 bytes
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(s.error().english, messages::macroFull().english);
    EXPECT_EQ(manager_.appendPosition(), 188u);
    release('E', 2001);
    EXPECT_EQ(manager_.appendPosition(), 190u);
    EXPECT_EQ(streamEnd(manager_.workingTable()[0].hostStream()), 190u);
}

TEST_F(RecorderTest, LastPressAt182WithLongDelaysEndsExactlyAt190) {
    startRecording(true);
    for (int i = 0; i < 91; ++i) press(i % 2 ? 'A' : 'B', i);  // alternating presses, 1 ms apart
    ASSERT_EQ(manager_.appendPosition(), 182u);
    press('C', 1000);
    release('C', 2000);
    EXPECT_EQ(manager_.appendPosition(), 190u);
    const auto events = decodeEvents(manager_.streams().host);
    EXPECT_EQ(events.back().delayMs(), 1000);
    EXPECT_EQ(events.back().offset, 186u);
}

}  // namespace
}  // namespace tessaron::macros
