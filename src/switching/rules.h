#pragma once
// Rules that pick a profile for the window in front. Each rule holds one or more conditions that
// must all hold; the first enabled rule whose conditions hold decides. A rule names a profile, or
// says to leave the keyboard as it is (an exception). When no rule holds, the keyboard goes back
// to what it held before the first switch, or to a chosen profile.
//
// The rules live in rules.json of the data folder:
//
//   {
//     "format": 1, "enabled": true, "dwell_ms": 500, "writes_per_hour": 60,
//     "otherwise": "previous",                         // or {"profile": "Office"}
//     "rules": [
//       {"when": [{"field": "command_line", "test": "contains", "text": "witcher3.exe"}],
//        "profile": "Games"},
//       {"when": [{"field": "class", "test": "equals", "text": "firefox"},
//                 {"field": "title", "test": "contains", "text": "meet", "negate": true}],
//        "keep": true, "enabled": false}
//     ]
//   }

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace tessaron::switching {

inline constexpr const char* kRulesFileName = "rules.json";
inline constexpr int kRulesFormat = 1;
inline constexpr std::chrono::milliseconds kDefaultDwell{500};
inline constexpr int kDefaultWritesPerHour = 60;

// What is known of the window in front. Fields that could not be learned are empty.
struct WindowInfo {
    std::uint32_t id = 0;     // the X window, 0 when unknown
    int pid = 0;              // 0 when unknown
    std::string program;      // the executable's path (/proc/PID/exe)
    std::string commandLine;  // arguments joined by single spaces
    std::string instance;     // first WM_CLASS string, or the Wayland app id
    std::string windowClass;  // second WM_CLASS string
    std::string title;

    friend bool operator==(const WindowInfo&, const WindowInfo&) = default;
};

enum class Field { Program, CommandLine, Class, Title };
enum class Compare { Equals, Contains, StartsWith, Regex };

std::string_view fieldWord(Field field);
std::string_view testWord(Compare test);
std::optional<Field> fieldFromWord(std::string_view word);
std::optional<Compare> testFromWord(std::string_view word);

struct CompiledRegex;  // kept out of this header: <regex> is heavy and only rules.cpp needs it

class Condition {
public:
    // Refuses a regular expression that does not compile.
    static Result<Condition> make(Field field, Compare test, std::string text,
                                  bool caseSensitive = false, bool negate = false);

    // Program matches the executable's path or its file name; Class matches either WM_CLASS
    // string.
    bool holds(const WindowInfo& window) const;

    Field field() const { return field_; }
    Compare test() const { return test_; }
    const std::string& text() const { return text_; }
    bool caseSensitive() const { return caseSensitive_; }
    bool negate() const { return negate_; }

    friend bool operator==(const Condition& a, const Condition& b) {
        return a.field_ == b.field_ && a.test_ == b.test_ && a.text_ == b.text_ &&
               a.caseSensitive_ == b.caseSensitive_ && a.negate_ == b.negate_;
    }

private:
    bool matches(std::string_view value) const;

    Field field_ = Field::Title;
    Compare test_ = Compare::Equals;
    std::string text_;
    std::string folded_;  // text_ in lower case unless case-sensitive
    bool caseSensitive_ = false;
    bool negate_ = false;
    std::shared_ptr<const CompiledRegex> regex_;
};

// A profile by name, or "leave the keyboard as it is" when empty.
struct Rule {
    std::vector<Condition> conditions;
    std::optional<std::string> profile;  // nullopt: an exception, nothing is switched
    bool enabled = true;

    bool holds(const WindowInfo& window) const;
    friend bool operator==(const Rule&, const Rule&) = default;
};

struct RuleSet {
    std::vector<Rule> rules;
    std::optional<std::string> otherwise;  // nullopt: back to what the keyboard held before
    bool enabled = true;
    std::chrono::milliseconds dwell = kDefaultDwell;
    int writesPerHour = kDefaultWritesPerHour;

    friend bool operator==(const RuleSet&, const RuleSet&) = default;
};

// What the window in front asks of the keyboard.
struct Decision {
    enum class Kind {
        Keep,      // leave the keyboard as it is (an exception, our own window, a window
                   // that told nothing about itself)
        Profile,   // load `profile`
        Previous,  // what the keyboard held before the first switch
    };
    Kind kind = Kind::Keep;
    std::string profile;
    std::optional<std::size_t> rule;  // the rule that decided; nullopt for the default
    bool own = false;                 // the window is one of ours

    friend bool operator==(const Decision&, const Decision&) = default;
};

// The program and command line of a local process, from /proc; empty where unreadable. Command
// lines are cut at 4 KiB: enough for any rule, and regular expressions stay quick on them.
void fillProcessDetails(WindowInfo& window);

// Our own windows (by process id, or by the class the window program gives them) never decide.
bool isOwnWindow(const WindowInfo& window, int ownPid);

std::optional<std::size_t> firstMatch(const RuleSet& set, const WindowInfo& window);
Decision decide(const RuleSet& set, const WindowInfo& window, int ownPid);

// The text form; refusals name the place, e.g. "rules[2].when[0].test: ...".
std::string formatRules(const RuleSet& set);
Result<RuleSet> parseRules(std::string_view text);

// rules.json of the data folder; a missing file is an empty, enabled rule set.
std::filesystem::path rulesFile(const std::filesystem::path& dataFolder);
Result<RuleSet> loadRules(const std::filesystem::path& dataFolder);
Status saveRules(const std::filesystem::path& dataFolder, const RuleSet& set);

}  // namespace tessaron::switching
