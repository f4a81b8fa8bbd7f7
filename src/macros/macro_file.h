#pragma once
// MacroDefine.bin: the macro table as raw bytes, 169860 of them, no header.

#include <filesystem>
#include <optional>

#include "core/atomic_file.h"
#include "core/result.h"
#include "macros/macro_record.h"

namespace tessaron::macros {

inline constexpr const char* kMacroFileName = "MacroDefine.bin";

struct LoadedMacroTable {
    MacroTable table;
    // Set when the file was missing and could not be created; the empty table is still usable.
    std::optional<Error> createError;
    // Set when the file had a size Tessaron never writes: it was moved aside (the notice says
    // where) and made afresh, empty.
    std::optional<Error> notice;
};

// A missing file gives an empty table and is created at once holding zeros. A file of any size
// but 169860 bytes is moved aside as "MacroDefine.bin.broken-DATE" and treated as missing. A
// file that exists but cannot be read is an error.
Result<LoadedMacroTable> loadMacroFile(const std::filesystem::path& path);

// Replaces the file atomically; on failure the old file stays as it was.
Status writeMacroFile(const std::filesystem::path& path, const MacroTable& table);
// The same as one file of a batch committed together with others.
Status stageMacroFile(FileBatch& batch, const std::filesystem::path& path, const MacroTable& table);

}  // namespace tessaron::macros
