#include <gtest/gtest.h>

#include <QImage>

#include "ui/bitmap_strip.h"

namespace tessaron::ui {
namespace {

TEST(BitmapStrip, CutsFramesAlongItsLongerSide) {
    const BitmapStrip horizontal(QImage(45, 14, QImage::Format_RGB32), 15, 14);
    EXPECT_FALSE(horizontal.vertical());
    EXPECT_EQ(horizontal.frameCount(), 3);
    EXPECT_EQ(horizontal.frameRect(2), QRect(30, 0, 15, 14));
    EXPECT_TRUE(horizontal.frameRect(3).isEmpty());
    EXPECT_TRUE(horizontal.frameRect(-1).isEmpty());

    const BitmapStrip vertical(QImage(15, 42, QImage::Format_RGB32), 0, 14);
    EXPECT_TRUE(vertical.vertical());
    EXPECT_EQ(vertical.frameSize(), QSize(15, 14));
    EXPECT_EQ(vertical.frameCount(), 3);
    EXPECT_EQ(vertical.frameRect(1), QRect(0, 14, 15, 14));

    EXPECT_EQ(BitmapStrip().frameCount(), 0);
}

}  // namespace
}  // namespace tessaron::ui
