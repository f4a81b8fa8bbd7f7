// tessaronctl's key commands: keys lists every key's assignment as keymap.bin records it;
// assign makes one assignment as the key page's OK does and writes keymap.bin. Nothing goes to
// the keyboard until "apply", or at once with --apply.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "cli/command.h"
#include "config/config_json.h"
#include "config/configuration.h"
#include "core/clock.h"
#include "core/data_folder.h"
#include "core/settings.h"
#include "core/text.h"
#include "device/device_link.h"
#include "keys/assignment.h"
#include "keys/functions.h"
#include "keys/key_lookup.h"
#include "keys/key_names.h"
#include "keys/keymap_file.h"
#include "macros/macro_file.h"
#include "macros/slot_packing.h"

namespace tessaron::cli {
namespace {

namespace fs = std::filesystem;
using device::DeviceImage;

constexpr const char* kAssignUsage =
    "assign KEY single KEY2 | combo K1 K2 [K3] | function NAME | macro N |\n"
    "                   sound|program|file|folder PATH | disable | enable | default [--apply]";

std::string hex(const keys::KeyCell& c) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X %02X %02X %02X", c[0], c[1], c[2], c[3]);
    return text;
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

std::string keyText(std::uint8_t vk, Language lang) {
    const std::string name = trimmed(keys::keyName(vk));
    return name.empty() ? say(lang, TR_TEXT("Tessaronctl", "code %1"), vk) : name;
}

Text hostKindText(std::uint8_t kind) {
    switch (kind) {
        case keys::kind::kPlaySound:
            return TR_TEXT("Tessaronctl", "sound %1");
        case keys::kind::kStartup:
            return TR_TEXT("Tessaronctl", "program %1");
        case keys::kind::kOpenFile:
            return TR_TEXT("Tessaronctl", "file %1");
        default:
            return TR_TEXT("Tessaronctl", "folder %1");
    }
}

// The assignment as the record remembers it.
std::string describe(const keys::KeyRecord& r, Language lang) {
    using namespace keys::kind;
    switch (r.kind) {
        case kSingle:
            if (r.keyCount == 0) return say(lang, TR_TEXT("Tessaronctl", "default"));
            if (r.keyCount == 1)
                return say(lang, TR_TEXT("Tessaronctl", "single %1"), keyText(r.bytes[0], lang));
            return say(lang, TR_TEXT("Tessaronctl", "single (%1 keys)"), r.keyCount);
        case kCombination: {
            std::string list;
            for (std::size_t i = 0; i < 3 && r.bytes[i] != 0; ++i)
                list += (i ? " " : "") + keyText(r.bytes[i], lang);
            return list.empty() ? say(lang, TR_TEXT("Tessaronctl", "combo"))
                                : say(lang, TR_TEXT("Tessaronctl", "combo %1"), list);
        }
        case kMacro:
            return r.bytes[0] == keys::cell::kMacro
                       ? say(lang, TR_TEXT("Tessaronctl", "macro %1"), r.bytes[2])
                       : say(lang, TR_TEXT("Tessaronctl", "macro (none)"));
        case kFunction: {
            const keys::KeyCell c{r.bytes[0], r.bytes[1], r.bytes[2], r.bytes[3]};
            const auto f = keys::findFunctionByCell(c);
            return f ? say(lang, TR_TEXT("Tessaronctl", "function %1"),
                           std::string(keys::functionTable()[*f].name(lang)))
                     : say(lang, TR_TEXT("Tessaronctl", "function (unknown)"));
        }
        case kPlaySound:
        case kStartup:
        case kOpenFile:
        case kOpenFolder: {
            const std::string path = keys::hostPath(r);
            return say(lang, hostKindText(r.kind),
                       path.empty() ? say(lang, TR_TEXT("Tessaronctl", "(no path)")) : path);
        }
        default:
            return say(lang, TR_TEXT("Tessaronctl", "none chosen (kind %1)"), r.kind);
    }
}

void printHeader(Language lang) {
    std::cout << padded(say(lang, TR_TEXT("Tessaronctl", "Key")), 4)
              << padded(say(lang, TR_TEXT("Tessaronctl", "Legend")), 11)
              << padded(say(lang, TR_TEXT("Tessaronctl", "Name")), 14)
              << padded(say(lang, TR_TEXT("Tessaronctl", "Cell")), 13)
              << padded(say(lang, TR_TEXT("Tessaronctl", "Enabled")), 9)
              << padded(say(lang, TR_TEXT("Tessaronctl", "Modified")), 10)
              << say(lang, TR_TEXT("Tessaronctl", "Assignment")) << "\n";
}

void printKey(Live& live, keys::KeyIndex k, Language lang) {
    const auto cellNow = keys::readCell(live.image, keys::matrixCellOffset(k));
    const std::string yes = say(lang, TR_TEXT("Tessaronctl", "yes"));
    const std::string no = say(lang, TR_TEXT("Tessaronctl", "no"));
    char index[8];
    std::snprintf(index, sizeof index, "%3d ", int(k));
    std::cout << index << padded(std::string(keys::legend(k)), 11)
              << padded(trimmed(keys::keyName(keys::layoutVk(k))), 14) << padded(hex(cellNow), 13)
              << padded(keys::keyEnabled(live.image, k) ? yes : no, 9)
              << padded(live.marks[k] ? yes : no, 10) << describe((*live.records)[k], lang) << "\n";
}

// Every key with its assignment in the words of "config export": {} for its own, null where no
// words describe the cell.
int printKeysJson(const Context& ctx, Live& live) {
    using Json = nlohmann::ordered_json;
    macros::MacroTable table;
    const fs::path macroFile = live.folder / macros::kMacroFileName;
    std::error_code missing;
    if (fs::exists(macroFile, missing)) {
        auto loaded = macros::loadMacroFile(macroFile);
        if (!loaded) return failWith(ctx, loaded.error());
        table = std::move(loaded->table);
    }
    const auto reading = config::readConfiguration(live.image, *live.records, table);
    // Keys the reading left out are the changed ones it has no words for.
    std::vector<Json> assignment(keys::kRealKeyCount, Json::object());
    for (std::size_t i = 0; i < keys::kRealKeyCount; ++i) {
        const auto k = static_cast<keys::KeyIndex>(i);
        if (config::isConfigurableKey(k) &&
            keys::readCell(live.image, keys::matrixCellOffset(k)) != keys::factoryCell(k)) {
            assignment[i] = nullptr;
        }
    }
    for (const auto& setting : reading.configuration.keys) {
        Json words = config::keySettingJson(setting);
        words.erase("disabled");  // "enabled" says it
        assignment[setting.key] = std::move(words);
    }
    Json list = Json::array();
    for (std::size_t i = 0; i < keys::kRealKeyCount; ++i) {
        const auto k = static_cast<keys::KeyIndex>(i);
        const auto cell = keys::readCell(live.image, keys::matrixCellOffset(k));
        std::string hexCell = hex(cell);
        std::erase(hexCell, ' ');
        list.push_back({{"index", i},
                        {"key", config::keyWord(k)},
                        {"legend", std::string(keys::legend(k))},
                        {"name", trimmed(keys::keyName(keys::layoutVk(k)))},
                        {"cell", hexCell},
                        {"enabled", keys::keyEnabled(live.image, k)},
                        {"modified", live.marks[k] != 0},
                        {"assignment", assignment[i]}});
    }
    printJson(list);
    return 0;
}

int runKeys(Context& ctx) {
    const bool json = ctx.args.size() == 1 && ctx.args[0] == "--json";
    if (!ctx.args.empty() && !json) return usageError(ctx, "keys [--json]");
    auto live = openLive(ctx);
    if (!live) return failWith(ctx, live.error());
    if (json) return printKeysJson(ctx, *live);
    const Language lang = languageOf(ctx);
    printHeader(lang);
    for (std::size_t i = 0; i < keys::kRealKeyCount; ++i) {
        printKey(*live, static_cast<keys::KeyIndex>(i), lang);
    }
    return 0;
}

// ---- assign ----

Error unknownKey(const std::string& text) {
    return makeError(TR_TEXT("Tessaronctl",
                             "No key is called \"%1\"; use a legend or key name as \"tessaronctl "
                             "keys\" lists them, or #N."),
                     text);
}

Result<std::uint8_t> capturedKey(const std::string& text) {
    const auto vk = keys::findKeyCode(text);
    // Mouse action codes exist for macros only; the keyboard cannot send them from a key.
    if (!vk || keys::keyName(*vk).empty() || *vk >= 0xF0) return unknownKey(text);
    return *vk;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (auto& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

// NAME in either language, letter case ignored; Apply matches the interface language's name.
Result<std::string> functionName(const std::string& text, Language lang) {
    for (const auto& f : keys::functionTable()) {
        if (lowered(f.english()) == lowered(text) || f.name(Language::Chinese) == text) {
            return std::string(f.name(lang));
        }
    }
    std::string names;
    for (const auto& f : keys::functionTable())
        names += (names.empty() ? "" : ", ") + std::string(f.english());
    return makeError(TR_TEXT("Tessaronctl", "No function is called \"%1\". Functions: %2."), text,
                     names);
}

Result<std::int32_t> macroNumber(const Live& live, const std::string& text,
                                 macros::MacroTable& table) {
    // A missing MacroDefine.bin holds no macros; it is not created just to refuse a number.
    const fs::path file = live.folder / macros::kMacroFileName;
    std::error_code missing;
    if (fs::exists(file, missing)) {
        auto loaded = macros::loadMacroFile(file);
        if (!loaded) return loaded.error();
        table = std::move(loaded->table);
    }
    const std::size_t inUse = std::min(table.countInUse(), keys::kMacroSlotCount);
    std::int32_t n = -1;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || ptr != text.data() + text.size() || n < 0 ||
        static_cast<std::size_t>(n) >= inUse) {
        const Error range = inUse == 0
                                ? Error(TR_TEXT("Tessaronctl", "there are no macros yet"))
                                : makeError(TR_TEXT("Tessaronctl", "macros are numbered 0 to %1"),
                                            std::to_string(inUse - 1));
        return makeError(TR_TEXT("Tessaronctl", "No macro %1: %2."), text, range);
    }
    return n;
}

Result<std::string> hostPathArgument(const std::string& text, std::uint8_t kind, int& refusal) {
    std::error_code ec;
    const fs::path path = fs::absolute(text, ec).lexically_normal();
    const bool folder = kind == keys::kind::kOpenFolder;
    const bool fits = folder ? fs::is_directory(path, ec) : fs::is_regular_file(path, ec);
    if (ec || !fits) {
        refusal = kExitFailure;
        return makeError(folder ? TR_TEXT("Tessaronctl", "There is no folder \"%1\".")
                                : TR_TEXT("Tessaronctl", "There is no file \"%1\"."),
                         path.string());
    }
    std::string stored = path.string();
    if (auto fitsRecord = keys::validateHostPath(stored); !fitsRecord) return fitsRecord.error();
    return stored;
}

struct Choice {
    keys::PendingAssignment pending;
    bool packMacros = false;
    macros::MacroTable macroTable;
};

// Fills the pending assignment as the key page's Save (or Default) leaves it. A refusal is a
// usage error but for a host path that names no file or folder.
Result<Choice> parseChoice(const std::vector<std::string>& a, Live& live, keys::KeyIndex k,
                           Language lang, int& refusal) {
    refusal = kExitUsage;
    const std::string what = lowered(a[1]);
    const std::size_t extra = a.size() - 2;
    Choice c;
    auto& p = c.pending;
    p.clearChoice();
    p.enabled = keys::keyEnabled(live.image, k);  // the page's Disable box starts like this
    const auto usage = makeError(TR_TEXT("Tessaronctl", "usage: tessaronctl %1"), kAssignUsage);

    if (what == "single" || what == "combo") {
        const bool single = what == "single";
        if (single ? extra != 1 : (extra < 2 || extra > 3)) return usage;
        p.kind = single ? keys::kind::kSingle : keys::kind::kCombination;
        for (std::size_t i = 0; i < extra; ++i) {
            auto vk = capturedKey(a[2 + i]);
            if (!vk) return vk.error();
            p.capturedKeys[i] = *vk;
        }
        p.keyCount = static_cast<std::uint8_t>(extra);
    } else if (what == "function") {
        if (extra < 1) return usage;
        std::string name = a[2];
        for (std::size_t i = 3; i < a.size(); ++i) name += " " + a[i];  // "Select All" unquoted
        auto resolved = functionName(name, lang);
        if (!resolved) return resolved.error();
        p.kind = keys::kind::kFunction;
        p.functionName = *resolved;
    } else if (what == "macro") {
        if (extra != 1) return usage;
        auto n = macroNumber(live, a[2], c.macroTable);
        if (!n) return n.error();
        p.kind = keys::kind::kMacro;
        p.macroNumber = *n;
        c.packMacros = true;
    } else if (what == "sound" || what == "program" || what == "file" || what == "folder") {
        if (extra != 1) return usage;
        p.kind = what == "sound"     ? keys::kind::kPlaySound
                 : what == "program" ? keys::kind::kStartup
                 : what == "file"    ? keys::kind::kOpenFile
                                     : keys::kind::kOpenFolder;
        auto path = hostPathArgument(a[2], p.kind, refusal);
        if (!path) return path.error();
        p.hostPath = *path;
    } else if (what == "disable" || what == "enable") {
        if (extra != 0) return usage;
        p.enabled = what == "enable";  // the assignment itself stays as it is
    } else if (what == "default") {
        if (extra != 0) return usage;
        p.keyCount = keys::kDefaultKeyCount;
    } else {
        return usage;
    }
    return c;
}

int runAssign(Context& ctx) {
    std::vector<std::string> args;
    for (const auto& arg : ctx.args) {
        if (arg != "--apply") args.push_back(arg);
    }
    if (args.size() < 2) return usageError(ctx, kAssignUsage);
    const auto key = keys::findKey(args[0]);
    if (!key) return refuseWith(ctx, unknownKey(args[0]));
    if (!keys::isAssignable(*key)) {
        return refuseWith(ctx,
                          makeError(TR_TEXT("Tessaronctl", "The key \"%1\" cannot be reassigned."),
                                    std::string(keys::legend(*key))));
    }
    const Language lang = languageOf(ctx);
    int refusal = kExitUsage;
    // The arguments are checked before a missing keymap.bin is filled from the keyboard, so a
    // refused command leaves nothing behind, not even the data folder.
    {
        auto folder = chooseDataFolder(ctx);
        if (!folder) return failWith(ctx, folder.error());
        Live probe;
        probe.folder = *folder;
        if (auto checked = parseChoice(args, probe, *key, lang, refusal); !checked) {
            return refusal == kExitUsage ? refuseWith(ctx, checked.error())
                                         : failWith(ctx, checked.error());
        }
    }
    auto live = openLive(ctx);
    if (!live) return failWith(ctx, live.error());
    auto choice = parseChoice(args, *live, *key, lang, refusal);
    if (!choice) return failWith(ctx, choice.error());

    keys::ApplyContext apply;
    apply.language = lang;
    if (choice->packMacros) {
        const auto& table = choice->macroTable;
        apply.repackMacroSlots = [&table](DeviceImage& img) { macros::packMacroSlots(table, img); };
    }
    choice->pending.selectedKey = *key;
    choice->pending.selectedVk = keys::layoutVk(*key);
    auto done = keys::finishKeyEdit(choice->pending, live->keys(), apply, live->keymap);
    if (!done) return failWith(ctx, done.error());

    keys::refreshModifiedMarks(live->keys());
    printHeader(lang);
    printKey(*live, *key, lang);
    return sendIfAsked(ctx, *live);
}

const Registrar keysCommand({"keys", "keys [--json]",
                             TR_TEXT("Tessaronctl", "List every key with its assignment, enabled state and modified mark."),
                             runKeys});
const Registrar assignCommand({"assign", kAssignUsage,
                               TR_TEXT("Tessaronctl", "Assign a key as the key page does and write keymap.bin (send it "
                               "with apply, or at once with --apply)."),
                               runAssign});

}  // namespace
}  // namespace tessaron::cli
