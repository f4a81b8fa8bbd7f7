// tessaronctl's macro commands: list, show, export, import and delete the macros of
// MacroDefine.bin. Import and delete end as the macro manager's OK does: the table is stored and
// packed into the macro slots of keymap.bin, which reach the keyboard with "apply".

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "cli/command.h"
#include "config/config_json.h"
#include "core/atomic_file.h"
#include "core/clock.h"
#include "core/data_folder.h"
#include "core/text.h"
#include "keys/keymap_file.h"
#include "macros/event_lines.h"
#include "macros/macro_file.h"
#include "macros/macro_manager.h"
#include "macros/macro_text.h"
#include "macros/slot_packing.h"

namespace tessaron::cli {
namespace {

namespace fs = std::filesystem;
using macros::MacroTable;

constexpr const char* kUsage =
    "macro list [--json] | show N | export N FILE|- | import FILE|- | delete N";

int usage(const Context& ctx) {
    return usageError(ctx, kUsage);
}

struct MacroFiles {
    fs::path macroFile;
    MacroTable table;
};

// Commands that only read create nothing: without MacroDefine.bin there are no macros.
Result<MacroFiles> openMacros(const Context& ctx, bool reading) {
    auto folder = reading ? chooseDataFolder(ctx) : openDataFolder(ctx);
    if (!folder) return folder.error();
    MacroFiles files;
    files.macroFile = *folder / macros::kMacroFileName;
    std::error_code ec;
    if (reading && !fs::exists(files.macroFile, ec)) return files;
    auto loaded = macros::loadMacroFile(files.macroFile);
    if (!loaded) return loaded.error();
    tellNotice(ctx, loaded->notice);
    tellNotice(ctx, loaded->createError);
    files.table = std::move(loaded->table);
    return files;
}

// The macro index N (0..31), as keys refer to it, of a macro in use.
Result<std::size_t> macroIndex(const MacroTable& table, const std::string& text) {
    std::size_t n = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    const std::size_t inUse = table.countInUse();
    if (ec != std::errc() || ptr != text.data() + text.size() || n >= inUse) {
        const Error range = inUse == 0
                                ? Error(TR_TEXT("Tessaronctl", "there are no macros"))
                                : makeError(TR_TEXT("Tessaronctl", "macros are numbered 0 to %1"),
                                            std::to_string(inUse - 1));
        return makeError(TR_TEXT("Tessaronctl", "No macro %1: %2."), text, range);
    }
    return n;
}

// The manager's OK: the table goes to MacroDefine.bin and into the macro slots of keymap.bin.
// Without keyboard settings in keymap.bin they are read from the keyboard first, so the slots
// are packed into an image that came from it.
Status commit(const Context& ctx, const MacroFiles& files) {
    auto live = openLive(ctx);
    if (!live) return live.error();
    macros::packMacroSlots(files.table, live->image);
    // Both files or neither: after a delete, keys would otherwise play shifted numbers.
    FileBatch batch;
    if (auto staged = macros::stageMacroFile(batch, files.macroFile, files.table); !staged)
        return staged;
    if (auto staged = keys::stageKeymap(batch, live->keymap, live->image, *live->records); !staged)
        return staged;
    return batch.commit();
}

int runList(const Context& ctx, const MacroFiles& files) {
    const bool json = ctx.args.size() == 2 && ctx.args[1] == "--json";
    if (ctx.args.size() != 1 && !json) return usage(ctx);
    const std::size_t n = files.table.countInUse();
    if (json) {
        // The words of "config export", numbered as keys refer to them.
        auto list = nlohmann::ordered_json::array();
        for (std::size_t i = 0; i < n; ++i) {
            nlohmann::ordered_json entry = {{"number", i}};
            entry.update(config::macroJson(files.table[i]));
            list.push_back(std::move(entry));
        }
        printJson(list);
        return 0;
    }
    const Language lang = languageOf(ctx);
    if (n == 0) {
        std::cout << say(lang, TR_TEXT("Tessaronctl", "No macros.")) << "\n";
        return 0;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const auto& rec = files.table[i];
        const std::size_t events = macros::decodeEvents(rec.hostStream()).size();
        const std::string eventText = events == 1
                                          ? say(lang, TR_TEXT("Tessaronctl", "%1 event"), events)
                                          : say(lang, TR_TEXT("Tessaronctl", "%1 events"), events);
        const std::string loopText =
            rec.loopCount() == 1 ? say(lang, TR_TEXT("Tessaronctl", "%1 loop"), rec.loopCount())
                                 : say(lang, TR_TEXT("Tessaronctl", "%1 loops"), rec.loopCount());
        std::cout << i << "  " << macros::utf16ToUtf8(rec.name()) << "  "
                  << (i >= macros::kMaxMacrosInUse
                          ? say(lang,
                                TR_TEXT("Tessaronctl", "(%1, %2, beyond the keyboard's 32 slots)"),
                                eventText, loopText)
                          : say(lang, TR_TEXT("Tessaronctl", "(%1, %2)"), eventText, loopText))
                  << "\n";
    }
    return 0;
}

int runShow(const Context& ctx, const MacroFiles& files) {
    if (ctx.args.size() != 2) return usage(ctx);
    auto index = macroIndex(files.table, ctx.args[1]);
    if (!index) return refuseWith(ctx, index.error());
    const auto& rec = files.table[*index];
    std::cout << macros::utf16ToUtf8(rec.name()) << "  "
              << say(languageOf(ctx), TR_TEXT("Tessaronctl", "(loops %1)"), rec.loopCount())
              << "\n";
    for (const auto& line : macros::eventLines(rec.hostStream())) std::cout << line.text << "\n";
    return 0;
}

int runExport(const Context& ctx, const MacroFiles& files) {
    if (ctx.args.size() != 3) return usage(ctx);
    auto index = macroIndex(files.table, ctx.args[1]);
    if (!index) return refuseWith(ctx, index.error());
    const std::string text = macros::formatMacroText(files.table[*index]);
    if (ctx.args[2] == "-") {
        std::cout << text;
        return 0;
    }
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size());
    if (auto written = writeUserFile(ctx.args[2], bytes); !written) {
        return failWith(ctx, written.error());
    }
    std::cerr << say(languageOf(ctx), TR_TEXT("Tessaronctl", "Exported macro %1 to %2"), *index,
                     ctx.args[2])
              << "\n";
    return 0;
}

int runImport(const Context& ctx, MacroFiles& files) {
    if (ctx.args.size() != 2) return usage(ctx);
    constexpr std::size_t kLimit = 1 << 20;  // far more than any macro needs
    auto text = readInput(ctx, ctx.args[1], kLimit);
    if (!text) return failWith(ctx, text.error());
    // A text that says something wrong, and a full table, are refused as wrong values.
    auto parsed = macros::parseMacroText(*text);
    if (!parsed) return refuseWith(ctx, parsed.error());
    const std::size_t n = files.table.countInUse();
    if (n >= macros::kMaxMacrosInUse) {
        return refuseWith(
            ctx, makeError(TR_TEXT("Tessaronctl", "All 32 macros are in use; delete one first.")));
    }
    macros::MacroRecord record = *parsed;
    if (record.name().empty()) {
        // The name the manager's New would give it.
        std::vector<std::string> names;
        for (std::size_t i = 0; i < n; ++i)
            names.push_back(macros::utf16ToUtf8(files.table[i].name()));
        int i = 1;
        while (std::find(names.begin(), names.end(), macros::newMacroName(i)) != names.end()) ++i;
        record.setName(macros::utf8ToUtf16(macros::newMacroName(i)));
    }
    files.table[n] = record;
    if (auto done = commit(ctx, files); !done) return failWith(ctx, done.error());
    std::cout << say(languageOf(ctx),
                     TR_TEXT("Tessaronctl",
                             "Imported \"%1\" as macro %2; assign it with \"tessaronctl assign KEY "
                             "macro %2\" and send it with \"tessaronctl apply\"."),
                     macros::utf16ToUtf8(record.name()), n)
              << "\n";
    return 0;
}

// Deleting goes through the manager, so records move down exactly as there.
class NoHook final : public macros::KeyHook {
public:
    bool install() override { return false; }
    void remove() override {}
};

int runDelete(const Context& ctx, MacroFiles& files) {
    if (ctx.args.size() != 2) return usage(ctx);
    auto index = macroIndex(files.table, ctx.args[1]);
    if (!index) return refuseWith(ctx, index.error());
    const std::string name = macros::utf16ToUtf8(files.table[*index].name());
    NoHook hook;
    macros::MacroManager manager(files.table, hook, SystemClock::instance());
    manager.select(*index);
    if (auto deleted = manager.deleteMacro(); !deleted) return failWith(ctx, deleted.error());
    files.table = manager.accept();
    if (auto done = commit(ctx, files); !done) return failWith(ctx, done.error());
    std::cout << (*index < files.table.countInUse()
                      ? say(languageOf(ctx),
                            TR_TEXT("Tessaronctl",
                                    "Deleted macro %1 \"%2\"; later macros moved down by one, and "
                                    "keys assigned to them now play the macro that took their "
                                    "number."),
                            *index, name)
                      : say(languageOf(ctx), TR_TEXT("Tessaronctl", "Deleted macro %1 \"%2\"."),
                            *index, name))
              << "\n";
    return 0;
}

int runMacro(Context& ctx) {
    if (ctx.args.empty()) return usage(ctx);
    const std::string& verb = ctx.args[0];
    const bool reading = verb == "list" || verb == "show" || verb == "export";
    auto files = openMacros(ctx, reading);
    if (!files) return failWith(ctx, files.error());
    if (verb == "list") return runList(ctx, *files);
    if (verb == "show") return runShow(ctx, *files);
    if (verb == "export") return runExport(ctx, *files);
    if (verb == "import") return runImport(ctx, *files);
    if (verb == "delete") return runDelete(ctx, *files);
    return usage(ctx);
}

const Registrar macroCommand({"macro", kUsage,
                              TR_TEXT("Tessaronctl", "Lists, shows, exports, imports (text form) and deletes macros; "
                              "import and delete pack the macros into keymap.bin."),
                              runMacro});

}  // namespace
}  // namespace tessaron::cli
