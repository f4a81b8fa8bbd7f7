#pragma once
// The main window's clickable areas: the button table, the section layout rule that moves the
// left panel's sections as they open and close, and the hit test that turns a point into an area.

#include <array>
#include <cstdint>

#include "ui/geometry.h"

namespace tessaron::app {

// Hit areas. 0..21 are the rows of the button table; the rest exist only in the hit test.
namespace area {
inline constexpr int kNone = -1;
inline constexpr int kHelp = 0;
inline constexpr int kHide = 1;
inline constexpr int kClose = 2;
inline constexpr int kEffectField = 3;
inline constexpr int kDirection1 = 4;  // .. kDirection1 + 3
inline constexpr int kSpeedTrack = 8;  // never hit-tested
inline constexpr int kMacroManagement = 9;
inline constexpr int kGameModeOn = 10;
inline constexpr int kGameModeOff = 11;
inline constexpr int kResponseField = 12;
inline constexpr int kRateScale = 13;  // never hit-tested
inline constexpr int kProfile = 14;
inline constexpr int kReturn = 15;
inline constexpr int kCancel = 16;
inline constexpr int kSave = 17;
inline constexpr int kLightHeader = 18;
inline constexpr int kGameModeHeader = 19;
inline constexpr int kResponseHeader = 20;
inline constexpr int kRateHeader = 21;
inline constexpr int kColourSquare0 = 22;  // .. 29, no action
inline constexpr int kLogo = 30;           // no action
inline constexpr int kWinLockOn = 31;
inline constexpr int kWinLockOff = 32;
inline constexpr int kKeymapRadio = 33;
inline constexpr int kDiyRadio = 34;
inline constexpr int kCount = 255;  // size of the hover marks
}  // namespace area

inline constexpr std::size_t kButtonCount = 22;
using ButtonTable = std::array<ui::Rect, kButtonCount>;

// The table as built at start-up, before the layout rule moves rows 9..12 and 18..21.
const ButtonTable& staticButtonTable();

// Collapsed flags of the four sections of the left panel; all start collapsed.
struct Sections {
    bool light = true;
    bool gameMode = true;
    bool responseTime = true;
    bool reportRate = true;

    void collapseAll() { light = gameMode = responseTime = reportRate = true; }
    friend bool operator==(const Sections&, const Sections&) = default;
};

struct SectionLayout {
    int lightTop = 114;
    int macroPanelTop = 0;   // "MacroManagementBK.png"
    int macroButtonTop = 0;  // "MacroButton3.png", hit area 9
    int gameModeTop = 0;     // y2
    int responseTop = 0;     // y3
    int reportRateTop = 0;   // y4
    int responseListTop = 0;
};

inline constexpr int kPanelX = 19;
inline constexpr int kHeaderRight = 261;
inline constexpr int kHeaderHeight = 20;

SectionLayout layoutSections(const Sections& sections);

// The button table with the rows that follow the layout rule in their current place.
ButtonTable buttonTable(const SectionLayout& layout);

// The area under (x, y) or area::kNone; effect is the lighting effect code (DIY radios appear
// for codes above 50).
int hitTest(int x, int y, const Sections& sections, std::uint8_t effect);

// The open drop-down lists.
namespace lists {
inline constexpr int kRowHeight = 20;
inline constexpr int kLeft = 28;
inline constexpr int kRight = 248;
inline constexpr int kEffectTop = 173;
inline constexpr int kEffectBottom = 512;
inline constexpr int kResponseLeft = 27;
inline constexpr int kResponseRight = 247;
inline constexpr int kResponseRows = 10;
}  // namespace lists

// Row of the effect list under (x, y), or -1.
int effectListRow(int x, int y);
// Row of the response time list (opening upward from its origin) under (x, y), or -1. The list
// covers exactly its ten rows.
int responseListRow(int x, int y, const SectionLayout& layout);

}  // namespace tessaron::app
