// Images for dense screens: "name@2x.png" is read in place of "name.png" from a device pixel
// ratio of 1.5 on, and is drawn at the logical size of its 1x twin; a folder with only 1x
// files keeps working.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "ui/image_cache.h"
#include "ui/panel_painter.h"

namespace tessaron::ui {
namespace {

struct RatioGuard {
    explicit RatioGuard(qreal ratio) { ImageCache::instance().setDevicePixelRatio(ratio); }
    ~RatioGuard() { ImageCache::instance().setDevicePixelRatio(1.0); }
};

class DenseImages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        // The 1x picture is red, its @2x twin blue, so a look at a pixel tells which was drawn.
        QImage one(20, 10, QImage::Format_RGB32);
        one.fill(Qt::red);
        ASSERT_TRUE(one.save(folder + QStringLiteral("both.png")));
        QImage two(40, 20, QImage::Format_RGB32);
        two.fill(Qt::blue);
        ASSERT_TRUE(two.save(folder + QStringLiteral("both@2x.png")));
        ASSERT_TRUE(one.save(folder + QStringLiteral("only1x.png")));
        kept = ImageCache::instance().diskFolder();
        ImageCache::instance().setDiskFolder(QString());  // nothing kept between tests
        ImageCache::instance().clear();
    }
    void TearDown() override {
        ImageCache::instance().clear();
        ImageCache::instance().setDiskFolder(kept);
    }

    QTemporaryDir dir;
    QString folder;
    QString kept;
};

TEST_F(DenseImages, TheRatioChoosesTheFile) {
    const QString both = folder + QStringLiteral("both.png");
    const QString dense = folder + QStringLiteral("both@2x.png");
    EXPECT_EQ(ImageCache::sourceFor(both, 1.0), both);
    EXPECT_EQ(ImageCache::sourceFor(both, 1.25), both);
    EXPECT_EQ(ImageCache::sourceFor(both, 1.5), dense);
    EXPECT_EQ(ImageCache::sourceFor(both, 2.0), dense);
    EXPECT_EQ(ImageCache::sourceFor(both, 3.0), dense);
    const QString only = folder + QStringLiteral("only1x.png");
    EXPECT_EQ(ImageCache::sourceFor(only, 2.0), only);
    // A folder named like an image is no image.
    EXPECT_EQ(ImageCache::sourceFor(folder + QStringLiteral("dir.d/file"), 2.0),
              folder + QStringLiteral("dir.d/file"));
}

TEST_F(DenseImages, ADenseImageKeepsItsLogicalSizeAndIsDrawnSharp) {
    const RatioGuard dense(2.0);
    const QImage img = ImageCache::instance().image(folder + QStringLiteral("both.png"));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), QSize(40, 20));
    EXPECT_EQ(img.devicePixelRatio(), 2.0);
    EXPECT_EQ(panelImageSize(folder, QStringLiteral("both.png")), QSize(20, 10));

    // Drawn into a ratio-2 surface at (5, 5): 20 x 10 window pixels, 40 x 20 device pixels,
    // every one from the @2x file.
    QImage target(100, 60, QImage::Format_RGB32);
    target.setDevicePixelRatio(2.0);
    target.fill(Qt::black);
    {
        QPainter p(&target);
        EXPECT_TRUE(drawPanelImage(p, folder, QStringLiteral("both.png"), 5, 5));
    }
    EXPECT_EQ(target.pixelColor(10, 10), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(49, 29), QColor(Qt::blue));
    EXPECT_EQ(target.pixelColor(50, 29), QColor(Qt::black));
    EXPECT_EQ(target.pixelColor(49, 30), QColor(Qt::black));
}

TEST_F(DenseImages, OneXOnlyImagesStillFillTheirPlaceOnADenseScreen) {
    const RatioGuard dense(2.0);
    EXPECT_EQ(panelImageSize(folder, QStringLiteral("only1x.png")), QSize(20, 10));
    QImage target(100, 60, QImage::Format_RGB32);
    target.setDevicePixelRatio(2.0);
    target.fill(Qt::black);
    {
        QPainter p(&target);
        EXPECT_TRUE(drawPanelImage(p, folder, QStringLiteral("only1x.png"), 5, 5));
    }
    EXPECT_EQ(target.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(49, 29), QColor(Qt::red));
    EXPECT_EQ(target.pixelColor(50, 29), QColor(Qt::black));
}

TEST_F(DenseImages, ChangingTheRatioForgetsImagesOfTheOtherDensity) {
    const QString both = folder + QStringLiteral("both.png");
    EXPECT_EQ(ImageCache::instance().image(both).devicePixelRatio(), 1.0);
    {
        const RatioGuard dense(2.0);
        EXPECT_EQ(ImageCache::instance().image(both).devicePixelRatio(), 2.0);
    }
    EXPECT_EQ(ImageCache::instance().image(both).devicePixelRatio(), 1.0);
}

}  // namespace
}  // namespace tessaron::ui
