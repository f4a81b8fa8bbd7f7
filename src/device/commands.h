#pragma once
// The single-frame commands: each sends one field of the device image to the keyboard or fetches
// it into the image, with the keyboard's fixed waits. A failed transfer leaves the field as it was.

#include "core/result.h"
#include "device/command_port.h"
#include "device/device_image.h"
#include "device/firmware.h"
#include "device/frames.h"

namespace tessaron::device {

Status setReportRate(CommandPort& port, const DeviceImage& img);
Status getReportRate(CommandPort& port, DeviceImage& img);
Status setResponseTime(CommandPort& port, const DeviceImage& img);
Status getResponseTime(CommandPort& port, DeviceImage& img);
Status setLighting(CommandPort& port, const DeviceImage& img, LightingForm form);
Status getLighting(CommandPort& port, DeviceImage& img);
// Sends the game mode byte and then folds the Win Lock flag into the enable bitmap.
Status setGameMode(CommandPort& port, DeviceImage& img);
Status getGameMode(CommandPort& port, DeviceImage& img);
// 0x09 with argument 1: the first frame of every full read.
Status sendOpeningFrame(CommandPort& port);
Status setLightingEntry(CommandPort& port, const DeviceImage& img, std::size_t entry);
Status getLightingEntry(CommandPort& port, DeviceImage& img, std::size_t entry);
Result<FirmwareVersion> getFirmwareVersion(CommandPort& port);
// Restores the keyboard's defaults: 0x13, then two opening frames, 940 ms in all.
Status factoryReset(CommandPort& port);

// Win Lock flag 1 clears bit 1 of the first enable byte (left Windows key disabled); 0 sets it.
void applyWinLockRule(DeviceImage& img);
// The flag as the enable bitmap shows it: 1 when the left Windows key's bit is clear.
std::uint8_t winLockFromBitmap(const DeviceImage& img);

}  // namespace tessaron::device
