#include "app/main_window/lighting_panel.h"

#include <string>

namespace tessaron::app::lighting {

namespace img = device::image;

namespace {

constexpr std::array<Effect, kEffectCount> kEffects{{
    {1, "Static", "全亮"},
    {2, "Breathing", "呼吸"},
    {3, "Wave", "波浪"},
    {4, "Reactive", "随按渐灭"},
    {5, "Sidewinder", "蛇形跑马"},
    {6, "Ripple", "涟漪"},
    {10, "Raindrop", "雨滴"},
    {11, "Vortex", "环形跑马"},
    {12, "Spotlight", "对冲"},
    {13, "Radar", "雷达"},
    {14, "Running Water Run Mode", "流水跑马"},
    {7, "InstantOn Mode", "即按即灭模式"},
    {51, "DIY1", "DIY1"},
    {52, "DIY2", "DIY2"},
    {53, "DIY3", "DIY3"},
    {54, "DIY4", "DIY4"},
    {55, "DIY5", "DIY5"},
}};

// The keyboard keeps the cell of matrix offset 0x128 at 0x1B0 in its light maps.
constexpr std::size_t kRelocatedCell = 0x128;
constexpr std::size_t kRelocatedTo = 0x1B0;
static_assert(kRelocatedTo + img::kCellSize <= img::kLightMapSize);

constexpr std::array<int, 4> kButtonX{29, 79, 129, 179};

std::optional<std::size_t> diyMapOffset(const device::DeviceImage& image, keys::KeyIndex key) {
    const std::uint8_t effect = image[img::kEffect];
    const std::size_t map = static_cast<std::size_t>(effect) - kFirstDiy;
    if (!isDiyEffect(effect) || map >= img::kLightMapCount) return std::nullopt;
    return img::lightMap(map) + lightCellOffset(key);
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

std::string effectName(std::uint8_t code, Language lang) {
    const auto row = effectRow(code);
    if (!row) return {};
    const Effect& e = kEffects[*row];
    return lang == Language::Chinese ? " " + std::string(e.chinese) : std::string(e.english);
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

std::uint8_t directionForButton(std::uint8_t effect, int button) {
    const bool even = button % 2 == 0;  // buttons 0 and 2 share their meaning
    if (effect == kRadar || effect == 15) return even ? kRight : kLeft;
    if (effect == 16) return even ? kUp : kDown;
    static constexpr std::array<std::uint8_t, 4> kOther{kUp, kDown, kRight, kLeft};
    return kOther[static_cast<std::size_t>(button) & 3];
}

std::array<std::optional<DirectionImage>, 4> directionImages(std::uint8_t effect,
                                                             std::uint8_t direction) {
    std::array<std::optional<DirectionImage>, 4> out;
    if (effect == kWave) {
        static constexpr std::array<char, 4> kLetters{'T', 'B', 'R', 'L'};
        static constexpr std::array<std::uint8_t, 4> kCodes{kUp, kDown, kRight, kLeft};
        for (std::size_t i = 0; i < 4; ++i) {
            out[i] = DirectionImage{kButtonX[i], kLetters[i], kCodes[i] == direction};
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

std::size_t lightCellOffset(keys::KeyIndex key) {
    const std::size_t offset = keys::layoutEntry(key).matrixOffset();
    return offset == kRelocatedCell ? kRelocatedTo : offset;
}

bool toggleDiyLight(device::DeviceImage& image, keys::KeyIndex key) {
    const auto at = diyMapOffset(image, key);
    if (!at) return false;
    const std::uint8_t was = image[*at + 1];
    image[*at] = 0;
    image[*at + 1] = was == 0 ? 0xFF : 0;
    image[*at + 2] = 0;
    image[*at + 3] = 0;
    return true;
}

std::optional<std::uint32_t> diyLightColour(const device::DeviceImage& image, keys::KeyIndex key) {
    const auto at = diyMapOffset(image, key);
    if (!at) return std::nullopt;
    // The colour value is byte 3 + 256 * byte 2 + 65536 * byte 1 in blue-green-red order.
    const std::uint32_t blue = image[*at + 1];
    const std::uint32_t green = image[*at + 2];
    const std::uint32_t red = image[*at + 3];
    if ((red | green | blue) == 0) return std::nullopt;
    return (red << 16) | (green << 8) | blue;
}

}  // namespace tessaron::app::lighting
