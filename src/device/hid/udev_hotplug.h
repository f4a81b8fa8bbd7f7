#pragma once
// Follows this keyboard being plugged in and out through a libudev monitor on USB devices.
// Notices about any other USB device are ignored.

#include <atomic>
#include <optional>
#include <string_view>
#include <thread>

#include "device/hotplug.h"

struct udev;
struct udev_monitor;

namespace tessaron::device::hid {

class UdevHotplugMonitor final : public HotplugMonitor {
public:
    UdevHotplugMonitor() = default;
    ~UdevHotplugMonitor() override;

    Status start(Callback callback) override;
    void stop() override;

private:
    void run();

    Callback callback_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    int wakeFd_ = -1;  // an eventfd that ends the thread's poll
    std::thread thread_;
};

// Classifies one uevent of a USB device; nullopt when it is not this keyboard's arrival or
// removal. product is the uevent's PRODUCT value: "vendor/product/release" in hex.
std::optional<PlugChange> classifyUsbEvent(std::string_view action, std::string_view product);

}  // namespace tessaron::device::hid
