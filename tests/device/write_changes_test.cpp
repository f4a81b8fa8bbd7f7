#include <gtest/gtest.h>

#include "device/commands.h"
#include "device/write_changes.h"
#include "fake_keyboard.h"
#include "support/fake_clock.h"
#include "test_support.h"

namespace tessaron::device {
namespace {

using testing::FakeKeyboard;
using testing::firstTooSoon;
using testing::ScriptedAcks;
using testing::summary;
using Tokens = std::vector<std::string>;

// A plausible committed state: every key enabled (Win Lock off), a non-empty key map.
DeviceImage baseline() {
    DeviceImage img{};
    for (std::size_t i = 0; i < image::kEnableBitmapSize; ++i) img[image::kEnableBitmap + i] = 0xFF;
    for (std::size_t i = 0; i < image::kKeyMapSize; i += 4) img[image::kKeyMap + i + 1] = 0x04;
    img[image::kBrightness] = 40;
    img[image::kSpeed] = 5;
    img[image::kEffect] = 2;
    return img;
}

class WriteChangesTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeKeyboard kb{clock};
    CommandPort port{kb, clock};
    DeviceImage committed = baseline();
    DeviceImage img = baseline();
};

TEST_F(WriteChangesTest, NothingChangedSendsNothing) {
    ScriptedAcks acks(kb);
    committed[100] = 7;  // bytes outside every field do not count
    auto out = writeChanges(port, img, committed, acks);
    ASSERT_TRUE(out);
    EXPECT_TRUE(out->steps.empty());
    EXPECT_TRUE(kb.log.empty());
    EXPECT_EQ(committed[100], 7);
}

TEST_F(WriteChangesTest, OnlyBrightnessSendsOneFullLightingFrame) {
    ScriptedAcks acks(kb);
    img[image::kBrightness] = 10;
    auto out = writeChanges(port, img, committed, acks);
    ASSERT_TRUE(out);
    EXPECT_EQ(summary(kb.log), Tokens{"S08"});
    EXPECT_EQ(kb.log[0].frame, testing::frameOf({0, 0x08, 2, 2, 5, 10, 0, 0, 0xE4}));
    EXPECT_EQ(acks.waits, 0u);
    EXPECT_EQ(committed, img);
}

TEST_F(WriteChangesTest, OneMacroSlot) {
    ScriptedAcks acks(kb);
    img[image::macroSlot(5) + 191] = 0x42;
    std::vector<WriteStep> seen;
    auto out =
        writeChanges(port, img, committed, acks, [&](const WriteStep& s) { seen.push_back(s); });
    ASSERT_TRUE(out);
    EXPECT_EQ(summary(kb.log), (Tokens{"S08", "ack", "S11", "w", "w", "w", "ack", "S08"}));
    EXPECT_EQ(kb.log[0].frame[2], 1);  // dark form
    EXPECT_EQ(kb.log[0].frame[5], 0);  // with brightness 0
    EXPECT_EQ(kb.log[2].frame, testing::frameOf({0, 0x11, 0, 5, 3, 0, 0, 0, 0xE6}));
    EXPECT_EQ(kb.log[5].page[63], 0x42);
    EXPECT_EQ(kb.log[7].frame[2], 2);
    EXPECT_EQ(kb.log[7].frame[5], 40);
    EXPECT_EQ(seen, (std::vector<WriteStep>{{StepKind::DarkLighting, 0},
                                            {StepKind::MacroSlot, 5},
                                            {StepKind::FullLighting, 0}}));
    EXPECT_EQ(out->steps, seen);
    EXPECT_EQ(acks.armed, 2u);
    EXPECT_EQ(committed, img);
    EXPECT_EQ(firstTooSoon(kb.log), -1);
}

TEST_F(WriteChangesTest, AllLightMapsInOrderEachAcknowledged) {
    ScriptedAcks acks(kb);
    for (std::size_t m = 0; m < 5; ++m) img[image::lightMap(m)] = static_cast<std::uint8_t>(m + 1);
    ASSERT_TRUE(writeChanges(port, img, committed, acks));
    Tokens expected = {"S08", "ack"};
    for (int m = 0; m < 5; ++m) {
        expected.push_back("S12");
        for (int p = 0; p < 8; ++p) expected.push_back("w");
        expected.push_back("ack");
    }
    expected.push_back("S08");
    EXPECT_EQ(summary(kb.log), expected);
    std::size_t map = 0;
    for (const auto& f : kb.sentFrames()) {
        if (f[1] == 0x12) {
            EXPECT_EQ(f[3], map++);
        }
    }
    EXPECT_EQ(firstTooSoon(kb.log), -1);
    // The keyboard now holds the maps.
    for (std::size_t m = 0; m < 5; ++m) EXPECT_EQ(kb.settings[image::lightMap(m)], m + 1);
}

TEST_F(WriteChangesTest, EveryFieldInItsOrder) {
    ScriptedAcks acks(kb);
    img[image::lightingTableEntry(3)] = 9;
    img[image::kGameMode] = 1;
    img[image::kReportRate] = 3;
    img[image::kResponseTime] = 4;
    img[image::keyCell(2, 1) + 1] = 0x29;
    img[image::kEnableBitmap + 5] = 0x7F;
    img[image::macroSlot(31)] = 1;
    img[image::macroSlot(0)] = 1;
    img[image::lightMap(2)] = 1;
    img[image::kEffect] = 3;
    ASSERT_TRUE(writeChanges(port, img, committed, acks));
    Tokens expected = {"S08", "ack", "S14", "S14", "S14", "S14", "S14", "S14", "S14",
                       "ack", "S09", "ack", "S01", "ack", "S04", "ack", "S0D"};
    for (int p = 0; p < 8; ++p) expected.push_back("w");
    expected.insert(expected.end(), {"ack", "S0E", "w", "ack"});
    for (int s = 0; s < 2; ++s) expected.insert(expected.end(), {"S11", "w", "w", "w", "ack"});
    expected.push_back("S12");
    for (int p = 0; p < 8; ++p) expected.push_back("w");
    expected.insert(expected.end(), {"ack", "S08"});
    EXPECT_EQ(summary(kb.log), expected);
    EXPECT_EQ(firstTooSoon(kb.log), -1);
    EXPECT_EQ(committed, img);
    // What the keyboard received matches the image in every field sent in pages.
    EXPECT_TRUE(std::equal(img.begin() + image::kKeyMap,
                           img.begin() + image::kKeyMap + image::kKeyMapSize,
                           kb.settings.begin() + image::kKeyMap));
    EXPECT_TRUE(std::equal(img.begin() + image::lightMap(2),
                           img.begin() + image::lightMap(2) + image::kLightMapSize,
                           kb.settings.begin() + image::lightMap(2)));
}

TEST_F(WriteChangesTest, WinLockClearsTheWindowsKeyBitBeforeComparing) {
    ScriptedAcks acks(kb);
    img[image::kWinLock] = 1;  // committed still has bit 1 set
    ASSERT_TRUE(writeChanges(port, img, committed, acks));
    EXPECT_EQ(summary(kb.log), (Tokens{"S08", "ack", "S0E", "w", "ack", "S08"}));
    EXPECT_EQ(kb.log[3].page[0], 0xFD);
    EXPECT_EQ(committed[image::kEnableBitmap], 0xFD);

    // Saved again with the flag unchanged: nothing to send.
    kb.log.clear();
    ASSERT_TRUE(writeChanges(port, img, committed, acks));
    EXPECT_TRUE(kb.log.empty());
}

TEST_F(WriteChangesTest, SilentKeyboardStopsTheSaveAndKeepsTheCommittedImage) {
    ScriptedAcks acks(kb, 1);  // the dark frame is acknowledged, the key map is not
    img[image::keyCell(0, 0) + 1] = 0x29;
    img[image::kGameMode] = 1;
    const DeviceImage before = committed;
    auto out = writeChanges(port, img, committed, acks);
    ASSERT_FALSE(out);
    EXPECT_NE(out.error().english.find("game mode"), std::string::npos);
    EXPECT_NE(out.error().text(Language::Chinese).find("游戏模式"), std::string::npos);
    EXPECT_EQ(committed, before);
    // Nothing after the unacknowledged step but the lighting given back.
    EXPECT_EQ(summary(kb.log), (Tokens{"S08", "ack", "S09", "ack", "S08"}));
    EXPECT_EQ(kb.log.back().frame[2], 2);
}

TEST_F(WriteChangesTest, FailedTransferMidSaveIsAFailure) {
    ScriptedAcks acks(kb);
    img[image::keyCell(0, 0) + 1] = 0x29;
    img[image::lightMap(0)] = 1;
    kb.failAt = 5;  // S08 ack S0D w w [w fails]
    const DeviceImage before = committed;
    auto out = writeChanges(port, img, committed, acks);
    ASSERT_FALSE(out);
    EXPECT_EQ(committed, before);
    const auto s = summary(kb.log);
    EXPECT_EQ(std::count(s.begin(), s.end(), "S12"), 0);  // the light map never went out
    EXPECT_EQ(s.back(), "S08");
}

TEST_F(WriteChangesTest, EmptyKeyMapIsRefusedBeforeAnythingIsSent) {
    ScriptedAcks acks(kb);
    std::fill_n(img.begin() + image::kKeyMap, image::kKeyMapSize, 0);
    img[image::kEffect] = 4;
    const DeviceImage before = committed;
    auto out = writeChanges(port, img, committed, acks);
    ASSERT_FALSE(out);
    EXPECT_NE(out.error().english.find("empty"), std::string::npos);
    EXPECT_TRUE(kb.log.empty());
    EXPECT_EQ(committed, before);
}

TEST_F(WriteChangesTest, PollingWaiterIsBoundedAndPolls) {
    AckSignal signal;
    PollingAckWaiter waiter(signal, clock);
    waiter.arm();
    EXPECT_FALSE(waiter.wait());
    EXPECT_GE(clock.totalSlept(), kAckTimeout);
    EXPECT_LE(clock.totalSlept(), kAckTimeout + kAckPollInterval);
    for (auto s : clock.sleeps()) EXPECT_EQ(s, kAckPollInterval);

    // An acknowledgement that arrives during the wait ends it at the next look.
    clock.clearSleeps();
    int looks = 0;
    PollingAckWaiter pumped(signal, clock, [&] {
        if (++looks == 4) signal.set();
    });
    pumped.arm();
    EXPECT_TRUE(pumped.wait());
    EXPECT_EQ(clock.totalSlept(), 3 * kAckPollInterval);
    // arm() forgets an acknowledgement left over from an earlier step.
    pumped.arm();
    EXPECT_FALSE(signal.isSet());
}

// The window's D-Bus answers name the steps in English; each name finds its step again.
TEST(WriteStepNames, EachNameFindsItsStep) {
    const WriteStep steps[] = {{StepKind::DarkLighting, 0}, {StepKind::KeyMap, 0},
                               {StepKind::MacroSlot, 0},    {StepKind::MacroSlot, 31},
                               {StepKind::LightMap, 5},     {StepKind::FullLighting, 0}};
    for (const auto& step : steps) EXPECT_EQ(stepNamed(step.name()), step) << step.name();
    EXPECT_FALSE(stepNamed("macro slot 99"));
    EXPECT_FALSE(stepNamed("key assignments!"));
}

}  // namespace
}  // namespace tessaron::device
