#pragma once
// Blocks too large for one frame move in 64-byte pages after a header frame. Reads land in a
// scratch buffer and reach the device image only when every page arrived.

#include <cstddef>

#include "core/result.h"
#include "device/command_port.h"
#include "device/device_image.h"

namespace tessaron::device {

Status writeKeyMap(CommandPort& port, const DeviceImage& img);
Status readKeyMap(CommandPort& port, DeviceImage& img);
Status writeEnableBitmap(CommandPort& port, const DeviceImage& img);
// Also derives the Win Lock flag from the bitmap read.
Status readEnableBitmap(CommandPort& port, DeviceImage& img);
Status writeMacroSlot(CommandPort& port, const DeviceImage& img, std::size_t slot);
Status readMacroSlot(CommandPort& port, DeviceImage& img, std::size_t slot);
Status writeLightMap(CommandPort& port, const DeviceImage& img, std::size_t map);
Status readLightMap(CommandPort& port, DeviceImage& img, std::size_t map);

}  // namespace tessaron::device
