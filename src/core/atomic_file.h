#pragma once
// Files are replaced atomically: the new content goes to a temporary file in the same folder,
// is flushed to disk, and is renamed over the old one. A crash or a full disk leaves either the
// complete old or the complete new file. A file reached through a symbolic link is replaced at
// the link's target, and a replaced file keeps its mode (and, for root, its owner).

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace tessaron {

// Durable: flushed to disk before the rename (the user's data). Cache: only the rename makes
// it atomic; after a crash the file may be the old one, the new one or unreadable, so it suits
// files the program can check and make again (decoded images), and costs no disk flush.
enum class Durability { Durable, Cache };

// The mode a file gets when it did not exist: the data folder's files are the user's alone.
inline constexpr unsigned kPrivateFileMode = 0600;

Status writeFileAtomically(const std::filesystem::path& path,
                           std::span<const std::span<const std::uint8_t>> blocks,
                           Durability durability = Durability::Durable);

inline Status writeFileAtomically(const std::filesystem::path& path,
                                  std::span<const std::uint8_t> bytes) {
    const std::span<const std::uint8_t> blocks[] = {bytes};
    return writeFileAtomically(path, blocks);
}

// Several files replaced as one: add() writes and flushes each to a temporary file, commit()
// renames them all. Nothing is renamed unless every file was written; a batch dropped without
// commit() leaves the old files and no temporary ones.
class FileBatch {
public:
    FileBatch() = default;
    ~FileBatch();
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    Status add(const std::filesystem::path& path,
               std::span<const std::span<const std::uint8_t>> blocks);
    Status add(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
        const std::span<const std::uint8_t> blocks[] = {bytes};
        return add(path, blocks);
    }
    Status commit();

private:
    struct Staged {
        std::filesystem::path target;     // the file replaced (a link's target)
        std::filesystem::path temporary;  // beside it
        std::filesystem::path shown;      // the path as the caller named it
    };
    std::vector<Staged> staged_;
    bool failed_ = false;
};

// A path the user chose for output: a character device, FIFO, socket or an open descriptor
// (/dev/stdout, /dev/fd/N) is written directly; a regular file, or a link to one, is replaced
// atomically (new files get the usual mode of the user's umask); a folder is refused.
Status writeUserFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Reads at most maxBytes from the start of the file.
Result<std::vector<std::uint8_t>> readFilePrefix(const std::filesystem::path& path,
                                                 std::size_t maxBytes);

// Reads a whole file that must have one of the given sizes; any other size is refused with a
// message naming the file. At most the largest size plus one byte is read, so a device or an
// endless file cannot exhaust memory.
Result<std::vector<std::uint8_t>> readFileOfSize(const std::filesystem::path& path,
                                                 std::span<const std::size_t> sizes);

// Refuses `got` bytes read from the file unless it is one of the sizes; at most the largest + 1
// need be read to tell.
Status checkFileSize(const std::filesystem::path& path, std::size_t got,
                     std::span<const std::size_t> sizes);

// Reads a descriptor to its end, refusing it once it holds more than limit bytes (at most
// limit + 1 bytes are read). `what` names the source in the message.
Result<std::string> readBounded(int fd, std::size_t limit, const std::string& what);

// "NAME.LABEL-YYYYMMDD-HHMMSS" beside the file, with a number added while that name is taken.
std::filesystem::path besideName(const std::filesystem::path& path, std::string_view label);

// Renames a file the program cannot use to "NAME.broken-YYYYMMDD-HHMMSS" beside it, so a fresh
// one can take its place without losing it; returns the new path.
Result<std::filesystem::path> moveAside(const std::filesystem::path& path);

// The message telling the user that `path` could not be used and where it was kept.
Error movedAsideNotice(const std::filesystem::path& path, const std::filesystem::path& kept,
                       const Error& why);

}  // namespace tessaron
