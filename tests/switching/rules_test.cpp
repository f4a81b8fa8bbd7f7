// The rule matcher against a table of windows, and the rules file.

#include <gtest/gtest.h>

#include <fstream>

#include "support/scratch_folder.h"
#include "switching/rules.h"

namespace tessaron::switching {
namespace {

Condition cond(Field f, Compare t, std::string text, bool caseSensitive = false, bool negate = false) {
    auto c = Condition::make(f, t, std::move(text), caseSensitive, negate);
    EXPECT_TRUE(c.ok());
    return *c;
}

Rule rule(std::vector<Condition> conditions, std::optional<std::string> profile) {
    return Rule{std::move(conditions), std::move(profile), true};
}

// A Proton game runs as the Wine loader: its .exe shows only in the command line.
const WindowInfo kWineGame{1, 4242, "/home/ann/.steam/proton/files/bin/wine64-preloader",
                           "Z:\\home\\ann\\Games\\Witcher3\\bin\\x64\\witcher3.exe -dx12",
                           "steam_app_292030", "steam_app_292030", "The Witcher 3"};
const WindowInfo kFirefox{2, 100, "/usr/lib/firefox-esr/firefox-esr", "/usr/lib/firefox-esr/firefox-esr",
                          "Navigator", "firefox-esr", "Meet - Weekly call — Mozilla Firefox"};
const WindowInfo kNothing{};
const WindowInfo kTerminal{3, 200, "/usr/bin/xterm", "xterm -e htop", "xterm", "XTerm", "htop"};

TEST(RuleMatcher, TableOfWindowsAgainstConditions) {
    struct Row {
        Condition condition;
        const WindowInfo* window;
        bool holds;
    };
    const Row table[] = {
        // Wine: the loader is the program, the game is in the command line.
        {cond(Field::CommandLine, Compare::Contains, "WITCHER3.EXE"), &kWineGame, true},
        {cond(Field::Program, Compare::Equals, "witcher3.exe"), &kWineGame, false},
        {cond(Field::CommandLine, Compare::Regex, R"(\\witcher3\.exe( |$))"), &kWineGame, true},
        {cond(Field::CommandLine, Compare::Contains, "WITCHER3.EXE", true), &kWineGame, false},
        // Program: the file name or the whole path.
        {cond(Field::Program, Compare::Equals, "xterm"), &kTerminal, true},
        {cond(Field::Program, Compare::Equals, "/usr/bin/xterm"), &kTerminal, true},
        {cond(Field::Program, Compare::Equals, "/usr/bin/xter"), &kTerminal, false},
        {cond(Field::Program, Compare::StartsWith, "/usr/lib/firefox"), &kFirefox, true},
        // Class: either WM_CLASS string, case folded by default.
        {cond(Field::Class, Compare::Equals, "navigator"), &kFirefox, true},
        {cond(Field::Class, Compare::Equals, "FIREFOX-ESR"), &kFirefox, true},
        {cond(Field::Class, Compare::Equals, "firefox"), &kFirefox, false},
        {cond(Field::Class, Compare::Equals, "xterm", true), &kTerminal, true},
        {cond(Field::Class, Compare::Equals, "XTERM", true), &kTerminal, false},
        // Title, negated; a non-ASCII title still matches by its ASCII letters.
        {cond(Field::Title, Compare::Contains, "meet", false, true), &kFirefox, false},
        {cond(Field::Title, Compare::Contains, "meet", false, true), &kTerminal, true},
        {cond(Field::Title, Compare::Regex, "^meet .*firefox$"), &kFirefox, true},
        {cond(Field::Title, Compare::StartsWith, "the witcher"), &kWineGame, true},
        // A window not known yet holds nothing.
        {cond(Field::Title, Compare::Contains, "x"), &kNothing, false},
    };
    for (std::size_t i = 0; i < std::size(table); ++i) {
        EXPECT_EQ(table[i].condition.holds(*table[i].window), table[i].holds) << "row " << i;
    }
}

TEST(RuleMatcher, FirstEnabledRuleWinsOtherwiseTheDefault) {
    RuleSet set;
    set.rules.push_back(rule({cond(Field::Class, Compare::Equals, "firefox-esr"),
                              cond(Field::Title, Compare::Contains, "meet")},
                             std::nullopt));  // calls: leave the keyboard alone
    set.rules.push_back(rule({cond(Field::Class, Compare::StartsWith, "steam_app_")}, "Games"));
    set.rules.push_back(rule({cond(Field::Program, Compare::Contains, "firefox")}, "Office"));
    set.rules.push_back(rule({cond(Field::Class, Compare::Equals, "xterm")}, "Never"));
    set.rules.back().enabled = false;

    auto d = decide(set, kFirefox, 1);
    EXPECT_EQ(d.kind, Decision::Kind::Keep);
    EXPECT_EQ(d.rule, 0u);

    WindowInfo otherTab = kFirefox;
    otherTab.title = "News";
    d = decide(set, otherTab, 1);
    EXPECT_EQ(d.kind, Decision::Kind::Profile);
    EXPECT_EQ(d.profile, "Office");
    EXPECT_EQ(d.rule, 2u);

    EXPECT_EQ(decide(set, kWineGame, 1).profile, "Games");

    d = decide(set, kTerminal, 1);
    EXPECT_EQ(d.kind, Decision::Kind::Previous);
    EXPECT_FALSE(d.rule);
    set.otherwise = "Desktop";
    d = decide(set, kTerminal, 1);
    EXPECT_EQ(d.kind, Decision::Kind::Profile);
    EXPECT_EQ(d.profile, "Desktop");

    // Neither does a window that told nothing about itself, nor our own windows.
    EXPECT_EQ(decide(set, kNothing, 1).kind, Decision::Kind::Keep);
    d = decide(set, kTerminal, kTerminal.pid);
    EXPECT_TRUE(d.own);
    EXPECT_EQ(d.kind, Decision::Kind::Keep);
    WindowInfo ours{9, 0, "", "", "tessaron", "Tessaron", "Tessaron"};
    EXPECT_TRUE(decide(set, ours, 1).own);
}

TEST(RuleMatcher, BadRegularExpressionIsRefused) {
    EXPECT_FALSE(Condition::make(Field::Title, Compare::Regex, "(unclosed").ok());
}

TEST(RulesFile, RoundTripsAndRefusesWithThePlace) {
    testing::ScratchFolder folder("rules");
    auto empty = loadRules(folder.path());
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(*empty, RuleSet{});

    RuleSet set;
    set.rules.push_back(rule({cond(Field::CommandLine, Compare::Regex, "game\\.exe", true, true)},
                             "Games"));
    set.rules.push_back(rule({cond(Field::Title, Compare::StartsWith, "Zoom")}, std::nullopt));
    set.rules.back().enabled = false;
    set.otherwise = "Desktop";
    set.dwell = std::chrono::milliseconds(750);
    set.writesPerHour = 12;
    ASSERT_TRUE(saveRules(folder.path(), set).ok());
    auto back = loadRules(folder.path());
    ASSERT_TRUE(back.ok()) << back.error().english;
    EXPECT_EQ(*back, set);

    const std::pair<const char*, const char*> refused[] = {
        {R"({"format": 2, "rules": []})", "format:"},
        {R"({"format": 1, "rules": [{"when": [], "profile": "A"}]})", "rules[0].when:"},
        {R"({"format": 1, "rules": [{"when": [{"field": "class", "test": "is", "text": "a"}],
             "profile": "A"}]})", "rules[0].when[0].test:"},
        {R"({"format": 1, "rules": [{"when": [{"field": "class", "test": "regex", "text": "["}],
             "profile": "A"}]})", "rules[0].when[0].text:"},
        {R"({"format": 1, "rules": [{"when": [{"field": "class", "test": "equals", "text": "a"}],
             "profile": "A", "keep": true}]})", "rules[0]:"},
        {R"({"format": 1, "writes_per_hour": 0, "rules": []})", "writes_per_hour:"},
        {R"({"format": 1, "otherwise": "last", "rules": []})", "otherwise:"},
        {"{", "not JSON"},
    };
    for (const auto& [text, where] : refused) {
        auto parsed = parseRules(text);
        ASSERT_FALSE(parsed.ok()) << text;
        EXPECT_NE(parsed.error().english.find(where), std::string::npos) << parsed.error().english;
    }
}

}  // namespace
}  // namespace tessaron::switching
