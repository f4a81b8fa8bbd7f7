#include "ui/accessible_keys.h"

#include <QAbstractSlider>
#include <QWidget>

namespace tessaron::ui {

PaintedAreaSource& AreaKeyboard::source() const {
    return *dynamic_cast<PaintedAreaSource*>(window_);
}

int AreaKeyboard::current() const {
    const auto areas = source().paintedAreas();
    if (QWidget* f = window_->focusWidget(); f != nullptr && f != window_) {
        for (const PaintedArea& a : areas) {
            if (a.widget == f || a.speaksFor == f) return a.id;
        }
    }
    return findArea(areas, current_) != nullptr ? current_ : -1;
}

void AreaKeyboard::hideMark() {
    if (!visible_) return;
    visible_ = false;
    window_->update();
}

QRect AreaKeyboard::markRect() const {
    if (!visible_ || !window_->hasFocus()) return {};
    const auto areas = source().paintedAreas();
    const PaintedArea* a = findArea(areas, current_);
    if (a == nullptr) return {};
    // Widgets of their own show their own mark.
    return a->widget == nullptr ? a->rect : QRect();
}

void AreaKeyboard::focusArea(int id) {
    const auto areas = source().paintedAreas();
    const PaintedArea* a = findArea(areas, id);
    if (a == nullptr) return;
    current_ = id;
    visible_ = true;
    // Widgets of their own take the keys themselves; the window keeps them for the rest (a
    // slider is stepped from the window).
    if (a->widget != nullptr) {
        a->widget->setFocus(Qt::TabFocusReason);
    } else if (!window_->hasFocus()) {
        focusWindowQuietly(window_);
    }
    announcePaintedFocus(window_, id);
    window_->update();
}

bool AreaKeyboard::key(int key, Qt::KeyboardModifiers modifiers, bool enterActivates) {
    const bool shift = (modifiers & Qt::ShiftModifier) != 0;
    const int here = current();
    const auto areas = source().paintedAreas();
    const PaintedArea* at = findArea(areas, here);
    const auto go = [&](Move move) {
        const int to = moveFocus(areas, here, move);
        if (to >= 0) focusArea(to);
        return true;
    };
    switch (key) {
        case Qt::Key_Tab:
            return go(shift ? Move::PreviousGroup : Move::NextGroup);
        case Qt::Key_Backtab:
            return go(Move::PreviousGroup);
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            if (at != nullptr) {
                if (auto* slider = qobject_cast<QAbstractSlider*>(at->speaksFor)) {
                    const bool up = key == Qt::Key_Right || key == Qt::Key_Up;
                    slider->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd
                                             : QAbstractSlider::SliderSingleStepSub);
                    visible_ = true;
                    window_->update();
                    return true;
                }
            }
            static constexpr Move kMoves[] = {Move::Left, Move::Up, Move::Right, Move::Down};
            return go(kMoves[key - Qt::Key_Left]);
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!enterActivates) return false;
            [[fallthrough]];
        case Qt::Key_Space:
            if (at == nullptr) return go(Move::NextGroup);
            visible_ = true;
            if (at->activatable && at->widget == nullptr && !at->state.disabled) {
                source().activatePaintedArea(here);
            }
            window_->update();
            return true;
        default:
            return false;
    }
}

}  // namespace tessaron::ui
