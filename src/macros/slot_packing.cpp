#include "macros/slot_packing.h"

#include <algorithm>

namespace tessaron::macros {

std::size_t packMacroSlots(const MacroTable& table, device::DeviceImage& image) {
    const std::size_t n = std::min(table.countInUse(), device::image::kMacroSlotCount);
    static_assert(kMaxMacrosInUse == device::image::kMacroSlotCount);
    for (std::size_t i = 0; i < n; ++i) {
        const MacroRecord& rec = table[i];
        const std::size_t base = device::image::macroSlot(i);
        image[base + slot::kLoopHigh] = static_cast<std::uint8_t>(rec.loopCount() >> 8);
        image[base + slot::kLoopLow] = static_cast<std::uint8_t>(rec.loopCount() & 0xFF);
        const Stream stream = rec.deviceStream();
        std::copy(stream.begin(), stream.end(),
                  image.begin() + static_cast<std::ptrdiff_t>(base + slot::kStream));
    }
    return n;
}

}  // namespace tessaron::macros
