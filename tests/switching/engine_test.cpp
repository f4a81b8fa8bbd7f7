// The switching engine on a fake clock, against a keyboard that only remembers what it holds.

#include <gtest/gtest.h>

#include <map>

#include "support/fake_clock.h"
#include "switching/engine.h"

namespace tessaron::switching {
namespace {

using namespace std::chrono_literals;
using device::DeviceImage;

DeviceImage imageWith(std::uint8_t effect) {
    DeviceImage img{};
    img[device::image::kKeyMap] = 0x29;
    img[device::image::kEffect] = effect;
    return img;
}

class FakeKeyboard final : public ProfileSink {
public:
    std::map<std::string, DeviceImage> profiles{{"Games", imageWith(2)}, {"Office", imageWith(3)}};
    DeviceImage held = imageWith(1);
    std::vector<DeviceImage> sent;
    std::function<void()> whileSending;

    Result<DeviceImage> profileImage(const std::string& name) override {
        const auto it = profiles.find(name);
        if (it == profiles.end()) return verbatim("no profile " + name);
        return it->second;
    }
    Result<DeviceImage> heldImage() override { return held; }
    Result<device::WriteOutcome> send(const DeviceImage& wanted) override {
        if (whileSending) whileSending();
        sent.push_back(wanted);
        device::WriteOutcome out;
        if (device::findChanges(wanted, held).any()) out.steps.push_back({});
        held = wanted;
        return out;
    }
};

WindowInfo window(std::string cls) {
    static std::uint32_t id = 1;
    return WindowInfo{id++, 100, "/usr/bin/" + cls, cls, cls, cls, cls + " window"};
}

class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        RuleSet set;
        auto game = Condition::make(Field::Class, Compare::Equals, "game");
        auto office = Condition::make(Field::Class, Compare::Equals, "office");
        auto call = Condition::make(Field::Class, Compare::Equals, "call");
        set.rules.push_back({{*game}, "Games", true});
        set.rules.push_back({{*office}, "Office", true});
        set.rules.push_back({{*call}, std::nullopt, true});
        engine.setRules(set);
    }

    // Moves the fake time on and lets the engine act, as its runner would.
    void after(std::chrono::milliseconds span) {
        clock.advance(span);
        engine.tick();
    }

    FakeClock clock;
    FakeKeyboard keyboard;
    Engine engine{keyboard, clock, 1};
};

TEST_F(EngineTest, SendsOnlyAfterTheDwellAndGoesBackToWhatWasHeld) {
    engine.windowChanged(window("game"));
    after(499ms);
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_EQ(engine.nextDue(), clock.now() + 1ms);
    after(1ms);
    ASSERT_EQ(keyboard.sent.size(), 1u);
    EXPECT_EQ(keyboard.held, imageWith(2));
    EXPECT_FALSE(engine.nextDue());

    // No rule: back to what the keyboard held before the first switch.
    engine.windowChanged(window("editor"));
    after(500ms);
    EXPECT_EQ(keyboard.held, imageWith(1));
    EXPECT_EQ(engine.status().writes, 2);
}

TEST_F(EngineTest, AltTabBurstBackToTheSameWindowSendsNothing) {
    engine.windowChanged(window("office"));
    after(600ms);
    ASSERT_EQ(keyboard.sent.size(), 1u);
    // 1000 changes, 20 ms apart, through every kind of window, ending where it started.
    const char* classes[] = {"game", "editor", "call", "office"};
    for (int i = 0; i < 1000; ++i) {
        engine.windowChanged(window(classes[i % 4]));
        after(20ms);
    }
    after(1s);
    EXPECT_EQ(keyboard.sent.size(), 1u);
    const auto status = engine.status();
    EXPECT_EQ(status.writes, 1);
    EXPECT_EQ(status.alreadyHeld, 1);
    EXPECT_EQ(status.lastProfile, "Office");
}

TEST_F(EngineTest, ExceptionCancelsTheWaitingSwitchAndOwnWindowsChangeNothing) {
    engine.windowChanged(window("game"));
    after(300ms);
    engine.windowChanged(window("call"));
    after(1s);
    engine.windowChanged(WindowInfo{7, 1, "", "", "x", "x", "Tessaron"});  // our own pid
    after(1s);
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_TRUE(engine.status().lastDecision->own);
}

TEST_F(EngineTest, OnlyTheLatestTargetIsKeptWhileASwitchRuns) {
    engine.windowChanged(window("game"));
    keyboard.whileSending = [&] {
        keyboard.whileSending = nullptr;
        engine.windowChanged(window("editor"));
        engine.windowChanged(window("office"));
        engine.windowChanged(window("game"));
        engine.windowChanged(window("office"));
    };
    after(500ms);
    ASSERT_EQ(keyboard.sent.size(), 1u);
    after(500ms);
    ASSERT_EQ(keyboard.sent.size(), 2u);
    EXPECT_EQ(keyboard.sent[1], imageWith(3));
    after(10s);
    EXPECT_EQ(keyboard.sent.size(), 2u);
}

TEST_F(EngineTest, TheHourlyLimitHoldsTheLatestSwitchUntilAWriteLeavesTheHour) {
    RuleSet set = engine.rules();
    set.writesPerHour = 3;
    engine.setRules(set);
    const char* classes[] = {"game", "office", "game"};
    for (const char* cls : classes) {
        engine.windowChanged(window(cls));
        after(10min);
    }
    ASSERT_EQ(engine.status().writes, 3);
    // The keyboard already holds Games: no write needed, so the limit does not matter.
    engine.windowChanged(window("game"));
    after(1s);
    EXPECT_EQ(engine.status().alreadyHeld, 1);

    engine.windowChanged(window("office"));
    after(1s);
    auto status = engine.status();
    EXPECT_TRUE(status.limited);
    EXPECT_EQ(status.writes, 3);
    // The first write (at 500 ms) leaves the hour 60 min later.
    const auto due = engine.nextDue();
    ASSERT_TRUE(due);
    clock.advance(std::chrono::duration_cast<std::chrono::microseconds>(*due - clock.now()));
    engine.tick();
    EXPECT_EQ(engine.status().writes, 4);
    EXPECT_EQ(keyboard.held, imageWith(3));
}

TEST_F(EngineTest, PausedWhileEditingThenTheLatestWindowCounts) {
    engine.setPaused(true);
    engine.windowChanged(window("game"));
    after(5s);
    engine.windowChanged(window("office"));
    after(5s);
    EXPECT_TRUE(keyboard.sent.empty());
    EXPECT_FALSE(engine.nextDue());
    engine.setPaused(false);
    engine.tick();
    ASSERT_EQ(keyboard.sent.size(), 1u);
    EXPECT_EQ(keyboard.held, imageWith(3));
}

TEST_F(EngineTest, AMissingProfileIsReportedAndNothingIsSent) {
    keyboard.profiles.erase("Games");
    engine.windowChanged(window("game"));
    after(1s);
    EXPECT_TRUE(keyboard.sent.empty());
    ASSERT_TRUE(engine.status().lastError);
    EXPECT_NE(engine.status().lastError->english.find("Games"), std::string::npos);
}

}  // namespace
}  // namespace tessaron::switching
