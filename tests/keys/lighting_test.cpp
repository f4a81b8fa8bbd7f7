// The lighting rules tessaronctl and the window share: the effect list and option rule, finding
// an effect by what people type, the directions each effect takes, and the DIY light cells.

#include <gtest/gtest.h>

#include "keys/key_lookup.h"
#include "keys/lighting.h"

namespace tessaron::keys::lighting {
namespace {

namespace img = device::image;

TEST(Lighting, EffectsAreFoundByEitherNameWithCaseAndBlanksIgnored) {
    const struct {
        const char* text;
        std::uint8_t code;
    } found[] = {
        {"Static", 1},
        {"static", 1},
        {"  WAVE ", 3},
        {"InstantOn Mode", 7},
        {"instanton mode", 7},
        {"instantonmode", 7},
        {"Running Water Run Mode", 14},
        {"RunningWaterRunMode", 14},
        {"running water runmode", 14},
        {"Raindrop", 10},
        {"diy1", 51},
        {"DIY 5", 55},
        {"流水跑马", 14},
        {"全亮", 1},
        {"即按即灭模式", 7},
    };
    for (const auto& f : found) {
        const auto row = findEffect(f.text);
        ASSERT_TRUE(row) << f.text;
        EXPECT_EQ(effects()[*row].code, f.code) << f.text;
    }
    for (const char* unknown : {"", "   ", "DIY6", "DIY", "Wav", "Wave2", "全", "8"}) {
        EXPECT_FALSE(findEffect(unknown)) << unknown;
    }
    // Every code is listed once: a lookup by code finds the row that names it.
    for (std::size_t row = 0; row < kEffectCount; ++row) {
        EXPECT_EQ(effectRow(effects()[row].code), row);
        EXPECT_EQ(findEffect(effects()[row].english()), row);
        EXPECT_EQ(findEffect(effects()[row].name(Language::Chinese)), row);
    }
}

TEST(Lighting, SpeedAndDirectionsFollowTheEffect) {
    EXPECT_FALSE(offersSpeed(1));
    EXPECT_TRUE(offersSpeed(2));
    EXPECT_TRUE(offersSpeed(14));
    EXPECT_FALSE(offersSpeed(51));
    EXPECT_FALSE(offersSpeed(55));

    const auto wave = directionsOf(3);
    EXPECT_EQ(std::vector<std::uint8_t>(wave.begin(), wave.end()),
              (std::vector<std::uint8_t>{3, 4, 2, 1}));
    const auto radar = directionsOf(13);
    EXPECT_EQ(std::vector<std::uint8_t>(radar.begin(), radar.end()),
              (std::vector<std::uint8_t>{2, 1}));
    const auto sixteen = directionsOf(16);
    EXPECT_EQ(std::vector<std::uint8_t>(sixteen.begin(), sixteen.end()),
              (std::vector<std::uint8_t>{3, 4}));
    for (int none : {1, 2, 4, 14, 7, 51})
        EXPECT_TRUE(directionsOf(static_cast<std::uint8_t>(none)).empty());
    // The buttons store exactly the directions offered.
    for (const std::uint8_t effect : std::array<std::uint8_t, 4>{3, 13, 15, 16}) {
        const auto offered = directionsOf(effect);
        for (std::size_t b = 0; b < offered.size(); ++b) {
            EXPECT_EQ(directionForButton(effect, static_cast<int>(b)), offered[b]);
        }
    }
    EXPECT_EQ(directionWord(1), "left");
    EXPECT_EQ(directionWord(4), "down");
    EXPECT_EQ(directionWord(0), "");
}

TEST(Lighting, DiyLightsAreSetByMapAndKeyWhateverTheEffect) {
    device::DeviceImage image{};
    image[img::kEffect] = 3;  // Wave: the maps are still edited by number
    const KeyIndex esc = *findKey("Esc");
    const std::size_t escCell = img::lightMap(4) + layoutEntry(esc).matrixOffset();
    image[escCell] = 0x11;
    image[escCell + 3] = 0x22;
    setDiyLight(image, 4, esc, true);
    EXPECT_EQ(image[escCell], 0);
    EXPECT_EQ(image[escCell + 1], 0xFF);
    EXPECT_EQ(image[escCell + 2], 0);
    EXPECT_EQ(image[escCell + 3], 0);
    EXPECT_TRUE(diyLightOn(image, 4, esc));
    EXPECT_FALSE(diyLightOn(image, 3, esc));
    setDiyLight(image, 4, esc, false);
    EXPECT_FALSE(diyLightOn(image, 4, esc));
    device::DeviceImage dark{};
    dark[img::kEffect] = 3;
    EXPECT_EQ(image, dark);

    // The key at matrix offset 0x128 is kept at 0x1B0.
    for (std::size_t k = 0; k < kLayoutKeyCount; ++k) {
        const auto index = static_cast<KeyIndex>(k);
        if (layoutEntry(index).matrixOffset() != 0x128) continue;
        setDiyLight(image, 0, index, true);
        EXPECT_EQ(image[img::lightMap(0) + 0x1B0 + 1], 0xFF);
        EXPECT_EQ(image[img::lightMap(0) + 0x128 + 1], 0);
    }
}

// The window's effect list, option rule, direction buttons and DIY clicks.
TEST(Lighting, OptionRuleAndDiyMode) {
    device::DeviceImage image{};
    image[img::kOption] = 8;
    EXPECT_FALSE(lighting::chooseEffect(image, 0));  // Static
    EXPECT_EQ(image[img::kEffect], 1);
    EXPECT_EQ(image[img::kOption], 1);
    image[img::kOption] = 5;
    EXPECT_FALSE(lighting::chooseEffect(image, 2));  // Wave
    EXPECT_EQ(image[img::kOption], 8);
    image[img::kOption] = 5;
    EXPECT_FALSE(lighting::chooseEffect(image, 0));
    EXPECT_EQ(image[img::kOption], 5);
    EXPECT_TRUE(lighting::chooseEffect(image, 14));  // DIY3
    EXPECT_EQ(image[img::kEffect], 53);

    image[img::kEffect] = 4;
    image[img::kOption] = 0;
    lighting::clampOption(image);
    EXPECT_EQ(image[img::kOption], 1);
    image[img::kOption] = 9;
    lighting::clampOption(image);
    EXPECT_EQ(image[img::kOption], 8);
    image[img::kEffect] = 51;
    image[img::kOption] = 20;
    lighting::clampOption(image);
    EXPECT_EQ(image[img::kOption], 20);

    EXPECT_EQ(lighting::effectName(7, Language::English), "InstantOn Mode");
    EXPECT_EQ(lighting::effectName(3, Language::Chinese), " 波浪");
    EXPECT_EQ(lighting::effectName(8, Language::English), "");
}

TEST(Lighting, DirectionTable) {
    const std::array<std::uint8_t, 4> radar{2, 1, 2, 1};
    const std::array<std::uint8_t, 4> sixteen{3, 4, 3, 4};
    const std::array<std::uint8_t, 4> other{3, 4, 2, 1};
    for (int b = 0; b < 4; ++b) {
        const auto i = static_cast<std::size_t>(b);
        EXPECT_EQ(lighting::directionForButton(13, b), radar[i]);
        EXPECT_EQ(lighting::directionForButton(15, b), radar[i]);
        EXPECT_EQ(lighting::directionForButton(16, b), sixteen[i]);
        EXPECT_EQ(lighting::directionForButton(3, b), other[i]);
        EXPECT_EQ(lighting::directionForButton(2, b), other[i]);
    }
}

TEST(Lighting, DiyToggleUsesTheLightMapOfTheEffect) {
    device::DeviceImage image{};
    image[img::kEffect] = 53;  // DIY3: map 2
    const keys::KeyIndex key = 10;
    const std::size_t cell = img::lightMap(2) + keys::layoutEntry(key).matrixOffset();
    image[cell + 2] = 0x44;
    ASSERT_TRUE(lighting::toggleDiyLight(image, key));
    EXPECT_EQ(image[cell + 1], 0xFF);
    EXPECT_EQ(image[cell + 2], 0);
    EXPECT_EQ(lighting::diyLightColour(image, key), 0x0000FFu);
    ASSERT_TRUE(lighting::toggleDiyLight(image, key));
    EXPECT_EQ(image[cell + 1], 0);
    EXPECT_FALSE(lighting::diyLightColour(image, key));

    // The key whose matrix offset is 0x128 lives at 0x1B0 in the light maps.
    for (std::size_t k = 0; k < keys::kLayoutKeyCount; ++k) {
        const auto index = static_cast<keys::KeyIndex>(k);
        if (keys::layoutEntry(index).matrixOffset() != 0x128) continue;
        image[img::kEffect] = 51;
        ASSERT_TRUE(lighting::toggleDiyLight(image, index));
        EXPECT_EQ(image[img::lightMap(0) + 0x1B0 + 1], 0xFF);
        EXPECT_EQ(image[img::lightMap(0) + 0x128 + 1], 0);
    }
    image[img::kEffect] = 3;
    EXPECT_FALSE(lighting::toggleDiyLight(image, key));
}

}  // namespace
}  // namespace tessaron::keys::lighting
