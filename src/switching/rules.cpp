#include "switching/rules.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <utility>

#include "core/atomic_file.h"
#include "core/text.h"

namespace tessaron::switching {

struct CompiledRegex {
    std::regex regex;
};

namespace {

using Json = nlohmann::ordered_json;
namespace fs = std::filesystem;

constexpr std::array<std::pair<Field, std::string_view>, 4> kFields{{
    {Field::Program, "program"},
    {Field::CommandLine, "command_line"},
    {Field::Class, "class"},
    {Field::Title, "title"},
}};
constexpr std::array<std::pair<Compare, std::string_view>, 4> kTests{{
    {Compare::Equals, "equals"},
    {Compare::Contains, "contains"},
    {Compare::StartsWith, "starts_with"},
    {Compare::Regex, "regex"},
}};
// The window program's own WM_CLASS strings.
constexpr std::string_view kOwnClass = "tessaron";
constexpr std::size_t kMaxCommandLine = 4096;
// Far beyond any rules file a person writes; longer input is refused unread.
constexpr std::size_t kMaxRulesBytes = 1u << 20;

// ASCII only: the names rules test are program names, classes and titles, and folding other
// scripts by locale would make a rule match differently from one machine to the next.
std::string folded(std::string_view text) {
    std::string out(text);
    for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

std::string_view baseName(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

struct Refusal {
    std::string where;
    Error why;
};

[[noreturn]] void refuse(std::string where, Error why) {
    throw Refusal{std::move(where), std::move(why)};
}

const Json& member(const Json& object, const std::string& path, const char* name) {
    const auto it = object.find(name);
    if (it == object.end()) refuse(path + "." + name, TR_TEXT("Switching", "is missing"));
    return *it;
}

void onlyKnown(const Json& object, const std::string& path,
               std::initializer_list<std::string_view> known) {
    if (!object.is_object()) refuse(path, TR_TEXT("Switching", "must be an object {...}"));
    for (const auto& [key, value] : object.items()) {
        if (std::find(known.begin(), known.end(), key) == known.end()) {
            refuse(path.empty() ? key : path + "." + key, TR_TEXT("Switching", "unknown field"));
        }
    }
}

std::string textAt(const Json& v, const std::string& path) {
    if (!v.is_string()) refuse(path, TR_TEXT("Switching", "must be text in quotes"));
    return v.get<std::string>();
}

bool flagAt(const Json& v, const std::string& path) {
    if (!v.is_boolean()) refuse(path, TR_TEXT("Switching", "must be true or false"));
    return v.get<bool>();
}

long long numberAt(const Json& v, const std::string& path, long long low, long long high) {
    if (!v.is_number_integer()) refuse(path, TR_TEXT("Switching", "must be a whole number"));
    const auto n = v.get<long long>();
    if (n < low || n > high) {
        refuse(path, makeError(TR_TEXT("Switching", "must be %1 to %2"), std::to_string(low),
                               std::to_string(high)));
    }
    return n;
}

std::string profileAt(const Json& v, const std::string& path) {
    std::string name = textAt(v, path);
    if (name.empty()) refuse(path, TR_TEXT("Switching", "names no profile"));
    return name;
}

Condition conditionAt(const Json& v, const std::string& path) {
    onlyKnown(v, path, {"field", "test", "text", "case_sensitive", "negate"});
    const std::string fieldText = textAt(member(v, path, "field"), path + ".field");
    const auto field = fieldFromWord(fieldText);
    if (!field)
        refuse(path + ".field",
               TR_TEXT("Switching", "must be program, command_line, class or title"));
    const std::string testText = textAt(member(v, path, "test"), path + ".test");
    const auto test = testFromWord(testText);
    if (!test)
        refuse(path + ".test",
               TR_TEXT("Switching", "must be equals, contains, starts_with or regex"));
    std::string text = textAt(member(v, path, "text"), path + ".text");
    const bool caseSensitive =
        v.contains("case_sensitive") && flagAt(v["case_sensitive"], path + ".case_sensitive");
    const bool negate = v.contains("negate") && flagAt(v["negate"], path + ".negate");
    auto made = Condition::make(*field, *test, std::move(text), caseSensitive, negate);
    if (!made) refuse(path + ".text", made.error());
    return std::move(*made);
}

Rule ruleAt(const Json& v, const std::string& path) {
    onlyKnown(v, path, {"when", "profile", "keep", "enabled"});
    const Json& when = member(v, path, "when");
    if (!when.is_array() || when.empty())
        refuse(path + ".when", TR_TEXT("Switching", "must be a list of conditions"));
    Rule rule;
    for (std::size_t i = 0; i < when.size(); ++i) {
        rule.conditions.push_back(conditionAt(when[i], path + ".when[" + std::to_string(i) + "]"));
    }
    const bool keep = v.contains("keep") && flagAt(v["keep"], path + ".keep");
    if (v.contains("profile") == keep) {
        refuse(path, TR_TEXT("Switching", "needs either \"profile\" or \"keep\": true"));
    }
    if (!keep) rule.profile = profileAt(v["profile"], path + ".profile");
    rule.enabled = !v.contains("enabled") || flagAt(v["enabled"], path + ".enabled");
    return rule;
}

RuleSet ruleSetAt(const Json& doc) {
    onlyKnown(doc, "", {"format", "enabled", "dwell_ms", "writes_per_hour", "otherwise", "rules"});
    const auto format = numberAt(member(doc, "", "format"), "format", 0, 1 << 30);
    if (format != kRulesFormat) {
        refuse("format",
               makeError(
                   TR_TEXT("Switching", "this file has format %1; this Tessaron reads format %2"),
                   std::to_string(format), std::to_string(kRulesFormat)));
    }
    RuleSet set;
    if (doc.contains("enabled")) set.enabled = flagAt(doc["enabled"], "enabled");
    if (doc.contains("dwell_ms")) {
        set.dwell = std::chrono::milliseconds(numberAt(doc["dwell_ms"], "dwell_ms", 0, 60000));
    }
    if (doc.contains("writes_per_hour")) {
        set.writesPerHour =
            static_cast<int>(numberAt(doc["writes_per_hour"], "writes_per_hour", 1, 3600));
    }
    if (doc.contains("otherwise")) {
        const Json& o = doc["otherwise"];
        if (o.is_string() && o.get<std::string>() == "previous") {
            set.otherwise.reset();
        } else if (o.is_object()) {
            onlyKnown(o, "otherwise", {"profile"});
            set.otherwise = profileAt(member(o, "otherwise", "profile"), "otherwise.profile");
        } else {
            refuse("otherwise",
                   TR_TEXT("Switching", "must be \"previous\" or {\"profile\": NAME}"));
        }
    }
    const Json& rules = member(doc, "", "rules");
    if (!rules.is_array()) refuse("rules", TR_TEXT("Switching", "must be a list [...]"));
    for (std::size_t i = 0; i < rules.size(); ++i) {
        set.rules.push_back(ruleAt(rules[i], "rules[" + std::to_string(i) + "]"));
    }
    return set;
}

}  // namespace

std::string_view fieldWord(Field field) {
    for (const auto& [f, word] : kFields)
        if (f == field) return word;
    return {};
}

std::string_view testWord(Compare test) {
    for (const auto& [t, word] : kTests)
        if (t == test) return word;
    return {};
}

std::optional<Field> fieldFromWord(std::string_view word) {
    for (const auto& [f, w] : kFields)
        if (w == word) return f;
    return std::nullopt;
}

std::optional<Compare> testFromWord(std::string_view word) {
    for (const auto& [t, w] : kTests)
        if (w == word) return t;
    return std::nullopt;
}

Result<Condition> Condition::make(Field field, Compare test, std::string text, bool caseSensitive,
                                  bool negate) {
    Condition c;
    c.field_ = field;
    c.test_ = test;
    c.caseSensitive_ = caseSensitive;
    c.negate_ = negate;
    c.folded_ = caseSensitive ? text : folded(text);
    if (test == Compare::Regex) {
        auto flags = std::regex::ECMAScript;
        if (!caseSensitive) flags |= std::regex::icase;
        try {
            c.regex_ = std::make_shared<const CompiledRegex>(CompiledRegex{std::regex(text, flags)});
        } catch (const std::regex_error& e) {
            return makeError(TR_TEXT("Switching", "\"%1\" is no regular expression: %2"), text,
                             e.what());
        }
    }
    c.text_ = std::move(text);
    return c;
}

bool Condition::matches(std::string_view value) const {
    if (test_ == Compare::Regex) {
        try {
            return std::regex_search(value.begin(), value.end(), regex_->regex);
        } catch (const std::regex_error&) {
            return false;  // too complex for this value: it decides nothing
        }
    }
    const std::string v = caseSensitive_ ? std::string(value) : folded(value);
    switch (test_) {
        case Compare::Equals:
            return v == folded_;
        case Compare::Contains:
            return v.find(folded_) != std::string::npos;
        case Compare::StartsWith:
            return v.starts_with(folded_);
        case Compare::Regex:
            break;
    }
    return false;
}

bool Condition::holds(const WindowInfo& w) const {
    bool any = false;
    switch (field_) {
        case Field::Program:
            any = matches(w.program) || matches(baseName(w.program));
            break;
        case Field::CommandLine:
            any = matches(w.commandLine);
            break;
        case Field::Class:
            any = matches(w.instance) || matches(w.windowClass);
            break;
        case Field::Title:
            any = matches(w.title);
            break;
    }
    return any != negate_;
}

bool Rule::holds(const WindowInfo& window) const {
    if (!enabled || conditions.empty()) return false;
    return std::all_of(conditions.begin(), conditions.end(),
                       [&](const Condition& c) { return c.holds(window); });
}

bool isOwnWindow(const WindowInfo& window, int ownPid) {
    if (ownPid != 0 && window.pid == ownPid) return true;
    return folded(window.instance) == kOwnClass || folded(window.windowClass) == kOwnClass;
}

std::optional<std::size_t> firstMatch(const RuleSet& set, const WindowInfo& window) {
    for (std::size_t i = 0; i < set.rules.size(); ++i) {
        if (set.rules[i].holds(window)) return i;
    }
    return std::nullopt;
}

Decision decide(const RuleSet& set, const WindowInfo& window, int ownPid) {
    Decision d;
    if (isOwnWindow(window, ownPid)) {
        d.own = true;
        return d;
    }
    // A window that told nothing about itself yet must not send the keyboard to the default.
    if (window.program.empty() && window.commandLine.empty() && window.instance.empty() &&
        window.windowClass.empty() && window.title.empty()) {
        return d;
    }
    d.rule = firstMatch(set, window);
    if (d.rule) {
        const auto& profile = set.rules[*d.rule].profile;
        d.kind = profile ? Decision::Kind::Profile : Decision::Kind::Keep;
        d.profile = profile.value_or("");
    } else if (set.otherwise) {
        d.kind = Decision::Kind::Profile;
        d.profile = *set.otherwise;
    } else {
        d.kind = Decision::Kind::Previous;
    }
    return d;
}

std::string formatRules(const RuleSet& set) {
    Json doc = Json::object();
    doc["format"] = kRulesFormat;
    doc["enabled"] = set.enabled;
    doc["dwell_ms"] = set.dwell.count();
    doc["writes_per_hour"] = set.writesPerHour;
    if (set.otherwise) {
        doc["otherwise"] = Json{{"profile", *set.otherwise}};
    } else {
        doc["otherwise"] = "previous";
    }
    Json rules = Json::array();
    for (const auto& r : set.rules) {
        Json when = Json::array();
        for (const auto& c : r.conditions) {
            Json cj = {{"field", fieldWord(c.field())},
                       {"test", testWord(c.test())},
                       {"text", c.text()}};
            if (c.caseSensitive()) cj["case_sensitive"] = true;
            if (c.negate()) cj["negate"] = true;
            when.push_back(std::move(cj));
        }
        Json rj = {{"when", std::move(when)}};
        if (r.profile) {
            rj["profile"] = *r.profile;
        } else {
            rj["keep"] = true;
        }
        if (!r.enabled) rj["enabled"] = false;
        rules.push_back(std::move(rj));
    }
    doc["rules"] = std::move(rules);
    return doc.dump(2) + "\n";
}

Result<RuleSet> parseRules(std::string_view text) {
    if (text.size() > kMaxRulesBytes)
        return makeError(TR_TEXT("Switching", "longer than any rules file is"));
    Json doc;
    try {
        doc = Json::parse(text);
    } catch (const Json::parse_error& e) {
        return makeError(TR_TEXT("Switching", "not JSON: %1"), e.what());
    }
    try {
        return ruleSetAt(doc);
    } catch (const Refusal& r) {
        return makeError(TR_TEXT("Switching", "%1: %2"), r.where.empty() ? "(top)" : r.where,
                         r.why);
    }
}

void fillProcessDetails(WindowInfo& window) {
    window.program.clear();
    window.commandLine.clear();
    if (window.pid <= 0) return;
    const std::string proc = "/proc/" + std::to_string(window.pid);
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink(proc + "/exe", ec);
    if (!ec) window.program = exe.string();
    std::ifstream in(proc + "/cmdline", std::ios::binary);
    std::string line;
    char ch = 0;
    while (line.size() < kMaxCommandLine && in.get(ch)) line.push_back(ch == '\0' ? ' ' : ch);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    window.commandLine = std::move(line);
}

fs::path rulesFile(const fs::path& dataFolder) {
    return dataFolder / kRulesFileName;
}

Result<RuleSet> loadRules(const fs::path& dataFolder) {
    const fs::path file = rulesFile(dataFolder);
    std::error_code ec;
    if (!fs::exists(file, ec)) return RuleSet{};
    auto bytes = readFilePrefix(file, kMaxRulesBytes + 1);
    if (!bytes) return bytes.error();
    auto set = parseRules(std::string_view(reinterpret_cast<const char*>(bytes->data()),
                                           bytes->size()));
    if (!set) {
        return makeError(TR_TEXT("Switching", "%1: %2"), file.string(), set.error());
    }
    return set;
}

Status saveRules(const fs::path& dataFolder, const RuleSet& set) {
    const std::string text = formatRules(set);
    return writeFileAtomically(
        rulesFile(dataFolder),
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace tessaron::switching
