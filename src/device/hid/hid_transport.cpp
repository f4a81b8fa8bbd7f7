#include "device/hid/hid_transport.h"

#include <fcntl.h>
#include <hidapi/hidapi.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "core/atomic_file.h"
#include "device/errors.h"
#include "device/hid/hid_channels.h"
#include "device/hid/interface_rules.h"
#include "device/hid/report_descriptor.h"

namespace tessaron::device::hid {

namespace {

// The kernel's limit on a report descriptor.
constexpr std::size_t kMaxDescriptorSize = 4096;

// hidapi is initialised once for the process and released at its end.
struct HidApiLibrary {
    HidApiLibrary() { ok = hid_init() == 0; }
    ~HidApiLibrary() { hid_exit(); }
    bool ok = false;
};

bool hidApiReady() {
    static HidApiLibrary library;
    return library.ok;
}

// hidraw keeps the report descriptor in sysfs beside the node; hidapi 0.13 cannot return it.
std::vector<std::uint8_t> reportDescriptorOf(const std::string& devicePath) {
    const std::filesystem::path node(devicePath);
    if (node.parent_path() != "/dev") return {};
    const auto sysfs =
        std::filesystem::path("/sys/class/hidraw") / node.filename() / "device/report_descriptor";
    auto bytes = readFilePrefix(sysfs, kMaxDescriptorSize);
    return bytes ? std::move(bytes).value() : std::vector<std::uint8_t>{};
}

// False when this user may not open the node: the udev rule is missing.
bool accessible(const std::string& devicePath) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    return errno != EACCES && errno != EPERM;
}

struct Found {
    InterfaceInfo info;
    InterfaceFacts facts;
};

bool serves(const Found& f, ChannelRole role, const ChannelSelection& selection) {
#ifdef _WIN32
    const bool overridden = role == ChannelRole::Command ? selection.commandInterface.has_value()
                                                         : selection.eventInterface.has_value();
    if (!overridden) return windowsPathSelects(f.info.path, role);
#endif
    return role == ChannelRole::Command ? servesCommand(f.facts, selection)
                                        : servesEvent(f.facts, selection);
}

// Every HID interface of the keyboard, once each, in enumeration order.
std::vector<Found> findInterfaces(const ChannelSelection& selection) {
    std::vector<Found> found;
    if (!hidApiReady()) return found;
    hid_device_info* list = hid_enumerate(kVendorId, kProductId);
    for (const hid_device_info* d = list; d; d = d->next) {
        if (!d->path || d->vendor_id != kVendorId || d->product_id != kProductId) continue;
        const std::string path = d->path;
        bool seen = false;
        for (const auto& f : found) seen = seen || f.info.path == path;
        if (seen) continue;  // hidraw lists one entry per top-level collection
        Found f;
        f.info.path = path;
        f.info.vendorId = d->vendor_id;
        f.info.productId = d->product_id;
        f.info.interfaceNumber = d->interface_number;
        f.facts.interfaceNumber = d->interface_number;
        f.facts.declaresEventReport =
            declaresInputReport(reportDescriptorOf(path), kEventReportIdDeclared);
        f.info.role = roleOf(f.facts, selection);
        f.info.accessible = accessible(path);
        found.push_back(std::move(f));
    }
    hid_free_enumeration(list);
    return found;
}

Result<HidHandle> openFirst(ChannelRole role, const ChannelSelection& selection) {
    for (const auto& f : findInterfaces(selection)) {
        if (!serves(f, role, selection)) continue;
        HidHandle handle(hid_open_path(f.info.path.c_str()));
        if (handle) return handle;
        if (!f.info.accessible || !accessible(f.info.path)) return errors::noAccess(f.info.path);
        return errors::transferFailed("opening " + f.info.path);
    }
    return errors::noKeyboardFound();
}

}  // namespace

HidTransport::HidTransport(ChannelSelection selection) : selection_(selection) {
    hidApiReady();
}

HidTransport::~HidTransport() = default;

std::vector<InterfaceInfo> HidTransport::enumerate() {
    std::vector<InterfaceInfo> infos;
    for (auto& f : findInterfaces(selection_)) infos.push_back(std::move(f.info));
    return infos;
}

Result<std::unique_ptr<CommandChannel>> HidTransport::openCommand() {
    auto handle = openFirst(ChannelRole::Command, selection_);
    if (!handle) return handle.error();
    return std::unique_ptr<CommandChannel>(
        std::make_unique<HidCommandChannel>(std::move(handle).value()));
}

Result<std::unique_ptr<EventChannel>> HidTransport::openEvent() {
    auto handle = openFirst(ChannelRole::Event, selection_);
    if (!handle) return handle.error();
    return std::unique_ptr<EventChannel>(
        std::make_unique<HidEventChannel>(std::move(handle).value()));
}

}  // namespace tessaron::device::hid
