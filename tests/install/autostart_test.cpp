#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/shell/autostart.h"
#include "support/scratch_folder.h"

namespace tessaron::app {
namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Autostart : public ::testing::Test {
protected:
    void SetUp() override {
        places_ = AutostartPlaces::from(
            (root_ / "config").string(), (root_ / "home").string(),
            (root_ / "xdg1").string() + ":relative:" + (root_ / "xdg2").string());
    }

    tessaron::testing::ScratchFolder scratch_{"tessaron-autostart"};
    fs::path root_ = scratch_.path();
    AutostartPlaces places_;
};

TEST(AutostartPlacesTest, FollowsTheXdgVariables) {
    auto p = AutostartPlaces::from(std::nullopt, "/home/u", std::nullopt);
    EXPECT_EQ(p.userEntry, "/home/u/.config/autostart/tessaron.desktop");
    ASSERT_EQ(p.systemEntries.size(), 1u);
    EXPECT_EQ(p.systemEntries[0], "/etc/xdg/autostart/tessaron.desktop");
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    p = AutostartPlaces::from("cfg", "/home/u", "/a::/b");
    EXPECT_EQ(p.userEntry, "/home/u/.config/autostart/tessaron.desktop");
    EXPECT_EQ(p.systemEntries.size(), 2u);
    EXPECT_TRUE(AutostartPlaces::from(std::nullopt, std::nullopt, std::nullopt).userEntry.empty());
}

// The entry the switch writes is the packaged one, with the program's own path.
TEST(AutostartEntry, IsThePackagedEntryForTheProgram) {
    auto text = autostartEntryText("tessaron");
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, readText(TESSARON_AUTOSTART_ENTRY));
}

TEST(AutostartEntry, QuotesPathsAsTheExecKeyRequires) {
    EXPECT_EQ(quoteExecArgument("/usr/bin/tessaron"), "/usr/bin/tessaron");
    EXPECT_EQ(quoteExecArgument("/opt/My Apps/tessaron"), "\"/opt/My Apps/tessaron\"");
    EXPECT_EQ(quoteExecArgument("/opt/$HOME`x`/a\"b\\c"), "\"/opt/\\$HOME\\`x\\`/a\\\"b\\\\c\"");
    EXPECT_EQ(quoteExecArgument("/opt/100%/tessaron"), "/opt/100%%/tessaron");
    // The value's own escape doubles the backslashes once more.
    auto text = autostartEntryText("/opt/a\\b c/tessaron");
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("\nExec=\"/opt/a\\\\\\\\b c/tessaron\" --hidden\n"), std::string::npos);
    EXPECT_FALSE(autostartEntryText("/opt/a\nb/tessaron"));
}

// What a desktop reads: the validator accepts entries for awkward paths.
TEST_F(Autostart, EntriesForAwkwardPathsValidate) {
    for (const char* exe : {"/usr/bin/tessaron", "/opt/My Apps/tessaron", "/opt/50% $off/t'x",
                            "/opt/a\\b\"c`d/tessaron", "/opt/中文/tessaron"}) {
        auto text = autostartEntryText(exe);
        ASSERT_TRUE(text) << exe;
        const fs::path file = root_ / "tessaron.desktop";
        std::ofstream(file, std::ios::binary) << *text;
        const std::string command = "desktop-file-validate '" + file.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << exe << "\n" << *text;
    }
}

TEST_F(Autostart, SwitchesTheUserEntryOnAndOff) {
    EXPECT_FALSE(autostartEnabled(places_));
    ASSERT_TRUE(setAutostart(places_, "/opt/tessaron/bin/tessaron", true));
    EXPECT_TRUE(autostartEnabled(places_));
    EXPECT_NE(readText(places_.userEntry).find("Exec=/opt/tessaron/bin/tessaron --hidden\n"),
              std::string::npos);
    ASSERT_TRUE(setAutostart(places_, "/opt/tessaron/bin/tessaron", false));
    EXPECT_FALSE(fs::exists(places_.userEntry));
    EXPECT_FALSE(autostartEnabled(places_));
    // Off when already off is no failure.
    EXPECT_TRUE(setAutostart(places_, "/opt/tessaron/bin/tessaron", false));
}

TEST_F(Autostart, AnAdministratorsEntryIsHiddenForThisUser) {
    fs::create_directories(places_.systemEntries[1].parent_path());
    std::ofstream(places_.systemEntries[1]) << readText(TESSARON_AUTOSTART_ENTRY);
    EXPECT_TRUE(autostartEnabled(places_));
    ASSERT_TRUE(setAutostart(places_, "/usr/bin/tessaron", false));
    EXPECT_FALSE(autostartEnabled(places_));
    EXPECT_NE(readText(places_.userEntry).find("Hidden=true"), std::string::npos);
    ASSERT_TRUE(setAutostart(places_, "/usr/bin/tessaron", true));
    EXPECT_TRUE(autostartEnabled(places_));

    // A user entry switched off another way counts as off.
    std::ofstream(places_.userEntry) << "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n";
    EXPECT_FALSE(autostartEnabled(places_));
}

TEST_F(Autostart, FailsWhenTheEntryCannotBeWritten) {
    // The autostart folder's place is taken by a file.
    fs::create_directories(places_.userEntry.parent_path().parent_path());
    std::ofstream(places_.userEntry.parent_path()) << "x";
    const auto s = setAutostart(places_, "/usr/bin/tessaron", true);
    ASSERT_FALSE(s);
    EXPECT_NE(s.error().english.find("could not be written"), std::string::npos);
    EXPECT_NE(s.error().text(Language::Chinese), s.error().english);
    EXPECT_FALSE(setAutostart(AutostartPlaces{}, "/usr/bin/tessaron", true));
}

}  // namespace
}  // namespace tessaron::app
