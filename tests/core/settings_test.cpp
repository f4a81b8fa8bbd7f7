#include "core/settings.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tessaron {
namespace {

namespace fs = std::filesystem;

TEST(Settings, FileLocation) {
    EXPECT_EQ(settingsFile(std::string("/x/config"), std::string("/home/u")),
              fs::path("/x/config/Lumvex.conf"));
    EXPECT_EQ(settingsFile(std::nullopt, std::string("/home/u")),
              fs::path("/home/u/.config/Lumvex.conf"));
    EXPECT_EQ(settingsFile(std::string(""), std::string("/home/u")),
              fs::path("/home/u/.config/Lumvex.conf"));
    EXPECT_TRUE(settingsFile(std::nullopt, std::nullopt).empty());
}

TEST(Settings, IniValues) {
    const std::string text =
        "; comment\n"
        "Language=top\n"
        "[Other]\n"
        "Language=other\n"
        "[General]\r\n"
        "  Language = \"chinese\"  \r\n";
    EXPECT_EQ(iniValue(text, "General", "Language"), "chinese");
    EXPECT_EQ(iniValue(text, "Other", "Language"), "other");
    EXPECT_EQ(iniValue("Language=english", "General", "Language"), "english");
    EXPECT_EQ(iniValue("language=chinese", "General", "Language"), std::nullopt);
    EXPECT_EQ(iniValue("", "General", "Language"), std::nullopt);
}

TEST(Settings, OnlyChineseExactlySelectsChinese) {
    EXPECT_EQ(languageFromValue(std::string("chinese")), Language::Chinese);
    EXPECT_EQ(languageFromValue(std::string("Chinese")), Language::English);
    EXPECT_EQ(languageFromValue(std::string("")), Language::English);
    EXPECT_EQ(languageFromValue(std::nullopt), Language::English);

    const auto file = fs::path(::testing::TempDir()) / "settings_test_Lumvex.conf";
    std::ofstream(file) << "[General]\nLanguage=chinese\n";
    EXPECT_EQ(resolveLanguage(std::nullopt, file), Language::Chinese);
    EXPECT_EQ(resolveLanguage(Language::English, file), Language::English);
    EXPECT_EQ(resolveLanguage(std::nullopt, file.string() + ".missing"), Language::English);
    fs::remove(file);
}

TEST(Settings, VersionFile) {
    const auto file = fs::path(::testing::TempDir()) / "settings_test_VER.bin";
    const auto put = [&](const std::string& bytes) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    };
    put("V1.0 1.5 xxxx");
    EXPECT_EQ(readFileVersion(file), (FileVersion{1, 5}));
    put("abcde2f");  // ends before the minor digit
    EXPECT_EQ(readFileVersion(file), (FileVersion{2, 0}));
    put("abcdeXfY");  // not digits
    EXPECT_EQ(readFileVersion(file), (FileVersion{0, 0}));
    put("");
    EXPECT_EQ(readFileVersion(file), (FileVersion{0, 0}));
    fs::remove(file);
    EXPECT_EQ(readFileVersion(file), (FileVersion{0, 0}));
}

}  // namespace
}  // namespace tessaron
