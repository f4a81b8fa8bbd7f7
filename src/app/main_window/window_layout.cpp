#include "app/main_window/window_layout.h"

namespace tessaron::app {

namespace {

constexpr int kLightCollapsed = 30;
constexpr int kLightExpanded = 223;
constexpr int kGameModeCollapsed = 50;
constexpr int kGameModeExpanded = 60;
constexpr int kResponseCollapsed = 40;
constexpr int kResponseExpanded = 77;

constexpr ButtonTable kStaticTable{{
    {936, 5, 952, 20},     // help
    {957, 5, 973, 20},     // hide
    {978, 5, 994, 20},     // close
    {28, 158, 248, 173},   // effect field
    {29, 197, 64, 212},    // direction 1
    {79, 197, 114, 212},   // direction 2
    {129, 197, 164, 212},  // direction 3
    {179, 197, 214, 212},  // direction 4
    {28, 258, 245, 280},   // speed track
    {28, 326, 250, 344},   // macro management
    {34, 397, 44, 406},    // game mode on
    {105, 397, 115, 406},  // game mode off
    {28, 455, 247, 470},   // response time field
    {35, 534, 247, 543},   // report rate scale
    {19, 605, 89, 635},    // profile
    {800, 605, 857, 635},  // return
    {861, 605, 918, 635},  // cancel
    {923, 605, 980, 635},  // save
    {19, 110, 260, 127},   // light header
    {19, 363, 260, 380},   // game mode header
    {19, 427, 260, 444},   // response time header
    {19, 507, 260, 524},   // report rate header
}};

constexpr ui::Rect header(int top) {
    return {kPanelX, top, kHeaderRight, top + kHeaderHeight};
}

constexpr bool inRow(int x, int y, int left, int right, int top, int bottom) {
    return ui::Rect{left, top, right, bottom}.contains(x, y);
}

}  // namespace

const ButtonTable& staticButtonTable() {
    return kStaticTable;
}

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

ButtonTable buttonTable(const SectionLayout& l) {
    ButtonTable t = kStaticTable;
    t[area::kMacroManagement] = {kPanelX, l.macroButtonTop, 259, l.macroButtonTop + 18};
    t[area::kGameModeOn] = {34, l.gameModeTop + 33, 44, l.gameModeTop + 42};
    t[area::kGameModeOff] = {88, l.gameModeTop + 33, 115, l.gameModeTop + 42};
    t[area::kResponseField] = {28, l.responseTop + 28, 248, l.responseTop + 44};
    t[area::kLightHeader] = header(l.lightTop);
    t[area::kGameModeHeader] = header(l.gameModeTop);
    t[area::kResponseHeader] = header(l.responseTop);
    t[area::kRateHeader] = header(l.reportRateTop);
    return t;
}

int hitTest(int x, int y, const Sections& s, std::uint8_t effect) {
    const SectionLayout l = layoutSections(s);
    const ButtonTable t = buttonTable(l);
    for (int a : {area::kHelp, area::kHide, area::kClose}) {
        if (t[a].contains(x, y)) return a;
    }
    if (t[area::kLightHeader].contains(x, y)) return area::kLightHeader;
    if (!s.light) {
        if (effect > 50) {
            if (inRow(x, y, 28, 42, 200, 214)) return area::kKeymapRadio;
            if (inRow(x, y, 130, 144, 200, 214)) return area::kDiyRadio;
        }
        for (int a = area::kEffectField; a <= area::kDirection1 + 3; ++a) {
            if (t[a].contains(x, y)) return a;
        }
    }
    if (t[area::kMacroManagement].contains(x, y)) return area::kMacroManagement;
    if (!s.light) {
        for (int k = 0; k < 8; ++k) {
            if (inRow(x, y, 28 + 25 * k, 48 + 25 * k, 223, 243)) return area::kColourSquare0 + k;
        }
    }
    if (!s.gameMode) {
        const int top = l.gameModeTop + 33;
        const int bottom = l.gameModeTop + 42;
        if (inRow(x, y, 34, 44, top, bottom)) return area::kGameModeOn;
        if (inRow(x, y, 88, 115, top, bottom)) return area::kGameModeOff;
        if (t[area::kGameModeHeader].contains(x, y)) return area::kGameModeHeader;
        if (inRow(x, y, 164, 174, top, bottom)) return area::kWinLockOn;
        if (inRow(x, y, 218, 245, top, bottom)) return area::kWinLockOff;
    } else if (t[area::kGameModeHeader].contains(x, y)) {
        return area::kGameModeHeader;
    }
    if (!s.responseTime && t[area::kResponseField].contains(x, y)) return area::kResponseField;
    if (t[area::kResponseHeader].contains(x, y)) return area::kResponseHeader;
    if (t[area::kRateHeader].contains(x, y)) return area::kRateHeader;
    for (int a = area::kProfile; a <= area::kSave; ++a) {
        if (t[a].contains(x, y)) return a;
    }
    if (inRow(x, y, kPanelX, kHeaderRight, 32, 102)) return area::kLogo;
    return area::kNone;
}

int effectListRow(int x, int y) {
    if (!inRow(x, y, lists::kLeft, lists::kRight, lists::kEffectTop, lists::kEffectBottom)) {
        return -1;
    }
    return (y - lists::kEffectTop) / lists::kRowHeight;
}

int responseListRow(int x, int y, const SectionLayout& l) {
    const int top = l.responseListTop;
    const int bottom = top + lists::kResponseRows * lists::kRowHeight - 1;
    if (!inRow(x, y, lists::kResponseLeft, lists::kResponseRight, top, bottom)) return -1;
    return (y - top) / lists::kRowHeight;
}

}  // namespace tessaron::app
