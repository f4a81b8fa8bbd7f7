#include "core/line_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/file_descriptor.h"

namespace tessaron::local {

namespace {
constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;  // 0600
}  // namespace

SocketPlace SocketPlace::fromProcess() {
    SocketPlace place;
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir) place.runtimeDir = dir;
    std::error_code ec;
    place.tempDir = std::filesystem::temp_directory_path(ec);
    if (ec) place.tempDir = "/tmp";
    if (const char* home = std::getenv("HOME"); home && *home) place.home = home;
    return place;
}

bool isPrivateFolder(const std::filesystem::path& folder, uid_t user) {
    struct stat st {};
    return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == user &&
           (st.st_mode & 07777) == S_IRWXU;
}

namespace {
// Makes the folder 0700 when missing; true when it then is this user's private folder.
bool makePrivateFolder(const std::filesystem::path& folder, uid_t user) {
    if (::mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST) return false;
    return isPrivateFolder(folder, user);
}
}  // namespace

std::filesystem::path socketPath(const SocketPlace& place, std::string_view name) {
    namespace fs = std::filesystem;
    // Only an absolute runtime folder counts: a relative one would follow the working folder.
    if (place.runtimeDir && fs::path(*place.runtimeDir).is_absolute() &&
        isPrivateFolder(*place.runtimeDir, place.user)) {
        return fs::path(*place.runtimeDir) / std::string(name);
    }
    const std::string own = "tessaron-" + std::to_string(place.user);
    if (makePrivateFolder(place.tempDir / own, place.user)) {
        return place.tempDir / own / std::string(name);
    }
    if (place.home && fs::path(*place.home).is_absolute()) {
        const fs::path cache = fs::path(*place.home) / ".cache";
        std::error_code ec;
        fs::create_directories(cache, ec);
        if (makePrivateFolder(cache / own, place.user)) return cache / own / std::string(name);
    }
    return place.tempDir / std::string(name);
}

SocketFile inspectSocketFile(const std::filesystem::path& path, uid_t user) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return errno == ENOENT ? SocketFile::Missing : SocketFile::Foreign;
    }
    const bool ours = S_ISSOCK(st.st_mode) && st.st_uid == user &&
                      (st.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO)) == kOwnerOnly;
    return ours ? SocketFile::Ours : SocketFile::Foreign;
}

bool restrictToOwner(const std::filesystem::path& path) {
    return ::chmod(path.c_str(), kOwnerOnly) == 0;
}

LineExchange exchangeLine(const std::filesystem::path& socket, std::string_view line,
                          std::size_t maxReply, std::chrono::milliseconds timeout) {
    using Outcome = LineExchange::Outcome;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = socket.string();
    if (path.size() >= sizeof(address.sun_path)) return {Outcome::PathTooLong, {}};
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

    // Whoever could plant or reach the file could answer in the program's name.
    switch (inspectSocketFile(socket, ::getuid())) {
        case SocketFile::Missing:
            return {};
        case SocketFile::Foreign:
            return {Outcome::Foreign, {}};
        case SocketFile::Ours:
            break;
    }

    const FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) return {};
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        return {};
    }
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t n = ::send(fd.get(), line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return {};
        sent += static_cast<std::size_t>(n);
    }

    LineExchange result{Outcome::Answered, {}};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::vector<char> buffer(maxReply + 1);
    while (result.reply.find('\n') == std::string::npos && result.reply.size() < maxReply) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd waiting{fd.get(), POLLIN, 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        const ssize_t n = ::recv(fd.get(), buffer.data(), maxReply - result.reply.size(), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // closed
        result.reply.append(buffer.data(), static_cast<std::size_t>(n));
    }
    result.reply.resize(std::min(result.reply.find('\n'), result.reply.size()));
    return result;
}

}  // namespace tessaron::local
