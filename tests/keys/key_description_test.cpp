// What a key of the picture is said to do, in both languages.
#include <gtest/gtest.h>

#include <memory>

#include "keys/functions.h"
#include "keys/key_cell.h"
#include "keys/key_description.h"
#include "keys/key_layout.h"
#include "keys/key_record.h"

namespace tessaron::keys {
namespace {

constexpr KeyIndex kCapsLock = 62;

TEST(SpokenKeyName, ShortNamesAreWrittenOut) {
    EXPECT_EQ(spokenKeyName(0xA2), "Left Ctrl");
    EXPECT_EQ(spokenKeyName(0xA1), "Right Shift");
    EXPECT_EQ(spokenKeyName(20), "Caps Lock");
    EXPECT_EQ(spokenKeyName(103), "Keypad 7");
    EXPECT_EQ(spokenKeyName('Z'), "Z");
    EXPECT_EQ(spokenKeyName(0x70), "F1");
    EXPECT_EQ(spokenKeyName('0'), "0");
}

class DescribeKey : public ::testing::Test {
protected:
    void SetUp() override {
        records = std::make_unique<KeyRecordTable>();
        fillLayoutVks(*records);
        enableAllKeys(image);
    }
    std::string say(Language lang = Language::English, const MacroNamer& namer = {}) {
        return describeKey(kCapsLock, image, *records, lang, namer);
    }
    KeyRecord& caps() { return (*records)[kCapsLock]; }

    device::DeviceImage image{};
    std::unique_ptr<KeyRecordTable> records;
};

TEST_F(DescribeKey, EachKindOfAssignment) {
    EXPECT_EQ(say(), "Caps Lock: default");
    caps().keyCount = 1;
    caps().bytes[0] = 0x70;
    EXPECT_EQ(say(), "Caps Lock: F1");

    caps().kind = kind::kCombination;
    caps().keyCount = 3;
    caps().bytes = {};
    caps().bytes[0] = 0xA2;
    caps().bytes[1] = 0xA0;
    caps().bytes[2] = 'S';
    EXPECT_EQ(say(), "Caps Lock: Left Ctrl + Left Shift + S");

    caps().kind = kind::kMacro;
    caps().bytes = {};
    const KeyCell cell = macroCell(2);
    std::copy(cell.begin(), cell.end(), caps().bytes.begin());
    EXPECT_EQ(say(), "Caps Lock: plays macro 3");
    EXPECT_EQ(say(Language::English, [](std::uint8_t n) { return n == 2 ? "Reload" : ""; }),
              "Caps Lock: plays Reload");

    caps().kind = kind::kFunction;
    const KeyCell mute = functionTable()[*findFunctionByName("Mute", Language::English)].cell;
    std::copy(mute.begin(), mute.end(), caps().bytes.begin());
    EXPECT_EQ(say(), "Caps Lock: Mute");
    EXPECT_EQ(say(Language::Chinese), "Caps Lock：静音");

    caps().kind = kind::kOpenFolder;
    ASSERT_TRUE(setHostPath(caps(), "/home/user/games"));
    EXPECT_EQ(say(), "Caps Lock: opens folder /home/user/games");
    EXPECT_EQ(say(Language::Chinese), "Caps Lock：打开目录 /home/user/games");

    // A switched-off key is only that, whatever it was given.
    setKeyEnabled(image, kCapsLock, false);
    EXPECT_EQ(say(), "Caps Lock: disabled");
    EXPECT_EQ(say(Language::Chinese), "Caps Lock：已禁用");
}

}  // namespace
}  // namespace tessaron::keys
