#include "keys/key_description.h"

#include <array>
#include <utility>

#include "keys/functions.h"
#include "keys/key_cell.h"
#include "keys/key_names.h"
#include "core/text.h"

namespace tessaron::keys {

namespace {

// Short names of the key name table and how they are said.
constexpr std::array<std::pair<std::string_view, std::string_view>, 22> kSpoken{{
    {"LCtrl", "Left Ctrl"},    {"RCtrl", "Right Ctrl"},   {"LShift", "Left Shift"},
    {"RShift", "Right Shift"}, {"LAlt", "Left Alt"},      {"RAlt", "Right Alt"},
    {"LWin", "Left Windows"},  {"RWin", "Right Windows"}, {"Esc", "Escape"},
    {"Prscr", "Print Screen"}, {"Scrol", "Scroll Lock"},  {"Inst", "Insert"},
    {"Del", "Delete"},         {"PgUp", "Page Up"},       {"PgDn", "Page Down"},
    {"Num", "Num Lock"},       {"Back", "Backspace"},     {"Caps", "Caps Lock"},
    {"Apps", "Menu"},          {"MsLB", "Left Button"},   {"MsRB", "Right Button"},
    {"MsMB", "Middle Button"},
}};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// The words of a key's description, translated when it is described.
struct Words {
    Text defaultKey = TR_TEXT("Keys", "default");
    Text disabled = TR_TEXT("Keys", "disabled");
    Text plays = TR_TEXT("Keys", "plays ");
    Text macro = TR_TEXT("Keys", "macro ");
    Text noMacro = TR_TEXT("Keys", "macro (none)");
    Text sound = TR_TEXT("Keys", "plays sound ");
    Text starts = TR_TEXT("Keys", "starts ");
    Text opensFile = TR_TEXT("Keys", "opens file ");
    Text opensFolder = TR_TEXT("Keys", "opens folder ");
    Text unknown = TR_TEXT("Keys", "unknown");
    Text keys = TR_TEXT("Keys", " keys");
};
constexpr Words kWords;

std::string keyList(const KeyRecord& r, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count && i < r.bytes.size(); ++i) {
        if (r.bytes[i] == 0) continue;
        if (!text.empty()) text += " + ";
        text += spokenKeyName(r.bytes[i]);
    }
    return text;
}

std::string what(const KeyRecord& r, Language lang, const MacroNamer& macroName) {
    const auto w = [lang](const Text& t) { return translate(lang, t); };
    switch (r.kind) {
        case kind::kSingle:
            if (r.keyCount == 0) return w(kWords.defaultKey);
            if (r.keyCount == 1) return spokenKeyName(r.bytes[0]);
            return std::to_string(r.keyCount) + w(kWords.keys);
        case kind::kCombination:
            return keyList(r, 3);
        case kind::kMacro: {
            if (r.bytes[0] != cell::kMacro) return w(kWords.noMacro);
            const std::uint8_t n = r.bytes[2];
            std::string name = macroName ? macroName(n) : std::string();
            if (name.empty()) name = w(kWords.macro) + std::to_string(n + 1);
            return w(kWords.plays) + name;
        }
        case kind::kFunction: {
            const KeyCell c{r.bytes[0], r.bytes[1], r.bytes[2], r.bytes[3]};
            const auto f = findFunctionByCell(c);
            return f ? std::string(functionTable()[*f].name(lang)) : w(kWords.unknown);
        }
        case kind::kPlaySound:
            return w(kWords.sound) + hostPath(r);
        case kind::kStartup:
            return w(kWords.starts) + hostPath(r);
        case kind::kOpenFile:
            return w(kWords.opensFile) + hostPath(r);
        case kind::kOpenFolder:
            return w(kWords.opensFolder) + hostPath(r);
        default:
            return w(kWords.unknown);
    }
}

}  // namespace

std::string spokenKeyName(std::uint8_t vk) {
    const std::string_view name = trimmed(keyName(vk));
    for (const auto& [shortName, spoken] : kSpoken) {
        if (name == shortName) return std::string(spoken);
    }
    // "7-num" is a keypad key.
    if (name.size() > 4 && name.substr(name.size() - 4) == "-num") {
        return "Keypad " + std::string(name.substr(0, name.size() - 4));
    }
    return std::string(name);
}

std::string pictureKeyName(KeyIndex key, Language lang) {
    // Fn has no code of its own: the layout gives it the Menu key's.
    if (key == kFnKey) return std::string(legend(key));
    const std::uint8_t vk = layoutVk(key);
    const std::string keypad = translate(lang, TR_TEXT("Keys", "Keypad "));
    // The keypad's signs and Enter share their short names with keys of the main block.
    static constexpr std::pair<std::uint8_t, std::string_view> kKeypadSigns[] = {
        {111, "/"}, {106, "*"}, {109, "-"}, {107, "+"}, {110, "."}, {108, "Enter"},
    };
    for (const auto& [code, sign] : kKeypadSigns) {
        if (code == vk) return keypad + std::string(sign);
    }
    std::string name = spokenKeyName(vk);
    if (name.empty()) return std::string(legend(key));
    if (constexpr std::string_view kKeypad = "Keypad "; name.starts_with(kKeypad)) {
        return keypad + name.substr(kKeypad.size());
    }
    return name;
}

namespace {

std::string describe(KeyIndex key, const device::DeviceImage& image, const KeyRecordTable& records,
                     Language lang, const MacroNamer& macroName, const std::string& separator) {
    const std::string name = pictureKeyName(key, lang);
    if (!keyEnabled(image, key)) {
        return name + separator + translate(lang, kWords.disabled);
    }
    return name + separator + what(records.at(key), lang, macroName);
}

}  // namespace

std::string describeKey(KeyIndex key, const device::DeviceImage& image,
                        const KeyRecordTable& records, Language lang, const MacroNamer& macroName) {
    return describe(key, image, records, lang, macroName, translate(lang, TR_TEXT("Keys", ": ")));
}

std::string describeKeyChange(KeyIndex key, const device::DeviceImage& image,
                              const KeyRecordTable& records, Language lang,
                              const MacroNamer& macroName) {
    return describe(key, image, records, lang, macroName, " → ");
}

}  // namespace tessaron::keys
