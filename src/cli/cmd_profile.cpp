// tessaronctl's profile commands: the profile store of the "Configure" folder, acting on the live
// configuration in keymap.bin as the profiles panel does. A loaded profile reaches the keyboard
// with "apply".

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "cli/command.h"
#include "config/host_actions.h"
#include "core/atomic_file.h"
#include "core/clock.h"
#include "core/data_folder.h"
#include "core/settings.h"
#include "core/text.h"
#include "keys/keymap_file.h"
#include "profiles/profile_store.h"

namespace tessaron::cli {
namespace {

namespace fs = std::filesystem;
using profiles::Outcome;
using profiles::ProfileStore;
using profiles::StoreResult;

constexpr const char* kUsage =
    "profile list [--json] | new | copy NAME | save NAME [--export FILE] |\n"
    "                   load NAME FILE [--allow-host-actions] | delete NAME | rename OLD NEW";
constexpr const char* kAllowFlag = "--allow-host-actions";
// Host actions that the user has not allowed.
constexpr int kNotAllowed = 3;

int usage(const Context& ctx) {
    return usageError(ctx, kUsage);
}

class ProfileCommand {
public:
    ProfileCommand(const Context& ctx, fs::path folder)
        : ctx_(ctx),
          folder_(std::move(folder)),
          language_(resolveLanguage(ctx.options.language, settingsFile())),
          store_(folder_, language_, SystemClock::instance()) {}

    int run() {
        std::vector<std::string> args;
        for (const auto& a : ctx_.args) {
            if (a == kAllowFlag) {
                allowHostActions_ = true;
            } else {
                args.push_back(a);
            }
        }
        if (args.empty()) return usage(ctx_);
        const std::string& verb = args[0];
        if (allowHostActions_ && verb != "load") return usage(ctx_);
        // Listing only looks: it creates neither the data folder nor "Configure".
        if (verb == "list" && args.size() <= 2) {
            if (args.size() == 2 && args[1] != "--json") return usage(ctx_);
            store_.rescan();
            return list(args.size() == 2);
        }
        const StoreResult opened = store_.open();
        if (!opened.done()) return report(opened, "");
        if (verb == "new" && args.size() == 1) return create();
        if (verb == "copy" && args.size() == 2) return copy(args[1]);
        if (verb == "save" && args.size() == 2) return save(args[1], std::nullopt);
        if (verb == "save" && args.size() == 4 && args[2] == "--export")
            return save(args[1], args[3]);
        if (verb == "load" && args.size() == 3) return load(args[1], args[2]);
        if (verb == "delete" && args.size() == 2) return remove(args[1]);
        if (verb == "rename" && args.size() == 3) return rename(args[1], args[2]);
        return usage(ctx_);
    }

private:
    int failWith(const Error& error) const { return fail(error.text(language_)); }
    // A name that is no profile, or one the store refuses, is a wrong command line.
    int refuse(const Error& error) const { return failUsage(error.text(language_)); }

    // Prints what the store says; the message texts end in a newline of their own. A refusal
    // (a name, a limit) exits as a wrong command line, a file that failed with 1.
    int report(const StoreResult& r, const std::string& success) const {
        if (r.done()) {
            if (!success.empty()) std::cout << success << "\n";
            return 0;
        }
        std::string message = r.message(language_);
        while (!message.empty() && message.back() == '\n') message.pop_back();
        if (message.empty()) {
            message = translate(language_, TR_TEXT("Tessaronctl", "Nothing was done."));
        }
        return r.outcome == Outcome::Failed ? fail(message) : failUsage(message);
    }

    Result<std::size_t> find(const std::string& name) const {
        if (auto i = store_.indexOf(name)) return *i;
        return makeError(
            TR_TEXT("Tessaronctl", "No profile is named \"%1\" (see tessaronctl profile list)."),
            name);
    }

    int list(bool json) const {
        if (json) {
            printJson(nlohmann::ordered_json(store_.names()));
            return 0;
        }
        if (store_.names().empty()) {
            std::cout << say(language_, TR_TEXT("Tessaronctl", "No profiles in %1"),
                             store_.folder().string())
                      << "\n";
        }
        for (const auto& name : store_.names()) std::cout << name << "\n";
        return 0;
    }

    int create() {
        const auto before = store_.names();
        const StoreResult r = store_.create();
        std::string made;
        for (const auto& name : store_.names()) {
            if (std::find(before.begin(), before.end(), name) == before.end()) made = name;
        }
        return report(r, say(language_, TR_TEXT("Tessaronctl", "Created profile \"%1\"."), made));
    }

    int copy(const std::string& name) {
        auto index = find(name);
        if (!index) return refuse(index.error());
        // The panel stays silent here; a script needs the reason.
        if (store_.names().size() >= profiles::kMaxProfiles) {
            return refuse(makeError(TR_TEXT("Tessaronctl",
                                            "There are six profiles already, the most the "
                                            "Configure folder keeps; delete one before copying.")));
        }
        return report(store_.copy(*index),
                      say(language_, TR_TEXT("Tessaronctl", "Copied \"%1\"."), name));
    }

    int save(const std::string& name, const std::optional<std::string>& exportTo) {
        auto index = find(name);
        if (!index) return refuse(index.error());
        auto live = openLive(ctx_);
        if (!live) return failWith(live.error());
        std::optional<fs::path> target;
        if (exportTo) target = fs::path(*exportTo);
        const std::string saved =
            exportTo
                ? say(language_,
                      TR_TEXT("Tessaronctl",
                              "Saved the configuration of keymap.bin into \"%1\" and %2."),
                      name, *exportTo)
                : say(language_,
                      TR_TEXT("Tessaronctl", "Saved the configuration of keymap.bin into \"%1\"."),
                      name);
        return report(store_.save(*index, {live->image, *live->records}, target), saved);
    }

    // Keys that would run something here and are not on the approved list need the user's word,
    // wherever the file lies (a shared profile is installed by copying it into the folder);
    // with --allow-host-actions they are approved.
    std::optional<int> refuseHostActions(const fs::path& file) const {
        auto bytes = readFilePrefix(file, keys::kKeymapFileSize);
        if (!bytes) return std::nullopt;  // the store reports it
        auto current = config::keymapRecords(folder_ / std::string(keys::kKeymapFileName));
        if (!current) return failWith(current.error());
        const auto after = config::recordsAfterLoad(**current, *bytes);
        auto brought = config::needingConsent(*after, folder_);
        if (!brought) return failWith(brought.error());
        if (brought->empty()) return std::nullopt;
        if (allowHostActions_) {
            if (auto approved = keys::approveHostActions(folder_, *brought); !approved) {
                return failWith(approved.error());
            }
            return std::nullopt;
        }
        const Error asked = config::hostActionsNeedConsent(
            *brought,
            TR_TEXT("Tessaronctl",
                    "Nothing was changed. Load with --allow-host-actions to accept them."));
        fail(asked.text(language_));
        return kNotAllowed;
    }

    int load(const std::string& name, const std::string& file) {
        auto index = find(name);
        if (!index) return refuse(index.error());
        if (auto refused = refuseHostActions(file)) return *refused;
        auto live = openLive(ctx_);
        if (!live) return failWith(live.error());
        const StoreResult r = store_.load(*index, {live->image, *live->records}, fs::path(file));
        if (!r.done()) return report(r, "");
        // As after the panel closes: the live configuration goes to keymap.bin.
        if (auto written = keys::writeKeymap(live->keymap, live->image, *live->records); !written) {
            return failWith(written.error());
        }
        std::cout << say(language_,
                         TR_TEXT("Tessaronctl",
                                 "Loaded %1 into keymap.bin and profile \"%2\"; send it to the "
                                 "keyboard with \"tessaronctl apply\"."),
                         file, name)
                  << "\n";
        return 0;
    }

    int remove(const std::string& name) {
        auto index = find(name);
        if (!index) return refuse(index.error());
        return report(store_.remove(*index, [] { return true; }),
                      say(language_, TR_TEXT("Tessaronctl", "Deleted \"%1\"."), name));
    }

    int rename(const std::string& from, const std::string& to) {
        auto index = find(from);
        if (!index) return refuse(index.error());
        return report(store_.rename(*index, to),
                      say(language_, TR_TEXT("Tessaronctl", "Renamed \"%1\"."), from));
    }

    const Context& ctx_;
    fs::path folder_;
    Language language_;
    ProfileStore store_;
    bool allowHostActions_ = false;
};

int runProfile(Context& ctx) {
    if (ctx.args.empty()) return usage(ctx);
    // Chosen, not created: the commands that write create the folders they write into.
    auto folder = chooseDataFolder(ctx);
    if (!folder)
        return fail(folder.error().text(resolveLanguage(ctx.options.language, settingsFile())));
    return ProfileCommand(ctx, *folder).run();
}

const Registrar profileCommand(
    {"profile", kUsage,
     TR_TEXT("Tessaronctl", "Manages the six profiles of the Configure folder: saves keymap.bin "
     "into one, loads a file into keymap.bin, copies, renames, deletes."),
     runProfile});

}  // namespace
}  // namespace tessaron::cli
