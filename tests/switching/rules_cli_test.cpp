// tessaronctl rules as a user runs it: rules kept in order in rules.json, mistakes refused with
// exit status 2 and nothing written, "test" naming the rule a window meets, and the rules
// travelling with config export and import.

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli_fixture.h"

namespace tessaron::testing {
namespace {

namespace fs = std::filesystem;

std::string textOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class RulesCli : public CliTest {};

TEST_F(RulesCli, RulesKeepTheirOrderAndTestNamesTheRuleAWindowMeets) {
    ok({"rules", "add", "--profile", "Games", "command_line", "contains", "witcher3.exe"});
    ok({"rules", "add", "--keep", "class", "equals", "firefox-esr", "--not", "title", "contains",
        "news"});
    ok({"rules", "add", "--at", "1", "--profile", "Office", "title", "regex", "^report"});
    ok({"rules", "move", "1", "3"});
    ok({"rules", "remove", "2"});
    const auto list = ok({"rules", "list"});
    EXPECT_NE(list.out.find("1. command_line contains \"witcher3.exe\" -> profile \"Games\"\n"
                            "2. title regex \"^report\" -> profile \"Office\"\n"),
              std::string::npos)
        << list.out;

    EXPECT_EQ(ok({"rules", "test", "--command-line", "Z:\\Games\\Witcher3.EXE -dx12", "--title",
                  "Report"})
                  .out,
              "rule 1: command_line contains \"witcher3.exe\" -> profile \"Games\"\n");
    EXPECT_EQ(ok({"rules", "test", "--title", "Report 2026"}).out.substr(0, 7), "rule 2:");
    EXPECT_EQ(ok({"rules", "test", "--class", "xterm"}).out,
              "no rule: back to what the keyboard held before\n");

    expectUsageError({"rules", "remove", "3"}, "There is no rule 3");
    expectUsageError({"rules", "move", "1", "0"}, "Rules are numbered 1 to 2");
    expectUsageError({"rules", "add", "--profile", "A", "title", "regex", "(x"},
                     "is no regular expression");
    expectUsageError({"rules", "add", "--profile", "A", "--keep", "title", "equals", "x"},
                     "usage:");
    expectUsageError({"rules", "add", "--profile", "A", "title", "equals", "x", "--not"}, "usage:");
    expectUsageError({"rules", "add", "--profile", "A", "title", "is", "x"}, "is no test");
    expectUsageError({"rules", "limit", "0"}, "1 to 3600");
}

TEST_F(RulesCli, RulesTravelWithConfigExportAndImport) {
    ok({"rules", "add", "--profile", "Games", "--case-sensitive", "class", "starts_with",
        "steam_app_"});
    ok({"rules", "otherwise", "Desk"});
    ok({"rules", "limit", "12"});
    const std::string rules = textOf(data() / "rules.json");
    const auto exported = ok({"config", "export", (root() / "all.json").string()});

    // Into an empty data folder: the rules come back byte for byte.
    fs::remove(data() / "rules.json");
    ok({"config", "import", (root() / "all.json").string()});
    EXPECT_EQ(textOf(data() / "rules.json"), rules);

    // A file without rules (format 1) imports and leaves the rules alone.
    std::string old = textOf(root() / "all.json");
    old.replace(old.find("\"format\": 2"), 11, "\"format\": 1");
    old.erase(old.find(",\n  \"switching\""), std::string::npos);
    old += "\n}\n";
    const auto file = writeText("old.json", old);
    ok({"rules", "limit", "30"});
    const std::string current = textOf(data() / "rules.json");
    ok({"config", "import", file.string()});
    EXPECT_EQ(textOf(data() / "rules.json"), current);
}

}  // namespace
}  // namespace tessaron::testing
