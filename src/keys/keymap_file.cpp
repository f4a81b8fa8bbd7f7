#include "keys/keymap_file.h"

#include <algorithm>
#include <system_error>

#include "core/atomic_file.h"

namespace tessaron::keys {

Result<KeymapLoad> loadKeymap(const std::filesystem::path& path, device::DeviceImage& image,
                              KeyRecordTable& records, KeymapBlocks blocks) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        records = KeyRecordTable{};
        auto written = writeKeymap(path, image, records);
        fillLayoutVks(records);
        if (!written) return written.error();
        return KeymapLoad::Created;
    }
    if (ec || status.type() != std::filesystem::file_type::regular) {
        return makeError("\"" + path.string() + "\" is not a readable file.",
                         "\"" + path.string() + "\" 不是可读取的文件。");
    }

    auto bytes = readFilePrefix(path, kKeymapFileSize);
    if (!bytes) return bytes.error();
    const std::span<const std::uint8_t> data = *bytes;

    const std::size_t imagePart = std::min(data.size(), device::image::kSize);
    if (blocks == KeymapBlocks::All) {
        std::copy_n(data.begin(), imagePart, image.begin());
    }
    const auto recordPart = data.subspan(imagePart);
    std::copy(recordPart.begin(), recordPart.end(), asWritableBytes(records).begin());

    fillLayoutVks(records);
    return KeymapLoad::Read;
}

Status writeKeymap(const std::filesystem::path& path, const device::DeviceImage& image,
                   const KeyRecordTable& records) {
    const std::span<const std::uint8_t> blocks[] = {image, asBytes(records)};
    return writeFileAtomically(path, blocks);
}

}  // namespace tessaron::keys
