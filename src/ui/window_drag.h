#pragma once
// Moving a borderless window by a left press on its face.

#include <QPoint>

#include <optional>

class QMouseEvent;
class QWidget;

namespace tessaron::ui {

// A press on a spot of the face that is no control drags the window: through the window system
// where it can, by hand with the pointer otherwise. The release that ends a drag is no click.
class WindowDrag {
public:
    // Every left press. On a free spot it starts a drag; anywhere else it forgets a drag whose
    // release the window system kept, so that this press can click.
    void press(QWidget& window, const QMouseEvent& event, bool freeSpot);
    // A pointer move; true when it moved the window by hand (then it is no hover).
    bool follow(QWidget& window, const QMouseEvent& event) const;
    // A left release; true when it ends a drag.
    bool release();

private:
    bool dragging_ = false;
    std::optional<QPoint> grip_;  // pointer minus window origin, while moving by hand
};

}  // namespace tessaron::ui
