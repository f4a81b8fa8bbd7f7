#include <gtest/gtest.h>

#include "macro_test_support.h"
#include "macros/macro_manager.h"
#include "macros/macro_messages.h"
#include "macros/slot_packing.h"
#include "support/fake_clock.h"

namespace tessaron::macros {
namespace {

using testing::deviceFor;
using testing::FakeHook;
using testing::recordOf;
using testing::streamOf;

Stream fullStream() {
    Stream s{};
    for (std::size_t i = 0; i < s.size(); i += 4) {
        s[i] = 0x01;
        s[i + 1] = 'A';
        if (i + 2 < s.size()) {
            s[i + 2] = 0x81;
            s[i + 3] = 'A';
        }
    }
    return s;
}

class EditorTest : public ::testing::Test {
protected:
    // Opens the manager on a table with the given records in use.
    MacroManager& open(std::initializer_list<MacroRecord> records) {
        std::size_t i = 0;
        for (const auto& r : records) committed_[i++] = r;
        manager_.emplace(committed_, hook_, clock_);
        return *manager_;
    }
    std::vector<std::string> lineTexts() const {
        std::vector<std::string> out;
        for (const auto& l : manager_->lines()) out.push_back(l.text);
        return out;
    }
    // The selected record as stored, which must match the working streams.
    Stream stored() const {
        const MacroRecord& r = manager_->workingTable()[*manager_->selectedMacro()];
        EXPECT_EQ(r.hostStream(), manager_->streams().host);
        EXPECT_EQ(r.deviceStream(), manager_->streams().device);
        EXPECT_EQ(r.deviceStream(), deviceFor(r.hostStream()));
        return r.hostStream();
    }
    void type(std::uint8_t vk) {
        ASSERT_TRUE(manager_->keystroke(vk, KeyAction::Press).ok());
        ASSERT_TRUE(manager_->keystroke(vk, KeyAction::Release).ok());
    }

    MacroTable committed_;
    FakeClock clock_;
    FakeHook hook_;
    std::optional<MacroManager> manager_;
};

// Lines: 0 "A dn", 1 "300 ms", 2 "A up", 3 "B dn", 4 "B up"
const Stream kDelayed = streamOf({0x01, 'A', 0xFF, 'A', 0x01, 0x2C, 0x01, 'B', 0x81, 'B'});

TEST_F(EditorTest, OpensOnTheFirstMacroWithItsOptions) {
    MacroRecord first = recordOf("Mine", kDelayed, 300);
    first.setDelayFlag(true);
    auto& m = open({first, recordOf("Other", Stream{})});
    EXPECT_EQ(m.macroNames(), (std::vector<std::string>{"Mine", "Other"}));
    EXPECT_EQ(m.selectedMacro(), 0u);
    EXPECT_TRUE(m.loopsOn());
    EXPECT_EQ(m.loopCountText(), "300");
    EXPECT_TRUE(m.recordDelay());
    EXPECT_EQ(lineTexts(),
              (std::vector<std::string>{"A  dn", "300 ms", "A  up", "B  dn", "B  up"}));
    EXPECT_EQ(m.appendPosition(), 10u);
    m.select(1);
    EXPECT_FALSE(m.loopsOn());
    EXPECT_EQ(m.loopCountText(), "1");
    EXPECT_TRUE(m.lines().empty());
}

TEST_F(EditorTest, NewTakesTheFirstFreeNameAndStopsAt32) {
    auto& m = open({recordOf("Macro_001", Stream{}), recordOf("Macro_003", Stream{})});
    m.newMacro();
    EXPECT_EQ(m.macroNames(), (std::vector<std::string>{"Macro_001", "Macro_003", "Macro_002"}));
    EXPECT_EQ(m.selectedMacro(), 2u);
    // Nothing is stored before the first edit: the record is cleared but for its name.
    EXPECT_EQ(m.workingTable()[2].loopCount(), 0);
    while (m.macroNames().size() < 32) m.newMacro();
    EXPECT_EQ(m.macroNames().back(), "Macro_032");
    m.newMacro();
    EXPECT_EQ(m.macroNames().size(), 32u);
    EXPECT_EQ(newMacroName(9), "Macro_009");
    EXPECT_EQ(newMacroName(10), "Macro_010");
}

TEST_F(EditorTest, DeleteShiftsRecordsAndSelectsANeighbour) {
    auto& m =
        open({recordOf("One", kDelayed), recordOf("Two", Stream{}), recordOf("Three", Stream{})});
    m.select(2);
    ASSERT_TRUE(m.deleteMacro().ok());
    EXPECT_EQ(m.macroNames(), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(m.selectedMacro(), 1u);
    EXPECT_EQ(m.workingTable()[2], MacroRecord{});

    m.select(0);
    ASSERT_TRUE(m.deleteMacro().ok());
    EXPECT_EQ(m.macroNames(), std::vector<std::string>{"Two"});
    EXPECT_EQ(m.selectedMacro(), 0u);
    EXPECT_TRUE(m.lines().empty());

    ASSERT_TRUE(m.deleteMacro().ok());
    EXPECT_TRUE(m.macroNames().empty());
    EXPECT_FALSE(m.selectedMacro());
    EXPECT_TRUE(m.lines().empty());
    EXPECT_EQ(m.workingTable(), MacroTable{});
    EXPECT_EQ(m.deleteMacro().error().english, messages::selectToDelete().english);
}

TEST_F(EditorTest, InsertAfterTheLastLineAppendsAKeystroke) {
    auto& m = open({recordOf("M", kDelayed)});
    ASSERT_TRUE(m.insertAfter(4).ok());
    EXPECT_TRUE(hook_.installed);
    type('C');
    EXPECT_FALSE(m.insertMode());
    EXPECT_FALSE(hook_.installed);
    EXPECT_EQ(stored(), streamOf({0x01, 'A', 0xFF, 'A', 0x01, 0x2C, 0x01, 'B', 0x81, 'B', 0x01, 'C',
                                  0x81, 'C'}));
    // Further keystrokes are not taken: the hook is gone.
    ASSERT_TRUE(m.keystroke('D', KeyAction::Press).ok());
    EXPECT_EQ(streamEnd(m.streams().host), 14u);
}

TEST_F(EditorTest, InsertBeforeKeepsADelayWithItsEvent) {
    auto& m = open({recordOf("M", kDelayed)});
    ASSERT_TRUE(m.insertBefore(2).ok());  // "A up", whose delay line is 1
    EXPECT_EQ(m.insertLine(), 1u);
    type('C');
    EXPECT_EQ(lineTexts(), (std::vector<std::string>{"A  dn", "C  dn", "C  up", "300 ms", "A  up",
                                                     "B  dn", "B  up"}));
    EXPECT_EQ(stored(), streamOf({0x01, 'A', 0x01, 'C', 0x81, 'C', 0xFF, 'A', 0x01, 0x2C, 0x01, 'B',
                                  0x81, 'B'}));

    ASSERT_TRUE(m.insertBefore(0).ok());
    type('D');
    EXPECT_EQ(stored()[0], 0x01);
    EXPECT_EQ(stored()[1], 'D');
    EXPECT_EQ(stored()[3], 'D');
    EXPECT_EQ(stored()[5], 'A');
}

TEST_F(EditorTest, InsertedAutoRepeatsAreKeptButNeverCrowdOutTheRelease) {
    Stream host = fullStream();
    for (std::size_t i = 180; i < 190; ++i) host[i] = 0;  // 180 bytes used
    auto& m = open({recordOf("M", host)});
    ASSERT_TRUE(m.insertBefore(0).ok());
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(m.keystroke('C', KeyAction::Press).ok());
    // At 188 a press would leave no room for its release.
    const Status refused = m.keystroke('C', KeyAction::Press);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().english, messages::macroFull().english);
    EXPECT_FALSE(m.insertMode());
    EXPECT_EQ(streamEnd(stored()), 188u);

    ASSERT_TRUE(m.insertAfter(3).ok());
    ASSERT_TRUE(m.keystroke('C', KeyAction::Release).ok());
    EXPECT_EQ(streamEnd(stored()), 190u);
    EXPECT_EQ(stored()[8], 0x81);
}

TEST_F(EditorTest, InsertingIntoAFullMacroIsRefusedWhole) {
    auto& m = open({recordOf("M", fullStream())});
    const Stream before = stored();
    ASSERT_TRUE(m.insertAfter(10).ok());
    EXPECT_FALSE(m.keystroke('C', KeyAction::Press).ok());
    EXPECT_FALSE(m.insertMouseKey(10, MouseButton::Left, MouseAction::Down).ok());
    EXPECT_EQ(stored(), before);
    // A 50 ms delay fits in the flags byte, so even a full macro takes it.
    ASSERT_TRUE(m.insertDelay(93).ok());
    EXPECT_EQ(stored()[188], 50);
}

TEST_F(EditorTest, MouseKeysGoAfterTheSelectedEvent) {
    auto& m = open({recordOf("M", streamOf({0x01, 'A', 0x81, 'A'}))});
    ASSERT_TRUE(m.insertMouseKey(1, MouseButton::Left, MouseAction::Click).ok());
    EXPECT_EQ(lineTexts(), (std::vector<std::string>{"A  dn", "A  up", "MsLB dn", "MsLB up"}));
    EXPECT_EQ(stored(), streamOf({0x01, 'A', 0x81, 'A', 0x01, 0xF0, 0x81, 0xF0}));
    EXPECT_EQ(m.streams().device, streamOf({0x01, 0x04, 0x81, 0x04, 0x01, 0xF0, 0x81, 0xF0}));

    ASSERT_TRUE(m.insertMouseKey(0, MouseButton::Right, MouseAction::Down).ok());
    ASSERT_TRUE(m.insertMouseKey(0, MouseButton::Middle, MouseAction::Up).ok());
    EXPECT_EQ(lineTexts(), (std::vector<std::string>{"A  dn", "MsMB up", "MsRB dn", "A  up",
                                                     "MsLB dn", "MsLB up"}));
    // On a delay line: after the event that the delay belongs to.
    auto& d = open({recordOf("M", kDelayed)});
    ASSERT_TRUE(d.insertMouseKey(1, MouseButton::Left, MouseAction::Up).ok());
    EXPECT_EQ(lineTexts()[3], "MsLB up");
}

TEST_F(EditorTest, InsertDelayGivesTheNextEvent50Ms) {
    auto& m = open({recordOf("M", kDelayed)});
    EXPECT_EQ(m.insertDelay(1).error().english, messages::editCurrentDelay().english);
    ASSERT_TRUE(m.insertDelay(4).ok());  // the last line: nothing happens
    EXPECT_EQ(stored(), kDelayed);

    ASSERT_TRUE(m.insertDelay(3).ok());
    EXPECT_EQ(lineTexts(),
              (std::vector<std::string>{"A  dn", "300 ms", "A  up", "B  dn", "50 ms", "B  up"}));
    EXPECT_EQ(stored(), streamOf({0x01, 'A', 0xFF, 'A', 0x01, 0x2C, 0x01, 'B', 0xB2, 'B'}));

    // The event after line 0 already waits 300 ms in the long form: it becomes a short 50 ms.
    ASSERT_TRUE(m.insertDelay(0).ok());
    EXPECT_EQ(stored(), streamOf({0x01, 'A', 0xB2, 'A', 0x01, 'B', 0xB2, 'B'}));
}

TEST_F(EditorTest, DeleteRemovesAnEventOrOnlyItsDelay) {
    auto& m = open({recordOf("M", kDelayed)});
    ASSERT_TRUE(m.deleteLine(1).ok());  // the 300 ms delay line
    EXPECT_EQ(stored(), streamOf({0x01, 'A', 0x81, 'A', 0x01, 'B', 0x81, 'B'}));

    ASSERT_TRUE(m.deleteLine(3).ok());  // the last line
    EXPECT_EQ(stored(), streamOf({0x01, 'A', 0x81, 'A', 0x01, 'B'}));

    // Deleting the first event leaves the next one first, so its delay goes too.
    auto& d = open({recordOf("M", kDelayed)});
    ASSERT_TRUE(d.deleteLine(0).ok());
    EXPECT_EQ(stored(), streamOf({0x81, 'A', 0x01, 'B', 0x81, 'B'}));
    EXPECT_EQ(lineTexts(), (std::vector<std::string>{"A  up", "B  dn", "B  up"}));

    ASSERT_TRUE(d.deleteLine(1).ok());  // the middle
    ASSERT_TRUE(d.deleteLine(1).ok());
    ASSERT_TRUE(d.deleteLine(0).ok());
    EXPECT_EQ(stored(), Stream{});
    EXPECT_FALSE(d.deleteLine(0).ok());
}

TEST_F(EditorTest, EditingADelayClampsAndSwitchesForm) {
    auto& m = open({recordOf("M", kDelayed)});
    ASSERT_TRUE(m.editDelay(1, 1).ok());
    EXPECT_EQ(stored(), streamOf({0x01, 'A', 0x82, 'A', 0x01, 'B', 0x81, 'B'}));
    ASSERT_TRUE(m.editDelay(1, 999999).ok());
    EXPECT_EQ(lineTexts()[1], "60000 ms");
    EXPECT_EQ(stored(), streamOf({0x01, 'A', 0xFF, 'A', 0xEA, 0x60, 0x01, 'B', 0x81, 'B'}));
    ASSERT_TRUE(m.editDelay(1, 126).ok());
    EXPECT_EQ(stored(), streamOf({0x01, 'A', 0xFE, 'A', 0x01, 'B', 0x81, 'B'}));
    EXPECT_FALSE(m.editDelay(0, 50).ok());  // a key line

    // Growing to the long form on a full stream is refused and nothing moves.
    Stream host = fullStream();
    host[2] = 0x85;
    auto& f = open({recordOf("F", host)});
    EXPECT_EQ(f.editDelay(1, 300).error().english, messages::macroFull().english);
    EXPECT_EQ(stored(), host);
    ASSERT_TRUE(f.editDelay(1, 100).ok());
    EXPECT_EQ(stored()[2], 0x80 | 100);
}

TEST_F(EditorTest, RenameRefusesEmptyAndOverlongNames) {
    auto& m = open({recordOf("M", Stream{}), recordOf("N", Stream{})});
    EXPECT_EQ(m.rename(0, "").error().english, messages::emptyName().english);
    EXPECT_FALSE(m.rename(0, std::string(255, 'x')).ok());
    ASSERT_TRUE(m.rename(0, std::string(254, 'x')).ok());
    ASSERT_TRUE(m.rename(1, "宏").ok());
    EXPECT_EQ(m.macroNames()[1], "宏");
    EXPECT_FALSE(m.rename(2, "x").ok());
}

TEST_F(EditorTest, LoopCountIsStoredOnlyWhileTheOptionIsOn) {
    auto& m = open({recordOf("M", kDelayed)});
    m.toggleLoops();
    ASSERT_TRUE(m.setLoopCountText("300").ok());
    EXPECT_EQ(m.workingTable()[0].loopCount(), 300);
    EXPECT_FALSE(m.setLoopCountText("1000").ok());
    EXPECT_FALSE(m.setLoopCountText("1a").ok());
    m.toggleLoops();
    EXPECT_EQ(m.loopCountText(), "1");
    EXPECT_EQ(m.workingTable()[0].loopCount(), 1);
    m.toggleLoops();
    ASSERT_TRUE(m.setLoopCountText("25").ok());
    const MacroTable accepted = m.accept();
    EXPECT_EQ(accepted[0].loopCount(), 25);
    EXPECT_EQ(committed_[0].loopCount(), 1);  // the committed table is the caller's to replace
}

TEST_F(EditorTest, MacrosTheUserDidNotEditKeepEveryByte) {
    // A loop count of 0 and delay-flag bits beyond the Record Delay option, as another tool or
    // an older file may leave them.
    MacroRecord odd = recordOf("Odd", kDelayed, 0);
    odd.bytes()[record::kDelayFlag] = 0x06;
    const auto same = [&odd](const MacroRecord& r) {
        return std::equal(r.bytes().begin(), r.bytes().end(), odd.bytes().begin());
    };
    auto& m = open({odd, recordOf("Two", Stream{})});
    EXPECT_EQ(m.loopCountText(), "0");  // shown as stored
    EXPECT_FALSE(m.loopsOn());
    EXPECT_TRUE(same(m.accept()[0]));

    // Deleting another macro moves this one but changes none of its bytes.
    m.select(1);
    ASSERT_TRUE(m.deleteMacro().ok());
    EXPECT_TRUE(same(m.accept()[0]));

    // Switching Record Delay touches bit 0 alone.
    m.select(0);
    m.toggleRecordDelay();
    EXPECT_EQ(m.workingTable()[0].delayFlag(), 0x07);
}

TEST_F(EditorTest, AnInsertionEndedByAnotherEditLeavesNoHookBehind) {
    auto& m = open({recordOf("M", streamOf({0x01, 'A', 0x81, 'A'}))});
    ASSERT_TRUE(m.insertBefore(0).ok());
    ASSERT_TRUE(m.insertMouseKey(1, MouseButton::Left, MouseAction::Click).ok());
    EXPECT_FALSE(m.insertMode());
    EXPECT_FALSE(hook_.installed);
    ASSERT_TRUE(m.keystroke('B', KeyAction::Press).ok());
    EXPECT_EQ(streamEnd(stored()), 8u);

    // New drops an armed insertion with the hook.
    ASSERT_TRUE(m.insertAfter(0).ok());
    m.newMacro();
    EXPECT_FALSE(m.insertMode());
    EXPECT_FALSE(hook_.installed);
}

TEST_F(EditorTest, RecordingAfterAnEditAppendsAtTheRealEnd) {
    auto& m = open({recordOf("M", Stream{})});
    ASSERT_TRUE(m.toggleRecording().ok());
    type('A');
    type('B');
    ASSERT_TRUE(m.deleteLine(0).ok());  // "A dn"
    type('C');
    EXPECT_EQ(stored(), streamOf({0x81, 'A', 0x01, 'B', 0x81, 'B', 0x01, 'C', 0x81, 'C'}));
    m.editBegins();
    EXPECT_FALSE(m.recording());
    EXPECT_FALSE(hook_.installed);
}

// The whole road of a macro: recorded with delays, edited with every menu item and a delay edit,
// accepted and packed. The slot is what the keyboard plays, so every byte of it is checked.
TEST(MacroRoad, RecordedEditedAndPackedGivesTheSlotBytes) {
    FakeClock clock;
    FakeHook hook;
    MacroManager m{MacroTable{}, hook, clock};
    m.newMacro();
    m.toggleRecordDelay();
    ASSERT_TRUE(m.toggleRecording().ok());
    constexpr std::int64_t kMs = FakeClock::kFrequency / 1000;
    const std::pair<std::uint8_t, std::int64_t> presses[] = {
        {'H', 1000}, {'H', 1068}, {'I', 1386}, {'I', 1616}, {0x20, 1663}, {0x20, 1673}};
    bool down = true;
    for (const auto& [vk, at] : presses) {
        ASSERT_TRUE(m.keystroke(vk, down ? KeyAction::Press : KeyAction::Release, at * kMs).ok());
        down = !down;
    }
    ASSERT_TRUE(m.toggleRecording().ok());
    auto texts = [&m] {
        std::vector<std::string> out;
        for (const auto& l : m.lines()) out.push_back(l.text);
        return out;
    };
    ASSERT_EQ(texts(),
              (std::vector<std::string>{"H  dn", "68 ms", "H  up", "318 ms", "I  dn", "230 ms",
                                        "I  up", "47 ms", "Space  dn", "10 ms", "Space  up"}));

    ASSERT_TRUE(m.insertAfter(2).ok());  // after "H up": B
    ASSERT_TRUE(m.keystroke('B', KeyAction::Press).ok());
    ASSERT_TRUE(m.keystroke('B', KeyAction::Release).ok());
    ASSERT_TRUE(m.insertMouseKey(4, MouseButton::Left, MouseAction::Click).ok());  // after "B up"
    ASSERT_TRUE(m.insertDelay(6).ok());       // 50 ms before "I dn" replaces its 318 ms
    ASSERT_TRUE(m.editDelay(9, 70000).ok());  // "230 ms" becomes the longest delay
    ASSERT_TRUE(m.deleteLine(11).ok());       // only the delay "47 ms"
    ASSERT_TRUE(m.deleteLine(3).ok());        // "B dn"
    ASSERT_TRUE(m.insertBefore(9).ok());      // before "I up": in front of its delay line
    ASSERT_TRUE(m.keystroke('C', KeyAction::Press).ok());
    ASSERT_TRUE(m.keystroke('C', KeyAction::Release).ok());
    m.toggleLoops();
    ASSERT_TRUE(m.setLoopCountText("5").ok());
    EXPECT_EQ(texts(),
              (std::vector<std::string>{"H  dn", "68 ms", "H  up", "B  up", "MsLB dn", "MsLB up",
                                        "50 ms", "I  dn", "C  dn", "C  up", "60000 ms", "I  up",
                                        "Space  dn", "10 ms", "Space  up"}));

    device::DeviceImage image{};
    ASSERT_EQ(packMacroSlots(m.accept(), image), 1u);
    const std::vector<std::uint8_t> expected{
        0x00, 0x05,              // loops, big-endian
        0x01, 0x0B, 0xC4, 0x0B,  // H dn, 68 ms H up
        0x81, 0x05,              // B up
        0x01, 0xF0, 0x81, 0xF0,  // left button click
        0x32, 0x0C,              // 50 ms I dn
        0x01, 0x06, 0x81, 0x06,  // C dn, C up
        0xFF, 0x0C, 0xEA, 0x60,  // 60000 ms I up, long form
        0x01, 0x2C, 0x8A, 0x2C,  // Space dn, 10 ms Space up
    };
    const auto slot =
        std::span(image).subspan(device::image::macroSlot(0), device::image::kMacroSlotSize);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), slot.begin()));
    EXPECT_TRUE(std::all_of(slot.begin() + static_cast<std::ptrdiff_t>(expected.size()), slot.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

}  // namespace
}  // namespace tessaron::macros
