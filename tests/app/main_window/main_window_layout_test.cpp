// The main window's geometry and panel rules without a window.

#include <gtest/gtest.h>

#include "app/main_window/firmware_offer.h"
#include "app/main_window/lighting_panel.h"
#include "app/main_window/performance_panel.h"
#include "app/main_window/window_layout.h"
#include "keys/key_layout.h"

namespace tessaron::app {
namespace {

namespace img = device::image;

TEST(WindowLayout, SectionTopsFollowTheCollapsedFlags) {
    Sections s;
    SectionLayout l = layoutSections(s);
    EXPECT_EQ(l.lightTop, 114);
    EXPECT_EQ(l.gameModeTop, 191);
    EXPECT_EQ(l.responseTop, 241);
    EXPECT_EQ(l.reportRateTop, 281);
    s.light = s.gameMode = s.responseTime = s.reportRate = false;
    l = layoutSections(s);
    EXPECT_EQ(l.gameModeTop, 384);
    EXPECT_EQ(l.responseTop, 444);
    EXPECT_EQ(l.reportRateTop, 521);
    EXPECT_EQ(l.macroButtonTop, 223 + 124);
    EXPECT_EQ(l.responseListTop, 444 - 173);
}

TEST(LightingPanel, DirectionImages) {
    // Wave shows left enabled at x 179; radar shows left for every code but right.
    auto wave = lighting::directionImages(3, lighting::kLeft);
    ASSERT_TRUE(wave[3]);
    EXPECT_EQ(wave[3]->letter, 'L');
    EXPECT_EQ(wave[3]->x, 179);
    EXPECT_TRUE(wave[3]->enabled);
    EXPECT_FALSE(wave[0]->enabled);
    auto radarImages = lighting::directionImages(13, lighting::kUp);
    EXPECT_FALSE(radarImages[0]->enabled);
    EXPECT_TRUE(radarImages[1]->enabled);
    EXPECT_FALSE(radarImages[2]);
    EXPECT_FALSE(lighting::directionImages(1, 1)[0]);
}


TEST(FirmwareOffer, VersionComparison) {
    const auto keyboard = [](std::uint8_t major, std::uint8_t minor) {
        device::FirmwareVersion v;
        v.payload[1] = major;
        v.payload[2] = minor;
        return v;
    };
    EXPECT_TRUE(shouldOfferUpdate(keyboard(1, 4), {1, 5}));
    EXPECT_TRUE(shouldOfferUpdate(keyboard(1, 6), {2, 0}));
    EXPECT_FALSE(shouldOfferUpdate(keyboard(2, 0), {1, 9}));
    EXPECT_FALSE(shouldOfferUpdate(keyboard(1, 5), {1, 5}));
    EXPECT_FALSE(shouldOfferUpdate(keyboard(0, 0), {0, 0}));  // no VER.bin
    EXPECT_TRUE(shouldOfferUpdate(keyboard(0, 200), {1, 0}));
}

}  // namespace
}  // namespace tessaron::app
