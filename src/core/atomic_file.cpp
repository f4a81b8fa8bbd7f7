#include "core/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <ctime>
#include <fstream>
#include <optional>
#include <random>
#include <string>

#include "core/file_descriptor.h"
#include "core/text.h"

namespace tessaron {
namespace {

namespace fs = std::filesystem;

enum class Action { Read, Write };

Error fileError(const fs::path& path, Action action, int err) {
    const std::string reason = std::strerror(err);
    const bool read = action == Action::Read;
    return makeError(read ? TR_TEXT("Core", "Could not read \"%1\": %2.")
                          : TR_TEXT("Core", "Could not write \"%1\": %2."),
                     path.string(), reason);
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

// The file a path finally names once its symbolic links are followed (it may not exist yet).
fs::path followLinks(fs::path path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::error_code ec;
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) return path;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

void syncFolderOf(const fs::path& path) {
    const auto dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    FileDescriptor dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0) ::fsync(dirFd.get());
}

struct Staged {
    fs::path target;
    fs::path temporary;
};

// Writes the new content beside the file it replaces, with the old file's mode and owner.
Result<Staged> stage(const fs::path& shown, std::span<const std::span<const std::uint8_t>> blocks,
                     Durability durability, unsigned newMode) {
    Staged s;
    s.target = followLinks(shown);
    struct stat old {};
    const bool existed = ::stat(s.target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode)) return fileError(shown, Action::Write, EISDIR);
    s.temporary = s.target;
    s.temporary += ".tmp." + uniqueSuffix();
    FileDescriptor fd(
        ::open(s.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, newMode));
    if (fd.get() < 0) return fileError(shown, Action::Write, errno);
    auto failed = [&](int err) {
        ::unlink(s.temporary.c_str());
        return fileError(shown, Action::Write, err);
    };
    if (existed && S_ISREG(old.st_mode)) {
        // A user's chmod 600 (or 644) outlives the rewrite; root keeps the owner as well.
        if (::fchmod(fd.get(), old.st_mode & 07777) != 0) return failed(errno);
        if (::geteuid() == 0 && ::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
            return failed(errno);
        }
    }
    for (const auto& block : blocks) {
        if (!writeAll(fd.get(), block)) return failed(errno);
    }
    if ((durability == Durability::Durable && ::fsync(fd.get()) != 0) ||
        ::close(fd.release()) != 0) {
        return failed(errno);
    }
    return s;
}

Status commitStaged(const fs::path& shown, const Staged& s, Durability durability) {
    if (::rename(s.temporary.c_str(), s.target.c_str()) != 0) {
        const int err = errno;
        ::unlink(s.temporary.c_str());
        return fileError(shown, Action::Write, err);
    }
    if (durability == Durability::Durable) syncFolderOf(s.target);  // the rename itself
    return {};
}

Status writeReplacing(const fs::path& path, std::span<const std::span<const std::uint8_t>> blocks,
                      Durability durability, unsigned newMode) {
    auto staged = stage(path, blocks, durability, newMode);
    if (!staged) return staged.error();
    return commitStaged(path, *staged, durability);
}

// The descriptor an output path names (/dev/stdout, /dev/fd/3, /proc/self/fd/3), if any.
std::optional<int> namedDescriptor(const fs::path& path) {
    const std::string p = path.string();
    if (p == "/dev/stdout") return 1;
    if (p == "/dev/stderr") return 2;
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (!p.starts_with(prefix)) continue;
        int fd = -1;
        const char* first = p.data() + prefix.size();
        const char* last = p.data() + p.size();
        const auto [end, ec] = std::from_chars(first, last, fd);
        if (ec == std::errc() && end == last && fd >= 0) return fd;
    }
    return std::nullopt;
}

}  // namespace

Status writeFileAtomically(const fs::path& path,
                           std::span<const std::span<const std::uint8_t>> blocks,
                           Durability durability) {
    return writeReplacing(path, blocks, durability, kPrivateFileMode);
}

FileBatch::~FileBatch() {
    for (const auto& s : staged_) ::unlink(s.temporary.c_str());
}

Status FileBatch::add(const fs::path& path,
                      std::span<const std::span<const std::uint8_t>> blocks) {
    auto staged = stage(path, blocks, Durability::Durable, kPrivateFileMode);
    if (!staged) {
        failed_ = true;
        return staged.error();
    }
    staged_.push_back({staged->target, staged->temporary, path});
    return {};
}

Status FileBatch::commit() {
    if (failed_) return makeError(TR_TEXT("Core", "Nothing was written: a file of the change failed."));
    // Renames fail only on a broken folder; the first failure keeps the rest from moving.
    Status outcome;
    for (const auto& s : staged_) {
        if (outcome) {
            outcome = commitStaged(s.shown, {s.target, s.temporary}, Durability::Durable);
        } else {
            ::unlink(s.temporary.c_str());
        }
    }
    staged_.clear();
    return outcome;
}

Status writeUserFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
    // Through an open descriptor: the shell's redirection (and its offset) is kept.
    if (const auto fd = namedDescriptor(path)) {
        if (::fcntl(*fd, F_GETFD) < 0) return fileError(path, Action::Write, errno);
        if (!writeAll(*fd, bytes)) return fileError(path, Action::Write, errno);
        return {};
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return fileError(path, Action::Write, EISDIR);
        if (!S_ISREG(st.st_mode)) {
            FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
            if (fd.get() < 0 || !writeAll(fd.get(), bytes)) {
                return fileError(path, Action::Write, errno);
            }
            if (::close(fd.release()) != 0) return fileError(path, Action::Write, errno);
            return {};
        }
    }
    const std::span<const std::uint8_t> blocks[] = {bytes};
    return writeReplacing(path, blocks, Durability::Durable, 0666);
}

Result<std::vector<std::uint8_t>> readFilePrefix(const fs::path& path, std::size_t maxBytes) {
    // A folder opens like a file here and reads as empty: that is no file the user meant.
    std::error_code ec;
    if (fs::is_directory(path, ec)) return fileError(path, Action::Read, EISDIR);
    std::ifstream in(path, std::ios::binary);
    if (!in) return fileError(path, Action::Read, errno ? errno : ENOENT);
    std::vector<std::uint8_t> bytes(maxBytes);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(maxBytes));
    if (in.bad()) return fileError(path, Action::Read, errno ? errno : EIO);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

Status checkFileSize(const fs::path& path, std::size_t got, std::span<const std::size_t> sizes) {
    if (std::find(sizes.begin(), sizes.end(), got) != sizes.end()) return {};
    const std::size_t largest = sizes.empty() ? 0 : *std::max_element(sizes.begin(), sizes.end());
    std::string expected;
    for (const std::size_t s : sizes) {
        expected += (expected.empty() ? "" : " or ") + std::to_string(s);
    }
    const std::string held = std::to_string(got);
    const std::string shown = std::to_string(std::min(got, largest));
    return makeError(got > largest ? TR_TEXT("Core", "\"%1\" holds more than %2 bytes; Tessaron writes this file with %3 bytes, so it is not used.")
                                   : TR_TEXT("Core", "\"%1\" holds %2 bytes; Tessaron writes this file with %3 bytes, so it is not used."),
                     path.string(), shown, expected);
}

Result<std::vector<std::uint8_t>> readFileOfSize(const fs::path& path,
                                                 std::span<const std::size_t> sizes) {
    const std::size_t largest = sizes.empty() ? 0 : *std::max_element(sizes.begin(), sizes.end());
    auto bytes = readFilePrefix(path, largest + 1);
    if (!bytes) return bytes;
    if (auto ok = checkFileSize(path, bytes->size(), sizes); !ok) return ok.error();
    return bytes;
}

Result<std::string> readBounded(int fd, std::size_t limit, const std::string& what) {
    std::string text;
    char buffer[65536];
    while (text.size() <= limit) {
        const std::size_t want = std::min(sizeof buffer, limit + 1 - text.size());
        const ssize_t n = ::read(fd, buffer, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fileError(what, Action::Read, errno);
        }
        if (n == 0) return text;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    const std::string size = std::to_string(limit);
    return makeError(TR_TEXT("Core", "%1 holds more than %2 bytes; nothing was read from it."), what, size);
}

fs::path besideName(const fs::path& path, std::string_view label) {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    fs::path kept;
    for (int n = 0;; ++n) {
        kept = path;
        kept += "." + std::string(label) + "-" + stamp + (n ? "-" + std::to_string(n) : "");
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(kept, ec))) return kept;
    }
}

Result<fs::path> moveAside(const fs::path& path) {
    const fs::path kept = besideName(path, "broken");
    if (::rename(path.c_str(), kept.c_str()) != 0) return fileError(path, Action::Write, errno);
    syncFolderOf(kept);
    return kept;
}

Error movedAsideNotice(const fs::path& path, const fs::path& kept, const Error& why) {
    return makeError(TR_TEXT("Core", "%1 It was kept as \"%2\" and \"%3\" was made afresh."), why, kept.string(), path.filename().string());
}

}  // namespace tessaron
