#include "app/main_window/lighting_panel.h"

namespace tessaron::app::lighting {

namespace {
constexpr std::array<int, 4> kButtonX{29, 79, 129, 179};
}  // namespace

std::array<std::optional<DirectionImage>, 4> directionImages(std::uint8_t effect,
                                                             std::uint8_t direction) {
    std::array<std::optional<DirectionImage>, 4> out;
    if (effect == kWave) {
        static constexpr std::array<char, 4> kLetters{'T', 'B', 'R', 'L'};
        const auto codes = directionsOf(effect);  // up, down, right, left
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = DirectionImage{kButtonX[i], kLetters[i], codes[i] == direction};
        }
    } else if (effect == kRadar || effect == 15) {
        out[0] = DirectionImage{kButtonX[0], 'R', direction == kRight};
        out[1] = DirectionImage{kButtonX[1], 'L', direction != kRight};
    } else if (effect == 16) {
        out[0] = DirectionImage{kButtonX[0], 'T', direction == kUp};
        out[1] = DirectionImage{kButtonX[1], 'B', direction != kUp};
    }
    return out;
}

}  // namespace tessaron::app::lighting
