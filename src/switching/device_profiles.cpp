#include "switching/device_profiles.h"

#include <algorithm>

#include "core/atomic_file.h"

namespace tessaron::switching {

DeviceProfiles::DeviceProfiles(device::DeviceLink& link, const std::filesystem::path& dataFolder,
                               const device::DeviceImage& held)
    : link_(link), store_(dataFolder, Language::English, link.clock()), committed_(held) {}

Result<device::DeviceImage> DeviceProfiles::profileImage(const std::string& name) {
    store_.rescan();
    const auto index = store_.indexOf(name);
    if (!index) {
        return makeError("No profile is named \"" + name + "\".",
                         "没有名为 \"" + name + "\" 的配置。");
    }
    auto bytes = readFilePrefix(store_.paths()[*index], device::image::kSize);
    if (!bytes) return bytes.error();
    device::DeviceImage image = committed_;
    std::copy(bytes->begin(), bytes->end(), image.begin());
    const auto map = std::span(image).subspan(device::image::kKeyMap, device::image::kKeyMapSize);
    if (std::all_of(map.begin(), map.end(), [](std::uint8_t b) { return b == 0; })) {
        return makeError("The profile \"" + name + "\" holds no key settings.",
                         "配置 \"" + name + "\" 中没有按键设置。");
    }
    return image;
}

Result<device::WriteOutcome> DeviceProfiles::send(const device::DeviceImage& wanted) {
    device::DeviceImage image = wanted;
    return link_.save(image, committed_);
}

}  // namespace tessaron::switching
