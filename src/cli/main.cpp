#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "cli/cli_support.h"
#include "cli/command.h"
#include "core/result.h"
#include "core/settings.h"
#include "core/text.h"
#include "core/version.h"

namespace tessaron::cli {

namespace {
std::vector<Command>& registry() {
    static std::vector<Command> list;
    return list;
}

void printHelp(std::ostream& out, Language lang) {
    out << translate(lang,
                     TR_TEXT("Tessaronctl",
                             "Usage: tessaronctl [--data-dir DIR] [--demo] [--lang english|chinese]\n"
                             "                   [--command-interface N] [--event-interface N] COMMAND [ARGS]\n"
                             "       tessaronctl --help | --version | help COMMAND | COMMAND --help\n\n"
                             "Commands:\n"));
    auto list = commands();
    std::sort(list.begin(), list.end(),
              [](const Command& a, const Command& b) { return std::string_view(a.name) < b.name; });
    for (const auto& c : list) {
        out << "  " << c.usage << "\n      " << translate(lang, c.summary) << "\n";
    }
    out << translate(
        lang, TR_TEXT("Tessaronctl",
                      "\n--demo uses the virtual keyboard, whose state is kept in the data folder.\n"
                      "Exit status: 0 done, 1 a file or the keyboard failed, 2 a wrong command line or a\n"
                      "value refused, 3 keys that would run something were not allowed.\n"));
}

const Command* findCommand(std::string_view name) {
    for (const auto& command : commands()) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

void printCommandHelp(const Command& command, Language lang) {
    std::cout << substitute(translate(lang, TR_TEXT("Tessaronctl", "usage: tessaronctl %1")),
                            {command.usage})
              << "\n\n" << translate(lang, command.summary) << "\n";
}

int runHelp(Context& ctx) {
    if (ctx.args.empty()) {
        printHelp(std::cout, languageOf(ctx));
        return 0;
    }
    if (ctx.args.size() != 1) return usageError(ctx, "help [COMMAND]");
    const Command* command = findCommand(ctx.args[0]);
    if (!command) {
        return refuseWith(ctx, makeError(TR_TEXT("Tessaronctl",
                                                 "no command is called \"%1\" (see tessaronctl --help)."),
                                         ctx.args[0]));
    }
    printCommandHelp(*command, languageOf(ctx));
    return 0;
}

const Registrar help({"help", "help [COMMAND]",
                      TR_TEXT("Tessaronctl", "Print the usage of every command, or of one, on standard output."),
                      runHelp});

std::optional<int> parseInterface(std::string_view text) {
    int value = 0;
    if (text.empty() || text.size() > 3) return std::nullopt;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return std::nullopt;
        value = value * 10 + (ch - '0');
    }
    if (value > 255) return std::nullopt;
    return value;
}
}  // namespace

void registerCommand(const Command& command) {
    registry().push_back(command);
}
const std::vector<Command>& commands() {
    return registry();
}

int fail(const std::string& message) {
    std::cerr << "tessaronctl: " << message << "\n";
    return kExitFailure;
}

int failUsage(const std::string& message) {
    fail(message);
    return kExitUsage;
}

int main(int argc, char** argv) {
    Context context;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto needValue = [&](std::string_view name) -> const char* {
            if (i + 1 >= argc) return nullptr;
            (void)name;
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            printHelp(std::cout, languageOf(context));
            return 0;
        } else if (arg == "--version") {
            std::cout << "tessaronctl (Tessaron) " << kVersion << "\n";
            return 0;
        } else if (arg == "--demo") {
            context.options.demo = true;
        } else if (arg == "--data-dir") {
            const char* v = needValue(arg);
            if (!v || !*v) return refuseWith(context, TR_TEXT("Tessaronctl", "--data-dir needs a folder."));
            context.options.dataDir = std::filesystem::path(v);
        } else if (arg == "--lang") {
            const char* v = needValue(arg);
            if (!v) return refuseWith(context, TR_TEXT("Tessaronctl", "--lang needs english or chinese."));
            const std::string_view lang = v;
            if (const auto named = languageNamed(lang)) {
                context.options.language = *named;
            } else {
                return refuseWith(context, TR_TEXT("Tessaronctl", "--lang takes english or chinese."));
            }
        } else if (arg == "--command-interface" || arg == "--event-interface") {
            const char* v = needValue(arg);
            const auto n = v ? parseInterface(v) : std::nullopt;
            if (!n) {
                return refuseWith(context, makeError(TR_TEXT("Tessaronctl",
                                                             "%1 needs an interface number (0..255)."),
                                                     std::string(arg)));
            }
            (arg == "--command-interface" ? context.options.commandInterface
                                          : context.options.eventInterface) = *n;
        } else if (arg.starts_with("-")) {
            return refuseWith(context,
                              makeError(TR_TEXT("Tessaronctl", "unknown option %1 (see tessaronctl --help)."),
                                        std::string(arg)));
        } else {
            break;
        }
    }
    if (i >= argc) {
        printHelp(std::cerr, languageOf(context));
        return kExitUsage;
    }
    const std::string_view name = argv[i++];
    for (; i < argc; ++i) context.args.emplace_back(argv[i]);
    if (const Command* command = findCommand(name)) {
        // "COMMAND --help" anywhere among its arguments asks for its usage, never runs it.
        for (const auto& a : context.args) {
            if (a == "--help" || a == "-h") {
                printCommandHelp(*command, languageOf(context));
                return 0;
            }
        }
        return command->run(context);
    }
    return refuseWith(context,
                      makeError(TR_TEXT("Tessaronctl", "unknown command \"%1\" (see tessaronctl --help)."),
                                std::string(name)));
}

}  // namespace tessaron::cli

int main(int argc, char** argv) {
    return tessaron::cli::main(argc, argv);
}
