// Automatic switching in the window: the engine reaching the keyboard through the settings
// controller, from its own thread.

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <future>

#include "app/switching/controller_profiles.h"
#include "app/switching/keyboard_rig.h"
#include "support/fake_clock.h"

namespace tessaron::app {
namespace {

namespace img = device::image;
using switching::Engine;
using switching::WindowInfo;
using tessaron::testing::waitFor;

struct SwitchRig : testing::KeyboardRig {
    SwitchRig() {
        switching::RuleSet rules;
        rules.rules.push_back({{*switching::Condition::make(switching::Field::Class,
                                                            switching::Compare::Equals, "game")},
                               "Games"});
        engine.setRules(rules);
    }
    // The game comes to the front and stays past the dwell; the engine's tick runs on a thread of
    // its own while this one answers for the controller.
    bool switchToGame() {
        WindowInfo game;
        game.pid = 99;
        game.instance = game.windowClass = "game";
        engine.windowChanged(game);
        clock.advance(std::chrono::seconds(1));
        auto ticked = std::async(std::launch::async, [this] { return engine.tick(); });
        EXPECT_TRUE(waitFor([&] {
            return ticked.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        }));
        const bool wrote = ticked.get();
        EXPECT_TRUE(idle());
        return wrote;
    }

    std::vector<std::pair<std::string, bool>> sent;
    ControllerProfiles sink{*controller, live->dataFolder,
                            [this](const std::string& p, bool wrote) { sent.emplace_back(p, wrote); }};
    FakeClock clock;
    Engine engine{sink, clock, 1};
};

TEST(WindowSwitching, ASwitchSendsOnlyWhatDiffersAndTheWindowFollows) {
    SwitchRig rig;
    const std::uint8_t brightness = rig.makeProfile();
    QSignalSpy reloaded(rig.controller.get(), &SettingsController::settingsReloaded);
    ASSERT_TRUE(rig.switchToGame());

    EXPECT_EQ(rig.keyboard->settings()[img::kBrightness], brightness);
    EXPECT_EQ(rig.live->image[img::kBrightness], brightness);
    EXPECT_FALSE(rig.controller->isDirty());
    EXPECT_EQ(rig.controller->loadedProfile(), "Games");  // the desktop service tells it
    EXPECT_FALSE(reloaded.empty());
    ASSERT_EQ(rig.sent.size(), 1u);
    EXPECT_EQ(rig.sent[0], std::make_pair(std::string("Games"), true));
    // keymap.bin holds the profile, as after the profiles panel's Load.
    device::DeviceImage onDisk{};
    keys::KeyRecordTable records{};
    ASSERT_TRUE(keys::loadKeymap(rig.live->keymapPath(), onDisk, records));
    EXPECT_EQ(onDisk[img::kBrightness], brightness);

    // Only the lighting differs: no key map or macro is sent with it.
    rig.makeProfile();
    std::vector<device::WriteStep> steps;  // empty when the switch failed
    auto sent = std::async(std::launch::async, [&] {
        auto image = rig.sink.profileImage("Games");
        if (!image) return;
        if (auto out = rig.sink.send(*image)) steps = out->steps;
    });
    ASSERT_TRUE(waitFor(
        [&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    ASSERT_FALSE(steps.empty());
    for (const auto& step : steps) {
        EXPECT_NE(step.kind, device::StepKind::KeyMap);
        EXPECT_NE(step.kind, device::StepKind::MacroSlot);
    }
}

TEST(WindowSwitching, NothingIsSentWhenTheKeyboardHoldsTheProfile) {
    SwitchRig rig;
    rig.makeProfile(true);
    const auto before = rig.keyboard->state();
    EXPECT_FALSE(rig.switchToGame());
    EXPECT_TRUE(rig.sent.empty());
    EXPECT_EQ(rig.engine.status().alreadyHeld, 1);
    EXPECT_EQ(rig.keyboard->state(), before);
}

TEST(WindowSwitching, UnsavedChangesAndOpenEditorsHoldTheSwitchBack) {
    SwitchRig rig;
    const std::uint8_t brightness = rig.makeProfile();
    const std::uint8_t held = rig.keyboard->settings()[img::kBrightness];
    const std::uint8_t edited = rig.live->image[img::kSpeed] == 3 ? 4 : 3;
    rig.controller->edit([&](LiveConfig& live) { live.image[img::kSpeed] = edited; });
    // Even when the engine was not yet told to wait, the controller refuses the switch.
    EXPECT_FALSE(rig.switchToGame());
    EXPECT_TRUE(rig.engine.status().lastError.has_value());
    EXPECT_EQ(rig.keyboard->settings()[img::kBrightness], held);
    EXPECT_EQ(rig.live->image[img::kSpeed], edited);  // the user's edit is kept

    rig.controller->revert();
    {
        const EditorOpen open(*rig.controller);
        EXPECT_FALSE(rig.switchToGame());
        EXPECT_EQ(rig.keyboard->settings()[img::kBrightness], held);
    }
    EXPECT_TRUE(rig.switchToGame());
    EXPECT_EQ(rig.keyboard->settings()[img::kBrightness], brightness);
}

TEST(WindowSwitching, ClosingEndsAWaitTheControllerNeverAnswers) {
    SwitchRig rig;
    // Nobody runs this thread's events: the held image is never handed over.
    auto held = std::async(std::launch::async, [&] { return rig.sink.heldImage(); });
    EXPECT_EQ(held.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    rig.sink.close();
    EXPECT_FALSE(held.get());
}

}  // namespace
}  // namespace tessaron::app
