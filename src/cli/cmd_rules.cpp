// tessaronctl's rules commands: the rules of automatic profile switching in rules.json of the data
// folder. "test" says which rule a window would meet, without switching anything; "follow" does
// the switching on X11 and wlroots desktops for as long as it runs, when the window is not
// running (the window follows by itself). "list" names the way the window in front is learned on
// this desktop, or why there is none.

#include <csignal>
#include <iostream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command.h"
#include "core/clock.h"
#include "core/data_folder.h"
#include "core/text.h"
#include "profiles/profile_store.h"
#include "switching/desktop_bridge.h"
#include "switching/device_profiles.h"
#include "switching/engine.h"
#include "switching/rules.h"
#include "switching/watcher.h"
#include "switching/wlroots_watcher.h"
#include "switching/x11_watcher.h"

namespace tessaron::cli {
namespace {

namespace fs = std::filesystem;
using namespace switching;

constexpr const char* kUsage =
    "rules list | add (--profile NAME | --keep) [--at N] CONDITION... |\n"
    "                   remove N | move N TO | test [--program P] [--command-line C] [--class C]\n"
    "                   [--title T] [--pid PID] | otherwise previous|NAME | limit N | on | off |\n"
    "                   follow\n"
    "      CONDITION: [--not] [--case-sensitive] program|command_line|class|title\n"
    "                 equals|contains|starts_with|regex TEXT";

int usage(const Context& ctx) {
    return usageError(ctx, kUsage);
}

// The field and test stay the words "rules add" takes.
std::string conditionText(const Condition& c, Language lang) {
    std::string out = std::string(fieldWord(c.field())) + " " + std::string(testWord(c.test())) +
                      " \"" + c.text() + "\"";
    if (c.negate()) out = say(lang, TR_TEXT("Tessaronctl", "not %1"), out);
    if (c.caseSensitive()) out = say(lang, TR_TEXT("Tessaronctl", "%1 (case-sensitive)"), out);
    return out;
}

std::string targetText(const std::optional<std::string>& profile, Language lang) {
    return profile ? say(lang, TR_TEXT("Tessaronctl", "profile \"%1\""), *profile)
                   : say(lang, TR_TEXT("Tessaronctl", "leave the keyboard as it is"));
}

// What happens when no rule matches.
std::string otherwiseText(const std::optional<std::string>& profile, Language lang) {
    return profile ? targetText(profile, lang)
                   : say(lang, TR_TEXT("Tessaronctl", "back to what the keyboard held before"));
}

std::string ruleText(const Rule& r, Language lang) {
    std::string out;
    for (std::size_t i = 0; i < r.conditions.size(); ++i) {
        const std::string condition = conditionText(r.conditions[i], lang);
        out = i ? say(lang, TR_TEXT("Tessaronctl", "%1 and %2"), out, condition) : condition;
    }
    out += " -> " + targetText(r.profile, lang);
    if (!r.enabled) out = say(lang, TR_TEXT("Tessaronctl", "%1 (off)"), out);
    return out;
}

// A rule number as the list shows it (from 1); `extra` admits one past the end.
std::optional<std::size_t> position(const std::string& text, std::size_t count, bool extra = false) {
    if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const std::size_t n = std::stoul(text);
    if (n < 1 || n > count + (extra ? 1 : 0)) return std::nullopt;
    return n - 1;
}

class RulesCommand {
public:
    explicit RulesCommand(Context& ctx) : ctx_(ctx), lang_(languageOf(ctx)), args_(ctx.args) {}

    int run() {
        if (args_.empty()) return usage(ctx_);
        auto folder = openDataFolder(DataFolderInputs::fromProcess(ctx_.options.dataDir));
        if (!folder) return failWith(ctx_, folder.error());
        folder_ = *folder;
        auto loaded = loadRules(folder_);
        if (!loaded) return failWith(ctx_, loaded.error());
        set_ = std::move(*loaded);

        const std::string verb = args_[0];
        args_.erase(args_.begin());
        if (verb == "list" && args_.empty()) return list();
        if (verb == "add") return add();
        if (verb == "remove" && args_.size() == 1) return remove();
        if (verb == "move" && args_.size() == 2) return move();
        if (verb == "test") return test();
        if (verb == "otherwise" && args_.size() == 1) return otherwise();
        if (verb == "limit" && args_.size() == 1) return limit();
        if ((verb == "on" || verb == "off") && args_.empty()) return turn(verb == "on");
        if (verb == "follow" && args_.empty()) return follow();
        return usage(ctx_);
    }

private:
    template <class... Args>
    int save(const Text& done, Args&&... args) {
        if (auto written = saveRules(folder_, set_); !written) return failWith(ctx_, written.error());
        std::cout << say(lang_, done, std::forward<Args>(args)...) << "\n";
        return 0;
    }

    // A profile that does not exist yet may be made later; the user is told.
    void warnUnknownProfile(const std::string& name) const {
        profiles::ProfileStore store(folder_, lang_, SystemClock::instance());
        store.rescan();
        if (!store.indexOf(name)) {
            std::cerr << "tessaronctl: "
                      << say(lang_,
                             TR_TEXT("Tessaronctl",
                                     "note: no profile is named \"%1\" yet (see "
                                     "tessaronctl profile list)."),
                             name)
                      << "\n";
        }
    }

    int list() const {
        std::cout << say(lang_,
                         TR_TEXT("Tessaronctl",
                                 "Automatic switching: %1; wait %2 ms; at most %3 writes an hour"),
                         onOffText(lang_, set_.enabled), set_.dwell.count(), set_.writesPerHour)
                  << "\n";
        for (std::size_t i = 0; i < set_.rules.size(); ++i) {
            std::cout << i + 1 << ". " << ruleText(set_.rules[i], lang_) << "\n";
        }
        if (set_.rules.empty())
            std::cout << say(lang_, TR_TEXT("Tessaronctl", "No rules.")) << "\n";
        std::cout << say(lang_, TR_TEXT("Tessaronctl", "Otherwise: %1"),
                         otherwiseText(set_.otherwise, lang_))
                  << "\n";
        std::cout << watcherText(chooseWatcher(currentSession())) << "\n";
        return 0;
    }

    // How the window in front is learned here, or why it is not.
    std::string watcherText(const WatcherChoice& choice) const {
        if (choice.kind == WatcherKind::None) {
            return say(
                lang_,
                TR_TEXT("Tessaronctl", "Automatic switching is not available on this desktop: %1."),
                choice.reason);
        }
        std::string out = say(lang_, TR_TEXT("Tessaronctl", "Window in front from: %1 (%2)"),
                              watcherName(choice.kind), choice.reason);
        if (choice.kind == WatcherKind::GnomeExtension) {
            if (const auto advice = gnomeExtensionAdvice(queryGnomeExtension())) {
                out += "\n" + advice->text(lang_);
            }
        }
        return out;
    }

    int add() {
        Rule rule;
        std::optional<std::size_t> at;
        bool keep = false;
        bool negate = false;
        bool caseSensitive = false;
        for (std::size_t i = 0; i < args_.size(); ++i) {
            const std::string& a = args_[i];
            const bool hasValue = i + 1 < args_.size();
            if (a == "--profile" && hasValue && !rule.profile) {
                rule.profile = args_[++i];
                if (rule.profile->empty()) return usage(ctx_);
            } else if (a == "--keep") {
                keep = true;
            } else if (a == "--at" && hasValue) {
                at = position(args_[++i], set_.rules.size(), true);
                if (!at) return refuseWith(ctx_, makeError(TR_TEXT("Tessaronctl", "--at needs a position from 1 to %1."),
                                                     std::to_string(set_.rules.size() + 1)));
            } else if (a == "--not") {
                negate = true;
            } else if (a == "--case-sensitive") {
                caseSensitive = true;
            } else if (const auto field = fieldFromWord(a); field && i + 2 < args_.size()) {
                const auto test = testFromWord(args_[i + 1]);
                if (!test) {
                    return refuseWith(ctx_, makeError(TR_TEXT("Tessaronctl", "\"%1\" is no test (equals, contains, "
                                                                     "starts_with, regex)."),
                                                args_[i + 1]));
                }
                auto c = Condition::make(*field, *test, args_[i + 2], caseSensitive, negate);
                if (!c) return refuseWith(ctx_, c.error());
                rule.conditions.push_back(std::move(*c));
                negate = caseSensitive = false;
                i += 2;
            } else {
                return usage(ctx_);
            }
        }
        if (rule.conditions.empty() || keep == rule.profile.has_value() || negate || caseSensitive)
            return usage(ctx_);
        if (rule.profile) warnUnknownProfile(*rule.profile);
        const std::size_t where = at.value_or(set_.rules.size());
        const std::string text = ruleText(rule, lang_);
        set_.rules.insert(set_.rules.begin() + static_cast<std::ptrdiff_t>(where), std::move(rule));
        return save(TR_TEXT("Tessaronctl", "Added rule %1: %2"), where + 1, text);
    }

    int remove() {
        const auto n = position(args_[0], set_.rules.size());
        if (!n) return refuseWith(ctx_, makeError(TR_TEXT("Tessaronctl", "There is no rule %1 (see tessaronctl rules list)."),
                                           args_[0]));
        const std::string text = ruleText(set_.rules[*n], lang_);
        set_.rules.erase(set_.rules.begin() + static_cast<std::ptrdiff_t>(*n));
        return save(TR_TEXT("Tessaronctl", "Removed rule %1: %2"), args_[0], text);
    }

    int move() {
        const auto from = position(args_[0], set_.rules.size());
        const auto to = position(args_[1], set_.rules.size());
        if (!from || !to) {
            return refuseWith(ctx_, makeError(TR_TEXT("Tessaronctl",
                                                "Rules are numbered 1 to %1 (see tessaronctl rules list)."),
                                        std::to_string(set_.rules.size())));
        }
        Rule rule = std::move(set_.rules[*from]);
        set_.rules.erase(set_.rules.begin() + static_cast<std::ptrdiff_t>(*from));
        set_.rules.insert(set_.rules.begin() + static_cast<std::ptrdiff_t>(*to), std::move(rule));
        return save(TR_TEXT("Tessaronctl", "Moved rule %1 to %2."), args_[0], args_[1]);
    }

    int test() const {
        WindowInfo w;
        for (std::size_t i = 0; i < args_.size(); ++i) {
            const std::string& a = args_[i];
            if (i + 1 >= args_.size()) return usage(ctx_);
            const std::string& v = args_[++i];
            if (a == "--program") {
                w.program = v;
            } else if (a == "--command-line") {
                w.commandLine = v;
            } else if (a == "--class") {
                w.instance = w.windowClass = v;
            } else if (a == "--title") {
                w.title = v;
            } else if (a == "--pid") {
                const auto pid = position(v, 1u << 22);
                if (!pid) return refuseWith(ctx_, TR_TEXT("Tessaronctl", "--pid needs a process number."));
                w.pid = static_cast<int>(*pid + 1);
                fillProcessDetails(w);
                if (w.program.empty()) return refuseWith(ctx_, makeError(TR_TEXT("Tessaronctl", "No process %1 can be read here."), v));
            } else {
                return usage(ctx_);
            }
        }
        if (args_.empty()) return usage(ctx_);
        if (w.pid != 0) {
            std::cout << say(lang_, TR_TEXT("Tessaronctl", "program: %1"), w.program) << "\n"
                      << say(lang_, TR_TEXT("Tessaronctl", "command line: %1"), w.commandLine)
                      << "\n";
        }
        const Decision d = decide(set_, w, static_cast<int>(::getpid()));
        if (d.rule) {
            std::cout << say(lang_, TR_TEXT("Tessaronctl", "rule %1: %2"), *d.rule + 1,
                             ruleText(set_.rules[*d.rule], lang_));
        } else if (d.kind == Decision::Kind::Profile) {
            std::cout << say(lang_, TR_TEXT("Tessaronctl", "no rule: otherwise profile \"%1\""),
                             d.profile);
        } else {
            std::cout << say(
                lang_, TR_TEXT("Tessaronctl", "no rule: back to what the keyboard held before"));
        }
        std::cout << "\n";
        if (!set_.enabled) {
            std::cout << say(lang_, TR_TEXT("Tessaronctl", "(automatic switching is off)")) << "\n";
        }
        return 0;
    }

    int otherwise() {
        if (args_[0] == "previous") {
            set_.otherwise.reset();
        } else {
            warnUnknownProfile(args_[0]);
            set_.otherwise = args_[0];
        }
        return save(TR_TEXT("Tessaronctl", "Otherwise: %1."), otherwiseText(set_.otherwise, lang_));
    }

    int limit() {
        const auto n = position(args_[0], 3600);
        if (!n) return refuseWith(ctx_, TR_TEXT("Tessaronctl", "The limit is 1 to 3600 writes an hour."));
        set_.writesPerHour = static_cast<int>(*n + 1);
        return save(TR_TEXT("Tessaronctl", "At most %1 writes an hour."), args_[0]);
    }

    int turn(bool on) {
        set_.enabled = on;
        return save(on ? TR_TEXT("Tessaronctl", "Automatic switching is on.")
                       : TR_TEXT("Tessaronctl", "Automatic switching is off."));
    }

    int follow();

    Context& ctx_;
    Language lang_;
    std::vector<std::string> args_;
    fs::path folder_;
    RuleSet set_;
};

int RulesCommand::follow() {
    // Ended by Ctrl+C or a termination signal; SIGHUP reads the rules file again. Blocked before
    // any thread starts, so that every thread inherits the mask and only sigwait takes them.
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    // The desktops that report the window in front over D-Bus report it to the window.
    const WatcherChoice choice = chooseWatcher(currentSession());
    if (choice.kind != WatcherKind::X11 && choice.kind != WatcherKind::Wlroots) {
        return failWith(
            ctx_,
            choice.kind == WatcherKind::None
                ? makeError(TR_TEXT("Tessaronctl",
                                    "Automatic switching is not available on this desktop: %1."),
                            choice.reason)
                : makeError(TR_TEXT("Tessaronctl",
                                    "Here the %1 reports the window in front to the Tessaron "
                                    "window; rules follow works on X11 and wlroots desktops."),
                            Error(watcherName(choice.kind))));
    }

    auto session = openSession(ctx_);
    if (!session) return failWith(ctx_, session.error());
    if (session->window) {
        // Two followers would switch the keyboard twice.
        return failWith(ctx_, makeError(TR_TEXT("Tessaronctl", "The Tessaron window runs and follows the window in front itself (see its Switching Rules); rules follow is for when it is not running.")));
    }
    device::DeviceLink link(*session->transport, *session->clock,
                            device::Trace::fromEnvironment());
    auto read = readKeyboard(link, device::DeviceImage{});
    if (!read) return failWith(ctx_, read.error());
    if (auto listening = link.openEvent(); !listening) return failWith(ctx_, listening.error());

    DeviceProfiles keyboard(link, folder_, read->image);
    Engine engine(keyboard, SystemClock::instance(), static_cast<int>(::getpid()));
    engine.setRules(set_);
    EngineRunner runner(engine);
    const Watcher::Notify notify = [&](const WindowInfo& w) {
        engine.windowChanged(w);
        runner.wake();
        std::cout << say(lang_, TR_TEXT("Tessaronctl", "in front: %1 / %2 \"%3\" (pid %4)"),
                         w.instance, w.windowClass, w.title, w.pid)
                  << std::endl;
    };
    std::unique_ptr<Watcher> watcher;
    if (choice.kind == WatcherKind::X11) {
        auto started = X11Watcher::start(notify);
        if (!started) return failWith(ctx_, started.error());
        watcher = std::move(*started);
    } else {
        auto started = WlrootsWatcher::start(notify);
        if (!started) return failWith(ctx_, started.error());
        watcher = std::move(*started);
    }

    std::cout << say(lang_,
                     TR_TEXT("Tessaronctl", "Following the window in front (%1); Ctrl+C ends."),
                     watcherName(choice.kind))
              << std::endl;
    while (true) {
        int s = 0;
        sigwait(&signals, &s);
        if (s != SIGHUP) break;
        auto again = loadRules(folder_);
        if (again) {
            engine.setRules(*again);
        } else {
            std::cerr << "tessaronctl: " << again.error().text(lang_) << "\n";
        }
    }
    const auto status = engine.status();
    std::cout << say(lang_,
                     TR_TEXT("Tessaronctl",
                             "%1 switches sent, %2 found the keyboard holding the "
                             "profile already."),
                     status.writes, status.alreadyHeld)
              << "\n";
    return 0;
}

int runRules(Context& ctx) {
    return RulesCommand(ctx).run();
}

const Registrar rulesCommand(
    {"rules", kUsage,
     TR_TEXT("Tessaronctl", "Rules of automatic profile switching: which profile the keyboard takes when a window "
     "comes to the front; test shows which rule a window meets; follow switches on X11 and "
     "wlroots desktops; list says how the window in front is learned here."),
     runRules});

}  // namespace
}  // namespace tessaron::cli
