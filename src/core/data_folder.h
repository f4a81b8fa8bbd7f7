#pragma once
// Where the program keeps its files (keymap.bin, MacroDefine.bin, "Configure") and where it
// finds its read-only assets (images, VER.bin).
//
// The data folder is, in this order: --data-dir, $TESSARON_DATA_DIR, the executable's own folder
// when a file named "portable" lies beside the executable, $XDG_DATA_HOME/tessaron, and
// ~/.local/share/tessaron. Files beside an installed executable cannot be written, and a
// location that moves with the executable would strand the user's settings.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"

namespace tessaron {

// Everything the choice depends on, so it can be made without touching the process.
struct DataFolderInputs {
    std::optional<std::filesystem::path> dataDirOption;  // --data-dir
    std::optional<std::string> dataDirVariable;          // TESSARON_DATA_DIR
    std::optional<std::string> xdgDataHome;              // XDG_DATA_HOME
    std::optional<std::string> home;                     // HOME
    std::filesystem::path executableFolder;              // may be empty when unknown

    // The environment and executable of this process.
    static DataFolderInputs fromProcess(std::optional<std::filesystem::path> dataDirOption);
};

inline constexpr const char* kPortableMarker = "portable";

// The data folder, without creating it. Fails only when no rule gives a folder (no HOME).
Result<std::filesystem::path> chooseDataFolder(const DataFolderInputs& inputs);

// Chooses the data folder and creates it when missing, readable by the user alone (0700): its
// files hold the paths of programs the keys start.
Result<std::filesystem::path> openDataFolder(const DataFolderInputs& inputs);

// The advisory lock (flock) of the data folder that every read-change-write of its files holds,
// by tessaronctl and by the window alike, so parallel writers cannot lose each other's changes.
// Released when the object goes (or the process ends).
class DataFolderLock {
public:
    enum class Wait { Block, Try };
    // Try fails at once when another process holds the lock.
    static Result<DataFolderLock> acquire(const std::filesystem::path& folder,
                                          Wait wait = Wait::Block);

    DataFolderLock(DataFolderLock&& other) noexcept;
    DataFolderLock& operator=(DataFolderLock&& other) noexcept;
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;
    ~DataFolderLock();

private:
    explicit DataFolderLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

// The folder of the running executable; empty when it cannot be found.
std::filesystem::path runningExecutableFolder();

// Folders searched for read-only assets, in order: the data folder, the installed share folder
// (<prefix>/share/tessaron beside <prefix>/bin), and the build tree's asset folder when the build
// defined one.
std::vector<std::filesystem::path> assetFolders(const std::filesystem::path& dataFolder,
                                                const std::filesystem::path& executableFolder);

// The first existing file with this relative path in the asset folders.
std::optional<std::filesystem::path> findAsset(const std::vector<std::filesystem::path>& folders,
                                               const std::filesystem::path& relative);

}  // namespace tessaron
