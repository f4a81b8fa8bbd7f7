#include <gtest/gtest.h>

#include "keys/functions.h"
#include "keys/key_layout.h"
#include "keys/key_lookup.h"
#include "keys/key_names.h"

namespace tessaron::keys {
namespace {

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
    EXPECT_TRUE(keyRect(112).empty());
}

// The table itself is checked row by row against the documented data (documented_tables_test).
TEST(Functions, LookupsRefuseOtherLanguagesCaseAndCategories) {
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
