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

TEST(WindowLayout, HitTestFollowsTheSections) {
    Sections s;
    // Collapsed: headers at their moved tops, nothing inside the sections.
    EXPECT_EQ(hitTest(100, 120, s, 1), area::kLightHeader);
    EXPECT_EQ(hitTest(100, 195, s, 1), area::kGameModeHeader);
    EXPECT_EQ(hitTest(100, 245, s, 1), area::kResponseHeader);
    EXPECT_EQ(hitTest(100, 285, s, 1), area::kRateHeader);
    EXPECT_EQ(hitTest(100, 30 + 124 + 5, s, 1), area::kMacroManagement);
    EXPECT_EQ(hitTest(35, 205, s, 1), area::kGameModeHeader);  // no direction buttons
    EXPECT_EQ(hitTest(940, 10, s, 1), area::kHelp);
    EXPECT_EQ(hitTest(990, 10, s, 1), area::kClose);
    EXPECT_EQ(hitTest(950, 620, s, 1), area::kSave);
    EXPECT_EQ(hitTest(50, 620, s, 1), area::kProfile);
    EXPECT_EQ(hitTest(100, 50, s, 1), area::kLogo);

    s.light = false;
    EXPECT_EQ(hitTest(100, 165, s, 1), area::kEffectField);
    EXPECT_EQ(hitTest(35, 205, s, 1), area::kDirection1);
    EXPECT_EQ(hitTest(185, 205, s, 1), area::kDirection1 + 3);
    // The DIY radios replace the first direction buttons for DIY effects only.
    EXPECT_EQ(hitTest(35, 205, s, 53), area::kKeymapRadio);
    EXPECT_EQ(hitTest(135, 205, s, 53), area::kDiyRadio);
    EXPECT_EQ(hitTest(135, 205, s, 13), area::kDirection1 + 2);

    s.gameMode = false;
    const int y2 = layoutSections(s).gameModeTop;
    EXPECT_EQ(hitTest(40, y2 + 35, s, 1), area::kGameModeOn);
    EXPECT_EQ(hitTest(90, y2 + 35, s, 1), area::kGameModeOff);
    EXPECT_EQ(hitTest(170, y2 + 35, s, 1), area::kWinLockOn);
    EXPECT_EQ(hitTest(240, y2 + 35, s, 1), area::kWinLockOff);
    s.gameMode = true;
    EXPECT_EQ(hitTest(40, y2 + 35, s, 1), area::kNone);

    s.responseTime = false;
    const int y3 = layoutSections(s).responseTop;
    EXPECT_EQ(hitTest(100, y3 + 30, s, 1), area::kResponseField);
}

TEST(WindowLayout, ListsCoverExactlyTheirRows) {
    EXPECT_EQ(effectListRow(100, 173), 0);
    EXPECT_EQ(effectListRow(100, 512), 16);  // the last pixel row still selects DIY5
    EXPECT_EQ(effectListRow(100, 513), -1);
    EXPECT_EQ(effectListRow(27, 300), -1);

    Sections s;
    s.responseTime = false;
    const SectionLayout l = layoutSections(s);
    const int top = l.responseTop - 173;
    EXPECT_EQ(responseListRow(100, top, l), 0);
    EXPECT_EQ(responseListRow(100, l.responseTop + 26, l), 9);
    EXPECT_EQ(responseListRow(100, l.responseTop + 27, l), -1);  // just below the last row
    EXPECT_EQ(responseListRow(248, top + 5, l), -1);
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
