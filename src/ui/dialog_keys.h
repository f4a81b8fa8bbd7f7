#pragma once
// The keys a dialog takes for itself: Enter presses its default button, Escape rejects it. The
// image-drawn windows end only through their own buttons, so they keep these presses away.

#include <Qt>

namespace tessaron::ui {

[[nodiscard]] constexpr bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

[[nodiscard]] constexpr bool isEnterOrEscape(int key) {
    return isEnter(key) || key == Qt::Key_Escape;
}

}  // namespace tessaron::ui
