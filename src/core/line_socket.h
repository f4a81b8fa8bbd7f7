#pragma once
// The asking end of a local stream socket that takes one request line and answers with at most
// one reply line, then closes: used to bring a running window forward and by the demo's key
// presses. Plain POSIX, so tessaronctl needs no Qt.

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tessaron::local {

struct LineExchange {
    enum class Outcome {
        Answered,      // connected and sent; `reply` holds what came back (may be empty)
        NotListening,  // nobody listens at the path
        PathTooLong,   // the path does not fit a socket address
        Foreign,       // the file is no socket of this user with mode 0600: not spoken to
    };
    Outcome outcome = Outcome::NotListening;
    std::string reply;  // up to and without the newline
};

// Where the program's own sockets live: $XDG_RUNTIME_DIR when it is a folder of this user's own
// with mode 0700; otherwise a private folder "tessaron-UID" made in the temporary folder (or,
// when someone else holds that name, "~/.cache/tessaron-UID"). Only when no private folder can
// be had does the socket go straight into the temporary folder, where the socket-file checks
// below still keep other users out.
struct SocketPlace {
    std::optional<std::string> runtimeDir;  // XDG_RUNTIME_DIR
    std::filesystem::path tempDir;          // the temporary folder
    std::optional<std::string> home;        // HOME
    uid_t user = ::getuid();

    // The environment of this process.
    static SocketPlace fromProcess();
};
std::filesystem::path socketPath(const SocketPlace& place, std::string_view name);

// A folder (not a link to one) owned by `user` with mode 0700.
bool isPrivateFolder(const std::filesystem::path& folder, uid_t user);

// What lies at a socket path. In a folder other users can write to, a socket file is trusted
// (spoken to, or removed as an earlier run's leftover) only when it is a socket of this user with
// mode 0600; anything else may have been planted there.
enum class SocketFile {
    Missing,  // nothing there
    Ours,     // a socket of this user, mode 0600
    Foreign,  // another user's file, another kind of file, or a socket others may use
};
SocketFile inspectSocketFile(const std::filesystem::path& path, uid_t user);

// Makes a socket that was just bound usable by this user only.
bool restrictToOwner(const std::filesystem::path& path);

// Sends `line` and reads until a newline, the server's close, `maxReply` bytes or `timeout`.
// Only a socket file that inspectSocketFile() calls ours is spoken to: any other could
// impersonate the program.
LineExchange exchangeLine(const std::filesystem::path& socket, std::string_view line,
                          std::size_t maxReply, std::chrono::milliseconds timeout);

}  // namespace tessaron::local
