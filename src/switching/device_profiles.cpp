#include "switching/device_profiles.h"

#include <algorithm>

#include "core/atomic_file.h"
#include "core/text.h"

namespace tessaron::switching {

DeviceProfiles::DeviceProfiles(device::DeviceLink& link, const std::filesystem::path& dataFolder,
                               const device::DeviceImage& held)
    : link_(link), store_(dataFolder, Language::English, link.clock()), committed_(held) {}

Result<device::DeviceImage> DeviceProfiles::profileImage(const std::string& name) {
    store_.rescan();
    const auto index = store_.indexOf(name);
    if (!index) {
        return makeError(TR_TEXT("Switching", "No profile is named \"%1\"."), name);
    }
    auto bytes = readFilePrefix(store_.paths()[*index], device::image::kSize);
    if (!bytes) return bytes.error();
    device::DeviceImage image = committed_;
    std::copy(bytes->begin(), bytes->end(), image.begin());
    const auto map = std::span(image).subspan(device::image::kKeyMap, device::image::kKeyMapSize);
    if (std::all_of(map.begin(), map.end(), [](std::uint8_t b) { return b == 0; })) {
        return makeError(TR_TEXT("Switching", "The profile \"%1\" holds no key settings."), name);
    }
    return image;
}

Result<device::WriteOutcome> DeviceProfiles::send(const device::DeviceImage& wanted) {
    device::DeviceImage image = wanted;
    return link_.save(image, committed_);
}

}  // namespace tessaron::switching
