#include "config/host_actions.h"

#include <algorithm>
#include <memory>

#include "device/device_image.h"
#include "keys/key_layout.h"
#include "keys/keymap_file.h"

namespace tessaron::config {

std::string describe(const HostActionEntry& e, Language lang) {
    const bool zh = lang == Language::Chinese;
    std::string key;
    if (e.record < keys::kLayoutKeyCount) {
        key = std::string(keys::legend(static_cast<keys::KeyIndex>(e.record)));
    }
    if (key.empty()) {
        key = (zh ? "记录 " : "record ") + std::to_string(e.record) + (zh ? "（键码 " : " (key code ") +
              std::to_string(e.vk) + (zh ? "）" : ")");
    }
    const char* what = "";
    switch (e.kind) {
        case keys::kind::kPlaySound:
            what = zh ? "播放声音" : "play the sound";
            break;
        case keys::kind::kStartup:
            what = zh ? "启动程序" : "start the program";
            break;
        case keys::kind::kOpenFile:
            what = zh ? "打开文件" : "open the file";
            break;
        default:
            what = zh ? "打开文件夹" : "open the folder";
            break;
    }
    return key + (zh ? "：" : ": ") + what + " " + e.path;
}

Error hostActionsNeedConsent(const std::vector<HostActionEntry>& entries,
                             const std::string& englishHint, const std::string& chineseHint) {
    std::string english = "These keys would run something on this computer when pressed:\n";
    std::string chinese = "按下以下按键时将在本机上运行内容：\n";
    for (const auto& e : entries) {
        english += "  " + describe(e, Language::English) + "\n";
        chinese += "  " + describe(e, Language::Chinese) + "\n";
    }
    return makeError(english + englishHint, chinese + chineseHint);
}

std::unique_ptr<keys::KeyRecordTable> recordsAfterLoad(const keys::KeyRecordTable& current,
                                                       std::span<const std::uint8_t> bytes) {
    auto records = std::make_unique<keys::KeyRecordTable>(current);
    if (bytes.size() > device::image::kSize) {
        const auto block = bytes.subspan(device::image::kSize);
        const auto n = std::min(block.size(), keys::kKeyRecordTableSize);
        std::copy_n(block.begin(), n, keys::asWritableBytes(*records).begin());
    }
    keys::fillLayoutVks(*records);
    return records;
}

Result<std::unique_ptr<keys::KeyRecordTable>> keymapRecords(const std::filesystem::path& keymap) {
    auto records = std::make_unique<keys::KeyRecordTable>();
    keys::resetKeyRecords(*records);
    // A file of another size is kept aside when the settings are opened: its records never count.
    std::error_code ec;
    if (std::filesystem::exists(keymap, ec) &&
        std::filesystem::file_size(keymap, ec) == keys::kKeymapFileSize) {
        device::DeviceImage image{};
        auto loaded = keys::loadKeymap(keymap, image, *records, keys::KeymapBlocks::RecordsOnly);
        if (!loaded) return loaded.error();
    }
    return records;
}

Result<std::vector<HostActionEntry>> needingConsent(const keys::KeyRecordTable& records,
                                                    const std::filesystem::path& dataFolder) {
    auto approved = keys::readApprovedHostActions(dataFolder);
    if (!approved) return approved.error();
    return keys::unapprovedHostActions(records, *approved);
}

}  // namespace tessaron::config
