#pragma once
// The Light section's drawing on top of the lighting rules it shares with tessaronctl
// (keys/lighting.h): which direction images the section shows for an effect.

#include <array>
#include <cstdint>
#include <optional>

#include "keys/lighting.h"

namespace tessaron::app::lighting {

// The effect list, option rule, directions and DIY maps: one set of rules for the window and
// tessaronctl.
using namespace keys::lighting;

// One direction image of the section: at x (y 197) the image "Direction-<L|R|T|B>-<Enable|
// Disable>.png".
struct DirectionImage {
    int x = 0;
    char letter = 'L';
    bool enabled = false;
};
// The images for the effect and direction; empty for effects without direction controls (the
// DIY radios are drawn instead for effects above 50).
std::array<std::optional<DirectionImage>, 4> directionImages(std::uint8_t effect,
                                                             std::uint8_t direction);

}  // namespace tessaron::app::lighting
