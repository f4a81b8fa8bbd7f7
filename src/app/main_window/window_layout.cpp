#include "app/main_window/window_layout.h"

namespace tessaron::app {

namespace {

constexpr int kLightCollapsed = 30;
constexpr int kLightExpanded = 223;
constexpr int kGameModeCollapsed = 50;
constexpr int kGameModeExpanded = 60;
constexpr int kResponseCollapsed = 40;
constexpr int kResponseExpanded = 77;

}  // namespace

SectionLayout layoutSections(const Sections& s) {
    const int h1 = s.light ? kLightCollapsed : kLightExpanded;
    const int h2 = s.gameMode ? kGameModeCollapsed : kGameModeExpanded;
    const int h3 = s.responseTime ? kResponseCollapsed : kResponseExpanded;
    SectionLayout l;
    l.macroPanelTop = h1 + 114;
    l.macroButtonTop = h1 + 124;
    l.gameModeTop = h1 + 161;
    l.responseTop = l.gameModeTop + h2;
    l.reportRateTop = l.responseTop + h3;
    l.responseListTop = l.responseTop - 173;
    return l;
}

}  // namespace tessaron::app
