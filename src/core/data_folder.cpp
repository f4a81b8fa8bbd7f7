#include "core/data_folder.h"
#include "core/text.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <utility>

namespace tessaron {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

// XDG: relative or empty values are to be ignored.
bool usable(const std::optional<std::string>& value) {
    return value && !value->empty() && fs::path(*value).is_absolute();
}

}  // namespace

DataFolderInputs DataFolderInputs::fromProcess(std::optional<fs::path> dataDirOption) {
    DataFolderInputs in;
    in.dataDirOption = std::move(dataDirOption);
    in.dataDirVariable = variable("TESSARON_DATA_DIR");
    in.xdgDataHome = variable("XDG_DATA_HOME");
    in.home = variable("HOME");
    in.executableFolder = runningExecutableFolder();
    return in;
}

Result<fs::path> chooseDataFolder(const DataFolderInputs& in) {
    if (in.dataDirOption && !in.dataDirOption->empty()) return *in.dataDirOption;
    if (in.dataDirVariable && !in.dataDirVariable->empty()) return fs::path(*in.dataDirVariable);
    if (!in.executableFolder.empty()) {
        std::error_code ec;
        if (fs::exists(in.executableFolder / kPortableMarker, ec)) return in.executableFolder;
    }
    if (usable(in.xdgDataHome)) return fs::path(*in.xdgDataHome) / "tessaron";
    if (in.home && !in.home->empty()) return fs::path(*in.home) / ".local" / "share" / "tessaron";
    return makeError(TR_TEXT("Core", "No folder for the settings: HOME is not set. Use --data-dir or TESSARON_DATA_DIR."));
}

Result<fs::path> openDataFolder(const DataFolderInputs& in) {
    auto folder = chooseDataFolder(in);
    if (!folder) return folder;
    std::error_code ec;
    if (folder->has_parent_path()) fs::create_directories(folder->parent_path(), ec);
    if (!ec && ::mkdir(folder->c_str(), 0700) != 0 && errno != EEXIST) {
        ec = std::error_code(errno, std::generic_category());
    }
    if (ec || !fs::is_directory(*folder, ec)) {
        const std::string reason = ec ? ec.message() : std::string("not a folder");
        return makeError(TR_TEXT("Core", "Could not create the settings folder \"%1\": %2."), folder->string(), reason);
    }
    return folder;
}

namespace {
// The descriptor of the locked folder, or -errno.
int lockFolder(const fs::path& folder, bool block) {
    // The folder itself is locked: no lock file to create in a folder that may be read-only.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -errno;
    int r = 0;
    do {
        r = ::flock(fd, LOCK_EX | (block ? 0 : LOCK_NB));
    } while (r != 0 && errno == EINTR);
    if (r == 0) return fd;
    const int err = errno;
    ::close(fd);
    return -err;
}

Error lockError(const fs::path& folder, int err) {
    const Error reason = err == EWOULDBLOCK
                             ? Error(TR_TEXT("Core", "another program is changing its files"))
                             : verbatim(std::strerror(err));
    return makeError(TR_TEXT("Core", "Could not lock the settings folder \"%1\": %2."), folder.string(),
                     reason);
}
}  // namespace

Result<DataFolderLock> DataFolderLock::acquire(const fs::path& folder, Wait wait) {
    const int fd = lockFolder(folder, wait == Wait::Block);
    if (fd >= 0) return DataFolderLock(fd);
    return lockError(folder, -fd);
}

Result<DataFolderLock> DataFolderLock::acquireWithin(const fs::path& folder,
                                                     std::chrono::milliseconds bound,
                                                     Clock& clock) {
    constexpr auto kStep = std::chrono::milliseconds(10);
    const auto until = clock.now() + bound;
    for (;;) {
        const int fd = lockFolder(folder, false);
        if (fd >= 0) return DataFolderLock(fd);
        // Only another holder is worth waiting for.
        if (-fd != EWOULDBLOCK || clock.now() >= until) return lockError(folder, -fd);
        clock.sleep(kStep);
    }
}

DataFolderLock::DataFolderLock(DataFolderLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

DataFolderLock& DataFolderLock::operator=(DataFolderLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

DataFolderLock::~DataFolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

fs::path runningExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return exe.parent_path();
}

std::vector<fs::path> assetFolders(const fs::path& dataFolder, const fs::path& exeFolder) {
    std::vector<fs::path> folders;
    if (!dataFolder.empty()) folders.push_back(dataFolder);
    if (!exeFolder.empty()) {
        folders.push_back((exeFolder / ".." / "share" / "tessaron").lexically_normal());
    }
#ifdef TESSARON_BUILD_ASSET_DIR
    folders.emplace_back(TESSARON_BUILD_ASSET_DIR);
#endif
    return folders;
}

std::optional<fs::path> findAsset(const std::vector<fs::path>& folders, const fs::path& relative) {
    for (const auto& folder : folders) {
        std::error_code ec;
        const fs::path candidate = folder / relative;
        if (fs::is_regular_file(candidate, ec)) return candidate;
    }
    return std::nullopt;
}

}  // namespace tessaron
