#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

#include "cli/command.h"
#include "core/settings.h"
#include "core/version.h"

namespace tessaron::cli {

namespace {
std::vector<Command>& registry() {
    static std::vector<Command> list;
    return list;
}

void printHelp(std::ostream& out) {
    out << "Usage: tessaronctl [--data-dir DIR] [--demo] [--lang english|chinese]\n"
           "                   [--command-interface N] [--event-interface N] COMMAND [ARGS]\n"
           "       tessaronctl --help | --version | help COMMAND | COMMAND --help\n\n"
           "Commands:\n";
    auto list = commands();
    std::sort(list.begin(), list.end(),
              [](const Command& a, const Command& b) { return std::string_view(a.name) < b.name; });
    for (const auto& c : list) {
        out << "  " << c.usage << "\n      " << c.summary << "\n";
    }
    out << "\n--demo uses the virtual keyboard, whose state is kept in the data folder.\n"
           "Exit status: 0 done, 1 a file or the keyboard failed, 2 a wrong command line or a\n"
           "value refused, 3 keys that would run something were not allowed.\n";
}

const Command* findCommand(std::string_view name) {
    for (const auto& command : commands()) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

void printCommandHelp(const Command& command) {
    std::cout << "usage: tessaronctl " << command.usage << "\n\n" << command.summary << "\n";
}

int runHelp(Context& ctx) {
    if (ctx.args.empty()) {
        printHelp(std::cout);
        return 0;
    }
    const Command* command = ctx.args.size() == 1 ? findCommand(ctx.args[0]) : nullptr;
    if (!command) {
        return failUsage(ctx.args.size() == 1
                             ? "no command is called \"" + ctx.args[0] + "\" (see tessaronctl --help)."
                             : std::string("usage: tessaronctl help [COMMAND]"));
    }
    printCommandHelp(*command);
    return 0;
}

const Registrar help({"help", "help [COMMAND]",
                      "Print the usage of every command, or of one, on standard output.",
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
            printHelp(std::cout);
            return 0;
        } else if (arg == "--version") {
            std::cout << "tessaronctl (Tessaron) " << kVersion << "\n";
            return 0;
        } else if (arg == "--demo") {
            context.options.demo = true;
        } else if (arg == "--data-dir") {
            const char* v = needValue(arg);
            if (!v || !*v) return failUsage("--data-dir needs a folder.");
            context.options.dataDir = std::filesystem::path(v);
        } else if (arg == "--lang") {
            const char* v = needValue(arg);
            if (!v) return failUsage("--lang needs english or chinese.");
            const std::string_view lang = v;
            if (const auto named = languageNamed(lang)) {
                context.options.language = *named;
            } else {
                return failUsage("--lang takes english or chinese.");
            }
        } else if (arg == "--command-interface" || arg == "--event-interface") {
            const char* v = needValue(arg);
            const auto n = v ? parseInterface(v) : std::nullopt;
            if (!n) return failUsage(std::string(arg) + " needs an interface number (0..255).");
            (arg == "--command-interface" ? context.options.commandInterface
                                          : context.options.eventInterface) = *n;
        } else if (arg.starts_with("-")) {
            return failUsage("unknown option " + std::string(arg) + " (see tessaronctl --help).");
        } else {
            break;
        }
    }
    if (i >= argc) {
        printHelp(std::cerr);
        return kExitUsage;
    }
    const std::string_view name = argv[i++];
    for (; i < argc; ++i) context.args.emplace_back(argv[i]);
    if (const Command* command = findCommand(name)) {
        // "COMMAND --help" anywhere among its arguments asks for its usage, never runs it.
        for (const auto& a : context.args) {
            if (a == "--help" || a == "-h") {
                printCommandHelp(*command);
                return 0;
            }
        }
        return command->run(context);
    }
    return failUsage("unknown command \"" + std::string(name) + "\" (see tessaronctl --help).");
}

}  // namespace tessaron::cli

int main(int argc, char** argv) {
    return tessaron::cli::main(argc, argv);
}
