#pragma once
// Full reads of the keyboard into the device image.

#include "core/result.h"
#include "device/command_port.h"
#include "device/device_image.h"
#include "device/firmware.h"

namespace tessaron::device {

// Reads every field into img, in the keyboard's order. Stops at the first failed transfer: the
// fields read before it are updated, that field and the rest keep their values. The committed
// image is the caller's business.
Status readAll(CommandPort& port, DeviceImage& img);

// The first read after start-up: the same fields, with the firmware version after the opening
// frame. Works on a copy of base, so a failed read changes nothing of the caller's image.
struct StartupRead {
    DeviceImage image{};
    FirmwareVersion firmware;
};
Result<StartupRead> startupRead(CommandPort& port, const DeviceImage& base);

// Reads the five light maps (the arrival sequence reads them a second time).
Status readLightMaps(CommandPort& port, DeviceImage& img);

}  // namespace tessaron::device
