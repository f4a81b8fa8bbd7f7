#include "device/read_all.h"

#include "device/bulk.h"
#include "device/commands.h"

namespace tessaron::device {

namespace {

enum class ReadKind { Full, Startup };

// Everything after the opening frame (and the firmware query at start-up).
Status readFields(CommandPort& port, DeviceImage& img, ReadKind kind) {
    auto s = getLighting(port, img);
    for (std::size_t n = 0; s && n < image::kLightingTableEntries; ++n) {
        s = getLightingEntry(port, img, n);
    }
    if (s) s = getGameMode(port, img);
    if (s) s = getReportRate(port, img);
    if (s) s = getResponseTime(port, img);
    if (s) s = readKeyMap(port, img);
    if (s) s = readEnableBitmap(port, img);
    for (std::size_t n = 0; s && n < image::kMacroSlotCount; ++n) {
        s = readMacroSlot(port, img, n);
        if (kind == ReadKind::Startup) port.wait(0);
    }
    if (s) s = readLightMaps(port, img);
    return s;
}

}  // namespace

Status readLightMaps(CommandPort& port, DeviceImage& img) {
    for (std::size_t m = 0; m < image::kLightMapCount; ++m) {
        auto s = readLightMap(port, img, m);
        if (!s) return s;
    }
    return {};
}

Status readAll(CommandPort& port, DeviceImage& img) {
    auto s = sendOpeningFrame(port);
    if (!s) return s;
    port.wait(10);
    return readFields(port, img, ReadKind::Full);
}

Result<StartupRead> startupRead(CommandPort& port, const DeviceImage& base) {
    StartupRead read;
    read.image = base;
    auto s = sendOpeningFrame(port);
    if (!s) return s.error();
    auto fw = getFirmwareVersion(port);
    if (!fw) return fw.error();
    read.firmware = *fw;
    s = readFields(port, read.image, ReadKind::Startup);
    if (!s) return s.error();
    return read;
}

}  // namespace tessaron::device
