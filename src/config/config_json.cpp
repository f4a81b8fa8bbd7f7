#include "config/config_json.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <set>
#include <vector>

#include <nlohmann/json.hpp>

#include "device/performance.h"
#include "keys/functions.h"
#include "keys/key_lookup.h"
#include "keys/key_names.h"
#include "keys/lighting.h"
#include "macros/macro_text.h"

namespace tessaron::config {
namespace {

using Json = nlohmann::ordered_json;

// ---- words ----

// Codes a keyboard reports that the effect list has no name for; kept by number.
constexpr std::array<std::uint8_t, 4> kUnnamedEffects{8, 9, 15, 16};

namespace lighting = keys::lighting;
namespace performance = device::performance;

constexpr std::array<std::string_view, 4> kHostWords{"sound", "program", "file", "folder"};
static_assert(keys::kind::kOpenFolder - keys::kind::kPlaySound + 1 == kHostWords.size());

std::string trimmed(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return std::string(s);
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (auto& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

// ---- refusals ----

struct Refusal {
    Error error;
};

[[noreturn]] void refuse(const std::string& path, const std::string& english,
                         const std::string& chinese) {
    throw Refusal{makeError((path.empty() ? "(top)" : path) + ": " + english,
                            (path.empty() ? "（顶层）" : path) + "：" + chinese)};
}

// "a, b or c" and "a、b 或 c".
std::string either(const std::vector<std::string>& words, bool chinese) {
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const bool last = i + 1 == words.size();
        out += (i == 0 ? "" : last ? (chinese ? " 或 " : " or ") : (chinese ? "、" : ", ")) + words[i];
    }
    return out;
}

std::string listed(const std::vector<std::string>& words, bool chinese) {
    std::string out;
    for (const auto& w : words) out += (out.empty() ? "" : chinese ? "、" : ", ") + w;
    return out;
}

bool plainName(std::string_view name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front()))) return false;
    return std::all_of(name.begin(), name.end(), [](char ch) {
        return std::isalnum(static_cast<unsigned char>(ch)) || ch == '_';
    });
}

std::string member(const std::string& path, std::string_view name) {
    const std::string shown = plainName(name) ? std::string(name) : Json(name).dump();
    return path.empty() ? shown : path + "." + shown;
}

std::string element(const std::string& path, std::size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

// Duplicate names and runaway nesting are caught while parsing: the parser would keep the last
// of two equal names silently.
class ParseWatch {
public:
    bool operator()(int depth, Json::parse_event_t event, Json& parsed) {
        using E = Json::parse_event_t;
        switch (event) {
            case E::object_start:
            case E::array_start:
                if (depth > kMaxDepth) {
                    refuse(path(), "nested deeper than any configuration is",
                           "嵌套层数超过任何配置所需");
                }
                frames_.push_back({event == E::array_start, 0, {}, {}});
                break;
            case E::key: {
                Frame& top = frames_.back();
                top.key = parsed.get<std::string>();
                if (!top.seen.insert(top.key).second) {
                    refuse(path(), "appears twice", "出现了两次");
                }
                break;
            }
            case E::value:
                counted();
                break;
            case E::object_end:
            case E::array_end:
                frames_.pop_back();
                counted();
                break;
        }
        return true;
    }

private:
    static constexpr int kMaxDepth = 8;
    struct Frame {
        bool array = false;
        std::size_t index = 0;
        std::string key;
        std::set<std::string> seen;
    };
    void counted() {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
    }
    std::string path() const {
        std::string p;
        for (const auto& f : frames_) p = f.array ? element(p, f.index) : member(p, f.key);
        return p;
    }
    std::vector<Frame> frames_;
};

// ---- typed reading ----

// A number written with more digits than 64 bits hold is read as a float.
bool hugeWhole(const Json& v) {
    if (!v.is_number_float()) return false;
    const double x = v.get<double>();
    return std::trunc(x) == x && std::fabs(x) >= 9.2e18;
}

std::string typeWord(const Json& v, bool chinese) {
    switch (v.type()) {
        case Json::value_t::object:
            return chinese ? "对象" : "an object";
        case Json::value_t::array:
            return chinese ? "列表" : "a list";
        case Json::value_t::string:
            return chinese ? "文本" : "text";
        case Json::value_t::boolean:
            return chinese ? "true 或 false" : "true or false";
        case Json::value_t::null:
            return "null";
        case Json::value_t::number_float:
            return chinese ? "带小数的数" : "a number with a fraction";
        default:
            return chinese ? "数" : "a number";
    }
}

[[noreturn]] void wrongType(const std::string& path, const Json& v, const std::string& wanted,
                            const std::string& wantedZh) {
    refuse(path, std::string("must be ") + wanted + ", not " + typeWord(v, false),
           "必须是" + wantedZh + "，而不是" + typeWord(v, true));
}

void expectObject(const Json& v, const std::string& path,
                  std::initializer_list<std::string_view> allowed) {
    if (!v.is_object()) wrongType(path, v, "an object {...}", "对象 {...}");
    for (const auto& [name, value] : v.items()) {
        if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
            std::string list;
            for (auto a : allowed) list += (list.empty() ? "" : ", ") + std::string(a);
            refuse(member(path, name), "unknown field (known here: " + list + ")",
                   "未知字段（此处可用：" + list + "）");
        }
    }
}

const Json& required(const Json& object, const std::string& path, const char* name) {
    const auto it = object.find(name);
    if (it == object.end()) refuse(member(path, name), "is missing", "缺少此项");
    return *it;
}

const Json& listAt(const Json& v, const std::string& path) {
    if (!v.is_array()) wrongType(path, v, "a list [...]", "列表 [...]");
    return v;
}

std::string textAt(const Json& v, const std::string& path) {
    if (!v.is_string()) wrongType(path, v, "text in quotes", "带引号的文本");
    return v.get<std::string>();
}

bool flagAt(const Json& v, const std::string& path) {
    if (!v.is_boolean()) wrongType(path, v, "true or false", "true 或 false");
    return v.get<bool>();
}

// A whole number, or nothing when it is one of more digits than any setting has (the reason is
// then said by the caller, who knows the allowed values).
std::optional<long long> wholeAt(const Json& v, const std::string& path) {
    if (hugeWhole(v)) return std::nullopt;
    if (!v.is_number_integer()) wrongType(path, v, "a whole number", "整数");
    if (v.is_number_unsigned() &&
        v.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX)) {
        return std::nullopt;
    }
    return v.get<long long>();
}

std::string shown(const Json& v) {
    return v.is_number_float() ? "this number" : v.dump();
}

long long numberAt(const Json& v, const std::string& path, long long low, long long high) {
    const auto n = wholeAt(v, path);
    if (!n || *n < low || *n > high) {
        const bool small = n ? *n < low : v.get<double>() < 0;
        refuse(path,
               "must be " + std::to_string(low) + " to " + std::to_string(high) + "; " + shown(v) +
                   (small ? " is too small" : " is too big"),
               "必须在 " + std::to_string(low) + " 到 " + std::to_string(high) + " 之间；" +
                   (v.is_number_float() ? std::string("此数") : v.dump() + " ") +
                   (small ? "太小" : "太大"));
    }
    return *n;
}

// One of a few allowed numbers; anything else is refused with all of them listed.
long long oneOfAt(const Json& v, const std::string& path, const std::vector<int>& allowed,
                  const std::string& unit, const std::string& unitZh) {
    std::vector<std::string> words;
    for (int a : allowed) words.push_back(std::to_string(a));
    const bool number = v.is_number_integer() || hugeWhole(v);
    const auto n = number ? wholeAt(v, path) : std::nullopt;
    if (!n || std::find(allowed.begin(), allowed.end(), *n) == allowed.end()) {
        const std::string what = number ? shown(v) : typeWord(v, false);
        const std::string whatZh =
            number ? (v.is_number_float() ? std::string("此数") : v.dump()) : typeWord(v, true);
        refuse(path, "must be " + either(words, false) + unit + ", not " + what,
               "必须是 " + either(words, true) + unitZh + "，而不是" + whatZh);
    }
    return *n;
}

// ---- sections ----

Lighting readLighting(const Json& v, const std::string& path) {
    expectObject(v, path, {"effect", "speed", "brightness", "direction"});
    Lighting l;
    const std::string effectPath = member(path, "effect");
    const Json& effect = required(v, path, "effect");
    if (effect.is_number_integer()) {
        const auto code = static_cast<std::uint8_t>(numberAt(effect, effectPath, 0, 255));
        if (std::find(kUnnamedEffects.begin(), kUnnamedEffects.end(), code) ==
            kUnnamedEffects.end()) {
            refuse(effectPath, "an effect is given by its name, such as \"Wave\"",
                   "效果要用名称给出，例如 \"Wave\"");
        }
        l.effect = code;
    } else {
        const std::string name = textAt(effect, effectPath);
        const auto row = lighting::findEffect(name);
        if (!row) {
            std::vector<std::string> english, chinese;
            for (const auto& e : lighting::effects()) {
                english.emplace_back(e.english);
                chinese.emplace_back(e.chinese);
            }
            refuse(effectPath,
                   "no effect is called \"" + name + "\" (effects: " + listed(english, false) + ")",
                   "没有名为 \"" + name + "\" 的灯效（可用：" + listed(chinese, true) + "）");
        }
        l.effect = lighting::effects()[*row].code;
    }
    // Speed and direction as "tessaronctl light" takes them for this effect. Files written
    // before they were left out for effects without them still hold one; it is read as before.
    if (const auto speed = v.find("speed"); speed != v.end()) {
        l.speed = static_cast<std::uint8_t>(
            numberAt(*speed, member(path, "speed"), 0, lighting::kMaxSpeed));
    }
    l.brightness = static_cast<std::uint8_t>(numberAt(
        required(v, path, "brightness"), member(path, "brightness"), 0, lighting::kMaxBrightness));
    if (const auto given = v.find("direction"); given != v.end()) {
        static constexpr std::uint8_t kAll[] = {lighting::kLeft, lighting::kRight, lighting::kUp,
                                                lighting::kDown};
        const auto own = lighting::directionsOf(l.effect);
        const auto offered = own.empty() ? std::span<const std::uint8_t>(kAll) : own;
        const std::string directionPath = member(path, "direction");
        const std::string direction = lowered(textAt(*given, directionPath));
        std::vector<std::string> words;
        for (std::uint8_t d : offered) {
            words.push_back("\"" + std::string(lighting::directionWord(d)) + "\"");
            if (lighting::directionWord(d) == direction) l.direction = d;
        }
        if (!l.direction) {
            // Effects 15 and 16 take directions but have no name in the list.
            std::string effectEn = lighting::effectName(l.effect, Language::English);
            std::string effectZh = lighting::effectName(l.effect, Language::Chinese);
            if (effectEn.empty()) {
                effectEn = "Effect " + std::to_string(l.effect);
                effectZh = "灯效 " + std::to_string(l.effect);
            }
            refuse(directionPath,
                   (own.empty() ? std::string("must be ") : effectEn + " takes the direction ") +
                       either(words, false) + ", not \"" + direction + "\"",
                   (own.empty() ? std::string("必须是 ") : trimmed(effectZh) + " 的方向可取 ") +
                       either(words, true) + "，而不是 \"" + direction + "\"");
        }
    }
    return l;
}

keys::KeyIndex keyAt(const std::string& word, const std::string& path) {
    const auto k = keys::findKey(word);
    if (!k || *k >= keys::kRealKeyCount) {
        refuse(path, "no key is called \"" + word + "\" (see tessaronctl keys)",
               "没有名为 \"" + word + "\" 的按键（见 tessaronctl keys）");
    }
    return *k;
}

std::uint8_t capturedKeyAt(const Json& v, const std::string& path) {
    const std::string word = textAt(v, path);
    const auto vk = keys::findKeyCode(word);
    // Mouse action codes exist for macros only; the keyboard cannot send them from a key.
    if (!vk || keys::keyName(*vk).empty() || *vk >= 0xF0) {
        refuse(path, "no key is called \"" + word + "\" (see tessaronctl keys)",
               "没有名为 \"" + word + "\" 的按键（见 tessaronctl keys）");
    }
    return *vk;
}

std::size_t functionAt(const Json& v, const std::string& path) {
    const std::string name = textAt(v, path);
    const auto table = keys::functionTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (lowered(table[i].english) == lowered(trimmed(name)) || table[i].chinese == name) {
            return i;
        }
    }
    std::vector<std::string> english, chinese;
    for (const auto& f : table) {
        english.emplace_back(f.english);
        chinese.emplace_back(f.chinese);
    }
    refuse(path, "no function is called \"" + name + "\" (functions: " + listed(english, false) + ")",
           "没有名为 \"" + name + "\" 的功能（可用：" + listed(chinese, true) + "）");
}

KeySetting readKey(const Json& v, const std::string& path, keys::KeyIndex k,
                   std::size_t macroCount) {
    expectObject(v, path,
                 {"single", "combo", "function", "macro", "sound", "program", "file", "folder",
                  "disabled"});
    KeySetting s;
    s.key = k;
    std::string given;
    for (const auto& [name, value] : v.items()) {
        if (name == "disabled") {
            s.disabled = flagAt(value, member(path, name));
            continue;
        }
        const std::string at = member(path, name);
        if (!given.empty()) {
            refuse(at, "a key takes one assignment, and \"" + given + "\" is already given",
                   "一个按键只能有一种分配，已给出 \"" + given + "\"");
        }
        given = name;
        if (name == "single") {
            s.kind = keys::kind::kSingle;
            s.vks = {capturedKeyAt(value, at)};
        } else if (name == "combo") {
            const Json& list = listAt(value, at);
            if (list.size() < 2) refuse(at, "at least two keys", "至少两个按键");
            if (list.size() > 3) refuse(at, "at most three keys", "最多三个按键");
            s.kind = keys::kind::kCombination;
            for (std::size_t i = 0; i < list.size(); ++i)
                s.vks.push_back(capturedKeyAt(list[i], element(at, i)));
        } else if (name == "function") {
            s.kind = keys::kind::kFunction;
            s.function = functionAt(value, at);
        } else if (name == "macro") {
            const auto n = wholeAt(value, at);
            if (!n || *n < 0 || static_cast<std::size_t>(*n) >= macroCount) {
                const std::string count = std::to_string(macroCount);
                const std::string which = n ? std::to_string(*n) : "this number";
                const std::string whichZh = n ? std::to_string(*n) : "此数";
                const std::string range =
                    macroCount == 0 ? std::string("the file has no macros")
                                    : "the macros of the file are numbered 0 to " +
                                          std::to_string(macroCount - 1);
                const std::string rangeZh =
                    macroCount == 0 ? std::string("文件中没有宏")
                                    : "文件中的宏编号为 0 到 " + std::to_string(macroCount - 1);
                refuse(at, "no macro " + which + ": " + range, "没有宏 " + whichZh + "：" + rangeZh);
            }
            s.kind = keys::kind::kMacro;
            s.macro = static_cast<std::uint8_t>(*n);
        } else {
            const auto word = std::find(kHostWords.begin(), kHostWords.end(), name);
            s.kind = static_cast<std::uint8_t>(keys::kind::kPlaySound + (word - kHostWords.begin()));
            s.path = textAt(value, at);
            if (!s.path.starts_with('/')) {
                refuse(at, "must be an absolute path, starting with /", "必须是以 / 开头的绝对路径");
            }
            if (auto fits = keys::validateHostPath(s.path); !fits) {
                refuse(at, fits.error().english, fits.error().text(Language::Chinese));
            }
        }
    }
    if (given.empty() && !s.disabled) {
        refuse(path, "says nothing; give an assignment or \"disabled\": true, or leave the key out",
               "没有内容；请给出分配或 \"disabled\": true，或者不列出此按键");
    }
    return s;
}

std::vector<KeySetting> readKeys(const Json& v, const std::string& path, std::size_t macroCount) {
    if (!v.is_object()) wrongType(path, v, "an object {...}", "对象 {...}");
    std::vector<KeySetting> out;
    std::vector<std::string> namedAs(keys::kLayoutKeyCount);
    for (const auto& [name, value] : v.items()) {
        const std::string at = member(path, name);
        const keys::KeyIndex k = keyAt(name, at);
        if (!isConfigurableKey(k)) {
            refuse(at, "this key cannot be reassigned", "此按键不能重新分配");
        }
        if (!namedAs[k].empty()) {
            refuse(at, "the same key as " + member(path, namedAs[k]),
                   "与 " + member(path, namedAs[k]) + " 是同一个按键");
        }
        namedAs[k] = name;
        out.push_back(readKey(value, at, k, macroCount));
    }
    std::sort(out.begin(), out.end(),
              [](const KeySetting& a, const KeySetting& b) { return a.key < b.key; });
    return out;
}

std::array<std::vector<keys::KeyIndex>, kDiyMaps> readDiy(const Json& v, const std::string& path) {
    const Json& maps = listAt(v, path);
    if (maps.size() != kDiyMaps) {
        refuse(path, "must hold five lists, one for each of DIY1 to DIY5",
               "必须包含五个列表，分别对应 DIY1 到 DIY5");
    }
    std::array<std::vector<keys::KeyIndex>, kDiyMaps> out;
    for (std::size_t m = 0; m < kDiyMaps; ++m) {
        const Json& lit = listAt(maps[m], element(path, m));
        for (std::size_t i = 0; i < lit.size(); ++i) {
            const std::string at = element(element(path, m), i);
            out[m].push_back(keyAt(textAt(lit[i], at), at));
        }
        std::sort(out[m].begin(), out[m].end());
        out[m].erase(std::unique(out[m].begin(), out[m].end()), out[m].end());
    }
    return out;
}

// "Line 3: unknown key "X"." of the macro text form becomes "events[2]: unknown key "X"".
[[noreturn]] void refuseEvent(const std::string& path, const Error& e) {
    const std::string& en = e.english;
    if (en.starts_with("Line ")) {
        const auto colon = en.find(": ");
        const auto zhAt = e.chinese.find("行：");
        const std::size_t line = std::stoul(en.substr(5, colon - 5));
        std::string english = en.substr(colon + 2);
        std::string chinese =
            zhAt == std::string::npos ? e.text(Language::Chinese) : e.chinese.substr(zhAt + 6);
        if (english.ends_with('.')) english.pop_back();
        refuse(element(path, line - 1), english, chinese);
    }
    refuse(path, en, e.text(Language::Chinese));
}

macros::MacroRecord readMacro(const Json& v, const std::string& path) {
    expectObject(v, path, {"name", "loops", "events"});
    const std::string namePath = member(path, "name");
    const std::string name = textAt(required(v, path, "name"), namePath);
    const std::u16string name16 = macros::utf8ToUtf16(name);
    if (name16.empty()) refuse(namePath, "a macro needs a name", "宏需要名称");
    // The file ends a name at its first zero.
    if (name16.find(u'\0') != std::u16string::npos) {
        refuse(namePath, "a name cannot hold the character U+0000", "名称不能包含字符 U+0000");
    }
    if (name16.size() > macros::record::kNameMaxUnits) {
        // Told in characters, as people count them; the file counts UTF-16 units.
        const auto surrogates = static_cast<std::size_t>(
            std::count_if(name16.begin(), name16.end(),
                          [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }));
        const std::string length = std::to_string(name16.size() - surrogates);
        refuse(namePath,
               "is " + length +
                   " characters long; a name holds at most 254 (characters beyond U+FFFF, such "
                   "as emoji, count as two)",
               "长 " + length + " 个字符；名称最多 254 个字符（U+FFFF 以上的字符，如表情符号，算两个）");
    }
    const auto loops = static_cast<std::uint16_t>(
        numberAt(required(v, path, "loops"), member(path, "loops"), 0, 65535));

    const std::string eventsPath = member(path, "events");
    const Json& events = listAt(required(v, path, "events"), eventsPath);
    std::string text;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const std::string at = element(eventsPath, i);
        const std::string line = textAt(events[i], at);
        const std::string word = trimmed(line);
        // One event a line, and nothing the text form reads as a name, loops or a comment.
        if (word.empty() || line.find_first_of("\r\n") != std::string::npos ||
            word.starts_with('#') || word.starts_with("name:") || word.starts_with("loops:")) {
            refuse(at, "expected \"KEY dn\", \"KEY up\" or \"N ms\"",
                   "应为 \"按键 dn\"、\"按键 up\" 或 \"N ms\"");
        }
        text += line + "\n";
    }
    auto parsed = macros::parseMacroText(text);
    if (!parsed) refuseEvent(eventsPath, parsed.error());
    macros::MacroRecord record = *parsed;
    record.setName(name16);
    record.setLoopCount(loops);
    return record;
}

std::vector<macros::MacroRecord> readMacros(const Json& v, const std::string& path) {
    const Json& list = listAt(v, path);
    if (list.size() > macros::kMaxMacrosInUse) {
        refuse(path, "at most 32 macros, as the keyboard has 32 slots",
               "最多 32 个宏，键盘只有 32 个宏槽");
    }
    std::vector<macros::MacroRecord> out;
    for (std::size_t i = 0; i < list.size(); ++i) out.push_back(readMacro(list[i], element(path, i)));
    return out;
}

// The rules reader names places within the rules ("rules[0].when: ..."); here they sit under
// "switching".
switching::RuleSet readSwitching(const Json& v) {
    auto set = switching::parseRules(v.dump());
    if (set) return std::move(*set);
    const Error& e = set.error();
    const auto colon = e.english.find(": ");
    const auto colonZh = e.chinese.find("：");
    if (colon == std::string::npos || colonZh == std::string::npos) {
        refuse("switching", e.english, e.text(Language::Chinese));
    }
    const std::string where = e.english.substr(0, colon);
    refuse(where == "(top)" ? "switching" : "switching." + where, e.english.substr(colon + 2),
           e.chinese.substr(colonZh + std::string("：").size()));
}

Configuration readDocument(const Json& doc) {
    expectObject(doc, "",
                 {"format", "lighting", "game_mode", "win_lock", "response_time_ms",
                  "report_rate_hz", "keys", "diy", "macros", "switching"});
    const Json& formatValue = required(doc, "", "format");
    const auto format = wholeAt(formatValue, "format");
    if (!format || *format < kOldestFormatVersion || *format > kFormatVersion) {
        const std::string shownFormat = format ? std::to_string(*format) : "a number too big";
        const std::string shownZh = format ? std::to_string(*format) : "一个太大的数";
        const std::string known =
            std::to_string(kOldestFormatVersion) + " to " + std::to_string(kFormatVersion);
        refuse("format",
               "this file has format " + shownFormat + "; this Tessaron reads formats " + known,
               "此文件的格式为 " + shownZh + "；本程序读取格式 " +
                   std::to_string(kOldestFormatVersion) + " 至 " + std::to_string(kFormatVersion));
    }
    Configuration c;
    c.lighting = readLighting(required(doc, "", "lighting"), "lighting");
    c.gameMode = flagAt(required(doc, "", "game_mode"), "game_mode");
    c.winLock = flagAt(required(doc, "", "win_lock"), "win_lock");

    std::vector<int> times;
    for (int ms = performance::kResponseMsMin; ms <= performance::kResponseMsMax;
         ms += performance::kResponseMsStep) {
        times.push_back(ms);
    }
    const auto ms = oneOfAt(required(doc, "", "response_time_ms"), "response_time_ms", times,
                            " (ms)", "（毫秒）");
    c.responseTime = *performance::responseByteForMs(static_cast<int>(ms));

    const std::vector<int> rates(performance::kReportRates.begin(),
                                 performance::kReportRates.end());
    const auto hz = oneOfAt(required(doc, "", "report_rate_hz"), "report_rate_hz", rates,
                            " (reports per second)", "（每秒报告次数）");
    c.reportRate = *performance::reportRateByteForHz(static_cast<int>(hz));

    c.macros = readMacros(required(doc, "", "macros"), "macros");
    c.keys = readKeys(required(doc, "", "keys"), "keys", c.macros.size());
    c.diy = readDiy(required(doc, "", "diy"), "diy");
    if (const auto it = doc.find("switching"); it != doc.end()) c.switching = readSwitching(*it);
    return c;
}

// ---- writing ----

// Reads the text again, event by event, to find where and why the reader stopped.
class StopFinder {
public:
    bool null() { return true; }
    bool boolean(bool) { return true; }
    bool number_integer(Json::number_integer_t) { return true; }
    bool number_unsigned(Json::number_unsigned_t) { return true; }
    bool number_float(Json::number_float_t, const Json::string_t&) { return true; }
    bool string(Json::string_t&) { return true; }
    bool binary(Json::binary_t&) { return true; }
    bool start_object(std::size_t) { return true; }
    bool key(Json::string_t&) { return true; }
    bool end_object() { return true; }
    bool start_array(std::size_t) { return true; }
    bool end_array() { return true; }
    bool parse_error(std::size_t position, const std::string& token,
                     const nlohmann::detail::exception& e) {
        position_ = position;
        token_ = token;
        overflow_ = e.id == 406;
        why_ = e.what();
        return false;
    }

    std::size_t position_ = 0;
    std::string token_;
    bool overflow_ = false;
    std::string why_;
};

Error whereJsonStops(std::string_view text, const Json::exception& thrown) {
    StopFinder stop;
    if (Json::sax_parse(text.begin(), text.end(), &stop)) {
        return makeError(std::string("not valid JSON (") + thrown.what() + ")",
                         "不是有效的 JSON");
    }
    // A number too big stops after it; point at its start. Other errors at the last character
    // read.
    std::size_t at = stop.position_ == 0 ? 0 : stop.position_ - 1;
    if (stop.overflow_) at = stop.position_ - std::min(stop.position_, stop.token_.size());
    at = std::min(at, text.size());
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < at; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;  // characters, not bytes
        }
    }
    const std::string where = "line " + std::to_string(line) + ", column " + std::to_string(column);
    const std::string whereZh =
        "第 " + std::to_string(line) + " 行第 " + std::to_string(column) + " 列";
    if (stop.overflow_) {
        return makeError(where + ": the number " + stop.token_ + " is too big",
                         whereZh + "：数字 " + stop.token_ + " 太大");
    }
    std::string why = stop.why_;
    if (const auto cut = why.find("syntax error"); cut != std::string::npos) why = why.substr(cut);
    // The reader's last token may begin with what came before it ("key": }); the end is what
    // it stumbled on.
    std::string last = stop.token_;
    while (!last.empty() && std::isspace(static_cast<unsigned char>(last.back()))) last.pop_back();
    if (const auto cut = last.find_last_of(" \t\r\n:,"); cut != std::string::npos && cut + 1 < last.size())
        last = last.substr(cut + 1);
    const std::string token = last.empty() ? std::string("文本末尾") : "“" + last + "”";
    return makeError(where + ": not valid JSON (" + why + ")",
                     whereZh + "：不是有效的 JSON（读到" + token + "时出错）");
}

Json effectJson(std::uint8_t code) {
    if (const auto row = lighting::effectRow(code)) {
        return std::string(lighting::effects()[*row].english);
    }
    return code;
}

}  // namespace

Json keySettingJson(const KeySetting& s) {
    Json entry = Json::object();
    auto vkWords = [&] {
        Json list = Json::array();
        for (auto vk : s.vks) list.push_back(keyCodeWord(vk));
        return list;
    };
    switch (s.kind) {
        case keys::kind::kSingle:
            entry["single"] = keyCodeWord(s.vks.empty() ? 0 : s.vks[0]);
            break;
        case keys::kind::kCombination:
            entry["combo"] = vkWords();
            break;
        case keys::kind::kFunction:
            entry["function"] = std::string(keys::functionTable()[s.function].english);
            break;
        case keys::kind::kMacro:
            entry["macro"] = s.macro;
            break;
        case keys::kind::kPlaySound:
        case keys::kind::kStartup:
        case keys::kind::kOpenFile:
        case keys::kind::kOpenFolder:
            entry[std::string(kHostWords[s.kind - keys::kind::kPlaySound])] = s.path;
            break;
        default:
            break;
    }
    if (s.disabled) entry["disabled"] = true;
    return entry;
}

Json macroJson(const macros::MacroRecord& record) {
    Json m = Json::object();
    m["name"] = macros::utf16ToUtf8(record.name());
    m["loops"] = record.loopCount();
    // The text form's event lines, after its name and loops lines.
    Json events = Json::array();
    const std::string text = macros::formatMacroText(record);
    std::size_t at = 0;
    for (int header = 0; header < 2 && at != std::string::npos; ++header) {
        at = text.find('\n', at);
        if (at != std::string::npos) ++at;
    }
    while (at != std::string::npos && at < text.size()) {
        const auto end = text.find('\n', at);
        events.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? end : end + 1;
    }
    m["events"] = std::move(events);
    return m;
}

Json settingsJson(const Configuration& c) {
    Json doc = Json::object();
    Json light = Json::object();
    light["effect"] = effectJson(c.lighting.effect);
    if (c.lighting.speed) light["speed"] = *c.lighting.speed;
    light["brightness"] = c.lighting.brightness;
    if (c.lighting.direction) {
        const std::string_view word = lighting::directionWord(*c.lighting.direction);
        light["direction"] = word.empty() ? Json(*c.lighting.direction) : Json(std::string(word));
    }
    doc["lighting"] = std::move(light);
    doc["game_mode"] = c.gameMode;
    doc["win_lock"] = c.winLock;
    doc["response_time_ms"] = c.responseTime * performance::kResponseMsStep;
    // A byte no rate belongs to has no rate to name.
    const auto& rates = performance::kReportRates;
    doc["report_rate_hz"] = c.reportRate < rates.size() ? Json(rates[c.reportRate]) : Json(nullptr);
    return doc;
}

Json diyJson(const std::array<std::vector<keys::KeyIndex>, kDiyMaps>& maps) {
    Json diy = Json::array();
    for (const auto& map : maps) {
        Json lit = Json::array();
        for (auto k : map) lit.push_back(keyWord(k));
        diy.push_back(std::move(lit));
    }
    return diy;
}

std::string keyWord(keys::KeyIndex key) {
    const std::string legend = trimmed(keys::legend(key));
    if (!legend.empty() && keys::findKey(legend) == key) return legend;
    const std::string name = trimmed(keys::keyName(keys::layoutVk(key)));
    if (!name.empty() && keys::findKey(name) == key) return name;
    return "#" + std::to_string(key);
}

std::string keyCodeWord(std::uint8_t vk) {
    if (vk == 0 || vk >= 0xF0 || keys::keyName(vk).empty()) return {};
    const auto layout = keys::keyLayout();
    for (std::size_t i = 0; i < layout.size(); ++i) {
        if (layout[i].vk != vk) continue;
        const std::string word = keyWord(static_cast<keys::KeyIndex>(i));
        if (keys::findKeyCode(word) == vk) return word;
    }
    const std::string name = trimmed(keys::keyName(vk));
    if (keys::findKeyCode(name) == vk) return name;
    return {};
}

std::string formatConfiguration(const Configuration& c) {
    Json doc = Json::object();
    doc["format"] = kFormatVersion;
    doc.update(settingsJson(c));
    Json keyObject = Json::object();
    for (const auto& s : c.keys) keyObject[keyWord(s.key)] = keySettingJson(s);
    doc["keys"] = std::move(keyObject);
    doc["diy"] = diyJson(c.diy);

    Json list = Json::array();
    for (const auto& m : c.macros) list.push_back(macroJson(m));
    doc["macros"] = std::move(list);
    if (c.switching) doc["switching"] = Json::parse(switching::formatRules(*c.switching));
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

Result<Configuration> parseConfiguration(std::string_view text) {
    if (text.size() > kMaxTextBytes) {
        return makeError("The file is larger than any configuration (4 MiB).",
                         "文件超过了任何配置的大小（4 MiB）。");
    }
    try {
        ParseWatch watch;
        const Json doc = Json::parse(text.begin(), text.end(),
                                     [&watch](int depth, Json::parse_event_t event, Json& parsed) {
                                         return watch(depth, event, parsed);
                                     });
        return readDocument(doc);
    } catch (const Refusal& r) {
        return r.error;
    } catch (const Json::exception& e) {
        return whereJsonStops(text, e);
    }
}

}  // namespace tessaron::config
