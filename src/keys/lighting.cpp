#include "keys/lighting.h"
#include "core/text.h"

#include <cctype>

namespace tessaron::keys::lighting {

namespace img = device::image;

namespace {

constexpr std::array<Effect, kEffectCount> kEffects{{
    {1, TR_TEXT("Keys", "Static")},
    {2, TR_TEXT("Keys", "Breathing")},
    {3, TR_TEXT("Keys", "Wave")},
    {4, TR_TEXT("Keys", "Reactive")},
    {5, TR_TEXT("Keys", "Sidewinder")},
    {6, TR_TEXT("Keys", "Ripple")},
    {10, TR_TEXT("Keys", "Raindrop")},
    {11, TR_TEXT("Keys", "Vortex")},
    {12, TR_TEXT("Keys", "Spotlight")},
    {13, TR_TEXT("Keys", "Radar")},
    {14, TR_TEXT("Keys", "Running Water Run Mode")},
    {7, TR_TEXT("Keys", "InstantOn Mode")},
    {51, TR_TEXT("Keys", "DIY1")},
    {52, TR_TEXT("Keys", "DIY2")},
    {53, TR_TEXT("Keys", "DIY3")},
    {54, TR_TEXT("Keys", "DIY4")},
    {55, TR_TEXT("Keys", "DIY5")},
}};
static_assert(kEffects[kEffectCount - kDiyCount].code == kFirstDiy);

// The keyboard keeps the cell of matrix offset 0x128 at 0x1B0 in its light maps.
constexpr std::size_t kRelocatedCell = 0x128;
constexpr std::size_t kRelocatedTo = 0x1B0;
static_assert(kRelocatedTo + img::kCellSize <= img::kLightMapSize);

constexpr std::array<std::uint8_t, 4> kWaveDirections{kUp, kDown, kRight, kLeft};
constexpr std::array<std::uint8_t, 2> kRadarDirections{kRight, kLeft};
constexpr std::array<std::uint8_t, 2> kVerticalDirections{kUp, kDown};

// Letter case and blanks do not count; bytes of Chinese names compare as they are.
std::string folded(std::string_view text) {
    std::string out;
    for (char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (std::isspace(byte)) continue;
        out += static_cast<char>(std::tolower(byte));
    }
    return out;
}

std::optional<std::size_t> currentDiyMap(const device::DeviceImage& image) {
    const std::uint8_t effect = image[img::kEffect];
    const std::size_t map = static_cast<std::size_t>(effect) - kFirstDiy;
    if (!isDiyEffect(effect) || map >= kDiyCount) return std::nullopt;
    return map;
}

}  // namespace

std::span<const Effect, kEffectCount> effects() {
    return kEffects;
}

std::optional<std::size_t> effectRow(std::uint8_t code) {
    for (std::size_t i = 0; i < kEffects.size(); ++i) {
        if (kEffects[i].code == code) return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> findEffect(std::string_view text) {
    const std::string wanted = folded(text);
    if (wanted.empty()) return std::nullopt;
    for (std::size_t i = 0; i < kEffects.size(); ++i) {
        if (folded(kEffects[i].english()) == wanted ||
            folded(kEffects[i].name(Language::Chinese)) == wanted) {
            return i;
        }
    }
    return std::nullopt;
}

std::string effectName(std::uint8_t code, Language lang) {
    const auto row = effectRow(code);
    if (!row) return {};
    const Effect& e = kEffects[*row];
    // The Chinese field shows its name one blank in.
    return lang == Language::Chinese ? " " + e.name(lang) : e.name(lang);
}

bool chooseEffect(device::DeviceImage& image, std::size_t row) {
    if (row >= kEffects.size()) return isDiyEffect(image[img::kEffect]);
    const std::uint8_t effect = kEffects[row].code;
    image[img::kEffect] = effect;
    if (effect == kStatic && image[img::kOption] == kMaxOption) image[img::kOption] = 1;
    if (effect == kWave || effect == 8) image[img::kOption] = kMaxOption;
    return isDiyEffect(effect);
}

void clampOption(device::DeviceImage& image) {
    if (image[img::kEffect] >= kFirstDiy) return;
    std::uint8_t& option = image[img::kOption];
    if (option > kMaxOption) option = kMaxOption;
    if (option == 0) option = 1;
}

std::string_view directionWord(std::uint8_t direction) {
    switch (direction) {
        case kLeft:
            return "left";
        case kRight:
            return "right";
        case kUp:
            return "up";
        case kDown:
            return "down";
        default:
            return {};
    }
}

std::uint8_t directionForButton(std::uint8_t effect, int button) {
    const bool even = button % 2 == 0;  // buttons 0 and 2 share their meaning
    if (effect == kRadar || effect == 15) return even ? kRight : kLeft;
    if (effect == 16) return even ? kUp : kDown;
    return kWaveDirections[static_cast<std::size_t>(button) & 3];
}

std::span<const std::uint8_t> directionsOf(std::uint8_t effect) {
    if (effect == kWave) return kWaveDirections;
    if (effect == kRadar || effect == 15) return kRadarDirections;
    if (effect == 16) return kVerticalDirections;
    return {};
}

std::size_t lightCellOffset(KeyIndex key) {
    const std::size_t offset = layoutEntry(key).matrixOffset();
    return offset == kRelocatedCell ? kRelocatedTo : offset;
}

std::size_t lightCell(std::size_t map, KeyIndex key) {
    return img::lightMap(map) + lightCellOffset(key);
}

void setDiyLight(device::DeviceImage& image, std::size_t map, KeyIndex key, bool on) {
    const std::size_t at = lightCell(map, key);
    image[at] = 0;
    image[at + 1] = on ? 0xFF : 0;
    image[at + 2] = 0;
    image[at + 3] = 0;
}

bool diyLightOn(const device::DeviceImage& image, std::size_t map, KeyIndex key) {
    const std::size_t at = lightCell(map, key);
    return (image[at + 1] | image[at + 2] | image[at + 3]) != 0;
}

bool toggleDiyLight(device::DeviceImage& image, KeyIndex key) {
    const auto map = currentDiyMap(image);
    if (!map) return false;
    setDiyLight(image, *map, key, image[lightCell(*map, key) + 1] == 0);
    return true;
}

std::optional<std::uint32_t> diyLightColour(const device::DeviceImage& image, KeyIndex key) {
    const auto map = currentDiyMap(image);
    if (!map) return std::nullopt;
    const std::size_t at = lightCell(*map, key);
    // The colour value is byte 3 + 256 * byte 2 + 65536 * byte 1 in blue-green-red order.
    const std::uint32_t blue = image[at + 1];
    const std::uint32_t green = image[at + 2];
    const std::uint32_t red = image[at + 3];
    if ((red | green | blue) == 0) return std::nullopt;
    return (red << 16) | (green << 8) | blue;
}

}  // namespace tessaron::keys::lighting
