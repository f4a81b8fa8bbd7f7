#pragma once
// The lighting rules on the device image, shared by the window's Light section and tessaronctl:
// the effect list, which effects take a speed and which directions, the option rule, and the
// DIY light maps.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/language.h"
#include "core/text.h"
#include "device/device_image.h"
#include "keys/key_layout.h"

namespace tessaron::keys::lighting {

struct Effect {
    std::uint8_t code;
    Text text;

    std::string_view english() const { return text.source; }
    std::string name(Language lang) const { return translate(lang, text); }
};

inline constexpr std::size_t kEffectCount = 17;
inline constexpr std::uint8_t kStatic = 1;
inline constexpr std::uint8_t kWave = 3;
inline constexpr std::uint8_t kRadar = 13;
inline constexpr std::uint8_t kFirstDiy = 51;
inline constexpr std::size_t kDiyCount = device::image::kLightMapCount;
inline constexpr std::uint8_t kMaxOption = 8;
inline constexpr std::uint8_t kMaxSpeed = 9;  // 0 slow .. 9 fast
inline constexpr std::uint8_t kMaxBrightness = 50;

// The effects in list order (the row index is the list position).
std::span<const Effect, kEffectCount> effects();

// The list row showing this effect code, if any.
std::optional<std::size_t> effectRow(std::uint8_t code);
// The row whose English or Chinese name is `text`, letter case and blanks ignored
// ("running water run mode", "RunningWaterRunMode" and "流水跑马" find the same row).
std::optional<std::size_t> findEffect(std::string_view text);
// The name the effect field shows for the code: the Chinese name has one leading blank. Empty
// when the code is not in the list.
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

// "left", "right", "up", "down"; empty for any other code.
std::string_view directionWord(std::uint8_t direction);

// The direction that a click on direction button 0..3 stores for the effect.
std::uint8_t directionForButton(std::uint8_t effect, int button);

// The directions the effect has controls for, in button order: Wave all four, Radar (and 15)
// right and left, 16 up and down; none for any other effect.
std::span<const std::uint8_t> directionsOf(std::uint8_t effect);

// Offset of the key's 4-byte cell within a light map.
std::size_t lightCellOffset(KeyIndex key);
// The key's cell in light map 0..4.
std::size_t lightCell(std::size_t map, KeyIndex key);
// Sets the key's light in light map 0..4 as a DIY mode click leaves it: bytes 0, 2 and 3 zero,
// byte 1 0xFF when lit, 0 when dark.
void setDiyLight(device::DeviceImage& image, std::size_t map, KeyIndex key, bool on);
// Whether any colour byte of the key's cell in light map 0..4 is set.
bool diyLightOn(const device::DeviceImage& image, std::size_t map, KeyIndex key);
// DIY mode key click: toggles the key's light in the map of the current DIY effect. False (and
// nothing changed) when the effect is no DIY effect.
bool toggleDiyLight(device::DeviceImage& image, KeyIndex key);
// The key's colour in the current DIY map as 0xRRGGBB, or nullopt when it is dark or the effect
// is no DIY effect.
std::optional<std::uint32_t> diyLightColour(const device::DeviceImage& image, KeyIndex key);

}  // namespace tessaron::keys::lighting
