#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "message_recorder.h"
#include "ui/bit_slider.h"

namespace tessaron::ui {
namespace {

TEST(BitSliderRounding, ClickOffsetsRoundHalfUp) {
    // Range 0..9 over a 100-pixel channel.
    EXPECT_EQ(CBitSlider::positionForOffset(54, 100, 0, 9), 5);  // 4.86
    EXPECT_EQ(CBitSlider::positionForOffset(50, 100, 0, 9), 5);  // 4.5
    EXPECT_EQ(CBitSlider::positionForOffset(44, 100, 0, 9), 4);  // 3.96
    EXPECT_EQ(CBitSlider::positionForOffset(0, 100, 0, 9), 0);
    EXPECT_EQ(CBitSlider::positionForOffset(100, 100, 0, 9), 9);
    // Outside the channel the value stays inside the range.
    EXPECT_EQ(CBitSlider::positionForOffset(-30, 100, 0, 9), 0);
    EXPECT_EQ(CBitSlider::positionForOffset(130, 100, 0, 9), 9);
    // A range that does not start at 0 keeps its minimum.
    EXPECT_EQ(CBitSlider::positionForOffset(50, 100, 10, 20), 15);
    EXPECT_EQ(CBitSlider::positionForOffset(10, 0, 0, 9), 0);
}

class BitSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        slider_ = new CBitSlider(Qt::Horizontal, &owner_);  // owned by owner_
        slider_->setControlId(1007);
        slider_->setRange(0, 9);
        slider_->setUp();
        slider_->setGeometry(10, 10, 115, 17);  // a 100-pixel channel
        owner_.resize(200, 60);
        owner_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner_));
    }
    test::MessageRecorder owner_;
    CBitSlider* slider_ = nullptr;
};

TEST_F(BitSliderTest, ClickPutsTheThumbWhereTheClickWas) {
    const QRect channel = slider_->channelRect();
    ASSERT_EQ(channel.width(), 100);
    QTest::mouseClick(slider_, Qt::LeftButton, {}, QPoint(channel.left() + 54, 8));
    EXPECT_EQ(slider_->value(), 5);
    QTest::mouseClick(slider_, Qt::LeftButton, {}, QPoint(channel.left() + 44, 8));
    EXPECT_EQ(slider_->value(), 4);
    QTest::mouseClick(slider_, Qt::LeftButton, {}, QPoint(channel.left() + 50, 8));
    EXPECT_EQ(slider_->value(), 5);
    QTest::mouseClick(slider_, Qt::LeftButton, {}, QPoint(0, 8));
    EXPECT_EQ(slider_->value(), 0);
}

TEST_F(BitSliderTest, DraggingFollowsThePointer) {
    const QRect channel = slider_->channelRect();
    QTest::mousePress(slider_, Qt::LeftButton, {}, QPoint(channel.left(), 8));
    QMouseEvent move(QEvent::MouseMove, QPointF(channel.left() + 78, 8),
                     slider_->mapToGlobal(QPointF(channel.left() + 78, 8)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(slider_, &move);
    EXPECT_EQ(slider_->value(), 7);
    QTest::mouseRelease(slider_, Qt::LeftButton, {}, QPoint(channel.left() + 78, 8));
    EXPECT_FALSE(slider_->isSliderDown());
}

TEST_F(BitSliderTest, WheelNeverMovesItNorReachesTheParent) {
    slider_->setValue(3);
    const QPointF at(30, 8);
    QWheelEvent wheel(at, slider_->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(slider_, &wheel);
    EXPECT_TRUE(wheel.isAccepted());
    EXPECT_EQ(slider_->value(), 3);
}

TEST_F(BitSliderTest, PaintingReportsTheThumbToTheWindow) {
    QSignalSpy placed(slider_, &CBitSlider::thumbPlaced);
    slider_->setValue(0);
    slider_->repaint();
    ASSERT_FALSE(placed.empty());
    EXPECT_EQ(placed.back().at(0).toInt(), 1007);
    // Thumb window left edge minus 10, at the stored offset.
    EXPECT_EQ(slider_->thumbX(), slider_->thumbRect().left() - 10);
    EXPECT_EQ(slider_->thumbX(), -10);
    EXPECT_EQ(slider_->thumbY(), 0);
    slider_->setValue(9);
    slider_->repaint();
    EXPECT_EQ(slider_->thumbX(), 100 - 10);
    EXPECT_FALSE(slider_->thumbWindow()->isVisible());
}

TEST_F(BitSliderTest, SetUpOnceAndBitmapsGiveTheSize) {
    CBitWnd* thumb = slider_->thumbWindow();
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->size(), QSize(15, 14));
    EXPECT_EQ(thumb->strip().frameCount(), 3);
    slider_->setUp();
    EXPECT_EQ(slider_->thumbWindow(), thumb);

    slider_->move(28, 260);
    slider_->loadBitmaps();
    EXPECT_EQ(slider_->geometry(), QRect(28, 260, 220, 17));
}

}  // namespace
}  // namespace tessaron::ui
