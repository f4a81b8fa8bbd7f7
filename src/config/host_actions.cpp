#include "config/host_actions.h"

#include <algorithm>
#include <memory>

#include "core/text.h"
#include "device/device_image.h"
#include "keys/key_layout.h"
#include "keys/keymap_file.h"

namespace tessaron::config {

namespace {

Error describeText(const HostActionEntry& e) {
    std::string legend;
    if (e.record < keys::kLayoutKeyCount) {
        legend = std::string(keys::legend(static_cast<keys::KeyIndex>(e.record)));
    }
    const Error key = !legend.empty() ? verbatim(legend)
                                      : makeError(TR_TEXT("Config", "record %1 (key code %2)"),
                                                  std::to_string(e.record), std::to_string(e.vk));
    Text what;
    switch (e.kind) {
        case keys::kind::kPlaySound:
            what = TR_TEXT("Config", "play the sound");
            break;
        case keys::kind::kStartup:
            what = TR_TEXT("Config", "start the program");
            break;
        case keys::kind::kOpenFile:
            what = TR_TEXT("Config", "open the file");
            break;
        default:
            what = TR_TEXT("Config", "open the folder");
            break;
    }
    return makeError(TR_TEXT("Config", "%1: %2 %3"), key, Error(what), e.path);
}

}  // namespace

std::string describe(const HostActionEntry& e, Language lang) {
    return describeText(e).text(lang);
}

Error hostActionsNeedConsent(const std::vector<HostActionEntry>& entries, const Error& hint) {
    Error list =
        TR_TEXT("Config", "These keys would run something on this computer when pressed:\n");
    for (const auto& e : entries) {
        list = makeError(TR_TEXT3("Config", "%1  %2\n", "a list and its next line"), list,
                         describeText(e));
    }
    return makeError(TR_TEXT3("Config", "%1%2", "a question and what it asks"), list, hint);
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
