#include "ui/window_drag.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>
#include <QWidget>

namespace tessaron::ui {
namespace {

class WindowDragTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.resize(200, 100);
        window.move(40, 30);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QMouseEvent event(QEvent::Type type, QPoint local, Qt::MouseButtons held) {
        return {type,           QPointF(local), QPointF(window.mapToGlobal(local)),
                Qt::LeftButton, held,           Qt::NoModifier};
    }
    void press(QPoint at, bool freeSpot) {
        drag.press(window, event(QEvent::MouseButtonPress, at, Qt::LeftButton), freeSpot);
    }
    bool moveTo(QPoint at, Qt::MouseButtons held = Qt::LeftButton) {
        return drag.follow(window, event(QEvent::MouseMove, at, held));
    }

    QWidget window;
    WindowDrag drag;
};

TEST_F(WindowDragTest, APressOnAFreeSpotMovesTheWindowAndItsReleaseIsNoClick) {
    const QPoint start = window.pos();
    press({50, 50}, true);
    EXPECT_TRUE(moveTo({80, 60}));
    EXPECT_EQ(window.pos(), start + QPoint(30, 10));
    EXPECT_TRUE(drag.release());
    // The next release after a press on a control is a click again.
    press({10, 10}, false);
    EXPECT_FALSE(moveTo({20, 20}));
    EXPECT_EQ(window.pos(), start + QPoint(30, 10));
    EXPECT_FALSE(drag.release());
}

TEST_F(WindowDragTest, MovesWithoutTheButtonHeldOnlyHover) {
    const QPoint start = window.pos();
    EXPECT_FALSE(moveTo({80, 60}));
    press({50, 50}, true);
    EXPECT_FALSE(moveTo({80, 60}, Qt::NoButton));
    EXPECT_EQ(window.pos(), start);
}

TEST_F(WindowDragTest, APressOnAControlForgetsADragWhoseReleaseNeverCame) {
    // The window system keeps the release of a move it made itself.
    press({50, 50}, true);
    press({10, 10}, false);
    EXPECT_FALSE(moveTo({30, 30}));
    EXPECT_FALSE(drag.release()) << "the click on the control was swallowed";
}

}  // namespace
}  // namespace tessaron::ui
