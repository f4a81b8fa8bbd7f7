#pragma once
// Files are replaced atomically: the new content goes to a temporary file in the same folder,
// is flushed to disk, and is renamed over the old one. A crash or a full disk leaves either the
// complete old or the complete new file.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "core/result.h"

namespace tessaron {

// Durable: flushed to disk before the rename (the user's data). Cache: only the rename makes
// it atomic; after a crash the file may be the old one, the new one or unreadable, so it suits
// files the program can check and make again (decoded images), and costs no disk flush.
enum class Durability { Durable, Cache };

Status writeFileAtomically(const std::filesystem::path& path,
                           std::span<const std::span<const std::uint8_t>> blocks,
                           Durability durability = Durability::Durable);

inline Status writeFileAtomically(const std::filesystem::path& path,
                                  std::span<const std::uint8_t> bytes) {
    const std::span<const std::uint8_t> blocks[] = {bytes};
    return writeFileAtomically(path, blocks);
}

// Reads at most maxBytes from the start of the file.
Result<std::vector<std::uint8_t>> readFilePrefix(const std::filesystem::path& path,
                                                 std::size_t maxBytes);

}  // namespace tessaron
