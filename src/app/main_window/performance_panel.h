#pragma once
// The Game Mode, Response Time and USB Report Rate sections' rules on the device image.

#include <cstdint>
#include <string>

#include "device/device_image.h"

namespace tessaron::app::performance {

inline constexpr int kResponseRows = 10;
inline constexpr int kReportRateMax = 3;  // 125, 250, 500, 1000 reports per second

// "2ms".."20ms": the list rows carry no language variant.
std::string responseRowText(int row);
// The field: twice the byte, "%d ms".
std::string responseFieldText(const device::DeviceImage& image);
// A click on list row 0..9 stores row + 1; anything else changes nothing.
void chooseResponseRow(device::DeviceImage& image, int row);

void setGameMode(device::DeviceImage& image, bool on);
void setWinLock(device::DeviceImage& image, bool on);

}  // namespace tessaron::app::performance
