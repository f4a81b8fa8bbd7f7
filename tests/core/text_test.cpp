// The catalogue compiled from the .ts files, as tessaronctl and the layers without Qt read it.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/result.h"
#include "core/text.h"

namespace tessaron {
namespace {

// A text marked later but left without its Chinese would show in English in a Chinese window.
TEST(Catalogue, ChineseHasNoUnfinishedEntry) {
    std::ifstream in(TESSARON_ZH_TS);
    ASSERT_TRUE(in) << TESSARON_ZH_TS;
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string ts = buffer.str();
    ASSERT_NE(ts.find("<translation>"), std::string::npos);
    std::string unfinished;
    for (auto at = ts.find("type=\"unfinished\""); at != std::string::npos;
         at = ts.find("type=\"unfinished\"", at + 1)) {
        const auto source = ts.rfind("<source>", at);
        const auto end = ts.find("</source>", source);
        unfinished += "\n  " + ts.substr(source + 8, end - source - 8);
    }
    EXPECT_TRUE(unfinished.empty())
        << "untranslated in translations/tessaron_zh_CN.ts (fill them after lupdate):" << unfinished;
}

TEST(Catalogue, TranslatesByContextAndDisambiguationAndFallsBackToTheSource) {
    EXPECT_EQ(translate(Language::Chinese, TR_TEXT("Keys", "Search")), "搜索");
    EXPECT_EQ(translate(Language::English, TR_TEXT("Keys", "Search")), "Search");
    // One English text, two translations told apart by the disambiguation.
    EXPECT_EQ(translate(Language::Chinese, TR_TEXT("Macros", "Macro Manager")), "宏管理器");
    EXPECT_EQ(translate(Language::Chinese, TR_TEXT3("Macros", "Macro Manager", "managerCaption")),
              "宏管理");
    // Not in the catalogue, or in another context: the source as written.
    EXPECT_EQ(translate(Language::Chinese, TR_TEXT("Keys", "No such text")), "No such text");
    EXPECT_EQ(translate(Language::Chinese, TR_TEXT("NoSuchContext", "Search")), "Search");
    // The test language brackets and lengthens every text.
    const std::string pseudo = translate(Language::Pseudo, TR_TEXT("Keys", "Search"));
    EXPECT_EQ(pseudo.front(), '[');
    EXPECT_EQ(pseudo.back(), ']');
    EXPECT_GT(pseudo.size(), std::string("[Search]").size());
}

TEST(Catalogue, MessagesFillTheirArgumentsOnceAndTranslateQuotedMessages) {
    EXPECT_EQ(substitute("%2 then %1, %3", {"a", "%2"}), "%2 then a, %3");
    const Error step = makeError(TR_TEXT("Device", "macro slot %1"), std::string("5"));
    const Error e = makeError(
        TR_TEXT("Device",
                "The keyboard did not acknowledge the step \"%1\"; the settings were not saved "
                "completely."),
        step);
    EXPECT_EQ(e.english,
              "The keyboard did not acknowledge the step \"macro slot 5\"; the settings were not "
              "saved completely.");
    EXPECT_EQ(e.text(Language::Chinese), "键盘没有确认步骤“宏 5”；设置未能完整保存。");
    EXPECT_EQ(verbatim("/tmp/x").text(Language::Chinese), "/tmp/x");
}

}  // namespace
}  // namespace tessaron
