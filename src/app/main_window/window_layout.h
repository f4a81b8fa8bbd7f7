#pragma once
// The main window's areas: their ids, the entry of the one table that describes each (built by
// the window from its state, read by the paint, the hit test and the screen reader), and the
// section layout rule that moves the left panel's sections as they open and close.

#include <QPoint>

#include <cstdint>

#include "ui/accessible_areas.h"
#include "ui/geometry.h"

namespace tessaron::app {

// Area ids.
namespace area {
inline constexpr int kNone = -1;
inline constexpr int kHelp = 0;
inline constexpr int kHide = 1;
inline constexpr int kClose = 2;
inline constexpr int kEffectField = 3;
inline constexpr int kDirection1 = 4;  // .. kDirection1 + 3
inline constexpr int kMacroManagement = 9;
inline constexpr int kGameModeOn = 10;
inline constexpr int kGameModeOff = 11;
inline constexpr int kResponseField = 12;
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
inline constexpr int kNotice = 35;  // the line over the keys saying the undo history was cleared
inline constexpr int kHelpMenu = 99;      // the open help menu, its rows from kHelpRow
inline constexpr int kHelpRow = 100;      // + row 0..2
inline constexpr int kEffectList = 199;   // the open effect list, its rows from kEffectRow
inline constexpr int kEffectRow = 200;    // + list row
inline constexpr int kResponseList = 299;
inline constexpr int kResponseRow = 300;  // + list row
inline constexpr int kBrightness = 400;
inline constexpr int kSpeed = 401;
inline constexpr int kReportRate = 402;
inline constexpr int kKey = 1000;  // + key index
// A list's rows follow its own id (listRowAt counts on it).
static_assert(kHelpRow == kHelpMenu + 1 && kEffectRow == kEffectList + 1 &&
              kResponseRow == kResponseList + 1);
}  // namespace area

using ui::WindowArea;

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

}  // namespace tessaron::app
