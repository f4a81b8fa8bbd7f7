#include "keys/keymap_file.h"

#include <algorithm>
#include <system_error>

#include "core/atomic_file.h"
#include "core/text.h"

namespace tessaron::keys {

Result<KeymapLoaded> loadKeymap(const std::filesystem::path& path, device::DeviceImage& image,
                                KeyRecordTable& records, KeymapBlocks blocks) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto status = fs::status(path, ec);
    KeymapLoaded loaded;
    if (status.type() != fs::file_type::not_found) {
        if (ec || status.type() != fs::file_type::regular) {
            return makeError(TR_TEXT("Keys", "\"%1\" is not a readable file."), path.string());
        }
        auto bytes = readFilePrefix(path, kKeymapFileSize + 1);
        if (!bytes) return bytes.error();  // unreadable: left as it is
        const std::size_t size[] = {kKeymapFileSize};
        const Status usable = checkFileSize(path, bytes->size(), size);
        if (usable) {
            if (blocks == KeymapBlocks::All) {
                std::copy_n(bytes->begin(), device::image::kSize, image.begin());
            }
            const auto recordPart = std::span<const std::uint8_t>(*bytes).subspan(
                device::image::kSize);
            std::copy(recordPart.begin(), recordPart.end(), asWritableBytes(records).begin());
            fillLayoutVks(records);
            return loaded;
        }
        // One of a size never written is kept aside before a fresh one takes its place.
        if (blocks == KeymapBlocks::RecordsOnly) return usable.error();
        auto kept = moveAside(path);
        if (!kept) return kept.error();
        loaded.how = KeymapLoad::Replaced;
        loaded.notice = movedAsideNotice(path, *kept, usable.error());
    } else {
        loaded.how = KeymapLoad::Created;
    }
    records = KeyRecordTable{};
    auto written = writeKeymap(path, image, records);
    fillLayoutVks(records);
    if (!written) return written.error();
    return loaded;
}

Status writeKeymap(const std::filesystem::path& path, const device::DeviceImage& image,
                   const KeyRecordTable& records) {
    const std::span<const std::uint8_t> blocks[] = {image, asBytes(records)};
    return writeFileAtomically(path, blocks);
}

Status stageKeymap(FileBatch& batch, const std::filesystem::path& path,
                   const device::DeviceImage& image, const KeyRecordTable& records) {
    const std::span<const std::uint8_t> blocks[] = {image, asBytes(records)};
    return batch.add(path, blocks);
}

}  // namespace tessaron::keys
