#pragma once
// The performance settings on the device image, shared by the window's Game Mode, Response Time
// and USB Report Rate sections and tessaronctl: game mode, the Win Lock flag, the response time
// byte and the report rate byte with their encodings.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "device/device_image.h"

namespace tessaron::device::performance {

// Response time: byte 1..10 stands for 2..20 ms.
inline constexpr int kResponseRows = 10;
inline constexpr int kResponseMsStep = 2;
inline constexpr int kResponseMsMin = kResponseMsStep;
inline constexpr int kResponseMsMax = kResponseMsStep * kResponseRows;

// Report rate: byte 0..3 is the slider position, these rates left to right.
inline constexpr std::array<int, 4> kReportRates{125, 250, 500, 1000};
inline constexpr int kReportRateMax = static_cast<int>(kReportRates.size()) - 1;

// A click on list row 0..9 stores row + 1; anything else changes nothing.
void chooseResponseRow(DeviceImage& image, int row);

// Milliseconds as the byte holds them: twice the byte (a keyboard reporting 0 shows 0 ms).
int responseMs(const DeviceImage& image);
// The byte for 2, 4, .. 20 ms; nullopt for anything else.
std::optional<std::uint8_t> responseByteForMs(int ms);

// Reports per second for the byte; nullopt for a byte past the slider.
std::optional<int> reportRateHz(const DeviceImage& image);
// The byte for 125, 250, 500 or 1000 reports per second; nullopt for anything else.
std::optional<std::uint8_t> reportRateByteForHz(int hz);

void setGameMode(DeviceImage& image, bool on);
void setWinLock(DeviceImage& image, bool on);
bool gameModeOn(const DeviceImage& image);
bool winLockOn(const DeviceImage& image);

}  // namespace tessaron::device::performance
