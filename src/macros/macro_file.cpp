#include "macros/macro_file.h"

#include <system_error>

#include "core/atomic_file.h"

namespace tessaron::macros {

Result<LoadedMacroTable> loadMacroFile(const std::filesystem::path& path) {
    LoadedMacroTable loaded;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && !ec) {
        if (auto written = writeMacroFile(path, loaded.table); !written) {
            loaded.createError = written.error();
        }
        return loaded;
    }
    auto bytes = readFilePrefix(path, kTableSize);
    if (!bytes) return bytes.error();
    loaded.table.assignPrefix(*bytes);
    return loaded;
}

Status writeMacroFile(const std::filesystem::path& path, const MacroTable& table) {
    const auto bytes = table.toBytes();
    return writeFileAtomically(path, bytes);
}

}  // namespace tessaron::macros
