#include "core/keyboard_lock.h"
#include "core/text.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace tessaron {

namespace fs = std::filesystem;

fs::path keyboardLockPath(const fs::path& dataFolder, bool demo) {
    // Never in the data folder: a command that is refused leaves that folder untouched.
    fs::path folder;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && fs::path(runtime).is_absolute()) {
        folder = runtime;
    } else {
        std::error_code ec;
        folder = fs::temp_directory_path(ec);
        if (ec) folder = "/tmp";
    }
    std::string name = "tessaron-" + std::to_string(::getuid());
    if (demo) {
        // One virtual keyboard per data folder.
        std::error_code ec;
        const fs::path settled = fs::weakly_canonical(dataFolder, ec);
        char hash[24];
        std::snprintf(hash, sizeof hash, "%016zx",
                      std::hash<std::string>{}((ec ? dataFolder : settled).string()));
        name += std::string("-demo-") + hash;
    }
    return folder / (name + "-keyboard.lock");
}

namespace {

// The pid the holder wrote into the file; empty when there is none.
std::string holderOf(int fd) {
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    if (n <= 0) return {};
    std::string pid(text, static_cast<std::size_t>(n));
    while (!pid.empty() && (pid.back() == '\n' || pid.back() == ' ')) pid.pop_back();
    return pid;
}

}  // namespace

Result<KeyboardLock> KeyboardLock::acquire(const fs::path& path, std::chrono::milliseconds patience,
                                           Clock& clock) {
    // The folder may be shared (/tmp): no link is followed and only a file of this user is used.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || !S_ISREG(st.st_mode))) {
        ::close(fd);
        return makeError(TR_TEXT("Core", "The keyboard's lock file %1 belongs to someone else; remove it."), path.string());
    }
    if (fd < 0) {
        const std::string reason = std::strerror(errno);
        return makeError(TR_TEXT("Core", "Could not open the keyboard's lock file %1: %2."), path.string(), reason);
    }
    const auto deadline = clock.now() + patience;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const std::string reason = std::strerror(errno);
            ::close(fd);
            return makeError(TR_TEXT("Core", "Could not lock %1: %2."), path.string(), reason);
        }
        if (clock.now() >= deadline) {
            const std::string holder = holderOf(fd);
            ::close(fd);
            const std::string who = holder.empty() ? "" : " (process " + holder + ")";
            const std::string seconds = std::to_string(
                std::chrono::duration_cast<std::chrono::seconds>(patience).count());
            return makeError(TR_TEXT("Core", "The keyboard is in use by another Tessaron program%1; waited %2 s. Try again when it is done, or close the window."), who, seconds);
        }
        clock.sleepMs(50);
    }
    // The holder's pid, for the message of whoever waits next.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, pid.data(), pid.size(), 0);
    return KeyboardLock(fd);
}

}  // namespace tessaron
