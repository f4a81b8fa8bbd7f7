#pragma once
// Keyboard operation of a painted window over its area list: which area holds the focus mark,
// and what Tab, Shift+Tab, the arrows, Space (and, where the window allows it, Enter) do.

#include <Qt>

#include "ui/accessible_areas.h"

class QWidget;

namespace tessaron::ui {

class AreaKeyboard {
public:
    // The window must be a PaintedAreaSource.
    explicit AreaKeyboard(QWidget* window) : window_(window) {}

    // Handles a navigation key; false when the key is none (the window then treats it as it
    // always did).
    bool key(int key, Qt::KeyboardModifiers modifiers, bool enterActivates);
    // Moves the mark to an area (its widget takes the focus, if it has one).
    void focusArea(int id);
    // Where the keyboard starts, without showing the mark.
    void setCurrent(int id) { current_ = id; }

    // The area with the mark, or -1. An area whose widget holds the keyboard focus counts.
    [[nodiscard]] int current() const;
    // The mark is drawn once the keyboard has been used, and hidden by the mouse.
    [[nodiscard]] bool markVisible() const { return visible_; }
    void hideMark();
    // Where the mark goes, if it is to be drawn now; an empty rectangle otherwise.
    [[nodiscard]] QRect markRect() const;

private:
    [[nodiscard]] PaintedAreaSource& source() const;

    QWidget* window_;
    int current_ = -1;
    bool visible_ = false;
};

}  // namespace tessaron::ui
