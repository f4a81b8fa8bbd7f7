// The firmware model, driven through its command channel the way the host drives the keyboard.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "device/device_image.h"
#include "device/virtual/factory_settings.h"
#include "device/virtual/pacing.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "support/fake_clock.h"
#include "support/key_tables_file.h"

namespace tessaron::device {
namespace {

using std::chrono::milliseconds;

FrameBytes frame(std::uint8_t command, std::array<std::uint8_t, kFrameArgs> args = {}) {
    return FeatureFrame{command, args}.bytes();
}

class VirtualKeyboardTest : public ::testing::Test {
protected:
    VirtualKeyboardTest() : kb(std::make_shared<VirtualKeyboard>(clock)), transport(kb) {
        cmd = std::move(transport.openCommand().value());
        events = std::move(transport.openEvent().value());
    }

    void send(std::uint8_t command, std::array<std::uint8_t, kFrameArgs> args = {}) {
        ASSERT_TRUE(cmd->sendFeature(frame(command, args)).ok());
    }
    FrameBytes query(std::uint8_t command, std::array<std::uint8_t, kFrameArgs> args = {}) {
        EXPECT_TRUE(cmd->sendFeature(frame(command, args)).ok());
        auto reply = cmd->getFeature();
        EXPECT_TRUE(reply.ok());
        return reply.ok() ? *reply : FrameBytes{};
    }
    std::vector<std::uint8_t> readBlock(std::uint8_t command, std::uint8_t index,
                                        std::size_t pages) {
        query(command, {0, index});
        std::vector<std::uint8_t> out;
        for (std::size_t k = 0; k < pages; ++k) {
            auto page = cmd->readPage(milliseconds(100));
            EXPECT_TRUE(page.ok()) << "page " << k;
            if (page.ok()) out.insert(out.end(), page->begin(), page->end());
        }
        return out;
    }
    void writeBlock(std::uint8_t command, std::uint8_t index, std::uint8_t count,
                    std::span<const std::uint8_t> bytes) {
        send(command, {0, index, count});
        for (std::size_t at = 0; at < bytes.size(); at += kPageSize) {
            Page page{};
            std::copy_n(bytes.begin() + at, std::min(kPageSize, bytes.size() - at), page.begin());
            ASSERT_TRUE(cmd->writePage(page).ok());
        }
    }
    int acks() {
        int n = 0;
        for (;;) {
            auto e = events->readEvent(milliseconds(0));
            if (!e.ok() || !e->has_value()) return n;
            if ((*e)->isAck()) ++n;
        }
    }

    FakeClock clock;
    std::shared_ptr<VirtualKeyboard> kb;
    VirtualTransport transport;
    std::unique_ptr<CommandChannel> cmd;
    std::unique_ptr<EventChannel> events;
};

std::vector<std::uint8_t> pattern(std::size_t n, std::uint8_t seed) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint8_t>(seed + i * 7);
    return v;
}

std::vector<std::uint8_t> slice(const DeviceImage& s, std::size_t at, std::size_t n) {
    return {s.begin() + at, s.begin() + at + n};
}

TEST_F(VirtualKeyboardTest, FactoryKeyMapIsPlacedRowMajorAndEveryKeyIsEnabled) {
    const DeviceImage s = kb->settings();
    auto cell = [&](std::size_t c, std::size_t r) { return slice(s, image::keyCell(c, r), 4); };
    using Cell = std::vector<std::uint8_t>;
    EXPECT_EQ(cell(0, 5), (Cell{0, 0, 0x29, 0}));      // Esc, top left
    EXPECT_EQ(cell(10, 0), (Cell{2, 0, 0, 0}));        // Fn
    EXPECT_EQ(cell(13, 3), (Cell{0, 0, 0x31, 0}));     // backslash keeps 0x31
    EXPECT_EQ(cell(18, 5), (Cell{3, 0, 0x83, 0x01}));  // media key, a consumer cell
    EXPECT_EQ(cell(13, 1), (Cell{0, 0, 0x28, 0}));     // the absent S4 position
    EXPECT_EQ(cell(1, 5), (Cell{0, 0, 0x32, 0}));      // the three cells without a key
    EXPECT_EQ(cell(3, 0), (Cell{0, 0, 0x91, 0}));
    EXPECT_EQ(cell(8, 0), (Cell{0, 0, 0x90, 0}));
    EXPECT_EQ(cell(12, 0), (Cell{0, 0, 0, 0}));

    const auto& columnMajor = factoryKeyMapColumnMajor();
    int nonZero = 0;
    for (std::size_t c = 0; c < kFactoryColumns; ++c) {
        for (std::size_t r = 0; r < kFactoryRows; ++r) {
            const auto& f = columnMajor[c * kFactoryRows + r];
            EXPECT_EQ(cell(c, r), Cell(f.begin(), f.end())) << c << "," << r;
            nonZero += std::any_of(f.begin(), f.end(), [](auto b) { return b != 0; });
        }
    }
    EXPECT_EQ(nonZero, 112);
    EXPECT_EQ(slice(s, image::kKeyMap + 504, 8), Cell(8, 0));  // spare tail of the block
    EXPECT_EQ(slice(s, image::kEnableBitmap, 18), Cell(18, 0xFF));

    // And the host reads exactly that back in eight pages.
    EXPECT_EQ(readBlock(0x8D, 0, 8), slice(s, image::kKeyMap, image::kKeyMapSize));
}

// The firmware's own factory table against the cells written down from the documented factory
// key map, as the host reads them over the wire: row r, column c at byte r * 84 + c * 4.
TEST_F(VirtualKeyboardTest, FactoryKeyMapMatchesTheDocumentedCells) {
    const auto tables = tessaron::testing::readKeyTablesFile(TESSARON_KEY_TABLES);
    for (const auto& p : tables.problems) ADD_FAILURE() << p;
    ASSERT_EQ(tables.factory.size(), 126u);
    const std::vector<std::uint8_t> block = readBlock(0x8D, 0, 8);
    ASSERT_EQ(block.size(), 512u);
    for (const auto& row : tables.factory) {
        SCOPED_TRACE(row.where());
        const auto c = static_cast<std::size_t>(row.number(0));
        const auto r = static_cast<std::size_t>(row.number(1));
        using Cell = std::vector<std::uint8_t>;
        const auto expected = row.cell(2);
        const auto& mine = factoryKeyMapColumnMajor()[c * 6 + r];
        const auto at = static_cast<std::ptrdiff_t>(r * 84 + c * 4);
        EXPECT_EQ(Cell(mine.begin(), mine.end()), Cell(expected.begin(), expected.end()));
        EXPECT_EQ(Cell(block.begin() + at, block.begin() + at + 4),
                  Cell(expected.begin(), expected.end()));
    }
}

TEST_F(VirtualKeyboardTest, QueriesReturnWhatWasWritten) {
    send(0x01, {2});
    send(0x04, {7});
    send(0x08, {2, 13, 1, 33, 4, 2});  // Radar, fastest, brightness 33, option 4, right
    send(0x14, {0, 5, 0x11, 0x22, 0x33});
    send(0x09, {0});
    EXPECT_EQ(acks(), 5);
    kb->setFirmwareVersion(2, 7);

    EXPECT_EQ(query(0x81)[2], 2);
    EXPECT_EQ(query(0x84)[2], 7);
    const FrameBytes light = query(0x88);
    EXPECT_EQ((std::vector<std::uint8_t>{light.begin() + 3, light.begin() + 8}),
              (std::vector<std::uint8_t>{13, 1, 33, 4, 2}));
    EXPECT_EQ(kb->settings()[image::kSpeed], 9);  // kept in the host's 0..9 form
    const FrameBytes entry = query(0x94, {0, 5});
    EXPECT_EQ(entry[4], 0x11);
    EXPECT_EQ(entry[5], 0x22);
    EXPECT_EQ(entry[6], 0x33);
    EXPECT_EQ(query(0x89)[2], 0);
    const FrameBytes version = query(0x80);
    EXPECT_EQ(version[2], 2);
    EXPECT_EQ(version[3], 7);
    EXPECT_EQ(frameChecksum(version), version[8]);
    EXPECT_EQ(acks(), 0);  // queries are never acknowledged
}

TEST_F(VirtualKeyboardTest, BlockWritesLandAtTheirOffsetsAndAreAcknowledgedAfterTheLastPage) {
    const DeviceImage before = kb->settings();
    const auto keyMap = pattern(image::kKeyMapSize, 1);
    send(0x0D, {0, 0, 8});
    for (std::size_t k = 0; k < 7; ++k) {
        Page page{};
        std::copy_n(keyMap.begin() + k * kPageSize, kPageSize, page.begin());
        ASSERT_TRUE(cmd->writePage(page).ok());
    }
    EXPECT_EQ(acks(), 0);
    EXPECT_EQ(kb->settings(), before);  // nothing lands before the block is complete
    Page last{};
    std::copy_n(keyMap.begin() + 7 * kPageSize, kPageSize, last.begin());
    ASSERT_TRUE(cmd->writePage(last).ok());
    EXPECT_EQ(acks(), 1);

    const auto slot = pattern(image::kMacroSlotSize, 40);
    writeBlock(0x11, 5, 3, slot);
    const auto map = pattern(image::kLightMapSize, 90);
    writeBlock(0x12, 3, 8, map);
    EXPECT_EQ(acks(), 2);

    // The enable bitmap page carries 18 bytes; whatever follows them is not the bitmap's.
    auto bitmapPage = pattern(kPageSize, 200);
    writeBlock(0x0E, 0, 0x12, bitmapPage);
    EXPECT_EQ(acks(), 1);

    const DeviceImage s = kb->settings();
    EXPECT_EQ(slice(s, image::kKeyMap, image::kKeyMapSize), keyMap);
    EXPECT_EQ(slice(s, image::macroSlot(5), image::kMacroSlotSize), slot);
    EXPECT_EQ(slice(s, image::macroSlot(4), image::kMacroSlotSize),
              slice(before, image::macroSlot(4), image::kMacroSlotSize));
    EXPECT_EQ(slice(s, image::macroSlot(6), image::kMacroSlotSize),
              slice(before, image::macroSlot(6), image::kMacroSlotSize));
    EXPECT_EQ(slice(s, image::lightMap(3), image::kLightMapSize), map);
    EXPECT_EQ(slice(s, image::lightMap(2), image::kLightMapSize),
              slice(before, image::lightMap(2), image::kLightMapSize));
    EXPECT_EQ(slice(s, image::kEnableBitmap, 18),
              std::vector<std::uint8_t>(bitmapPage.begin(), bitmapPage.begin() + 18));
    EXPECT_EQ(s[image::kWinLock], 0);

    // Read back through the queries: same bytes, bitmap page zero-padded.
    EXPECT_EQ(readBlock(0x91, 5, 3), slot);
    EXPECT_EQ(readBlock(0x92, 3, 8), map);
    auto bitmapBack = readBlock(0x8E, 0, 1);
    ASSERT_EQ(bitmapBack.size(), kPageSize);
    EXPECT_TRUE(
        std::all_of(bitmapBack.begin() + 18, bitmapBack.end(), [](auto b) { return b == 0; }));
}

TEST_F(VirtualKeyboardTest, FactoryResetRestoresFactoryMapAndEnableBits) {
    writeBlock(0x0D, 0, 8, std::vector<std::uint8_t>(image::kKeyMapSize, 0));
    writeBlock(0x0E, 0, 0x12, std::vector<std::uint8_t>(18, 0));
    send(0x01, {0});
    send(0x13, {0});  // wrong argument: refused
    EXPECT_NE(kb->settings(), factorySettings());
    acks();

    send(0x13, {0xFF});
    EXPECT_EQ(kb->settings(), factorySettings());
    EXPECT_EQ(acks(), 1);
}

TEST_F(VirtualKeyboardTest, FramesWithAWrongChecksumAreRecordedButNotActedOn) {
    FrameBytes bad = frame(0x01, {0});
    bad[8] = static_cast<std::uint8_t>(bad[8] + 1);
    ASSERT_TRUE(cmd->sendFeature(bad).ok());
    FrameBytes badRead = frame(0x8D);
    badRead[8] ^= 0x01;
    ASSERT_TRUE(cmd->sendFeature(badRead).ok());

    EXPECT_EQ(kb->settings()[image::kReportRate], factory::kReportRate);
    EXPECT_EQ(acks(), 0);
    EXPECT_EQ(kb->queuedPages(), 0u);
    const auto frames = kb->traffic(TrafficKind::Frame);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].outcome, Outcome::BadChecksum);
    EXPECT_EQ(frames[1].outcome, Outcome::BadChecksum);
}

TEST_F(VirtualKeyboardTest, TrafficRecordKeepsOnlyTheNewestWithinItsLimit) {
    kb->setTrafficLimit(8);
    for (std::uint8_t rate = 0; rate < 4; ++rate) {
        for (int i = 0; i < 5; ++i) send(0x01, {rate});
    }
    const auto frames = kb->traffic(TrafficKind::Frame);
    ASSERT_LE(kb->traffic().size(), 8u);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().bytes[2], 3);  // the last frame sent is never the one dropped

    // Recording nothing changes nothing the host sees.
    kb->setTrafficLimit(0);
    EXPECT_TRUE(kb->traffic().empty());
    send(0x01, {1});
    EXPECT_TRUE(kb->traffic().empty());
    EXPECT_EQ(kb->settings()[image::kReportRate], 1);
    EXPECT_EQ(acks(), 21);
}

TEST_F(VirtualKeyboardTest, PageReadWithNothingQueuedTimesOutAndANewFrameDropsUnreadPages) {
    clock.clearSleeps();
    EXPECT_FALSE(cmd->readPage(milliseconds(250)).ok());
    EXPECT_EQ(clock.sleeps(), std::vector<Clock::Ms>{milliseconds(250)});

    query(0x8D);
    EXPECT_EQ(kb->queuedPages(), 8u);
    query(0x81);
    EXPECT_EQ(kb->queuedPages(), 0u);
    EXPECT_FALSE(cmd->readPage(milliseconds(1)).ok());
}

TEST_F(VirtualKeyboardTest, OpeningFrameOfAReadDoesNotSwitchGameModeOn) {
    send(0x09, {0});
    send(0x09, {1});  // opening frame of a full read...
    query(0x88);      // ...followed by the read
    EXPECT_EQ(query(0x89)[2], 0);

    send(0x13, {0xFF});  // factory reset: reset, two opening frames, then a full read
    send(0x09, {1});
    send(0x09, {1});
    send(0x09, {1});
    query(0x80);
    EXPECT_EQ(kb->settings()[image::kGameMode], factory::kGameMode);

    send(0x09, {1});  // set game mode on, as a save sends it: the next step follows
    EXPECT_EQ(acks(), 7);
    send(0x08, {2, 1, 5, 40, 1, 1});
    EXPECT_EQ(kb->settings()[image::kGameMode], 1);
    EXPECT_EQ(query(0x89)[2], 1);
}

TEST_F(VirtualKeyboardTest, OutOfRangeValuesKeepTheOldValueAndBadIndexesAreRefused) {
    const DeviceImage before = kb->settings();
    send(0x01, {4});
    send(0x04, {0});
    send(0x04, {11});
    send(0x09, {2});
    EXPECT_EQ(acks(), 4);  // processed, so acknowledged
    // One bad field (direction 0) does not spoil the others.
    send(0x08, {2, 20, 3, 51, 9, 0});
    DeviceImage s = kb->settings();
    EXPECT_EQ(s[image::kReportRate], before[image::kReportRate]);
    EXPECT_EQ(s[image::kResponseTime], before[image::kResponseTime]);
    EXPECT_EQ(s[image::kGameMode], before[image::kGameMode]);
    EXPECT_EQ(s[image::kEffect], before[image::kEffect]);  // 20 is no effect
    EXPECT_EQ(s[image::kSpeed], 7);
    EXPECT_EQ(s[image::kBrightness], before[image::kBrightness]);  // 51 is too bright
    EXPECT_EQ(s[image::kOption], before[image::kOption]);
    EXPECT_EQ(s[image::kDirection], before[image::kDirection]);
    EXPECT_EQ(kb->traffic(TrafficKind::Frame).back().outcome, Outcome::Ignored);
    acks();

    writeBlock(0x11, 32, 3, pattern(image::kMacroSlotSize, 3));  // no slot 32
    writeBlock(0x12, 5, 8, pattern(image::kLightMapSize, 3));    // no map 5
    writeBlock(0x0D, 0, 4, pattern(image::kKeyMapSize, 3));      // wrong page count
    send(0x14, {0, 7, 1, 2, 3});                                 // no entry 7
    send(0x42);                                                  // no such command
    query(0x91, {0, 32});
    EXPECT_EQ(kb->queuedPages(), 0u);
    EXPECT_EQ(acks(), 0);
    s = kb->settings();
    s[image::kSpeed] = before[image::kSpeed];
    EXPECT_EQ(s, before);
    for (const auto& t : kb->traffic(TrafficKind::PageIn))
        EXPECT_EQ(t.outcome, Outcome::Unexpected);
}

TEST_F(VirtualKeyboardTest, DarkLightingFormKeepsTheBrightnessForTheFullForm) {
    send(0x08, {2, 1, 5, 30, 1, 1});
    send(0x08, {1, 2, 4, 0, 1, 1});
    EXPECT_TRUE(kb->lightsDimmed());
    EXPECT_EQ(query(0x88)[5], 30);
    EXPECT_EQ(kb->settings()[image::kEffect], 2);
    send(0x08, {2, 2, 4, 30, 1, 1});
    EXPECT_FALSE(kb->lightsDimmed());
}

TEST_F(VirtualKeyboardTest, UnfinishedBlockWriteIsAbandonedByTheNextFrame) {
    const DeviceImage before = kb->settings();
    send(0x11, {0, 2, 3});
    ASSERT_TRUE(cmd->writePage(Page{1, 2, 3}).ok());
    query(0x81);
    ASSERT_TRUE(cmd->writePage(Page{4}).ok());
    ASSERT_TRUE(cmd->writePage(Page{5}).ok());
    EXPECT_EQ(kb->settings(), before);
    EXPECT_EQ(acks(), 0);
}

TEST_F(VirtualKeyboardTest, HostActionKeysReportTheirCodeWhenPressed) {
    DeviceImage s = kb->settings();
    const std::size_t at = image::keyCell(5, 2);  // G
    s[at] = 0x0A;
    s[at + 2] = 0x47;
    kb->setSettings(s);
    EXPECT_EQ(kb->pressKeyAt(5, 2), VirtualKeyboard::KeyPress::Reported);
    EXPECT_EQ(kb->pressKeyAt(6, 2), VirtualKeyboard::KeyPress::NoHostAction);  // an ordinary key types, it does not report
    s[image::kEnableBitmap + (2 * 24 + 5) / 8] &=
        static_cast<std::uint8_t>(~(1u << ((2 * 24 + 5) % 8)));
    kb->setSettings(s);
    EXPECT_EQ(kb->pressKeyAt(5, 2), VirtualKeyboard::KeyPress::NoHostAction);  // disabled
    auto e = events->readEvent(milliseconds(0));
    ASSERT_TRUE(e.ok() && e->has_value());
    EXPECT_FALSE((*e)->isAck());
    EXPECT_EQ((*e)->value, 0x47);
    e = events->readEvent(milliseconds(0));
    ASSERT_TRUE(e.ok());
    EXPECT_FALSE(e->has_value());
}

TEST_F(VirtualKeyboardTest, PacingCheckFindsWaitsCutShort) {
    send(0x0D, {0, 0, 8});
    clock.sleep(milliseconds(50));
    for (int k = 0; k < 8; ++k) ASSERT_TRUE(cmd->writePage(Page{}).ok());
    clock.sleep(milliseconds(60));
    query(0x81);  // fetched at once: 10 ms wanted
    clock.sleep(milliseconds(10));
    send(0x12, {0, 1, 8});
    clock.sleep(milliseconds(5));
    for (int k = 0; k < 8; ++k) {
        ASSERT_TRUE(cmd->writePage(Page{}).ok());
        if (k != 3) clock.sleep(milliseconds(5));  // one wait forgotten
    }
    const auto traffic = kb->traffic();
    const auto violations = checkPacing(traffic);
    ASSERT_EQ(violations.size(), 2u);
    EXPECT_EQ(violations[0].command, 0x81);
    EXPECT_EQ(violations[0].required, milliseconds(10));
    EXPECT_EQ(traffic[violations[0].index].kind, TrafficKind::Reply);
    EXPECT_EQ(violations[1].command, 0x12);
    EXPECT_EQ(violations[1].required, milliseconds(5));
    EXPECT_EQ(violations[1].actual.count(), 0);
}

}  // namespace
}  // namespace tessaron::device
