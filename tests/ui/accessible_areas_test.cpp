// Keyboard moves over a painted window's areas: Tab between groups in list order, entering a
// group on its chosen area; arrows to the nearest area of the group that way.
#include <gtest/gtest.h>

#include "ui/accessible_areas.h"

namespace tessaron::ui {
namespace {

PaintedArea area(int id, int group, QRect rect, bool chosen = false, bool focusable = true) {
    PaintedArea a;
    a.id = id;
    a.group = group;
    a.rect = rect;
    a.state.checked = chosen;
    a.focusable = focusable;
    return a;
}

// A caption, a row of three radios (the middle one chosen), a 2 x 3 block of keys, two buttons.
std::vector<PaintedArea> window() {
    return {
        area(1, 0, {0, 0, 100, 10}, false, false),
        area(10, 1, {0, 20, 10, 10}),
        area(11, 1, {20, 20, 10, 10}, true),
        area(12, 1, {40, 20, 10, 10}),
        area(20, 2, {0, 50, 20, 20}),
        area(21, 2, {22, 50, 20, 20}),
        area(22, 2, {44, 50, 20, 20}),
        area(23, 2, {5, 72, 20, 20}),
        area(24, 2, {27, 72, 22, 20}),
        area(25, 2, {51, 72, 20, 20}),
        area(30, 3, {0, 100, 30, 10}),
        area(31, 3, {40, 100, 30, 10}),
    };
}

TEST(MoveFocus, TabGoesThroughGroupsInOrderEnteringOnTheChosenArea) {
    const auto w = window();
    EXPECT_EQ(moveFocus(w, -1, Move::NextGroup), 11) << "the caption is passed over";
    EXPECT_EQ(moveFocus(w, 11, Move::NextGroup), 20);
    EXPECT_EQ(moveFocus(w, 24, Move::NextGroup), 30);
    EXPECT_EQ(moveFocus(w, 31, Move::NextGroup), 11) << "round to the first group";
    EXPECT_EQ(moveFocus(w, 20, Move::PreviousGroup), 11);
    EXPECT_EQ(moveFocus(w, 11, Move::PreviousGroup), 30);
    EXPECT_EQ(moveFocus(w, -1, Move::PreviousGroup), 30);
    EXPECT_EQ(moveFocus({}, -1, Move::NextGroup), -1);
    // An area that went away (a list that closed) starts over from the first group.
    EXPECT_EQ(moveFocus(w, 99, Move::NextGroup), 11);
}

TEST(MoveFocus, ArrowsKeepToTheRowOrColumnOfTheGroup) {
    const auto w = window();
    EXPECT_EQ(moveFocus(w, 20, Move::Right), 21);
    EXPECT_EQ(moveFocus(w, 21, Move::Down), 24) << "the key below, not the nearest corner";
    EXPECT_EQ(moveFocus(w, 23, Move::Up), 20);
    EXPECT_EQ(moveFocus(w, 25, Move::Left), 24);
    EXPECT_EQ(moveFocus(w, 22, Move::Down), 25);
    EXPECT_EQ(moveFocus(w, 11, Move::Right), 12);
    EXPECT_EQ(moveFocus(w, 11, Move::Left), 10);
    // Nothing of the group that way: list order, and no further than its ends.
    EXPECT_EQ(moveFocus(w, 11, Move::Down), 12);
    EXPECT_EQ(moveFocus(w, 11, Move::Up), 10);
    EXPECT_EQ(moveFocus(w, 12, Move::Down), 12);
    EXPECT_EQ(moveFocus(w, 10, Move::Up), 10);
    EXPECT_EQ(moveFocus(w, 24, Move::Down), 25) << "past the last row to the next in order";
    // Arrows never leave the group.
    EXPECT_EQ(moveFocus(w, 31, Move::Right), 31);
    EXPECT_EQ(moveFocus(w, 20, Move::Up), 20);
}

}  // namespace
}  // namespace tessaron::ui
