#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "keys/assignment.h"
#include "keys/key_names.h"

namespace tessaron::keys {
namespace {

constexpr KeyIndex kCaps = 62;
constexpr KeyIndex kBackslash = 54;
constexpr KeyIndex kA = 63;

// A live configuration as a freshly reset keyboard leaves it.
class AssignmentTest : public ::testing::Test {
protected:
    AssignmentTest() {
        writeFactoryKeyMap(image);
        enableAllKeys(image);
        resetKeyRecords(records);
    }

    LiveKeys live() { return {image, records, marks}; }
    KeyCell cellOf(KeyIndex k) const { return readCell(image, matrixCellOffset(k)); }

    Status apply(KeyIndex k, std::uint8_t kind, std::initializer_list<std::uint8_t> keys = {}) {
        pending.selectedKey = k;
        pending.kind = kind;
        pending.capturedKeys.fill(0);
        std::size_t i = 0;
        for (auto vk : keys) pending.capturedKeys[i++] = vk;
        pending.keyCount = static_cast<std::uint8_t>(keys.size());
        return applyAssignment(pending, live(), context);
    }

    device::DeviceImage image{};
    KeyRecordTable records{};
    ModifiedMarks marks{};
    PendingAssignment pending;
    ApplyContext context;
};

TEST_F(AssignmentTest, SingleKeyToAnotherKeyAndBackToItself) {
    ASSERT_TRUE(apply(kCaps, kind::kSingle, {'A'}));
    EXPECT_EQ(cellOf(kCaps), (KeyCell{0, 0, 0x04, 0}));
    EXPECT_EQ(records[kCaps].kind, kind::kSingle);
    EXPECT_EQ(records[kCaps].keyCount, 1);
    EXPECT_EQ(records[kCaps].bytes[0], 'A');
    EXPECT_EQ(marks[kCaps], 1);

    ASSERT_TRUE(apply(kCaps, kind::kSingle, {20}));
    EXPECT_EQ(cellOf(kCaps), factoryCell(kCaps));
    EXPECT_EQ(records[kCaps].keyCount, 0);
    EXPECT_EQ(records[kCaps].bytes[0], 0);
    EXPECT_EQ(marks[kCaps], 0);
    recomputeModifiedMarks(live());
    EXPECT_EQ(marks[kCaps], 0);
}

TEST_F(AssignmentTest, BackslashToItselfWritesItsUsageAndRecomputeMarksIt) {
    ASSERT_TRUE(apply(kBackslash, kind::kSingle, {220}));
    EXPECT_EQ(cellOf(kBackslash), (KeyCell{0, 0, 0x32, 0}));  // factory cell holds 0x31
    EXPECT_EQ(marks[kBackslash], 0);
    recomputeModifiedMarks(live());
    EXPECT_EQ(marks[kBackslash], 1);
}

TEST_F(AssignmentTest, MediaKeysBecomeConsumerCells) {
    ASSERT_TRUE(apply(kA, kind::kSingle, {175}));
    EXPECT_EQ(cellOf(kA), (KeyCell{3, 0, 0xE9, 0}));
    ASSERT_TRUE(apply(kA, kind::kSingle, {174}));
    EXPECT_EQ(cellOf(kA), (KeyCell{3, 0, 0xEA, 0}));
    ASSERT_TRUE(apply(kA, kind::kSingle, {179}));
    EXPECT_EQ(cellOf(kA), (KeyCell{3, 0, 0xCD, 0}));
    ASSERT_TRUE(apply(kA, kind::kSingle, {181}));
    EXPECT_EQ(cellOf(kA), (KeyCell{3, 0, 0x83, 1}));
    // A key without a name gives usage 0.
    ASSERT_TRUE(apply(kA, kind::kSingle, {124}));
    EXPECT_EQ(cellOf(kA), (KeyCell{0, 0, 0, 0}));
}

TEST_F(AssignmentTest, SingleWithOtherCountLeavesTheCell) {
    ASSERT_TRUE(apply(kA, kind::kSingle, {'B', 'C'}));
    EXPECT_EQ(cellOf(kA), factoryCell(kA));
    EXPECT_EQ(records[kA].keyCount, 2);
}

TEST_F(AssignmentTest, Combinations) {
    ASSERT_TRUE(apply(kA, kind::kCombination, {162, 'C'}));
    EXPECT_EQ(cellOf(kA), (KeyCell{0, 0xE0, 0x06, 0}));
    EXPECT_EQ(records[kA].kind, kind::kCombination);
    EXPECT_EQ(records[kA].keyCount, 2);
    EXPECT_EQ(marks[kA], 1);

    ASSERT_TRUE(apply(kA, kind::kCombination, {162, 164, 46}));
    EXPECT_EQ(cellOf(kA), (KeyCell{0, 0xE0, 0xE2, 0x4C}));

    // One key: no mark during Apply, but recompute sees byte 2 differ from the factory cell.
    marks[kCaps] = 0;
    ASSERT_TRUE(apply(kCaps, kind::kCombination, {'B'}));
    EXPECT_EQ(cellOf(kCaps), (KeyCell{0, 0x05, 0, 0}));
    EXPECT_EQ(marks[kCaps], 0);
    recomputeModifiedMarks(live());
    EXPECT_EQ(marks[kCaps], 1);
}

TEST_F(AssignmentTest, MacroCellsAndRepacking) {
    int repacked = 0;
    context.repackMacroSlots = [&](device::DeviceImage&) { ++repacked; };
    pending.macroNumber = 3;
    ASSERT_TRUE(apply(kA, kind::kMacro));
    EXPECT_EQ(cellOf(kA), (KeyCell{4, 1, 3, 0}));
    EXPECT_EQ(records[kA].kind, kind::kMacro);
    EXPECT_EQ(records[kA].bytes[0], 4);
    EXPECT_EQ(records[kA].bytes[2], 3);
    EXPECT_EQ(marks[kA], 1);
    EXPECT_EQ(repacked, 1);

    pending.macroNumber = kNoMacro;
    ASSERT_TRUE(apply(kCaps, kind::kMacro));
    EXPECT_EQ(cellOf(kCaps), factoryCell(kCaps));
    EXPECT_EQ(records[kCaps].bytes[2], 0xFF);
    EXPECT_EQ(repacked, 1);

    pending.macroNumber = 32;  // the keyboard has slots 0..31
    const auto before = records;
    EXPECT_FALSE(apply(kA, kind::kMacro));
    EXPECT_TRUE(std::ranges::equal(asBytes(before), asBytes(records)));
}

TEST_F(AssignmentTest, FunctionsMatchedByNameInTheInterfaceLanguage) {
    pending.functionName = "Copy";
    ASSERT_TRUE(apply(kA, kind::kFunction));
    EXPECT_EQ(cellOf(kA), (KeyCell{0, 0xE0, 0x06, 0}));
    EXPECT_EQ(records[kA].bytes[1], 0xE0);

    context.language = Language::Chinese;
    pending.functionName = "静音";
    ASSERT_TRUE(apply(kA, kind::kFunction));
    EXPECT_EQ(cellOf(kA), (KeyCell{3, 0, 0xE2, 0}));

    // An English name in a Chinese interface (or a category) matches nothing: the cell stays,
    // kind 3 is recorded and the key is marked.
    pending.functionName = "Copy";
    marks[kCaps] = 0;
    ASSERT_TRUE(apply(kCaps, kind::kFunction));
    EXPECT_EQ(cellOf(kCaps), factoryCell(kCaps));
    EXPECT_EQ(records[kCaps].kind, kind::kFunction);
    EXPECT_EQ(marks[kCaps], 1);
}

TEST_F(AssignmentTest, HostActionRecordsAndCells) {
    pending.hostPath = "/home/user/Music/song.mp3";
    ASSERT_TRUE(apply(101, kind::kPlaySound));
    EXPECT_EQ(cellOf(101), (KeyCell{0x0A, 0, 93, 0}));
    EXPECT_EQ(records[101].kind, kind::kPlaySound);
    EXPECT_EQ(records[101].vk, 93);
    EXPECT_EQ(records[101].bytes[0], 0x03);
    EXPECT_EQ(records[101].bytes[3], 0x02);
    EXPECT_EQ(hostPath(records[101]), "/home/user/Music/song.mp3");
    EXPECT_EQ(marks[101], 1);

    pending.hostPath = "/" + std::string(255, 'x');
    const auto before = records;
    EXPECT_FALSE(apply(kA, kind::kStartup));
    EXPECT_EQ(cellOf(kA), factoryCell(kA));
    EXPECT_TRUE(std::ranges::equal(asBytes(before), asBytes(records)));
}

TEST_F(AssignmentTest, DefaultWinsOverAnyKindAndReenables) {
    ASSERT_TRUE(apply(kA, kind::kCombination, {162, 'C'}));
    setKeyEnabled(image, kA, false);
    pending.enabled = false;
    pending.kind = kind::kMacro;
    pending.macroNumber = 1;
    pending.keyCount = kDefaultKeyCount;
    ASSERT_TRUE(applyAssignment(pending, live(), context));
    EXPECT_EQ(cellOf(kA), factoryCell(kA));
    EXPECT_EQ(records[kA].kind, kind::kSingle);
    EXPECT_EQ(records[kA].keyCount, 0);
    EXPECT_EQ(records[kA].bytes[0], 0);
    EXPECT_TRUE(keyEnabled(image, kA));
    EXPECT_TRUE(pending.enabled);
}

TEST_F(AssignmentTest, RestoreAndNoneChosen) {
    ASSERT_TRUE(apply(kA, kind::kCombination, {162, 'C'}));
    ASSERT_TRUE(apply(kA, kind::kRestore));
    EXPECT_EQ(cellOf(kA), factoryCell(kA));
    EXPECT_EQ(records[kA].kind, kind::kSingle);
    EXPECT_EQ(records[kA].keyCount, 0);

    ASSERT_TRUE(apply(kA, kind::kSingle, {'B'}));
    const auto cellBefore = cellOf(kA);
    ASSERT_TRUE(apply(kA, kind::kNone));
    EXPECT_EQ(cellOf(kA), cellBefore);

    pending.selectedKey = kNoKey;
    EXPECT_FALSE(applyAssignment(pending, live(), context));
}

TEST_F(AssignmentTest, RecomputeRules) {
    recomputeModifiedMarks(live());
    for (std::size_t k = 0; k < kLayoutKeyCount; ++k) EXPECT_EQ(marks[k], 0) << k;

    // Macro cells mark any key, except positions 108..112 holding macros 0..4.
    writeCell(image, matrixCellOffset(kA), macroCell(0));
    writeCell(image, matrixCellOffset(110), macroCell(2));
    writeCell(image, matrixCellOffset(111), macroCell(0));
    marks[110] = 0;
    recomputeModifiedMarks(live());
    EXPECT_EQ(marks[kA], 1);
    EXPECT_EQ(marks[110], 0);
    EXPECT_EQ(marks[111], 1);

    // Every byte of the cell counts: the factory usage under another kind is a change.
    writeCell(image, matrixCellOffset(kCaps), KeyCell{3, 7, 0x39, 9});
    recomputeModifiedMarks(live());
    EXPECT_EQ(marks[kCaps], 1);
    writeCell(image, matrixCellOffset(kCaps), KeyCell{0, 0, 0x39, 0});
    recomputeModifiedMarks(live());
    EXPECT_EQ(marks[kCaps], 0);

    // A record that is not the factory state marks the key even with a factory cell.
    records[kCaps].kind = kind::kFunction;
    recomputeModifiedMarks(live());
    EXPECT_EQ(marks[kCaps], 1);
    records[kCaps].kind = kind::kSingle;
    records[kCaps].keyCount = 1;
    records[kCaps].bytes[0] = 'B';
    recomputeModifiedMarks(live());
    EXPECT_EQ(marks[kCaps], 1);

    // Disabled keys are marked whatever else holds.
    setKeyEnabled(image, 0, false);
    recomputeModifiedMarks(live());
    EXPECT_EQ(marks[0], 1);
    EXPECT_EQ(marks[1], 0);
}

TEST_F(AssignmentTest, FinishKeyEditDisablesAndWritesKeymap) {
    const auto dir = std::filesystem::path(::testing::TempDir()) / "finish_key_edit";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto path = dir / "keymap.bin";

    ASSERT_TRUE(beginKeyEdit(pending, kA, live(), path));  // creates the missing file
    EXPECT_EQ(pending.selectedVk, 'A');
    pending.clearChoice();
    pending.kind = kind::kSingle;
    pending.capturedKeys[0] = 'A';
    pending.keyCount = 1;
    pending.enabled = false;
    ASSERT_TRUE(finishKeyEdit(pending, live(), context, path));
    EXPECT_FALSE(keyEnabled(image, kA));
    EXPECT_EQ(marks[kA], 1);  // disabled although its assignment is the factory one

    device::DeviceImage readImage{};
    KeyRecordTable readRecords{};
    ASSERT_TRUE(loadKeymap(path, readImage, readRecords));
    EXPECT_EQ(readImage, image);

    // The page's Default re-enables it.
    pending.keyCount = kDefaultKeyCount;
    ASSERT_TRUE(finishKeyEdit(pending, live(), context, path));
    EXPECT_TRUE(keyEnabled(image, kA));
    EXPECT_EQ(marks[kA], 0);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tessaron::keys
