// tessaronctl as a user runs it, on the virtual keyboard in a data folder of its own: each command
// does what it says, and each bad argument is refused with a message and changes no file.

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "cli_fixture.h"

namespace tessaron::testing {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

TEST_F(CliTest, UsageAndGlobalOptionsAtAndPastTheirLimits) {
    auto none = ctlBare({});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(contains(none.err, "Usage: tessaronctl"));
    auto help = ctlBare({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(contains(help.out, "assign KEY"));

    const std::string dir = data().string();
    const struct {
        Args args;
        const char* message;
    } refused[] = {
        {{"--bogus", "show"}, "unknown option --bogus"},
        {{"--data-dir", dir, "--demo", "fly"}, "unknown command \"fly\""},
        {{"--data-dir"}, "--data-dir needs a folder"},
        {{"--data-dir", ""}, "--data-dir needs a folder"},
        {{"--lang", "klingon", "show"}, "--lang takes english or chinese"},
        {{"--lang"}, "--lang needs english or chinese"},
        {{"--command-interface", "256", "devices"}, "interface number (0..255)"},
        {{"--command-interface", "-1", "devices"}, "interface number (0..255)"},
        {{"--event-interface", "1000", "devices"}, "interface number (0..255)"},
        {{"--event-interface", "x", "devices"}, "interface number (0..255)"},
    };
    for (const auto& r : refused) {
        const Snapshot before = snapshotOf(root());
        const auto result = ctlBare(r.args);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(r.args);
        EXPECT_TRUE(contains(result.err, r.message)) << result.err;
        EXPECT_TRUE(snapshotOf(root()) == before) << ::testing::PrintToString(r.args);
    }
    // The highest interface number is still taken.
    EXPECT_EQ(ctl({"--command-interface", "255", "devices"}).exitCode, 0);
}

TEST_F(CliTest, PullAssignApplyAndShowRoundTrip) {
    ok({"pull"});
    ASSERT_EQ(fs::file_size(keymap()), 206916u);
    EXPECT_EQ(keymapImage(), keyboardSettings());
    EXPECT_TRUE(contains(ok({"show"}).out, "Key cells that differ from factory: none"));

    const auto factory = keyboardSettings();
    const auto assigned = ok({"assign", "caps lock", "single", "A"});
    EXPECT_TRUE(contains(assigned.out, "single A"));
    // Only keymap.bin changed; the keyboard still holds what it held.
    EXPECT_EQ(keyboardSettings(), factory);
    const auto img = keymapImage();
    EXPECT_EQ(img[kCapsCell + 2], 0x04);  // usage of A

    const auto applied = ok({"apply"});
    EXPECT_TRUE(contains(applied.out, "sending: key assignments"));
    EXPECT_FALSE(contains(applied.out, "macro slot"));
    EXPECT_EQ(keyboardSettings(), img);
    EXPECT_TRUE(contains(ok({"show"}).out, "(Caps Lock): 00 00 04 00 (factory 00 00 39 00)"));
    EXPECT_TRUE(contains(ok({"show", "--json"}).out, "\"key\": \"Caps Lock\""));
    EXPECT_TRUE(contains(ok({"apply"}).out, "already holds these settings"));
    const auto devices = ok({"devices"}).out;
    EXPECT_TRUE(contains(devices, "04d9:a1df  interface 3  command channel"));
    EXPECT_TRUE(contains(devices, "event channel"));

    ok({"assign", "Caps Lock", "default"});
    ok({"apply"});
    EXPECT_EQ(keyboardSettings(), factory);
}

TEST_F(CliTest, DefaultGivesTheMediaKeysTheirConsumerCells) {
    // Matrix columns 17..20 of row 5, and their factory cells as the keyboard ships them.
    struct Media {
        const char* key;
        std::size_t column;
        std::array<std::uint8_t, 4> factory;
    };
    const Media media[] = {{"Vol-", 17, {0x03, 0x00, 0xEA, 0x00}},
                           {"Player", 18, {0x03, 0x00, 0x83, 0x01}},
                           {"Play", 19, {0x03, 0x00, 0xCD, 0x00}},
                           {"Vol+", 20, {0x03, 0x00, 0xE9, 0x00}}};
    ok({"pull"});
    for (const auto& m : media) {
        SCOPED_TRACE(m.key);
        const std::size_t at = 792 + 5 * 84 + m.column * 4;  // row-major in the image
        ok({"assign", m.key, "single", "A"});
        ok({"assign", m.key, "default"});
        const auto img = keymapImage();
        EXPECT_EQ((std::array{img[at], img[at + 1], img[at + 2], img[at + 3]}), m.factory);
    }
    EXPECT_TRUE(contains(ok({"show"}).out, "Key cells that differ from factory: none"));
}

TEST_F(CliTest, AssignRefusesBadArgumentsAndChangesNothing) {
    ok({"pull"});
    const std::string missing = (root() / "no-such-file.wav").string();
    const struct {
        Args args;
        const char* message;
    } refused[] = {
        {{"assign"}, "usage: tessaronctl assign"},
        {{"assign", "Caps Lock"}, "usage: tessaronctl assign"},
        {{"assign", "Nokey", "single", "A"}, "No key is called \"Nokey\""},
        {{"assign", "#999", "single", "A"}, "No key is called \"#999\""},
        {{"assign", "Fn", "single", "A"}, "cannot be reassigned"},
        {{"assign", "Caps Lock", "single"}, "usage:"},
        {{"assign", "Caps Lock", "single", "A", "B"}, "usage:"},
        {{"assign", "Caps Lock", "single", "Nokey"}, "No key is called \"Nokey\""},
        {{"assign", "Caps Lock", "combo", "A"}, "usage:"},
        {{"assign", "Caps Lock", "combo", "A", "B", "C", "D"}, "usage:"},
        {{"assign", "Caps Lock", "function", "Nope"}, "No function is called \"Nope\""},
        {{"assign", "Caps Lock", "macro", "0"}, "No macro 0: there are no macros yet"},
        {{"assign", "Caps Lock", "macro", "-1"}, "No macro -1"},
        {{"assign", "Caps Lock", "macro", "x"}, "No macro x"},
        {{"assign", "Caps Lock", "disable", "now"}, "usage:"},
        {{"assign", "Caps Lock", "paint", "red"}, "usage:"},
        {{"keys", "extra"}, "usage: tessaronctl keys"},
        {{"show", "--xml"}, "usage: tessaronctl show"},
        {{"pull", "now"}, "usage: tessaronctl pull"},
        {{"apply", "a", "b"}, "usage: tessaronctl apply"},
        {{"reset", "--force"}, "usage: tessaronctl reset"},
    };
    for (const auto& r : refused) expectUsageError(r.args, r.message);
    // A path that names nothing and a window that is not there are failures, not usage errors.
    expectRefused({"assign", "Caps Lock", "sound", missing}, "There is no file");
    expectRefused({"assign", "Caps Lock", "folder", missing}, "There is no folder");
    expectRefused({"press", "A"}, "No tessaron --demo is running on this data folder");
    expectUsageError({"press"}, "usage: tessaronctl --demo press KEY");
    expectUsageError({"press", "Nokey"}, "no key \"Nokey\"");
    expectUsageError({"unplug", "now"}, "usage: tessaronctl --demo unplug");
}

// A host path is stored in 255 UTF-16 units: exactly 255 fits, 256 is refused whole.
TEST_F(CliTest, HostPathsAtAndPastTheirLimit) {
    ok({"pull"});
    auto pathOfLength = [&](std::size_t length, const char* tag) {
        fs::path folder = root() / tag;
        fs::create_directories(folder);
        const std::size_t used = folder.string().size() + 1;
        return (folder / std::string(length - used, 'p')).string();
    };
    const std::string atLimit = pathOfLength(255, "a");
    const std::string pastLimit = pathOfLength(256, "b");
    std::ofstream(atLimit) << "x";
    std::ofstream(pastLimit) << "x";
    expectUsageError({"assign", "Caps Lock", "file", pastLimit}, "longer than 255 characters");
    const auto r = ok({"assign", "Caps Lock", "file", atLimit});
    EXPECT_TRUE(contains(r.out, "file " + atLimit));
    EXPECT_TRUE(contains(ok({"keys"}).out, atLimit));
}

TEST_F(CliTest, MacrosImportShowExportDeleteAndReachTheKeyboard) {
    ok({"pull"});
    const auto text = writeText("greeting.txt",
                                "# typed by hand\nname: Greeting\nloops: 3\nShift dn\nH dn\n"
                                "120 ms\nH up\nShift up\n1500 ms\nI dn\nI up\n");
    EXPECT_TRUE(contains(ok({"macro", "import", text.string()}).out, "as macro 0"));
    const auto listed = ok({"macro", "list"}).out;
    EXPECT_TRUE(contains(listed, "0  Greeting  (6 events, 3 loops)"));
    const auto shown = ok({"macro", "show", "0"}).out;
    EXPECT_TRUE(contains(shown, "120 ms"));
    EXPECT_TRUE(contains(shown, "1500 ms"));

    // An export imports back as the same macro.
    const fs::path exported = root() / "exported.txt";
    ok({"macro", "export", "0", exported.string()});
    ok({"macro", "import", exported.string()});
    const auto twice = ok({"macro", "show", "1"}).out;
    EXPECT_EQ(twice, shown);

    ok({"assign", "Caps Lock", "macro", "1"});
    const auto applied = ok({"apply"}).out;
    EXPECT_TRUE(contains(applied, "sending: macro slot 0"));
    EXPECT_TRUE(contains(applied, "sending: macro slot 1"));
    const auto kb = keyboardSettings();
    EXPECT_EQ(kb[device::image::macroSlot(0) + 1], 3);  // loops, big-endian
    EXPECT_EQ(kb[kCapsCell], 0x04);                     // macro cell

    EXPECT_TRUE(contains(ok({"macro", "delete", "0"}).out, "later macros moved down"));
    EXPECT_TRUE(contains(ok({"macro", "list"}).out, "0  Greeting  (6 events, 3 loops)"));
    EXPECT_FALSE(contains(ok({"macro", "list"}).out, "\n1  "));
}

TEST_F(CliTest, MacroTextsAndNumbersAtAndPastTheirLimits) {
    ok({"pull"});
    const std::string longName(254, 'n');
    const auto good = writeText("good.txt", "name: " + longName +
                                                "\nloops: 65535\nA dn\n60000 ms\n"
                                                "A up\nB dn\n2 ms\nB up\n");
    ok({"macro", "import", good.string()});
    EXPECT_TRUE(contains(ok({"macro", "list"}).out, longName + "  (4 events, 65535 loops)"));

    const struct {
        const char* text;
        const char* message;
    } badTexts[] = {
        {"loops: 65536\nA dn\n", "Line 1: the number of loops"},
        {"loops: -1\nA dn\n", "Line 1: the number of loops"},
        {"A dn\n60001 ms\nA up\n", "Line 2: a delay must be 2 to 60000 ms"},
        {"A dn\n1 ms\nA up\n", "Line 2: a delay must be 2 to 60000 ms"},
        {"10 ms\nA dn\n", "Line 1: a macro cannot start with a delay"},
        {"A dn\n10 ms\n", "ends with a delay"},
        {"Nokey dn\n", "Line 1: unknown key"},
        {"A sideways\n", "Line 1: expected"},
    };
    // A text that says something wrong is a wrong value: status 2, like a bad configuration.
    for (const auto& bad : badTexts) {
        const auto file = writeText("bad.txt", bad.text);
        expectUsageError({"macro", "import", file.string()}, bad.message);
    }
    const auto longer = writeText("long.txt", "name: " + longName + "x\nA dn\n");
    expectUsageError({"macro", "import", longer.string()}, "longer than 254 characters");
    std::string full;
    for (int i = 0; i < 48; ++i) full += "A dn\nA up\n";
    const auto tooLong = writeText("full.txt", full);
    expectUsageError({"macro", "import", tooLong.string()}, "longer than the 190 bytes");

    expectRefused({"macro", "import", (root() / "missing.txt").string()}, "Could not read");
    expectUsageError({"macro", "show", "1"}, "No macro 1: macros are numbered 0 to 0");
    expectUsageError({"macro", "show", "x"}, "No macro x");
    expectUsageError({"macro", "delete", "1"}, "No macro 1");
    expectUsageError({"macro", "export", "0"}, "usage: tessaronctl macro");
    expectUsageError({"macro", "rename", "0"}, "usage: tessaronctl macro");
    expectUsageError({"macro"}, "usage: tessaronctl macro");

    // The keyboard has 32 slots: the 33rd macro is refused.
    const auto one = writeText("one.txt", "A dn\nA up\n");
    for (int i = 1; i < 32; ++i) ok({"macro", "import", one.string()});
    expectUsageError({"macro", "import", one.string()}, "All 32 macros are in use");
}

TEST_F(CliTest, ProfilesSaveLoadCopyRenameDelete) {
    ok({"pull"});
    ok({"profile", "new"});
    ok({"profile", "save", "Profile_1"});
    ok({"assign", "Caps Lock", "single", "B"});
    const fs::path exported = root() / "exported.bin";
    ok({"profile", "save", "Profile_1", "--export", exported.string()});
    const auto withB = keymapImage();
    ok({"assign", "Caps Lock", "default"});
    EXPECT_NE(keymapImage(), withB);
    ok({"profile", "copy", "Profile_1"});
    ok({"profile", "rename", "Profile_1", "Work"});
    EXPECT_EQ(ok({"profile", "list"}).out, "Copy of ? Profile_1\nWork\n");

    ok({"profile", "load", "Work", exported.string()});
    EXPECT_EQ(keymapImage(), withB);
    ok({"apply"});
    EXPECT_EQ(keyboardSettings()[kCapsCell + 2], 0x05);  // usage of B

    ok({"profile", "delete", "Work"});
    EXPECT_EQ(ok({"profile", "list"}).out, "Copy of ? Profile_1\n");
}

TEST_F(CliTest, ProfileNamesAndCountsAtAndPastTheirLimits) {
    ok({"pull"});
    for (int i = 0; i < 6; ++i) ok({"profile", "new"});
    // Names and limits the store refuses are wrong values (2), each with its reason.
    expectUsageError({"profile", "new"}, "Only Create Six Profile mostly");
    expectUsageError({"profile", "copy", "Profile_1"}, "There are six profiles already");

    for (const char* bad : {"../escape", "a/b", "a\\b", "..", "", "tab\there"}) {
        expectUsageError({"profile", "rename", "Profile_1", bad}, "A profile name cannot be empty");
    }
    expectUsageError({"profile", "rename", "Profile_1", "Profile_2"}, "already exists");
    expectUsageError({"profile", "rename", "Nobody", "x"}, "No profile is named \"Nobody\"");
    expectRefused({"profile", "load", "Profile_1", (root() / "missing.bin").string()},
                  "Could not read");
    expectUsageError({"profile", "save", "Nobody"}, "No profile is named");
    expectUsageError({"profile", "dance"}, "usage: tessaronctl profile");

    // The whole path must fit 254 UTF-16 units: the longest name that fits is taken.
    const std::size_t folder = (data() / "Configure").string().size() + 1;
    const std::size_t longest = 254 - folder - 4;
    expectUsageError({"profile", "rename", "Profile_1", std::string(longest + 1, 'L')}, "too long");
    ok({"profile", "rename", "Profile_1", std::string(longest, 'L')});
    EXPECT_TRUE(fs::exists(data() / "Configure" / (std::string(longest, 'L') + ".bin")));

    for (int i = 2; i <= 6; ++i) ok({"profile", "delete", "Profile_" + std::to_string(i)});
    expectUsageError({"profile", "delete", std::string(longest, 'L')}, "Please keep a profile");
}

TEST_F(CliTest, ResetAsksFirstAndThenRestoresTheFactorySettings) {
    ok({"pull"});
    const auto factory = keyboardSettings();
    ok({"assign", "Caps Lock", "single", "A"});
    ok({"apply"});
    ASSERT_NE(keyboardSettings(), factory);

    // The question and a "no" go to standard error; declining is not a failure of anything.
    ProcessOptions answerNo;
    answerNo.input = "n\n";
    const auto declined = expectUsageError({"reset"}, "Nothing was changed: the reset was not "
                                                      "confirmed", answerNo);
    EXPECT_TRUE(contains(declined.err, "Confirm to return Factory Setting? [y/N]"));
    EXPECT_EQ(declined.out, "");

    ok({"reset", "--yes"});
    EXPECT_EQ(keyboardSettings(), factory);
    EXPECT_EQ(keymapImage(), factory);
    EXPECT_TRUE(contains(ok({"keys"}).out, " 62 Caps Lock"));
}

TEST_F(CliTest, ApplyRefusesFilesThatHoldNoImage) {
    ok({"pull"});
    const auto shortFile = writeText("short.bin", std::string(100, '\0'));
    expectRefused({"apply", shortFile.string()}, "shorter than a device image");
    expectRefused({"apply", (root() / "missing.bin").string()}, "Could not read");
    expectRefused({"apply", root().string()}, "");
    // An image never read from a keyboard (a key map of zeros) would blank every key.
    const auto zeros = writeText("zeros.bin", std::string(206916, '\0'));
    expectRefused({"apply", zeros.string()}, "");
}

TEST_F(CliTest, MessagesFollowTheInterfaceLanguage) {
    ok({"pull"});
    expectUsageError({"--lang", "chinese", "assign", "Nokey", "single", "A"},
                     "没有名为 \"Nokey\" 的按键");
    fs::create_directories(root() / "home" / ".config");
    std::ofstream(root() / "home" / ".config" / "Lumvex.conf") << "[General]\nLanguage=chinese\n";
    expectUsageError({"assign", "Nokey", "single", "A"}, "没有名为 \"Nokey\" 的按键");
    expectUsageError({"--lang", "english", "assign", "Nokey", "single", "A"}, "No key is called");
    // The messages of the command line itself and the help, too.
    expectUsageError({"--lang", "chinese", "devices", "x"}, "用法: tessaronctl devices");
    expectUsageError({"--lang", "chinese", "--bogus"}, "未知选项 --bogus");
    const std::string help = ok({"--lang", "chinese", "--help"}).out;
    EXPECT_TRUE(contains(help, "命令:") && contains(help, "列出每个按键") &&
                !contains(help, "Commands:") && !contains(help, "Exit status"))
        << help;

    // The reports too; key names, cells, words of the command line and numbers stay as typed,
    // and the English reports stay as scripts read them.
    const auto assigned = ok({"assign", "Caps Lock", "single", "A"}).out;
    EXPECT_TRUE(contains(assigned, "键帽") &&
                contains(assigned, "00 00 04 00  是       是        单键 A\n"))
        << assigned;
    const auto shown = ok({"show"}).out;
    EXPECT_TRUE(contains(shown, "游戏模式：关闭\n") &&
                contains(shown, "USB报告率：每秒 1000 次\n"))
        << shown;
    EXPECT_TRUE(contains(ok({"--lang", "english", "show"}).out,
                         "Game mode: off\nWin Lock: off\nResponse time: 4 ms\n"
                         "Report rate: 1000 reports per second\n"));
    const auto macro = writeText("one.txt", "A dn\nA up\n");
    ok({"macro", "import", macro.string()});
    EXPECT_EQ(ok({"macro", "list"}).out, "0  Macro_001  （2 个事件，循环 1 次）\n");
    EXPECT_EQ(ok({"profile", "new"}).out, "已新建配置 \"Profile_1\"。\n");
    ok({"rules", "add", "--profile", "Profile_1", "--not", "program", "equals", "firefox"});
    EXPECT_EQ(ok({"rules", "test", "--program", "vim"}).out,
              "规则 1：非 program equals \"firefox\" -> 配置 \"Profile_1\"\n");
    EXPECT_EQ(ok({"--lang", "english", "rules", "test", "--program", "vim"}).out,
              "rule 1: not program equals \"firefox\" -> profile \"Profile_1\"\n");
}

// Commands that only read, and refused ones, create nothing: not even the data folder.
TEST_F(CliTest, CommandsThatOnlyReadOrAreRefusedCreateNothing) {
    EXPECT_EQ(ok({"profile", "list"}).out,
              "No profiles in " + (data() / "Configure").string() + "\n");
    EXPECT_EQ(ok({"profile", "list", "--json"}).out, "[]\n");
    EXPECT_EQ(ok({"macro", "list"}).out, "No macros.\n");
    EXPECT_EQ(ok({"macro", "list", "--json"}).out, "[]\n");
    expectUsageError({"light", "static", "--speed", "3"}, "Static has no speed");
    expectUsageError({"assign", "Caps Lock", "single", "Nokey"}, "No key is called \"Nokey\"");
    EXPECT_FALSE(fs::exists(data()));
    expectUsageError({"profile", "save", "Nobody"}, "No profile is named");
    EXPECT_FALSE(fs::exists(keymap()));
}

// What scripts rely on: help and version on standard output with status 0, a wrong command line
// on standard error with status 2.
TEST_F(CliTest, HelpVersionAndExitStatusesAsScriptsExpectThem) {
    const std::string macroUsage =
        "usage: tessaronctl macro list [--json] | show N | export N FILE|- | import FILE|- | "
        "delete N\n";
    const struct {
        Args args;
        int status;
        std::string out;  // the start of standard output
        const char* err;  // part of standard error
    } runs[] = {
        {{"--version"}, 0, "tessaronctl (Tessaron) 1.", ""},
        {{"help", "macro"}, 0, macroUsage, ""},
        {{"macro", "--help"}, 0, macroUsage, ""},
        {{"assign", "F1", "single", "--help"}, 0, "usage: tessaronctl assign KEY", ""},
        {{"help"}, 0, "Usage: tessaronctl", ""},
        {{"help", "fly"}, 2, "", "no command is called \"fly\""},
        {{"help", "macro", "show"}, 2, "", "usage: tessaronctl help [COMMAND]"},
    };
    for (const auto& r : runs) {
        const auto result = ctl(r.args);
        const std::string shown = ::testing::PrintToString(r.args) + "\n" + result.err;
        EXPECT_EQ(result.exitCode, r.status) << shown;
        EXPECT_EQ(result.out.substr(0, r.out.size()), r.out) << shown << result.out;
        if (r.status != 0) {
            EXPECT_EQ(result.out, "") << shown;
        }
        EXPECT_TRUE(contains(result.err, r.err)) << shown;
    }
    EXPECT_FALSE(fs::exists(data()));
}

}  // namespace
}  // namespace tessaron::testing
