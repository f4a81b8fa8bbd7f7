#include "device/hid/udev_hotplug.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>

#include "device/errors.h"
#include "device/transport.h"
#include "core/text.h"

namespace tessaron::device::hid {

namespace {

std::optional<unsigned> hexField(std::string_view text) {
    unsigned value = 0;
    const auto* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
    if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
    return value;
}

Error monitorFailed() {
    return makeError(TR_TEXT("Device", "Plugging and unplugging of the keyboard cannot be followed."));
}

}  // namespace

std::optional<PlugChange> classifyUsbEvent(std::string_view action, std::string_view product) {
    std::optional<PlugChange> change;
    if (action == "add") change = PlugChange::Arrived;
    if (action == "remove") change = PlugChange::Removed;
    if (!change) return std::nullopt;
    const auto first = product.find('/');
    if (first == std::string_view::npos) return std::nullopt;
    const auto second = product.find('/', first + 1);
    const auto vendor = hexField(product.substr(0, first));
    const auto model = hexField(product.substr(
        first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1));
    if (vendor != kVendorId || model != kProductId) return std::nullopt;
    return change;
}

UdevHotplugMonitor::~UdevHotplugMonitor() {
    stop();
}

Status UdevHotplugMonitor::start(Callback callback) {
    if (thread_.joinable()) return {};
    callback_ = std::move(callback);
    udev_ = udev_new();
    if (udev_) monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    const bool ready =
        monitor_ && wakeFd_ >= 0 &&
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "usb", "usb_device") >= 0 &&
        udev_monitor_enable_receiving(monitor_) >= 0;
    if (!ready) {
        stop();
        return monitorFailed();
    }
    thread_ = std::thread([this] { run(); });
    return {};
}

void UdevHotplugMonitor::stop() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        (void)!::write(wakeFd_, &one, sizeof one);
        thread_.join();
    }
    if (monitor_) monitor_ = udev_monitor_unref(monitor_);
    if (udev_) udev_ = udev_unref(udev_);
    if (wakeFd_ >= 0) ::close(wakeFd_);
    wakeFd_ = -1;
}

void UdevHotplugMonitor::run() {
    pollfd fds[2] = {{udev_monitor_get_fd(monitor_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) continue;
        udev_device* device = udev_monitor_receive_device(monitor_);
        if (!device) continue;
        const char* action = udev_device_get_action(device);
        const char* product = udev_device_get_property_value(device, "PRODUCT");
        const auto change = classifyUsbEvent(action ? action : "", product ? product : "");
        udev_device_unref(device);
        if (change && callback_) callback_(*change);
    }
}

}  // namespace tessaron::device::hid
