#pragma once
// The Light section's rules on the device image: the effect list, the option rule, the
// direction controls of each effect family and the DIY light maps.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/language.h"
#include "device/device_image.h"
#include "keys/key_layout.h"

namespace tessaron::app::lighting {

struct Effect {
    std::uint8_t code;
    std::string_view english;
    std::string_view chinese;  // shown with one leading blank
};

inline constexpr std::size_t kEffectCount = 17;
inline constexpr std::uint8_t kStatic = 1;
inline constexpr std::uint8_t kWave = 3;
inline constexpr std::uint8_t kRadar = 13;
inline constexpr std::uint8_t kFirstDiy = 51;
inline constexpr std::uint8_t kMaxOption = 8;

std::span<const Effect, kEffectCount> effects();

// The list row showing this effect code, if any.
std::optional<std::size_t> effectRow(std::uint8_t code);
// The name shown for the code in the language; empty when the code is not in the list.
std::string effectName(std::uint8_t code, Language lang);

// DIY1..DIY5 draw their own light maps.
constexpr bool isDiyEffect(std::uint8_t code) {
    return code > 50;
}
// The speed slider is offered for every effect but Static and the DIY ones.
constexpr bool offersSpeed(std::uint8_t code) {
    return code != kStatic && code < 50;
}

// Chooses the effect of a list row, applying the option rule. Returns whether DIY mode is on
// after the choice.
bool chooseEffect(device::DeviceImage& image, std::size_t row);

// Effects below 51 keep their option byte within 1..8.
void clampOption(device::DeviceImage& image);

// Direction codes.
inline constexpr std::uint8_t kLeft = 1;
inline constexpr std::uint8_t kRight = 2;
inline constexpr std::uint8_t kUp = 3;
inline constexpr std::uint8_t kDown = 4;

// The direction that a click on direction button 0..3 stores for the effect.
std::uint8_t directionForButton(std::uint8_t effect, int button);

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

// Offset of the key's 4-byte cell within a light map.
std::size_t lightCellOffset(keys::KeyIndex key);
// DIY mode key click: toggles the key's light in the map of the current DIY effect. False (and
// nothing changed) when the effect is no DIY effect.
bool toggleDiyLight(device::DeviceImage& image, keys::KeyIndex key);
// The key's colour in the current DIY map as 0xRRGGBB, or nullopt when it is dark or the effect
// is no DIY effect.
std::optional<std::uint32_t> diyLightColour(const device::DeviceImage& image, keys::KeyIndex key);

}  // namespace tessaron::app::lighting
