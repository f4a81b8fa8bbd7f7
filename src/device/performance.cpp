#include "device/performance.h"

namespace tessaron::device::performance {

void chooseResponseRow(DeviceImage& image, int row) {
    if (row < 0 || row >= kResponseRows) return;
    image[image::kResponseTime] = static_cast<std::uint8_t>(row + 1);
}

int responseMs(const DeviceImage& image) {
    return kResponseMsStep * static_cast<int>(image[image::kResponseTime]);
}

std::optional<std::uint8_t> responseByteForMs(int ms) {
    if (ms < kResponseMsMin || ms > kResponseMsMax || ms % kResponseMsStep != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(ms / kResponseMsStep);
}

std::optional<int> reportRateHz(const DeviceImage& image) {
    const std::size_t position = image[image::kReportRate];
    if (position >= kReportRates.size()) return std::nullopt;
    return kReportRates[position];
}

std::optional<std::uint8_t> reportRateByteForHz(int hz) {
    for (std::size_t i = 0; i < kReportRates.size(); ++i) {
        if (kReportRates[i] == hz) return static_cast<std::uint8_t>(i);
    }
    return std::nullopt;
}

void setGameMode(DeviceImage& image, bool on) {
    image[image::kGameMode] = on ? 1 : 0;
}

void setWinLock(DeviceImage& image, bool on) {
    image[image::kWinLock] = on ? 1 : 0;
}

bool gameModeOn(const DeviceImage& image) {
    return image[image::kGameMode] != 0;
}

bool winLockOn(const DeviceImage& image) {
    return image[image::kWinLock] != 0;
}

}  // namespace tessaron::device::performance
