#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "macro_test_support.h"
#include "macros/macro_file.h"
#include "macros/macro_manager.h"
#include "macros/slot_packing.h"
#include "support/fake_clock.h"
#include "support/scratch_folder.h"

namespace tessaron::macros {
namespace {

namespace fs = std::filesystem;
using testing::FakeHook;
using testing::recordOf;
using testing::streamOf;

class MacroFileTest : public ::testing::Test {
protected:
    void writeRaw(const std::vector<std::uint8_t>& bytes) {
        std::ofstream(path(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    fs::path path() const { return dir_ / kMacroFileName; }
    tessaron::testing::ScratchFolder scratch_{"tessaron-macros"};
    fs::path dir_ = scratch_.path();
};

TEST(MacroRecord, FieldsSitAtTheirOffsets) {
    MacroRecord r;
    r.setName(u"Ab");
    r.setLoopCount(300);
    r.setDelayFlag(true);
    r.setDeviceStream(streamOf({0x01, 0x04}));
    r.setHostStream(streamOf({0x01, 0x41}));
    const auto b = r.bytes();
    EXPECT_EQ(b[0], 'A');
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[2], 'b');
    EXPECT_EQ(b[4], 0);
    EXPECT_EQ(b[510], 0x2C);
    EXPECT_EQ(b[511], 0x01);
    EXPECT_EQ(b[512], 1);
    EXPECT_EQ(b[513], 0x01);
    EXPECT_EQ(b[514], 0x04);
    EXPECT_EQ(b[703], 0x01);
    EXPECT_EQ(b[704], 0x41);
    EXPECT_EQ(b[893], 0);
    // A name field without a terminator stops at 254 units.
    std::fill(r.bytes().begin(), r.bytes().begin() + 510, std::uint8_t{'x'});
    EXPECT_EQ(r.name().size(), 254u);
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16("Macro 宏 \xF0\x9F\x8E\xB9")), "Macro 宏 \xF0\x9F\x8E\xB9");
    EXPECT_EQ(utf8ToUtf16("\xFF"), u"\uFFFD");
}

TEST_F(MacroFileTest, MissingFileIsCreatedWithZeros) {
    auto loaded = loadMacroFile(path());
    ASSERT_TRUE(loaded.ok());
    EXPECT_FALSE(loaded->createError);
    EXPECT_EQ(loaded->table.countInUse(), 0u);
    EXPECT_EQ(fs::file_size(path()), kTableSize);
    auto again = loadMacroFile(path());
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->table, MacroTable{});
}

TEST_F(MacroFileTest, RoundTripAndFilesOfAnotherSize) {
    MacroTable t;
    t[0].setName(u"One");
    t[0].setHostStream(streamOf({0x01, 0x41, 0x81, 0x41}));
    t[1].setName(u"Two");
    t[189].setLoopCount(7);
    ASSERT_TRUE(writeMacroFile(path(), t).ok());
    auto loaded = loadMacroFile(path());
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(loaded->table, t);
    EXPECT_EQ(loaded->table.countInUse(), 2u);

    // Torn or over-long: not shown as macros; kept aside and made afresh, empty.
    for (const std::size_t size : {record::kSize + 4, kTableSize + 100}) {
        auto bytes = t.toBytes();
        bytes.resize(size, 0xEE);
        writeRaw(bytes);
        loaded = loadMacroFile(path());
        ASSERT_TRUE(loaded.ok());
        EXPECT_EQ(loaded->table.countInUse(), 0u);
        ASSERT_TRUE(loaded->notice);
        EXPECT_NE(loaded->notice->english.find("MacroDefine.bin.broken-"), std::string::npos);
        EXPECT_EQ(fs::file_size(path()), kTableSize);
    }
}

TEST_F(MacroFileTest, UncreatableFileLeavesAnEmptyTableInUse) {
    auto loaded = loadMacroFile(dir_ / "missing-folder" / kMacroFileName);
    ASSERT_TRUE(loaded.ok());
    EXPECT_TRUE(loaded->createError);
    EXPECT_EQ(loaded->table.countInUse(), 0u);
}

std::vector<std::uint8_t> slotBytes(const device::DeviceImage& image, std::size_t i) {
    const auto begin = image.begin() + static_cast<std::ptrdiff_t>(device::image::macroSlot(i));
    return {begin, begin + static_cast<std::ptrdiff_t>(device::image::kMacroSlotSize)};
}

TEST(SlotPacking, SlotsHoldBigEndianLoopCountsAndDeviceStreams) {
    MacroTable t;
    t[0] = recordOf("A", streamOf({0x01, 'A', 0x81, 'A'}), 1);
    t[1] = recordOf("B", streamOf({0x01, 'B', 0x7F, 'A', 0x01, 0x2C}), 300);
    device::DeviceImage image{};
    image.fill(0x55);
    EXPECT_EQ(packMacroSlots(t, image), 2u);

    std::vector<std::uint8_t> expected(192, 0);
    expected[0] = 0x00;
    expected[1] = 0x01;
    expected[2] = 0x01;
    expected[3] = 0x04;
    expected[4] = 0x81;
    expected[5] = 0x04;
    EXPECT_EQ(slotBytes(image, 0), expected);
    const auto second = slotBytes(image, 1);
    EXPECT_EQ(second[0], 0x01);
    EXPECT_EQ(second[1], 0x2C);
    EXPECT_EQ((std::vector<std::uint8_t>(second.begin() + 4, second.begin() + 8)),
              (std::vector<std::uint8_t>{0x7F, 0x04, 0x01, 0x2C}));
    EXPECT_EQ(slotBytes(image, 2), std::vector<std::uint8_t>(192, 0x55));
    EXPECT_EQ(image[device::image::kMacroSlots - 1], 0x55);
    EXPECT_EQ(image[device::image::kResponseTime], 0x55);

    // Nothing in use: nothing changes.
    const device::DeviceImage before = image;
    EXPECT_EQ(packMacroSlots(MacroTable{}, image), 0u);
    EXPECT_EQ(image, before);
}

TEST(SlotPacking, AFullStreamFillsItsSlotAndOnly32SlotsArePacked) {
    Stream full{};
    for (std::size_t i = 0; i < full.size(); i += 2) {
        full[i] = 0x01;
        full[i + 1] = 'Z';
    }
    MacroTable t;
    for (std::size_t i = 0; i < 40; ++i) t[i] = recordOf("M", full, 2);
    device::DeviceImage image{};
    EXPECT_EQ(packMacroSlots(t, image), 32u);
    EXPECT_EQ(image[device::image::macroSlot(31) + 191], 0x1D);
    EXPECT_EQ(image[device::image::kResponseTime], 0);
}

TEST(SlotPacking, DeletingAMacroRepacksTheRestAndLeavesTheLastSlotAlone) {
    MacroTable t;
    const char* names[] = {"M1", "M2", "M3", "M4"};
    for (std::size_t i = 0; i < 4; ++i) {
        t[i] = recordOf(names[i], streamOf({0x01, static_cast<std::uint8_t>('A' + i)}),
                        static_cast<std::uint16_t>(i + 1));
    }
    device::DeviceImage image{};
    packMacroSlots(t, image);
    const auto fourth = slotBytes(image, 3);

    FakeClock clock;
    FakeHook hook;
    MacroManager manager(t, hook, clock);
    manager.select(1);
    ASSERT_TRUE(manager.deleteMacro().ok());
    EXPECT_EQ(packMacroSlots(manager.accept(), image), 3u);
    EXPECT_EQ(slotBytes(image, 1)[1], 3);     // M3 moved into slot 1
    EXPECT_EQ(slotBytes(image, 1)[3], 0x06);  // key C
    EXPECT_EQ(slotBytes(image, 2)[3], 0x07);  // key D
    EXPECT_EQ(slotBytes(image, 3), fourth);
}

}  // namespace
}  // namespace tessaron::macros
