#pragma once
// What every tessaronctl command shares: the interface language, error output, argument checks,
// the keyboard session (real or --demo), and the live configuration in keymap.bin.

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "cli/command.h"
#include "core/result.h"
#include "device/device_image.h"
#include "device/device_link.h"
#include "device/read_all.h"
#include "device/transport.h"
#include "keys/assignment.h"
#include "keys/key_record.h"

namespace tessaron::device {
class VirtualKeyboard;
class PersistentKeyboard;
}  // namespace tessaron::device

namespace tessaron::cli {

class WindowClient;

Language languageOf(const Context& ctx);
// Prints the error in the interface language; returns kExitFailure (the keyboard or a file).
int failWith(const Context& ctx, const Error& error);
// Prints the error in the interface language; returns kExitUsage (the command line was wrong).
int refuseWith(const Context& ctx, const Error& error);
// "usage: tessaronctl <usage>"; returns kExitUsage.
int usageError(const Context& ctx, const char* usage);

namespace detail {
inline Error sayArgument(Error e) { return e; }
inline Error sayArgument(const Text& t) { return Error(t); }
inline Error sayArgument(std::string s) { return verbatim(std::move(s)); }
template <class N>
    requires std::is_arithmetic_v<N>
Error sayArgument(N n) {
    return verbatim(std::to_string(n));
}
}  // namespace detail

// A report line in the interface language: the catalogue's text with %1, %2 ... filled by the
// arguments (messages, strings or numbers).
template <class... Args>
std::string say(Language lang, const Text& text, Args&&... args) {
    return makeError(text, detail::sayArgument(std::forward<Args>(args))...).text(lang);
}

// "on" or "off" of a report.
std::string onOffText(Language lang, bool on);
// The items as the language lists them ("a, b" in English, "a、b" in Chinese), or "none".
std::string listText(Language lang, const std::vector<std::string>& items);
// The text followed by blanks up to `columns` terminal columns (a Chinese character takes two).
std::string padded(std::string text, std::size_t columns);
// Game mode, Win Lock, response time and report rate, a line each, as show and set print them.
void printPerformance(const device::DeviceImage& img, Language lang);

// A --json answer on standard output, laid out as "config export" writes its text.
void printJson(const nlohmann::ordered_json& value);

bool hasFlag(const Context& ctx, std::string_view flag);
// False when an argument is an unknown flag or there are more than `positional` plain ones.
bool argsAllowed(const Context& ctx, std::initializer_list<std::string_view> flags,
                 std::size_t positional);

// The data folder, created when missing, with its lock held until the process ends: every
// command reading and changing its files runs whole under the lock, so parallel commands (and
// the window) cannot lose each other's changes.
Result<std::filesystem::path> openDataFolder(const Context& ctx);
// The data folder for a command that may only read: not created when missing (such a command
// creates nothing), locked like the above when it exists.
Result<std::filesystem::path> chooseDataFolder(const Context& ctx);

// The text of FILE, or of standard input for "-", refused once it holds more than `limit` bytes.
Result<std::string> readInput(const Context& ctx, const std::string& name, std::size_t limit);

// Tells on standard error what became of a file that could not be used (moved aside).
void tellNotice(const Context& ctx, const std::optional<Error>& notice);

// The keyboard a command talks to: the real one through hidapi, or with --demo the virtual one
// whose state lives in the data folder.
struct Session {
    Session();
    ~Session();
    Session(Session&&) noexcept;
    Session& operator=(Session&&) noexcept;

    // The keyboard's time line: the real one, or the demo keyboard's stepped one.
    Clock* clock = &SystemClock::instance();
    std::shared_ptr<device::VirtualKeyboard> virtualKeyboard;
    std::unique_ptr<device::PersistentKeyboard> persistence;
    std::unique_ptr<device::Transport> transport;
    std::filesystem::path dataFolder;
    // The running window that serves this keyboard; the transport is then unused (null).
    std::unique_ptr<WindowClient> window;

    std::filesystem::path keymapPath() const;
};

// What a command does with the keyboard: Talk asks the running window when it serves this
// keyboard, else holds the keyboard's lock until the process ends (waiting a bounded time while
// another program has it); Look only lists and inspects the interfaces.
enum class Use { Talk, Look };
Result<Session> openSession(const Context& ctx, Use use = Use::Talk);

// Opens the command channel and reads the keyboard as the window's start-up does.
Result<device::StartupRead> readKeyboard(device::DeviceLink& link, const device::DeviceImage& base);
// The same through the session: the window reads it when it serves the keyboard.
Result<device::StartupRead> readKeyboard(Session& session, const device::DeviceImage& base);

// A key map of nothing but zeros never came from a keyboard; sending it would blank every key.
bool neverRead(const device::DeviceImage& img);

// The live configuration as the window holds it.
struct Live {
    std::filesystem::path folder;
    std::filesystem::path keymap;
    device::DeviceImage image{};
    std::unique_ptr<keys::KeyRecordTable> records = std::make_unique<keys::KeyRecordTable>();
    keys::ModifiedMarks marks{};

    keys::LiveKeys keys() { return {image, *records, marks}; }
};

// keymap.bin of the data folder. Without one, or with one never filled from a keyboard, the
// keyboard's settings are pulled into it first, as the window's start-up does; with no keyboard
// there that is refused, since such an image must never reach a keyboard.
Result<Live> openLive(const Context& ctx);

// Sends what differs between the device image of `source` and the keyboard, printing each step
// as apply does; returns the exit status.
int sendImage(const Context& ctx, const std::filesystem::path& source);

// The end of a command that changed keymap.bin: with --apply it is sent at once, otherwise the
// user is told how to send it. Returns the exit status.
int sendIfAsked(const Context& ctx, const Live& live);

}  // namespace tessaron::cli
