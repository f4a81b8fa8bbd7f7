#pragma once
// tessaronctl's commands register themselves here; each command lives in its own cmd_*.cpp.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/language.h"
#include "core/text.h"

namespace tessaron::cli {

// The global options, parsed before the command name.
struct Options {
    std::optional<std::filesystem::path> dataDir;  // --data-dir DIR
    bool demo = false;                             // --demo: the virtual keyboard
    std::optional<int> commandInterface;           // --command-interface N
    std::optional<int> eventInterface;             // --event-interface N
    std::optional<Language> language;              // --lang english|chinese
};

struct Context {
    Options options;
    std::vector<std::string> args;  // the command's own arguments
};

struct Command {
    const char* name;
    const char* usage;    // e.g. "show [--json]"
    Text summary;         // one line for the help text
    int (*run)(Context& context);
};

// Adds a command; called from a static Registrar in the command's file.
void registerCommand(const Command& command);
const std::vector<Command>& commands();

struct Registrar {
    explicit Registrar(const Command& command) { registerCommand(command); }
};

// Exit statuses: a failure of the keyboard or of a file, and a command line that is wrong (an
// unknown command, option, name or number, or a value out of range). Success is 0.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints "tessaronctl: <message>" to standard error and returns kExitFailure.
int fail(const std::string& message);
// Prints "tessaronctl: <message>" to standard error and returns kExitUsage.
int failUsage(const std::string& message);

}  // namespace tessaron::cli
