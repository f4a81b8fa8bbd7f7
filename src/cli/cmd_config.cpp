// tessaronctl's configuration commands: the whole configuration (lighting, performance, keys,
// DIY maps, macros) as one JSON text to read, keep and share. Import checks the whole file before
// anything changes, asks before taking in keys that run something on this computer, and writes
// keymap.bin and MacroDefine.bin as the window's Save and the macro manager's OK would; "apply"
// sends them.

#include <iostream>
#include <memory>
#include <string>

#include "cli/cli_support.h"
#include "cli/command.h"
#include "config/config_json.h"
#include "config/configuration.h"
#include "config/host_actions.h"
#include "core/atomic_file.h"
#include "core/data_folder.h"
#include "core/text.h"
#include "keys/keymap_file.h"
#include "macros/macro_file.h"
#include "switching/rules.h"

namespace tessaron::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "config export [FILE|-] | import FILE|- [--allow-host-actions] | check FILE|-";
constexpr const char* kAllowFlag = "--allow-host-actions";

// A file refused for what it holds, as opposed to one that cannot be read.
constexpr int kRefusedFile = 2;
// Host actions that the user has not allowed.
constexpr int kNotAllowed = 3;

int usage(const Context& ctx) {
    return usageError(ctx, kUsage);
}

// The file's configuration, or the exit status of its refusal after saying why.
struct Checked {
    std::optional<config::Configuration> configuration;
    int status = 0;
};

Checked check(const Context& ctx, const std::string& name) {
    auto text = readInput(ctx, name, config::kMaxTextBytes);
    if (!text) return {std::nullopt, failWith(ctx, text.error())};
    auto parsed = config::parseConfiguration(*text);
    if (!parsed) {
        const Error& e = parsed.error();
        const Language lang = languageOf(ctx);
        const std::string shown =
            name != "-" ? name : translate(lang, TR_TEXT("Tessaronctl", "(standard input)"));
        fail(shown + (translate(lang, TR_TEXT("Tessaronctl", ": "))) + e.text(lang));
        return {std::nullopt, kRefusedFile};
    }
    return {std::move(*parsed), 0};
}

Result<macros::MacroTable> existingMacros(const Context& ctx, const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return macros::MacroTable();  // nothing is created for a read
    auto loaded = macros::loadMacroFile(file);
    if (!loaded) return loaded.error();
    tellNotice(ctx, loaded->notice);
    return std::move(loaded->table);
}

int runExport(const Context& ctx) {
    if (ctx.args.size() > 2) return usage(ctx);
    const std::string target = ctx.args.size() == 2 ? ctx.args[1] : "-";
    auto live = openLive(ctx);
    if (!live) return failWith(ctx, live.error());
    auto table = existingMacros(ctx, live->folder / macros::kMacroFileName);
    if (!table) return failWith(ctx, table.error());
    auto reading = config::readConfiguration(live->image, *live->records, *table);
    std::error_code ec;
    if (fs::exists(switching::rulesFile(live->folder), ec)) {
        auto rules = switching::loadRules(live->folder);
        if (!rules) return failWith(ctx, rules.error());
        reading.configuration.switching = std::move(*rules);
    }
    const Language lang = languageOf(ctx);
    for (const auto& what : reading.leftOut) {
        std::cerr << "tessaronctl: "
                  << say(lang,
                         TR_TEXT("Tessaronctl",
                                 "left out %1: no words of the configuration describe it."),
                         what)
                  << "\n";
    }
    const std::string text = config::formatConfiguration(reading.configuration);
    if (target == "-") {
        std::cout << text;
        return 0;
    }
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size());
    if (auto written = writeUserFile(target, bytes); !written) {
        return failWith(ctx, written.error());
    }
    std::cerr << say(lang, TR_TEXT("Tessaronctl", "Exported the configuration to %1"), target)
              << "\n";
    return 0;
}

// The host actions the configuration would bring in that the user has not approved.
Result<std::vector<config::HostActionEntry>> unapproved(const Context& ctx,
                                                        const config::Configuration& wanted) {
    auto folder = chooseDataFolder(ctx);  // a refused import creates nothing
    if (!folder) return folder.error();
    auto records = config::keymapRecords(*folder / std::string(keys::kKeymapFileName));
    if (!records) return records.error();
    device::DeviceImage scratch{};
    macros::MacroTable table;
    config::applyConfiguration(wanted, scratch, **records, table);
    return config::needingConsent(**records, *folder);
}

int runCheck(const Context& ctx) {
    if (ctx.args.size() != 2) return usage(ctx);
    const auto checked = check(ctx, ctx.args[1]);
    if (!checked.configuration) return checked.status;
    std::cout << say(languageOf(ctx),
                     TR_TEXT("Tessaronctl", "%1: a configuration of %2 keys and %3 macros."),
                     ctx.args[1], checked.configuration->keys.size(),
                     checked.configuration->macros.size())
              << "\n";
    auto asked = unapproved(ctx, *checked.configuration);
    if (!asked) return failWith(ctx, asked.error());
    if (asked->empty()) return 0;
    fail(config::hostActionsNeedConsent(
             *asked, TR_TEXT("Tessaronctl", "Importing it needs --allow-host-actions."))
             .text(languageOf(ctx)));
    return kNotAllowed;
}

int runImport(const Context& ctx) {
    std::string name;
    for (std::size_t i = 1; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        if (a == kAllowFlag) continue;
        // "-" is standard input; anything else starting with "-" is an unknown option.
        if (!name.empty() || (a.starts_with('-') && a != "-")) return usage(ctx);
        name = a;
    }
    if (name.empty()) return usage(ctx);
    const auto checked = check(ctx, name);
    if (!checked.configuration) return checked.status;
    const config::Configuration& wanted = *checked.configuration;

    // Host actions are decided on the records alone, before anything is read or written.
    auto brought = unapproved(ctx, wanted);
    if (!brought) return failWith(ctx, brought.error());
    if (!brought->empty() && !hasFlag(ctx, kAllowFlag)) {
        const Error asked = config::hostActionsNeedConsent(
            *brought,
            TR_TEXT("Tessaronctl",
                    "Nothing was changed. Import with --allow-host-actions to accept them."));
        fail(asked.text(languageOf(ctx)));
        return kNotAllowed;
    }

    auto opened = openLive(ctx);
    if (!opened) return failWith(ctx, opened.error());
    macros::MacroTable table;
    config::applyConfiguration(wanted, opened->image, *opened->records, table);
    if (auto approved = keys::approveHostActions(opened->folder, *brought); !approved) {
        return failWith(ctx, approved.error());
    }
    // All files or none: keys must not point at macros that did not change with them.
    FileBatch batch;
    Status written = macros::stageMacroFile(batch, opened->folder / macros::kMacroFileName, table);
    if (written) written = keys::stageKeymap(batch, opened->keymap, opened->image, *opened->records);
    std::string rulesText;
    if (written && wanted.switching) {
        rulesText = switching::formatRules(*wanted.switching);
        written = batch.add(switching::rulesFile(opened->folder),
                            std::span(reinterpret_cast<const std::uint8_t*>(rulesText.data()),
                                      rulesText.size()));
    }
    if (written) written = batch.commit();
    if (!written) return failWith(ctx, written.error());
    const Text done =
        name == "-"
            ? (wanted.switching
                   ? TR_TEXT("Tessaronctl",
                             "Imported the configuration into keymap.bin and MacroDefine.bin and "
                             "the switching rules into rules.json; send it to the keyboard with "
                             "\"tessaronctl apply\".")
                   : TR_TEXT("Tessaronctl",
                             "Imported the configuration into keymap.bin and MacroDefine.bin; send "
                             "it to the keyboard with \"tessaronctl apply\"."))
            : (wanted.switching
                   ? TR_TEXT("Tessaronctl",
                             "Imported %1 into keymap.bin and MacroDefine.bin and the switching "
                             "rules into rules.json; send it to the keyboard with \"tessaronctl "
                             "apply\".")
                   : TR_TEXT("Tessaronctl",
                             "Imported %1 into keymap.bin and MacroDefine.bin; send it to the "
                             "keyboard with \"tessaronctl apply\"."));
    std::cout << say(languageOf(ctx), done, name) << "\n";
    return 0;
}

int runConfig(Context& ctx) {
    if (ctx.args.empty()) return usage(ctx);
    const std::string& verb = ctx.args[0];
    if (verb == "export") return runExport(ctx);
    if (verb == "import") return runImport(ctx);
    if (verb == "check") return runCheck(ctx);
    return usage(ctx);
}

const Registrar configCommand(
    {"config", kUsage,
     TR_TEXT("Tessaronctl", "Exports the whole configuration as JSON, checks a file, or imports one into keymap.bin "
     "and MacroDefine.bin (send it with apply). A refused file exits with 2; keys that would "
     "run something need --allow-host-actions (else exit 3)."),
     runConfig});

}  // namespace
}  // namespace tessaron::cli
