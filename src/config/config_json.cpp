#include "config/config_json.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <set>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/text.h"
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

[[noreturn]] void refuse(const std::string& path, const Error& why) {
    if (path.empty()) throw Refusal{makeError(TR_TEXT("Config", "(top): %1"), why)};
    throw Refusal{makeError(TR_TEXT("Config", "%1: %2"), path, why)};
}

// "a, b or c" (in Chinese "a、b 或 c").
Error either(const std::vector<std::string>& words) {
    std::vector<Error> items;
    for (const auto& w : words) items.push_back(verbatim(w));
    if (items.size() < 2) return joined(items, TR_TEXT("Config", "%1, %2"));
    const Error last = items.back();
    items.pop_back();
    return makeError(TR_TEXT("Config", "%1 or %2"), joined(items, TR_TEXT("Config", "%1, %2")),
                     last);
}

Error listed(const std::vector<Error>& words) {
    return joined(words, TR_TEXT("Config", "%1, %2"));
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
                    refuse(path(), TR_TEXT("Config", "nested deeper than any configuration is"));
                }
                frames_.push_back({event == E::array_start, 0, {}, {}});
                break;
            case E::key: {
                Frame& top = frames_.back();
                top.key = parsed.get<std::string>();
                if (!top.seen.insert(top.key).second) {
                    refuse(path(), TR_TEXT("Config", "appears twice"));
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

Error typeWord(const Json& v) {
    switch (v.type()) {
        case Json::value_t::object:
            return TR_TEXT("Config", "an object");
        case Json::value_t::array:
            return TR_TEXT("Config", "a list");
        case Json::value_t::string:
            return TR_TEXT("Config", "text");
        case Json::value_t::boolean:
            return TR_TEXT("Config", "true or false");
        case Json::value_t::null:
            return verbatim("null");
        case Json::value_t::number_float:
            return TR_TEXT("Config", "a number with a fraction");
        default:
            return TR_TEXT("Config", "a number");
    }
}

[[noreturn]] void wrongType(const std::string& path, const Json& v, const Error& wanted) {
    refuse(path, makeError(TR_TEXT("Config", "must be %1, not %2"), wanted, typeWord(v)));
}

void expectObject(const Json& v, const std::string& path,
                  std::initializer_list<std::string_view> allowed) {
    if (!v.is_object()) wrongType(path, v, TR_TEXT("Config", "an object {...}"));
    for (const auto& [name, value] : v.items()) {
        if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) {
            std::string list;
            for (auto a : allowed) list += (list.empty() ? "" : ", ") + std::string(a);
            refuse(member(path, name),
                   makeError(TR_TEXT("Config", "unknown field (known here: %1)"), list));
        }
    }
}

const Json& required(const Json& object, const std::string& path, const char* name) {
    const auto it = object.find(name);
    if (it == object.end()) refuse(member(path, name), TR_TEXT("Config", "is missing"));
    return *it;
}

const Json& listAt(const Json& v, const std::string& path) {
    if (!v.is_array()) wrongType(path, v, TR_TEXT("Config", "a list [...]"));
    return v;
}

std::string textAt(const Json& v, const std::string& path) {
    if (!v.is_string()) wrongType(path, v, TR_TEXT("Config", "text in quotes"));
    return v.get<std::string>();
}

bool flagAt(const Json& v, const std::string& path) {
    if (!v.is_boolean()) wrongType(path, v, TR_TEXT("Config", "true or false"));
    return v.get<bool>();
}

// A whole number, or nothing when it is one of more digits than any setting has (the reason is
// then said by the caller, who knows the allowed values).
std::optional<long long> wholeAt(const Json& v, const std::string& path) {
    if (hugeWhole(v)) return std::nullopt;
    if (!v.is_number_integer()) wrongType(path, v, TR_TEXT("Config", "a whole number"));
    if (v.is_number_unsigned() &&
        v.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX)) {
        return std::nullopt;
    }
    return v.get<long long>();
}

long long numberAt(const Json& v, const std::string& path, long long low, long long high) {
    const auto n = wholeAt(v, path);
    if (!n || *n < low || *n > high) {
        const bool small = n ? *n < low : v.get<double>() < 0;
        // The Chinese text sets a blank after a number but not after "this number".
        const Error number = v.is_number_float()
                                 ? Error(TR_TEXT("Config", "this number"))
                                 : makeError(TR_TEXT3("Config", "%1", "a number judged"), v.dump());
        refuse(path, makeError(small ? TR_TEXT("Config", "must be %1 to %2; %3 is too small")
                                     : TR_TEXT("Config", "must be %1 to %2; %3 is too big"),
                               std::to_string(low), std::to_string(high), number));
    }
    return *n;
}

// One of a few allowed numbers; anything else is refused with all of them listed.
long long oneOfAt(const Json& v, const std::string& path, const std::vector<int>& allowed,
                  const Error& unit) {
    std::vector<std::string> words;
    for (int a : allowed) words.push_back(std::to_string(a));
    const bool number = v.is_number_integer() || hugeWhole(v);
    const auto n = number ? wholeAt(v, path) : std::nullopt;
    if (!n || std::find(allowed.begin(), allowed.end(), *n) == allowed.end()) {
        const Error what = !number               ? typeWord(v)
                           : v.is_number_float() ? Error(TR_TEXT("Config", "this number"))
                                                 : verbatim(v.dump());
        refuse(path,
               makeError(TR_TEXT("Config", "must be %1%2, not %3"), either(words), unit, what));
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
            refuse(effectPath,
                   TR_TEXT("Config", "an effect is given by its name, such as \"Wave\""));
        }
        l.effect = code;
    } else {
        const std::string name = textAt(effect, effectPath);
        const auto row = lighting::findEffect(name);
        if (!row) {
            std::vector<Error> names;
            for (const auto& e : lighting::effects()) names.emplace_back(e.text);
            refuse(effectPath,
                   makeError(TR_TEXT("Config", "no effect is called \"%1\" (effects: %2)"), name,
                             listed(names)));
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
            const auto row = lighting::effectRow(l.effect);
            const Error effectName =
                row ? Error(lighting::effects()[*row].text)
                    : makeError(TR_TEXT("Config", "Effect %1"), std::to_string(l.effect));
            refuse(directionPath,
                   own.empty()
                       ? makeError(TR_TEXT("Config", "must be %1, not \"%2\""), either(words),
                                   direction)
                       : makeError(TR_TEXT("Config", "%1 takes the direction %2, not \"%3\""),
                                   effectName, either(words), direction));
        }
    }
    return l;
}

keys::KeyIndex keyAt(const std::string& word, const std::string& path) {
    const auto k = keys::findKey(word);
    if (!k || *k >= keys::kRealKeyCount) {
        refuse(path, makeError(TR_TEXT("Config", "no key is called \"%1\" (see tessaronctl keys)"),
                               word));
    }
    return *k;
}

std::uint8_t capturedKeyAt(const Json& v, const std::string& path) {
    const std::string word = textAt(v, path);
    const auto vk = keys::findKeyCode(word);
    // Mouse action codes exist for macros only; the keyboard cannot send them from a key.
    if (!vk || keys::keyName(*vk).empty() || *vk >= 0xF0) {
        refuse(path, makeError(TR_TEXT("Config", "no key is called \"%1\" (see tessaronctl keys)"),
                               word));
    }
    return *vk;
}

std::size_t functionAt(const Json& v, const std::string& path) {
    const std::string name = textAt(v, path);
    const auto table = keys::functionTable();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (lowered(table[i].english()) == lowered(trimmed(name)) ||
            table[i].name(Language::Chinese) == name) {
            return i;
        }
    }
    std::vector<Error> names;
    for (const auto& f : table) names.emplace_back(f.text);
    refuse(path, makeError(TR_TEXT("Config", "no function is called \"%1\" (functions: %2)"), name,
                           listed(names)));
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
            refuse(at, makeError(TR_TEXT("Config",
                                         "a key takes one assignment, and \"%1\" is already given"),
                                 given));
        }
        given = name;
        if (name == "single") {
            s.kind = keys::kind::kSingle;
            s.vks = {capturedKeyAt(value, at)};
        } else if (name == "combo") {
            const Json& list = listAt(value, at);
            if (list.size() < 2) refuse(at, TR_TEXT("Config", "at least two keys"));
            if (list.size() > 3) refuse(at, TR_TEXT("Config", "at most three keys"));
            s.kind = keys::kind::kCombination;
            for (std::size_t i = 0; i < list.size(); ++i)
                s.vks.push_back(capturedKeyAt(list[i], element(at, i)));
        } else if (name == "function") {
            s.kind = keys::kind::kFunction;
            s.function = functionAt(value, at);
        } else if (name == "macro") {
            const auto n = wholeAt(value, at);
            if (!n || *n < 0 || static_cast<std::size_t>(*n) >= macroCount) {
                const Error which =
                    n ? verbatim(std::to_string(*n)) : Error(TR_TEXT("Config", "this number"));
                const Error range =
                    macroCount == 0
                        ? Error(TR_TEXT("Config", "the file has no macros"))
                        : makeError(
                              TR_TEXT("Config", "the macros of the file are numbered 0 to %1"),
                              std::to_string(macroCount - 1));
                refuse(at, makeError(TR_TEXT("Config", "no macro %1: %2"), which, range));
            }
            s.kind = keys::kind::kMacro;
            s.macro = static_cast<std::uint8_t>(*n);
        } else {
            const auto word = std::find(kHostWords.begin(), kHostWords.end(), name);
            s.kind = static_cast<std::uint8_t>(keys::kind::kPlaySound + (word - kHostWords.begin()));
            s.path = textAt(value, at);
            if (!s.path.starts_with('/')) {
                refuse(at, TR_TEXT("Config", "must be an absolute path, starting with /"));
            }
            if (auto fits = keys::validateHostPath(s.path); !fits) {
                refuse(at, fits.error());
            }
        }
    }
    if (given.empty() && !s.disabled) {
        refuse(path,
               TR_TEXT(
                   "Config",
                   "says nothing; give an assignment or \"disabled\": true, or leave the key out"));
    }
    return s;
}

std::vector<KeySetting> readKeys(const Json& v, const std::string& path, std::size_t macroCount) {
    if (!v.is_object()) wrongType(path, v, TR_TEXT("Config", "an object {...}"));
    std::vector<KeySetting> out;
    std::vector<std::string> namedAs(keys::kLayoutKeyCount);
    for (const auto& [name, value] : v.items()) {
        const std::string at = member(path, name);
        const keys::KeyIndex k = keyAt(name, at);
        if (!isConfigurableKey(k)) {
            refuse(at, TR_TEXT("Config", "this key cannot be reassigned"));
        }
        if (!namedAs[k].empty()) {
            refuse(at,
                   makeError(TR_TEXT("Config", "the same key as %1"), member(path, namedAs[k])));
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
        refuse(path, TR_TEXT("Config", "must hold five lists, one for each of DIY1 to DIY5"));
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
    if (const auto line = macros::errorLine(e)) refuse(element(path, *line - 1), e.args[1]);
    refuse(path, e);
}

macros::MacroRecord readMacro(const Json& v, const std::string& path) {
    expectObject(v, path, {"name", "loops", "events"});
    const std::string namePath = member(path, "name");
    const std::string name = textAt(required(v, path, "name"), namePath);
    const std::u16string name16 = macros::utf8ToUtf16(name);
    if (name16.empty()) refuse(namePath, TR_TEXT("Config", "a macro needs a name"));
    // The file ends a name at its first zero.
    if (name16.find(u'\0') != std::u16string::npos) {
        refuse(namePath, TR_TEXT("Config", "a name cannot hold the character U+0000"));
    }
    if (name16.size() > macros::record::kNameMaxUnits) {
        // Told in characters, as people count them; the file counts UTF-16 units.
        const auto surrogates = static_cast<std::size_t>(
            std::count_if(name16.begin(), name16.end(),
                          [](char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }));
        const std::string length = std::to_string(name16.size() - surrogates);
        refuse(namePath,
               makeError(TR_TEXT("Config",
                                 "is %1 characters long; a name holds at most 254 (characters "
                                 "beyond U+FFFF, such as emoji, count as two)"),
                         length));
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
            refuse(at, TR_TEXT("Config", "expected \"KEY dn\", \"KEY up\" or \"N ms\""));
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
        refuse(path, TR_TEXT("Config", "at most 32 macros, as the keyboard has 32 slots"));
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
    // "WHERE: WHY" of the rules reader.
    if (e.args.size() != 2) refuse("switching", e);
    const std::string& where = e.args[0].source;
    refuse(where == "(top)" ? "switching" : "switching." + where, e.args[1]);
}

Configuration readDocument(const Json& doc) {
    expectObject(doc, "",
                 {"format", "lighting", "game_mode", "win_lock", "response_time_ms",
                  "report_rate_hz", "keys", "diy", "macros", "switching"});
    const Json& formatValue = required(doc, "", "format");
    const auto format = wholeAt(formatValue, "format");
    if (!format || *format < kOldestFormatVersion || *format > kFormatVersion) {
        const Error shownFormat = format ? verbatim(std::to_string(*format))
                                         : Error(TR_TEXT("Config", "a number too big"));
        refuse(
            "format",
            makeError(
                TR_TEXT("Config", "this file has format %1; this Tessaron reads formats %2 to %3"),
                shownFormat, std::to_string(kOldestFormatVersion), std::to_string(kFormatVersion)));
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
                            TR_TEXT("Config", " (ms)"));
    c.responseTime = *performance::responseByteForMs(static_cast<int>(ms));

    const std::vector<int> rates(performance::kReportRates.begin(),
                                 performance::kReportRates.end());
    const auto hz = oneOfAt(required(doc, "", "report_rate_hz"), "report_rate_hz", rates,
                            TR_TEXT("Config", " (reports per second)"));
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
        return makeError(TR_TEXT("Config", "not valid JSON (%1)"), thrown.what());
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
    const Error where = makeError(TR_TEXT("Config", "line %1, column %2"), std::to_string(line),
                                  std::to_string(column));
    if (stop.overflow_) {
        return makeError(TR_TEXT("Config", "%1: the number %2 is too big"), where, stop.token_);
    }
    std::string why = stop.why_;
    if (const auto cut = why.find("syntax error"); cut != std::string::npos) why = why.substr(cut);
    // The reader's last token may begin with what came before it ("key": }); the end is what
    // it stumbled on.
    std::string last = stop.token_;
    while (!last.empty() && std::isspace(static_cast<unsigned char>(last.back()))) last.pop_back();
    if (const auto cut = last.find_last_of(" \t\r\n:,"); cut != std::string::npos && cut + 1 < last.size())
        last = last.substr(cut + 1);
    const Error token = last.empty() ? Error(TR_TEXT("Config", "the end of the text"))
                                     : makeError(TR_TEXT("Config", "\"%1\""), last);
    // The Chinese text names the token where the English one gives the reader's reason.
    return makeError(TR_TEXT("Config", "%1: not valid JSON (%2)"), where, why, token);
}

Json effectJson(std::uint8_t code) {
    if (const auto row = lighting::effectRow(code)) {
        return std::string(lighting::effects()[*row].english());
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
            entry["function"] = std::string(keys::functionTable()[s.function].english());
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
        return makeError(TR_TEXT("Config", "The file is larger than any configuration (4 MiB)."));
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
