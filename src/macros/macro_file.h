#pragma once
// MacroDefine.bin: the macro table as raw bytes, 169860 of them, no header.

#include <filesystem>
#include <optional>

#include "core/result.h"
#include "macros/macro_record.h"

namespace tessaron::macros {

inline constexpr const char* kMacroFileName = "MacroDefine.bin";

struct LoadedMacroTable {
    MacroTable table;
    // Set when the file was missing and could not be created; the empty table is still usable.
    std::optional<Error> createError;
};

// A missing file gives an empty table and is created at once holding zeros; a short file fills
// the table from the start; a longer one gives only its first 169860 bytes. A file that exists
// but cannot be read is an error.
Result<LoadedMacroTable> loadMacroFile(const std::filesystem::path& path);

// Replaces the file atomically; on failure the old file stays as it was.
Status writeMacroFile(const std::filesystem::path& path, const MacroTable& table);

}  // namespace tessaron::macros
