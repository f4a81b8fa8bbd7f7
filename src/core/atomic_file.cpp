#include "core/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "core/file_descriptor.h"

namespace tessaron {
namespace {

enum class Action { Read, Write };

Error fileError(const std::filesystem::path& path, Action action, int err) {
    const std::string reason = std::strerror(err);
    const bool read = action == Action::Read;
    return makeError(std::string(read ? "Could not read \"" : "Could not write \"") +
                         path.string() + "\": " + reason + ".",
                     std::string(read ? "无法读取文件 \"" : "无法写入文件 \"") + path.string() +
                         "\"：" + reason + "。");
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

std::string uniqueSuffix() {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    return std::to_string(::getpid()) + "." + std::to_string(rng() % 1000000000ULL);
}

}  // namespace

Status writeFileAtomically(const std::filesystem::path& path,
                           std::span<const std::span<const std::uint8_t>> blocks,
                           Durability durability) {
    const bool flush = durability == Durability::Durable;
    std::filesystem::path tmp = path;
    tmp += ".tmp." + uniqueSuffix();
    FileDescriptor fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (fd.get() < 0) return fileError(path, Action::Write, errno);
    for (const auto& block : blocks) {
        if (!writeAll(fd.get(), block)) {
            const int err = errno;
            ::unlink(tmp.c_str());
            return fileError(path, Action::Write, err);
        }
    }
    if ((flush && ::fsync(fd.get()) != 0) || ::close(fd.release()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        return fileError(path, Action::Write, err);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        return fileError(path, Action::Write, err);
    }
    if (!flush) return {};
    // Make the rename itself durable.
    const auto dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    FileDescriptor dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0) ::fsync(dirFd.get());
    return {};
}

Result<std::vector<std::uint8_t>> readFilePrefix(const std::filesystem::path& path,
                                                 std::size_t maxBytes) {
    // A folder opens like a file here and reads as empty: that is no file the user meant.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return fileError(path, Action::Read, EISDIR);
    std::ifstream in(path, std::ios::binary);
    if (!in) return fileError(path, Action::Read, errno ? errno : ENOENT);
    std::vector<std::uint8_t> bytes(maxBytes);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(maxBytes));
    if (in.bad()) return fileError(path, Action::Read, errno ? errno : EIO);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

}  // namespace tessaron
