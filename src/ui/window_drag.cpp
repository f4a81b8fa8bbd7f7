#include "ui/window_drag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace tessaron::ui {

void WindowDrag::press(QWidget& window, const QMouseEvent& event, bool freeSpot) {
    dragging_ = freeSpot;
    grip_.reset();
    if (!freeSpot) return;
    if (QWindow* handle = window.windowHandle(); handle != nullptr && handle->startSystemMove()) {
        return;
    }
    grip_ = event.globalPosition().toPoint() - window.frameGeometry().topLeft();
}

bool WindowDrag::follow(QWidget& window, const QMouseEvent& event) const {
    if (!grip_ || (event.buttons() & Qt::LeftButton) == 0) return false;
    window.move(event.globalPosition().toPoint() - *grip_);
    return true;
}

bool WindowDrag::release() {
    const bool ended = dragging_;
    dragging_ = false;
    grip_.reset();
    return ended;
}

}  // namespace tessaron::ui
