#include <gtest/gtest.h>

#include "keys/functions.h"
#include "keys/key_layout.h"
#include "keys/key_lookup.h"
#include "keys/key_names.h"

namespace tessaron::keys {
namespace {

TEST(KeyLayout, SampleRowsMatchTheTable) {
    const auto& esc = layoutEntry(0);
    EXPECT_EQ(esc.vk, 27);
    EXPECT_EQ(esc.column, 0);
    EXPECT_EQ(esc.row, 5);
    EXPECT_EQ(esc.grid, 120);
    EXPECT_EQ(esc.rect.left, 37);
    EXPECT_EQ(esc.rect.bottom, 113);
    EXPECT_EQ(esc.legend, "Esc");
    EXPECT_EQ((KeyCell{0, 0, 0x29, 0}), esc.factoryCell);

    EXPECT_EQ(layoutVk(62), 20);
    EXPECT_EQ(legend(62), "Caps Lock");
    EXPECT_EQ(gridPosition(62), 48);
    EXPECT_EQ(legendPosition(62).x, 44 + 310);
    EXPECT_EQ(legendPosition(62).y, 178 + 122);

    EXPECT_EQ((KeyCell{3, 0, 0x83, 0x01}), factoryCell(17));  // Player
    EXPECT_EQ((KeyCell{2, 0, 0, 0}), factoryCell(100));       // Fn
    EXPECT_EQ((KeyCell{0, 0, 0x28, 0}), factoryCell(111));    // S4
    EXPECT_EQ(layoutVk(112), 237);
    EXPECT_TRUE(keyRect(112).empty());
}

TEST(KeyLayout, DerivedPositions) {
    // Grid is row x 24 + column except the absent position 112.
    for (std::size_t i = 0; i < kLayoutKeyCount; ++i) {
        const auto& k = layoutEntry(static_cast<KeyIndex>(i));
        if (i != 112) {
            EXPECT_EQ(k.grid, k.row * 24 + k.column) << i;
        }
        EXPECT_EQ(matrixCellOffset(static_cast<KeyIndex>(i)), 792u + k.row * 84u + k.column * 4u);
    }
    EXPECT_EQ(gridPosition(112), 37);
    EXPECT_EQ(gridPosition(111), 37);
    EXPECT_EQ(layoutEntry(54).matrixOffset(), 4 * (13 * 6 + 3));  // backslash
}

TEST(KeyLayout, FactoryKeyMapIsColumnMajorWithThreeExtraCells) {
    const auto& map = factoryKeyMap();
    auto cellAt = [&](int column, int row) {
        const std::size_t o = 4u * static_cast<std::size_t>(column * 6 + row);
        return KeyCell{map[o], map[o + 1], map[o + 2], map[o + 3]};
    };
    EXPECT_EQ(cellAt(0, 5), factoryCell(0));
    EXPECT_EQ(cellAt(13, 3), (KeyCell{0, 0, 0x31, 0}));  // backslash: 0x31, not its usage 0x32
    EXPECT_EQ(cellAt(1, 5), (KeyCell{0, 0, 0x32, 0}));
    EXPECT_EQ(cellAt(3, 0), (KeyCell{0, 0, 0x91, 0}));
    EXPECT_EQ(cellAt(8, 0), (KeyCell{0, 0, 0x90, 0}));
    EXPECT_EQ(cellAt(20, 1), (KeyCell{}));  // no key there
    int nonZero = 0;
    for (int c = 0; c < 21; ++c)
        for (int r = 0; r < 6; ++r) nonZero += cellAt(c, r) != KeyCell{};
    EXPECT_EQ(nonZero, 108 + 1 + 3);  // the real keys, S4 and the three extra cells
}

TEST(KeyNames, BuiltByTheRules) {
    EXPECT_EQ(keyName('A'), "A ");
    EXPECT_EQ(usageCode('A'), 0x04);
    EXPECT_EQ(usageCode('Z'), 0x1D);
    EXPECT_EQ(keyName('1'), "1 ");
    EXPECT_EQ(usageCode('9'), 0x26);
    EXPECT_EQ(keyName('0'), "0");  // no trailing space
    EXPECT_EQ(usageCode('0'), 0x27);
    EXPECT_EQ(keyName(112), "F1 ");
    EXPECT_EQ(keyName(123), "F12 ");
    EXPECT_EQ(usageCode(123), 0x45);
    EXPECT_EQ(keyName(124), "");  // F13 is unlisted
    EXPECT_EQ(usageCode(124), 0);
    EXPECT_EQ(keyName(92), "RWin ");
    EXPECT_EQ(usageCode(92), 0xE7);
    EXPECT_EQ(keyName(243), "");
    EXPECT_EQ(usageCode(243), 243);
    EXPECT_EQ(keyName(247), "Mouse pointer Down");
    EXPECT_EQ(keyName(179), "Play/Pause");
    EXPECT_EQ(usageCode(174), 0xEA);
    EXPECT_EQ(usageCode(181), 0x83);
    EXPECT_EQ(keyName(220), "\\ ");
    EXPECT_EQ(usageCode(220), 0x32);
    EXPECT_EQ(keyName(93), "Apps ");
    EXPECT_EQ(layoutVk(100), 93);
    EXPECT_EQ(layoutVk(101), 93);
    EXPECT_EQ(keyName(233), "");  // S1 has no name
    for (unsigned vk = 0; vk < 256; ++vk) EXPECT_EQ(keyNameTable()[vk].code, vk);
}

TEST(KeyNames, JoinedWithPlus) {
    const std::uint8_t combo[] = {162, 'C', 0};
    EXPECT_EQ(joinKeyNames(combo), "LCtrl + C ");
    const std::uint8_t digits[] = {'0', '1'};
    EXPECT_EQ(joinKeyNames(digits), "0+ 1 ");
}

TEST(KeyAtPoint, HitsEdgesGapsAndProtectedKeys) {
    EXPECT_EQ(keyAtPoint(315 + 37, 127 + 90, false), std::optional<KeyIndex>(0));
    EXPECT_EQ(keyAtPoint(315 + 59, 127 + 113, false), std::optional<KeyIndex>(0));  // edges inside
    EXPECT_EQ(keyAtPoint(315 + 60, 127 + 100, false), std::nullopt);                // Esc..F1 gap
    EXPECT_EQ(keyAtPoint(315 + 320, 127 + 227, false), std::nullopt);               // Fn
    EXPECT_EQ(keyAtPoint(315 + 320, 127 + 227, true), std::optional<KeyIndex>(100));
    EXPECT_EQ(keyAtPoint(315 + 80, 127 + 227, false), std::nullopt);  // left Windows key
    EXPECT_EQ(keyAtPoint(315 + 80, 127 + 227, true), std::optional<KeyIndex>(96));
    EXPECT_EQ(keyAtPoint(315 + 349, 127 + 227, false), std::optional<KeyIndex>(101));
    EXPECT_EQ(keyAtPoint(315, 127, true), std::nullopt);  // absent positions have no rectangle
}

TEST(Functions, TableAndLookups) {
    const auto table = functionTable();
    EXPECT_EQ(table[0].english, "Search");
    EXPECT_EQ(table[0].cell, (KeyCell{0, 0xE3, 0x09, 0}));
    EXPECT_EQ(table[17].chinese, "最大化");
    EXPECT_EQ(table[17].cell, (KeyCell{0, 0xE2, 0x2C, 0x1B}));
    EXPECT_EQ(table[22].english, "Close");
    EXPECT_EQ(findFunctionByName("Vol+", Language::English), std::optional<std::size_t>(7));
    EXPECT_EQ(findFunctionByName("音量+", Language::Chinese), std::optional<std::size_t>(7));
    EXPECT_EQ(findFunctionByName("Vol+", Language::Chinese), std::nullopt);
    EXPECT_EQ(findFunctionByName("vol+", Language::English), std::nullopt);
    EXPECT_EQ(findFunctionByName("Media", Language::English), std::nullopt);  // a category
    EXPECT_EQ(findFunctionByCell({3, 0, 0x23, 2}), std::optional<std::size_t>(21));
}

TEST(KeyLookup, LegendsNamesAndIndices) {
    EXPECT_EQ(findKey("Caps Lock"), std::optional<KeyIndex>(62));
    EXPECT_EQ(findKey("caps"), std::optional<KeyIndex>(62));
    EXPECT_EQ(findKey(" a "), std::optional<KeyIndex>(63));
    EXPECT_EQ(findKey("Shift"), std::optional<KeyIndex>(78));
    EXPECT_EQ(findKey("rshift"), std::optional<KeyIndex>(89));
    EXPECT_EQ(findKey("Apps"), std::optional<KeyIndex>(101));  // not Fn
    EXPECT_EQ(findKey("Fn"), std::optional<KeyIndex>(100));
    EXPECT_EQ(findKey("7"), std::optional<KeyIndex>(27));
    EXPECT_EQ(findKey("7-num"), std::optional<KeyIndex>(58));
    EXPECT_EQ(findKey("#94"), std::optional<KeyIndex>(94));
    EXPECT_EQ(findKey("#113"), std::nullopt);
    EXPECT_EQ(findKey("nothing"), std::nullopt);
    EXPECT_EQ(findKey(""), std::nullopt);
    EXPECT_EQ(findKeyCode("LCtrl"), std::optional<std::uint8_t>(162));
    EXPECT_EQ(findKeyCode("RWin"), std::optional<std::uint8_t>(92));
    EXPECT_EQ(findKeyCode("#94"), std::optional<std::uint8_t>(108));
}

}  // namespace
}  // namespace tessaron::keys
