#include "macros/macro_text.h"

#include <gtest/gtest.h>

#include "macro_test_support.h"

namespace tessaron::macros {
namespace {

using testing::streamOf;

TEST(MacroText, HandWrittenMacroGivesTheStreamsTheManagerWouldStore) {
    const auto parsed = parseMacroText(
        "# greeting\n"
        "name: Hi there\r\n"
        "loops: 300\n"
        "\n"
        "  lshift dn\n"
        "h dn\n"
        "300 ms\n"
        "H up\n"
        "LShift up\n"
        "5 ms\n"
        "0x49 dn\n"
        "MsLB dn\n"
        "msmb up\n");
    ASSERT_TRUE(parsed.ok()) << parsed.error().english;
    const MacroRecord& r = *parsed;
    EXPECT_EQ(r.name(), u"Hi there");
    EXPECT_EQ(r.loopCount(), 300);
    EXPECT_EQ(r.delayFlag(), 1);
    EXPECT_EQ(r.hostStream(), streamOf({0x01, 160, 0x01, 'H', 0xFF, 'H', 0x01, 0x2C, 0x81, 160,
                                        0x05, 'I', 0x01, 0xF0, 0x81, 0xF2}));
    EXPECT_EQ(r.deviceStream(), streamOf({0x01, 0xE1, 0x01, 0x0B, 0xFF, 0x0B, 0x01, 0x2C, 0x81,
                                          0xE1, 0x05, 0x0C, 0x01, 0xF0, 0x81, 0xF2}));

    // And back: the same words, one event or delay per line.
    EXPECT_EQ(formatMacroText(r),
              "name: Hi there\nloops: 300\nLShift dn\nH dn\n300 ms\nH up\nLShift up\n5 ms\nI dn\n"
              "MsLB dn\nMsMB up\n");
    const auto again = parseMacroText(formatMacroText(r));
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(*again, r);
}

TEST(MacroText, DefaultsAndKeysWithoutAUniqueName) {
    const auto parsed = parseMacroText("0x6C dn\n0x6C up\n");  // keypad Enter, named like Enter
    ASSERT_TRUE(parsed.ok());
    EXPECT_TRUE(parsed->name().empty());
    EXPECT_EQ(parsed->loopCount(), 1);
    EXPECT_EQ(parsed->delayFlag(), 0);
    EXPECT_EQ(formatMacroText(*parsed), "name: \nloops: 1\n0x6C dn\n0x6C up\n");
}

TEST(MacroText, MistakesAreReportedWithTheirLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"50 ms\nA dn\n", "Line 1: a macro cannot start with a delay."},
        {"A dn\n1 ms\nA up\n", "Line 2: a delay must be 2 to 60000 ms."},
        {"A dn\n60001 ms\nA up\n", "Line 2: a delay must be 2 to 60000 ms."},
        {"A dn\n20 ms\n30 ms\nA up\n", "Line 3: two delays follow each other."},
        {"A dn\nNoSuchKey up\n", "Line 2: unknown key \"NoSuchKey\"."},
        {"A down\n", "Line 1: expected \"KEY dn\", \"KEY up\", \"N ms\", \"name:\" or \"loops:\"."},
        {"loops: 70000\n", "Line 1: the number of loops must be a whole number up to 65535."},
        {"A dn\n20 ms\n", "The macro ends with a delay that no event follows."},
        {"0xE9 dn\n", "Line 1: the keyboard cannot play the key \"0xE9\"."},
    };
    for (const auto& [text, message] : cases) {
        const auto parsed = parseMacroText(text);
        ASSERT_FALSE(parsed.ok()) << text;
        EXPECT_EQ(parsed.error().english, message);
        EXPECT_NE(parsed.error().text(Language::Chinese), parsed.error().english);
    }
}

TEST(MacroText, AMacroLongerThan190BytesIsRefusedAtTheLineThatOverflows) {
    std::string text;
    for (int i = 0; i < 47; ++i) text += "A dn\nA up\n";  // 188 bytes
    ASSERT_TRUE(parseMacroText(text).ok());
    EXPECT_TRUE(parseMacroText(text + "B dn\n").ok());
    const auto over = parseMacroText(text + "200 ms\nB dn\n");
    ASSERT_FALSE(over.ok());
    EXPECT_EQ(over.error().english.rfind("Line 96:", 0), 0u);
}

}  // namespace
}  // namespace tessaron::macros
