#include "config/config_json.h"

#include <algorithm>
#include <array>
#include <cctype>
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
    const std::string where = path.empty() ? "(top)" : path;
    throw Refusal{makeError(where + ": " + english, where + "：" + chinese)};
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

const char* typeWord(const Json& v) {
    switch (v.type()) {
        case Json::value_t::object:
            return "an object";
        case Json::value_t::array:
            return "a list";
        case Json::value_t::string:
            return "text";
        case Json::value_t::boolean:
            return "true or false";
        case Json::value_t::null:
            return "null";
        case Json::value_t::number_float:
            return "a number with a fraction";
        default:
            return "a number";
    }
}

[[noreturn]] void wrongType(const std::string& path, const Json& v, const std::string& wanted,
                            const std::string& wantedZh) {
    refuse(path, std::string("must be ") + wanted + ", not " + typeWord(v),
           "必须是" + wantedZh + "，而不是 " + v.type_name());
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

long long numberAt(const Json& v, const std::string& path, long long low, long long high) {
    if (!v.is_number_integer()) wrongType(path, v, "a whole number", "整数");
    const long long n = v.is_number_unsigned()
                            ? static_cast<long long>(std::min<std::uint64_t>(
                                  v.get<std::uint64_t>(), static_cast<std::uint64_t>(high) + 1))
                            : v.get<long long>();
    if (n < low || n > high) {
        const std::string range = std::to_string(low) + " to " + std::to_string(high);
        refuse(path, "must be " + range,
               "必须在 " + std::to_string(low) + " 到 " + std::to_string(high) + " 之间");
    }
    return n;
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
            std::string names;
            for (const auto& e : lighting::effects())
                names += (names.empty() ? "" : ", ") + std::string(e.english);
            refuse(effectPath, "no effect is called \"" + name + "\" (effects: " + names + ")",
                   "没有名为 \"" + name + "\" 的效果（可用：" + names + "）");
        }
        l.effect = lighting::effects()[*row].code;
    }
    l.speed = static_cast<std::uint8_t>(
        numberAt(required(v, path, "speed"), member(path, "speed"), 0, lighting::kMaxSpeed));
    l.brightness = static_cast<std::uint8_t>(numberAt(
        required(v, path, "brightness"), member(path, "brightness"), 0, lighting::kMaxBrightness));
    const std::string directionPath = member(path, "direction");
    const std::string direction = lowered(textAt(required(v, path, "direction"), directionPath));
    for (std::uint8_t d : {lighting::kLeft, lighting::kRight, lighting::kUp, lighting::kDown}) {
        if (lighting::directionWord(d) == direction) l.direction = d;
    }
    if (l.direction == 0) {
        refuse(directionPath, "must be \"left\", \"right\", \"up\" or \"down\"",
               "必须是 \"left\"、\"right\"、\"up\" 或 \"down\"");
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
    std::string names;
    for (const auto& f : table) names += (names.empty() ? "" : ", ") + std::string(f.english);
    refuse(path, "no function is called \"" + name + "\" (functions: " + names + ")",
           "没有名为 \"" + name + "\" 的功能（可用：" + names + "）");
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
            const auto n = numberAt(value, at, 0, 255);
            if (static_cast<std::size_t>(n) >= macroCount) {
                const std::string count = std::to_string(macroCount);
                refuse(at,
                       "no macro " + std::to_string(n) + ": the file has " + count +
                           " macros, numbered from 0",
                       "没有宏 " + std::to_string(n) + "：文件中有 " + count + " 个宏，编号从 0 开始");
            }
            s.kind = keys::kind::kMacro;
            s.macro = static_cast<std::uint8_t>(n);
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
        std::string chinese = zhAt == std::string::npos ? english : e.chinese.substr(zhAt + 6);
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
        refuse(namePath, "longer than 254 characters", "超过 254 个字符");
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
    const std::string& why = set.error().english;
    const auto colon = why.find(": ");
    if (colon == std::string::npos || why.starts_with("(top)")) {
        refuse("switching", colon == std::string::npos ? why : why.substr(colon + 2), why);
    }
    refuse("switching." + why.substr(0, colon), why.substr(colon + 2), why.substr(colon + 2));
}

Configuration readDocument(const Json& doc) {
    expectObject(doc, "",
                 {"format", "lighting", "game_mode", "win_lock", "response_time_ms",
                  "report_rate_hz", "keys", "diy", "macros", "switching"});
    const long long format = numberAt(required(doc, "", "format"), "format", 0, 1 << 30);
    if (format < kOldestFormatVersion || format > kFormatVersion) {
        const std::string known =
            std::to_string(kOldestFormatVersion) + " to " + std::to_string(kFormatVersion);
        refuse("format",
               "this file has format " + std::to_string(format) + "; this Tessaron reads formats " +
                   known,
               "此文件的格式为 " + std::to_string(format) + "；本程序读取格式 " +
                   std::to_string(kOldestFormatVersion) + " 至 " + std::to_string(kFormatVersion));
    }
    Configuration c;
    c.lighting = readLighting(required(doc, "", "lighting"), "lighting");
    c.gameMode = flagAt(required(doc, "", "game_mode"), "game_mode");
    c.winLock = flagAt(required(doc, "", "win_lock"), "win_lock");

    const auto ms = numberAt(required(doc, "", "response_time_ms"), "response_time_ms",
                             performance::kResponseMsMin, performance::kResponseMsMax);
    const auto responseByte = performance::responseByteForMs(static_cast<int>(ms));
    if (!responseByte) {
        refuse("response_time_ms", "must be an even number of ms, 2 to 20",
               "必须是 2 到 20 之间的偶数毫秒");
    }
    c.responseTime = *responseByte;

    const auto hz = numberAt(required(doc, "", "report_rate_hz"), "report_rate_hz", 0, 1 << 30);
    const auto rateByte = performance::reportRateByteForHz(static_cast<int>(hz));
    if (!rateByte) {
        refuse("report_rate_hz", "must be 125, 250, 500 or 1000", "必须是 125、250、500 或 1000");
    }
    c.reportRate = *rateByte;

    c.macros = readMacros(required(doc, "", "macros"), "macros");
    c.keys = readKeys(required(doc, "", "keys"), "keys", c.macros.size());
    c.diy = readDiy(required(doc, "", "diy"), "diy");
    if (const auto it = doc.find("switching"); it != doc.end()) c.switching = readSwitching(*it);
    return c;
}

// ---- writing ----

Json effectJson(std::uint8_t code) {
    if (const auto row = lighting::effectRow(code)) {
        return std::string(lighting::effects()[*row].english);
    }
    return code;
}

Json keyJson(const KeySetting& s) {
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

}  // namespace

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
    Json light = Json::object();
    light["effect"] = effectJson(c.lighting.effect);
    light["speed"] = c.lighting.speed;
    light["brightness"] = c.lighting.brightness;
    const std::string_view direction = lighting::directionWord(c.lighting.direction);
    light["direction"] =
        direction.empty() ? Json(c.lighting.direction) : Json(std::string(direction));
    doc["lighting"] = std::move(light);
    doc["game_mode"] = c.gameMode;
    doc["win_lock"] = c.winLock;
    doc["response_time_ms"] = c.responseTime * performance::kResponseMsStep;
    const auto& rates = performance::kReportRates;
    doc["report_rate_hz"] = c.reportRate < rates.size() ? rates[c.reportRate] : int{c.reportRate};

    Json keyObject = Json::object();
    for (const auto& s : c.keys) keyObject[keyWord(s.key)] = keyJson(s);
    doc["keys"] = std::move(keyObject);

    Json diy = Json::array();
    for (const auto& map : c.diy) {
        Json lit = Json::array();
        for (auto k : map) lit.push_back(keyWord(k));
        diy.push_back(std::move(lit));
    }
    doc["diy"] = std::move(diy);

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
    } catch (const Json::parse_error& e) {
        // Where the reader stopped, as line and column.
        const std::size_t stop = std::min<std::size_t>(e.byte == 0 ? 0 : e.byte - 1, text.size());
        std::size_t line = 1;
        std::size_t column = 1;
        for (std::size_t i = 0; i < stop; ++i) {
            if (text[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        std::string why = e.what();
        if (const auto at = why.find("syntax error"); at != std::string::npos) why = why.substr(at);
        const std::string where = "line " + std::to_string(line) + ", column " +
                                  std::to_string(column);
        return makeError(where + ": not valid JSON (" + why + ")",
                         "第 " + std::to_string(line) + " 行第 " + std::to_string(column) +
                             " 列：不是有效的 JSON（" + why + "）");
    } catch (const Json::exception& e) {
        return makeError(std::string("not valid JSON (") + e.what() + ")",
                         std::string("不是有效的 JSON（") + e.what() + "）");
    }
}

}  // namespace tessaron::config
