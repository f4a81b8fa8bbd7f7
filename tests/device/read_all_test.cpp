#include <gtest/gtest.h>

#include <random>

#include "device/read_all.h"
#include "fake_keyboard.h"
#include "support/fake_clock.h"
#include "test_support.h"

namespace tessaron::device {
namespace {

using testing::FakeKeyboard;
using testing::firstTooSoon;
using testing::summary;

DeviceImage randomImage(unsigned seed) {
    std::mt19937 rng(seed);
    DeviceImage img{};
    for (auto& b : img) b = static_cast<std::uint8_t>(rng());
    img[image::kSpeed] = 4;  // a host-form speed 0..9
    return img;
}

// The fields a full read fetches; everything else of the image is carried along untouched.
std::vector<std::pair<std::size_t, std::size_t>> readFields() {
    return {{image::kReportRate, 1},
            {image::kKeyMap, image::kKeyMapSize},
            {image::kMacroSlots, image::kMacroSlotSize * image::kMacroSlotCount},
            {image::kResponseTime, 1},
            {image::kLighting, image::kLightingSize},
            {image::kLightingTable, 21},
            {image::kGameMode, 1},
            {image::kEnableBitmap, image::kEnableBitmapSize},
            {image::kLightMaps, image::kLightMapSize * image::kLightMapCount}};
}

class ReadAllTest : public ::testing::Test {
protected:
    FakeClock clock;
    FakeKeyboard kb{clock};
    CommandPort port{kb, clock};
};

TEST_F(ReadAllTest, FetchesEveryFieldAndNothingElse) {
    kb.settings = randomImage(1);
    const DeviceImage before = randomImage(2);
    DeviceImage img = before;
    ASSERT_TRUE(readAll(port, img));
    DeviceImage expected = before;
    for (auto [offset, size] : readFields()) {
        std::copy_n(kb.settings.begin() + static_cast<std::ptrdiff_t>(offset), size,
                    expected.begin() + static_cast<std::ptrdiff_t>(offset));
    }
    expected[image::kWinLock] = (kb.settings[image::kEnableBitmap] & kWinLockBit) ? 0 : 1;
    EXPECT_EQ(img, expected);
}

TEST_F(ReadAllTest, OrderAndWaits) {
    DeviceImage img{};
    ASSERT_TRUE(readAll(port, img));
    std::vector<std::string> expected = {"S09", "S88", "f"};
    for (int i = 0; i < 7; ++i) expected.insert(expected.end(), {"S94", "f"});
    expected.insert(expected.end(), {"S89", "f", "S81", "f", "S84", "f", "S8D", "f"});
    for (int i = 0; i < 8; ++i) expected.push_back("r");
    expected.insert(expected.end(), {"S8E", "f", "r"});
    for (int n = 0; n < 32; ++n) expected.insert(expected.end(), {"S91", "f", "r", "r", "r"});
    for (int m = 0; m < 5; ++m) {
        expected.insert(expected.end(), {"S92", "f"});
        for (int i = 0; i < 8; ++i) expected.push_back("r");
    }
    EXPECT_EQ(summary(kb.log), expected);
    EXPECT_EQ(firstTooSoon(kb.log), -1);
    // The opening frame is followed by its own 20 ms and 10 more.
    EXPECT_GE(kb.log[1].at - kb.log[0].at, std::chrono::milliseconds(30));
    EXPECT_EQ(clock.totalSlept(), std::chrono::milliseconds(349));
    // Slots and maps go out in index order.
    const auto frames = kb.sentFrames();
    std::size_t slot = 0, map = 0;
    for (const auto& f : frames) {
        if (f[1] == 0x91) {
            EXPECT_EQ(f[3], slot++);
        }
        if (f[1] == 0x92) {
            EXPECT_EQ(f[3], map++);
        }
    }
    EXPECT_EQ(slot, 32u);
    EXPECT_EQ(map, 5u);
}

TEST_F(ReadAllTest, StartupReadAddsTheFirmwareAndYieldsAfterEachSlot) {
    kb.settings = randomImage(3);
    const DeviceImage base{};
    auto read = startupRead(port, base);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->firmware.payload, kb.firmware);
    const auto s = summary(kb.log);
    ASSERT_GE(s.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(s.begin(), s.begin() + 4),
              (std::vector<std::string>{"S09", "S80", "f", "S88"}));
    // No extra 10 ms after the opening frame: 20 after it, 10 + 10 around the firmware query.
    EXPECT_EQ(clock.totalSlept(), std::chrono::milliseconds(349 - 10 + 20));
    const auto sleeps = clock.sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), std::chrono::milliseconds(0)), 32);
    EXPECT_EQ(firstTooSoon(kb.log), -1);
    EXPECT_TRUE(std::equal(read->image.begin() + image::kKeyMap,
                           read->image.begin() + image::kKeyMap + image::kKeyMapSize,
                           kb.settings.begin() + image::kKeyMap));
}

TEST_F(ReadAllTest, FailedReadStopsAndKeepsTheFieldAsItWas) {
    kb.settings = randomImage(4);
    DeviceImage img = randomImage(5);
    const DeviceImage before = img;
    // Find the first page read of macro slot 2 and make it fail.
    {
        DeviceImage scratch{};
        FakeClock c2;
        FakeKeyboard probe(c2);
        CommandPort p2(probe, c2);
        ASSERT_TRUE(readAll(p2, scratch));
        int slots = 0;
        for (std::size_t i = 0; i < probe.log.size(); ++i) {
            if (probe.log[i].kind == testing::OpKind::Send && probe.log[i].frame[1] == 0x91 &&
                slots++ == 2) {
                kb.failAt = i + 3;  // send, fetch, page, page: the second page
                break;
            }
        }
    }
    ASSERT_TRUE(kb.failAt);
    EXPECT_FALSE(readAll(port, img));
    // Slots 0 and 1 arrived; slot 2 and everything after it kept their old bytes.
    EXPECT_TRUE(std::equal(img.begin() + image::macroSlot(0), img.begin() + image::macroSlot(2),
                           kb.settings.begin() + image::macroSlot(0)));
    EXPECT_TRUE(std::equal(img.begin() + image::macroSlot(2), img.begin() + image::macroSlot(32),
                           before.begin() + image::macroSlot(2)));
    EXPECT_TRUE(
        std::equal(img.begin() + image::kLightMaps, img.end(), before.begin() + image::kLightMaps));
    EXPECT_EQ(img[image::kResponseTime], kb.settings[image::kResponseTime]);
    EXPECT_EQ(kb.log.size(), *kb.failAt + 1);
}

}  // namespace
}  // namespace tessaron::device
