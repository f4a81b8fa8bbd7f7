#include <gtest/gtest.h>

#include "device/bulk.h"
#include "device/commands.h"
#include "device/frames.h"
#include "fake_keyboard.h"
#include "support/fake_clock.h"
#include "test_support.h"

namespace tessaron::device {
namespace {

using testing::FakeKeyboard;
using testing::frameOf;

TEST(Frames, WorkedExamplesAreExact) {
    EXPECT_EQ(frames::getFirmwareVersion().bytes(), frameOf({0, 0x80, 0, 0, 0, 0, 0, 0, 0x7F}));
    EXPECT_EQ(frames::getReportRate().bytes(), frameOf({0, 0x81, 0, 0, 0, 0, 0, 0, 0x7E}));
    EXPECT_EQ(frames::opening().bytes(), frameOf({0, 0x09, 0x01, 0, 0, 0, 0, 0, 0xF5}));
}

TEST(Frames, ConstantChecksums) {
    const std::pair<FeatureFrame, int> cases[] = {
        {frames::getResponseTime(), 0x7B},    {frames::getLighting(), 0x77},
        {frames::getGameMode(), 0x76},        {frames::readKeyMap(), 0x72},
        {frames::readEnableBitmap(), 0x5F},   {frames::writeKeyMap(), 0xEA},
        {frames::writeEnableBitmap(), 0xDF},  {frames::factoryReset(), 0xED},
    };
    for (const auto& [frame, sum] : cases) {
        EXPECT_EQ(frame.bytes()[8], sum) << "command " << int(frame.command);
    }
}

TEST(Frames, IndexedChecksumsFallByOnePerIndex) {
    for (std::size_t n = 0; n < 32; ++n) {
        const int i = static_cast<int>(n);
        EXPECT_EQ(frames::readMacroSlot(n).bytes()[8], 0x6E - i);
        EXPECT_EQ(frames::writeMacroSlot(n).bytes()[8], 0xEB - i);
    }
    for (std::size_t m = 0; m < 5; ++m) {
        const int i = static_cast<int>(m);
        EXPECT_EQ(frames::writeLightMap(m).bytes()[8], 0xE5 - i);
        EXPECT_EQ(frames::readLightMap(m).bytes()[8], 0x65 - i);
    }
    for (std::size_t e = 0; e < 7; ++e) {
        EXPECT_EQ(frames::getLightingEntry(e).bytes()[8], 0x6B - static_cast<int>(e));
    }
    // Bulk headers carry the slot/map in byte 3 and the page count in byte 4.
    EXPECT_EQ(frames::writeMacroSlot(5).bytes(), frameOf({0, 0x11, 0, 5, 3, 0, 0, 0, 0xE6}));
    EXPECT_EQ(frames::writeLightMap(4).bytes(), frameOf({0, 0x12, 0, 4, 8, 0, 0, 0, 0xE1}));
}

TEST(Frames, ChecksumCoversBytesOneToSevenOnly) {
    // Sum a multiple of 256 gives 0xFF; sum of 0xFF gives 0x00.
    EXPECT_EQ(frames::make(0x80, {0x80}).bytes()[8], 0xFF);
    EXPECT_EQ(frames::make(0x0F, {0xF0}).bytes()[8], 0x00);
    FrameBytes f = frames::make(0x10, {1, 2, 3, 4, 5, 6}).bytes();
    f[0] = 0x55;  // the report ID is not covered
    EXPECT_EQ(frameChecksum(f), 0xFF - (0x10 + 21));
}

TEST(Frames, LightingFormsAndSpeedOnTheWire) {
    DeviceImage img{};
    img[image::kEffect] = 7;
    img[image::kSpeed] = 9;
    img[image::kBrightness] = 50;
    img[image::kOption] = 3;
    img[image::kDirection] = 4;
    EXPECT_EQ(frames::setLighting(LightingForm::Dark, img).bytes(),
              frameOf({0, 0x08, 1, 7, 1, 0, 3, 4, 0xE7}));
    EXPECT_EQ(frames::setLighting(LightingForm::Full, img).bytes(),
              frameOf({0, 0x08, 2, 7, 1, 50, 3, 4, 0xB4}));
}

class CommandsTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeKeyboard kb{clock};
    CommandPort port{kb, clock};
    DeviceImage img{};
};

TEST_F(CommandsTest, GetLightingConvertsTheSpeed) {
    kb.settings[image::kSpeed] = 0;  // wire 10
    kb.settings[image::kBrightness] = 33;
    ASSERT_TRUE(getLighting(port, img));
    EXPECT_EQ(img[image::kSpeed], 0);
    EXPECT_EQ(img[image::kBrightness], 33);
    kb.settings[image::kSpeed] = 9;  // wire 1
    ASSERT_TRUE(getLighting(port, img));
    EXPECT_EQ(img[image::kSpeed], 9);
}

TEST_F(CommandsTest, WinLockRuleTouchesOnlyBitOne) {
    img[image::kEnableBitmap] = 0xFF;
    img[image::kEnableBitmap + 1] = 0xFF;
    img[image::kWinLock] = 1;
    applyWinLockRule(img);
    EXPECT_EQ(img[image::kEnableBitmap], 0xFD);
    EXPECT_EQ(img[image::kEnableBitmap + 1], 0xFF);
    img[image::kWinLock] = 0;
    applyWinLockRule(img);
    EXPECT_EQ(img[image::kEnableBitmap], 0xFF);
}

TEST_F(CommandsTest, WinLockSurvivesTheRoundTripThroughTheKeyboard) {
    for (std::uint8_t flag : {std::uint8_t{0}, std::uint8_t{1}}) {
        DeviceImage sent{};
        sent.fill(0);
        for (std::size_t i = 0; i < image::kEnableBitmapSize; ++i) {
            sent[image::kEnableBitmap + i] = 0xFF;
        }
        // Grid position 8 is an ordinary key; disabling it must not be read as Win Lock.
        sent[image::kEnableBitmap + 1] = 0xFE;
        sent[image::kWinLock] = flag;
        applyWinLockRule(sent);
        ASSERT_TRUE(writeEnableBitmap(port, sent));
        DeviceImage back{};
        back[image::kWinLock] = static_cast<std::uint8_t>(!flag);
        ASSERT_TRUE(readEnableBitmap(port, back));
        EXPECT_EQ(back[image::kWinLock], flag);
        EXPECT_EQ(back[image::kEnableBitmap + 1], 0xFE);
    }
}

TEST_F(CommandsTest, EnableBitmapPageIsZeroPadded) {
    img.fill(0xAB);
    ASSERT_TRUE(writeEnableBitmap(port, img));
    ASSERT_EQ(kb.log.size(), 2u);
    const Page& page = kb.log[1].page;
    for (std::size_t i = 0; i < kPageSize; ++i) {
        EXPECT_EQ(page[i], i < image::kEnableBitmapSize ? 0xAB : 0) << i;
    }
}

TEST_F(CommandsTest, FactoryResetFramesAndWaits) {
    ASSERT_TRUE(factoryReset(port));
    ASSERT_EQ(kb.sentFrames().size(), 3u);
    EXPECT_EQ(kb.sentFrames()[0], frameOf({0, 0x13, 0xFF, 0, 0, 0, 0, 0, 0xED}));
    EXPECT_EQ(kb.sentFrames()[1], frameOf({0, 0x09, 0x01, 0, 0, 0, 0, 0, 0xF5}));
    EXPECT_EQ(kb.sentFrames()[2], kb.sentFrames()[1]);
    using std::chrono::milliseconds;
    EXPECT_GE(kb.log[1].at - kb.log[0].at, milliseconds(300));
    EXPECT_GE(kb.log[2].at - kb.log[1].at, milliseconds(320));
    EXPECT_EQ(clock.totalSlept(), milliseconds(940));
}

TEST_F(CommandsTest, FirmwareVersionRecord) {
    kb.firmware = {0x11, 0x01, 0x04, 0x22, 0, 0, 0, 0x99};
    auto fw = getFirmwareVersion(port);
    ASSERT_TRUE(fw);
    EXPECT_EQ(fw->payload, kb.firmware);
    EXPECT_EQ(fw->major(), 1);
    EXPECT_EQ(fw->minor(), 4);
    EXPECT_EQ(fw->pair(), (std::array<std::uint8_t, 4>{1, 4, 0, 0}));
    EXPECT_TRUE(isNewer(1, 5, *fw));
    EXPECT_FALSE(isNewer(1, 4, *fw));
    EXPECT_FALSE(isNewer(0, 9, *fw));
}

TEST_F(CommandsTest, FailedQueryLeavesTheFieldAlone) {
    img[image::kResponseTime] = 5;
    kb.settings[image::kResponseTime] = 9;
    kb.failAt = 1;  // the fetch
    EXPECT_FALSE(getResponseTime(port, img));
    EXPECT_EQ(img[image::kResponseTime], 5);
}

TEST_F(CommandsTest, ShortBlockReadLeavesTheBlockAlone) {
    for (std::size_t i = 0; i < image::kMacroSlotSize; ++i) {
        kb.settings[image::macroSlot(3) + i] = 0x5A;
        img[image::macroSlot(3) + i] = 0x11;
    }
    kb.failAt = 4;  // send, fetch, page 1, page 2, page 3 fails
    EXPECT_FALSE(readMacroSlot(port, img, 3));
    for (std::size_t i = 0; i < image::kMacroSlotSize; ++i) {
        ASSERT_EQ(img[image::macroSlot(3) + i], 0x11) << i;
    }
}

}  // namespace
}  // namespace tessaron::device
