#pragma once
// Packing the committed macro table into the keyboard's 32 macro slots of the device image.
// A slot is the loop count, big-endian, followed by the macro's device stream.

#include <cstddef>

#include "device/device_image.h"
#include "macros/macro_record.h"

namespace tessaron::macros {

namespace slot {
inline constexpr std::size_t kLoopHigh = 0;
inline constexpr std::size_t kLoopLow = 1;
inline constexpr std::size_t kStream = 2;
static_assert(kStream + record::kStreamSize == device::image::kMacroSlotSize);
}  // namespace slot

// Slot i := macro i, for the macros in use (at most 32). Slots after the last one packed keep
// what they held; with no macro in use nothing changes. Returns the number of slots packed.
std::size_t packMacroSlots(const MacroTable& table, device::DeviceImage& image);

}  // namespace tessaron::macros
