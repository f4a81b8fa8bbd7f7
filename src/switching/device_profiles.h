#pragma once
// The keyboard side of the engine for a program that owns the keyboard alone (tessaronctl, the
// tests): profiles come from the "Configure" folder, and a switch is a Save through the link.

#include <filesystem>

#include "device/device_link.h"
#include "profiles/profile_store.h"
#include "switching/engine.h"

namespace tessaron::switching {

class DeviceProfiles final : public ProfileSink {
public:
    // `held` is what the keyboard holds (read at start-up); the link's listener must run, as for
    // every Save.
    DeviceProfiles(device::DeviceLink& link, const std::filesystem::path& dataFolder,
                   const device::DeviceImage& held);

    // A profile laid over what the keyboard holds, as Load does: each block takes what the file
    // reaches. A profile without key cells (made by New, never saved) is refused.
    Result<device::DeviceImage> profileImage(const std::string& name) override;
    Result<device::DeviceImage> heldImage() override { return committed_; }
    Result<device::WriteOutcome> send(const device::DeviceImage& wanted) override;

private:
    device::DeviceLink& link_;
    profiles::ProfileStore store_;
    device::DeviceImage committed_;
};

}  // namespace tessaron::switching
