#include "app/main_window/performance_panel.h"

namespace tessaron::app::performance {

namespace img = device::image;

std::string responseRowText(int row) {
    return std::to_string(2 * (row + 1)) + "ms";
}

std::string responseFieldText(const device::DeviceImage& image) {
    return std::to_string(2 * static_cast<int>(image[img::kResponseTime])) + " ms";
}

void chooseResponseRow(device::DeviceImage& image, int row) {
    if (row < 0 || row >= kResponseRows) return;
    image[img::kResponseTime] = static_cast<std::uint8_t>(row + 1);
}

void setGameMode(device::DeviceImage& image, bool on) {
    image[img::kGameMode] = on ? 1 : 0;
}

void setWinLock(device::DeviceImage& image, bool on) {
    image[img::kWinLock] = on ? 1 : 0;
}

}  // namespace tessaron::app::performance
