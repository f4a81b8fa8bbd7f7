#include "macros/macro_file.h"

#include <system_error>

#include "core/atomic_file.h"

namespace tessaron::macros {

Result<LoadedMacroTable> loadMacroFile(const std::filesystem::path& path) {
    LoadedMacroTable loaded;
    std::error_code ec;
    if (std::filesystem::exists(path, ec) || ec) {
        auto bytes = readFilePrefix(path, kTableSize + 1);
        if (!bytes) return bytes.error();
        const std::size_t size[] = {kTableSize};
        const Status usable = checkFileSize(path, bytes->size(), size);
        if (usable) {
            loaded.table.assignPrefix(*bytes);
            return loaded;
        }
        auto kept = moveAside(path);
        if (!kept) return kept.error();
        loaded.notice = movedAsideNotice(path, *kept, usable.error());
    }
    if (auto written = writeMacroFile(path, loaded.table); !written) {
        loaded.createError = written.error();
    }
    return loaded;
}

Status writeMacroFile(const std::filesystem::path& path, const MacroTable& table) {
    const auto bytes = table.toBytes();
    return writeFileAtomically(path, bytes);
}

Status stageMacroFile(FileBatch& batch, const std::filesystem::path& path,
                      const MacroTable& table) {
    const auto bytes = table.toBytes();
    return batch.add(path, bytes);
}

}  // namespace tessaron::macros
