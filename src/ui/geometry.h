#pragma once
// Rectangles in window pixels whose right and bottom edges belong to them: the image-drawn
// windows resolve their clicks against fixed areas given by their first and last pixels.

#include <QPoint>
#include <QRect>

namespace tessaron::ui {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] constexpr bool contains(int x, int y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
    [[nodiscard]] constexpr bool contains(QPoint p) const { return contains(p.x(), p.y()); }
    [[nodiscard]] constexpr Rect grown(int by) const {
        return {left - by, top - by, right + by, bottom + by};
    }
    [[nodiscard]] constexpr QPoint centre() const {
        return {(left + right) / 2, (top + bottom) / 2};
    }
    // The same pixels for drawing: QRect's corner constructor includes both corners too.
    [[nodiscard]] constexpr QRect toQRect() const {
        return {QPoint(left, top), QPoint(right, bottom)};
    }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

static_assert(Rect{1, 2, 3, 4}.contains(3, 4) && !Rect{1, 2, 3, 4}.contains(4, 4));
static_assert(Rect{1, 2, 3, 4}.toQRect() == QRect(1, 2, 3, 3));

}  // namespace tessaron::ui
