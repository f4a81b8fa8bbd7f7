// tessaronctl config and profile load as a user runs them, on the virtual keyboard: a
// configuration survives export and import into an empty data folder, a bad file is refused with
// its JSON path and exit status 2 leaving every file as it was, and keys that would run something
// on this computer come in only when the user allows them.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "cli_fixture.h"

namespace tessaron::testing {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

constexpr int kRefusedFile = 2;
constexpr int kNotAllowed = 3;

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class ConfigCli : public CliTest {
protected:
    // tessaronctl on another data folder under the same root.
    ProcessResult in(const fs::path& folder, Args args, ProcessOptions options = {}) const {
        args.insert(args.begin(), {"--data-dir", folder.string(), "--demo"});
        return ctlBare(args, std::move(options));
    }

    // Refused with `status` and a message naming `message`; no file under the root changed.
    void expectUntouched(int status, const Args& args, std::string_view message,
                         ProcessOptions options = {}) const {
        const Snapshot before = snapshotOf(root());
        const auto r = ctl(args, std::move(options));
        EXPECT_EQ(r.exitCode, status) << ::testing::PrintToString(args) << r.err;
        EXPECT_TRUE(contains(r.err, message)) << r.err;
        EXPECT_TRUE(snapshotOf(root()) == before) << "files changed by "
                                                 << ::testing::PrintToString(args);
    }

    // A configuration with some of everything; `program` is the host action of F3.
    fs::path everything(const std::string& program) const {
        return writeText("everything.json", R"({
  "format": 1,
  "lighting": {"effect": "Wave", "speed": 3, "brightness": 10, "direction": "up"},
  "game_mode": true, "win_lock": true, "response_time_ms": 8, "report_rate_hz": 500,
  "keys": {
    "Caps Lock": {"combo": ["Ctrl", "Shift", "Esc"]},
    "F1": {"function": "Vol+"}, "F2": {"macro": 1},
    "F3": {"program": ")" + program + R"("},
    "1-num": {"single": "End", "disabled": true}, "Q": {"disabled": true}
  },
  "diy": [[], ["W", "A", "S", "D"], [], [], ["Esc"]],
  "macros": [
    {"name": "One", "loops": 1, "events": ["A dn", "A up"]},
    {"name": "Two", "loops": 0, "events": ["MsLB dn", "2000 ms", "MsLB up"]}
  ]
})");
    }
};

TEST_F(ConfigCli, ExportImportIntoAnEmptyFolderAndExportAgainGiveTheSameTextAndBytes) {
    ok({"pull"});
    const auto file = everything("/usr/bin/foot");
    ok({"config", "import", file.string(), "--allow-host-actions"});
    const std::string first = ok({"config", "export"}).out;
    EXPECT_TRUE(contains(first, "\"Caps Lock\": {\n      \"combo\": [\n        \"Ctrl\",\n"));
    EXPECT_TRUE(contains(first, "\"program\": \"/usr/bin/foot\""));

    const fs::path exported = root() / "exported.json";
    ok({"config", "export", exported.string()});
    EXPECT_EQ(bytesOf(exported), first);

    const fs::path other = root() / "other";
    const auto imported = in(other, {"config", "import", exported.string(), "--allow-host-actions"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    const auto again = in(other, {"config", "export"});
    EXPECT_EQ(again.out, first);
    // Both folders started from the same keyboard, so every byte is the configuration's.
    EXPECT_EQ(bytesOf(other / "keymap.bin"), bytesOf(keymap()));
    EXPECT_EQ(bytesOf(other / "MacroDefine.bin"), bytesOf(data() / "MacroDefine.bin"));

    // apply sends it: the Caps Lock cell and the response time reach the keyboard.
    ok({"apply"});
    const auto kb = keyboardSettings();
    EXPECT_EQ(kb[kCapsCell + 1], 0xE0);
    EXPECT_EQ(kb[kCapsCell + 3], 0x29);
    EXPECT_EQ(kb[device::image::kResponseTime], 4);

    // From standard input too.
    ProcessOptions piped;
    piped.input = first;
    ok({"config", "import", "-"}, piped);
    EXPECT_EQ(ok({"config", "export", "-"}).out, first);
}

TEST_F(ConfigCli, ABadFileIsRefusedWithItsPathAndStatusTwoAndNothingIsWritten) {
    const auto good = everything("/usr/bin/foot");
    const auto text = bytesOf(good);
    int variants = 0;
    auto variant = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        t.replace(t.find(from), from.size(), to);
        return writeText("variant" + std::to_string(++variants) + ".json", t).string();
    };
    // Even in an empty data folder no keymap.bin is left behind.
    const auto combo = variant("\"Shift\", \"Esc\"]", "\"Shift\", \"Esc\", \"A\"]");
    expectUntouched(kRefusedFile, {"config", "import", combo},
                    "variant1.json: keys.\"Caps Lock\".combo: at most three keys");
    EXPECT_FALSE(fs::exists(keymap()));
    ok({"pull"});

    const struct {
        std::string file;
        const char* message;
    } refused[] = {
        {variant("\"Vol+\"", "\"Louder\""), "keys.F1.function: no function is called \"Louder\""},
        {variant("\"format\": 1", "\"format\": 1, \"colour\": 1"), "colour: unknown field"},
        {variant("\"game_mode\": true", "\"game_mode\": 1"), "game_mode: must be true or false"},
        {variant("\"speed\": 3", "\"speed\": 30"), "lighting.speed: must be 0 to 9"},
        {variant("\"Esc\"]]", "\"Esc\"]"), "not valid JSON"},
        {variant("\"1-num\"", "\"99-num\""), "keys.\"99-num\": no key is called"},
        // As "tessaronctl light radar --direction up" is refused.
        {variant("\"Wave\"", "\"Radar\""),
         "lighting.direction: Radar takes the direction \"right\" or \"left\", not \"up\""},
    };
    for (const auto& r : refused) {
        expectUntouched(kRefusedFile, {"config", "import", r.file, "--allow-host-actions"},
                        r.message);
        expectUntouched(kRefusedFile, {"config", "check", r.file}, r.message);
    }
    // A good file with a key that starts a program not yet approved: what import would ask.
    const auto checked = ctl({"config", "check", good.string()});
    EXPECT_EQ(checked.exitCode, kNotAllowed);
    EXPECT_TRUE(contains(checked.out, "6 keys and 2 macros"));
    EXPECT_TRUE(contains(checked.err, "F3: start the program /usr/bin/foot"));
    expectRefused({"config", "import", (root() / "missing.json").string()}, "Could not read");
    const auto wrong = ctl({"config", "send"});
    EXPECT_NE(wrong.exitCode, 0);
    EXPECT_TRUE(contains(wrong.err, "usage: tessaronctl config"));
}

TEST_F(ConfigCli, HostActionsComeInOnlyWhenAllowed) {
    ok({"pull"});
    const auto file = everything("/usr/bin/foot");
    expectUntouched(kNotAllowed, {"config", "import", file.string()},
                    "F3: start the program /usr/bin/foot\nNothing was changed.");
    ok({"config", "import", file.string(), "--allow-host-actions"});
    // Asked once: approved, it needs no second yes, and check has nothing to report.
    ok({"config", "import", file.string()});
    ok({"config", "check", file.string()});
    const auto elsewhere = everything("/usr/bin/xterm");
    expectUntouched(kNotAllowed, {"config", "import", elsewhere.string()},
                    "F3: start the program /usr/bin/xterm");
    expectUntouched(kNotAllowed, {"--lang", "chinese", "config", "import", elsewhere.string()},
                    "F3：启动程序 /usr/bin/xterm");
}

TEST_F(ConfigCli, ProfileLoadOfAnOutsideFileAsksForNewHostActions) {
    // Someone else's profile with a key that starts a program.
    const fs::path theirs = root() / "theirs";
    const fs::path tool = root() / "tool";
    std::ofstream(tool) << "#!/bin/sh\n";
    ASSERT_EQ(in(theirs, {"pull"}).exitCode, 0);
    ASSERT_EQ(in(theirs, {"assign", "F3", "program", tool.string()}).exitCode, 0);
    ASSERT_EQ(in(theirs, {"profile", "new"}).exitCode, 0);
    const fs::path shared = root() / "shared.bin";
    ASSERT_EQ(in(theirs, {"profile", "save", "Profile_1", "--export", shared.string()}).exitCode, 0);

    ok({"pull"});
    ok({"profile", "new"});
    expectUntouched(kNotAllowed, {"profile", "load", "Profile_1", shared.string()},
                    "F3: start the program " + tool.string());
    ok({"profile", "load", "Profile_1", shared.string(), "--allow-host-actions"});
    EXPECT_EQ(keymapImage()[1228], 0x0A);  // F3's cell: host action

    // The same actions again need no question.
    ok({"profile", "load", "Profile_1", shared.string()});
    ok({"assign", "F3", "default"});
    ok({"profile", "load", "Profile_1", (data() / "Configure" / "Profile_1.bin").string()});
    EXPECT_EQ(keymapImage()[1228], 0x0A);

    // Where the file lies does not matter: a profile copied by hand into the profile folder
    // (how shared profiles are installed) asks about an action not approved.
    ASSERT_EQ(in(theirs, {"assign", "F4", "program", "/bin/sh"}).exitCode, 0);
    ASSERT_EQ(in(theirs, {"profile", "save", "Profile_1"}).exitCode, 0);
    fs::copy_file(theirs / "Configure" / "Profile_1.bin", data() / "Configure" / "Shared.bin");
    expectUntouched(kNotAllowed,
                    {"profile", "load", "Profile_1", (data() / "Configure" / "Shared.bin").string()},
                    "F4: start the program /bin/sh");
    // What the user makes in Tessaron is approved as it is made.
    ok({"assign", "F5", "program", tool.string()});
    const fs::path mine = root() / "mine.json";
    ok({"config", "export", mine.string()});
    EXPECT_TRUE(contains(bytesOf(mine), tool.string()));
    ok({"config", "check", mine.string()});
    const auto wrong = ctl({"profile", "list", "--allow-host-actions"});
    EXPECT_NE(wrong.exitCode, 0);
    EXPECT_TRUE(contains(wrong.err, "usage: tessaronctl profile"));
}

// show --json, light --json and keys --json say what config export says, in its words; show
// lists the keys switched off.
TEST_F(ConfigCli, JsonAnswersUseTheWordsOfTheExport) {
    using Json = nlohmann::ordered_json;
    ok({"pull"});
    ok({"light", "radar", "--direction", "right", "--speed", "7", "--brightness", "20"});
    ok({"set", "game-mode", "on", "response-time", "10", "report-rate", "250"});
    ok({"assign", "F4", "disable"});
    ok({"assign", "Caps Lock", "combo", "LCtrl", "Z"});
    ok({"apply"});

    const Json exported = Json::parse(ok({"config", "export"}).out);
    const Json shown = Json::parse(ok({"show", "--json"}).out);
    EXPECT_EQ(shown["lighting"], Json::parse(R"({"effect": "Radar", "speed": 7, "brightness": 20,
                                                 "direction": "right"})"));
    for (const char* field :
         {"lighting", "game_mode", "win_lock", "response_time_ms", "report_rate_hz"}) {
        EXPECT_EQ(shown[field], exported[field]) << field;
    }
    EXPECT_EQ(shown["game_mode"], true);
    EXPECT_EQ(shown["win_lock"], false);
    EXPECT_EQ(shown["response_time_ms"], 10);
    EXPECT_EQ(shown["report_rate_hz"], 250);
    EXPECT_EQ(shown["disabled_keys"], Json::parse(R"(["F4"])"));
    EXPECT_TRUE(contains(ok({"show"}).out, "Disabled keys: F4\n"));
    EXPECT_EQ(Json::parse(ok({"light", "--json"}).out)["lighting"], exported["lighting"]);

    const Json keys = Json::parse(ok({"keys", "--json"}).out);
    ASSERT_EQ(keys.size(), 108u);
    const Json caps = keys[62];
    EXPECT_EQ(caps["key"], "Caps Lock");
    EXPECT_EQ(caps["assignment"], exported["keys"]["Caps Lock"]);
    EXPECT_EQ(caps["enabled"], true);
    EXPECT_EQ(caps["modified"], true);
    EXPECT_EQ(keys[4]["key"], "F4");
    EXPECT_EQ(keys[4]["enabled"], false);
    EXPECT_EQ(keys[4]["assignment"], Json::object());

    const auto macro = writeText("m.txt", "name: Greeting\nloops: 2\nA dn\n120 ms\nA up\n");
    ok({"macro", "import", macro.string()});
    EXPECT_EQ(Json::parse(ok({"macro", "list", "--json"}).out),
              Json::parse(R"([{"number": 0, "name": "Greeting", "loops": 2,
                               "events": ["A dn", "120 ms", "A up"]}])"));
    ok({"profile", "new"});
    EXPECT_EQ(ok({"profile", "list", "--json"}).out, "[\n  \"Profile_1\"\n]\n");
}

}  // namespace
}  // namespace tessaron::testing
