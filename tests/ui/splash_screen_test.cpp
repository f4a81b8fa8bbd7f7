#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "ui/image_cache.h"
#include "ui/splash_screen.h"

namespace tessaron::ui {
namespace {

class SplashTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ImageCache::instance().clear();
        put(QStringLiteral("english"), QSize(40, 30));
        put(QStringLiteral("chinese"), QSize(50, 20));
    }
    void put(const QString& lang, QSize size) {
        QDir().mkpath(dir_.filePath(QStringLiteral("png/") + lang));
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::darkRed);
        ASSERT_TRUE(img.save(dir_.filePath(QStringLiteral("png/%1/SplashScreen.png").arg(lang))));
    }
    QTemporaryDir dir_;
};

TEST_F(SplashTest, TakesTheSizeOfItsLanguagesImage) {
    EXPECT_EQ(CSplashScreen(dir_.path(), Language::English).size(), QSize(40, 30));
    EXPECT_EQ(CSplashScreen(dir_.path(), Language::Chinese).size(), QSize(50, 20));
    EXPECT_TRUE(CSplashScreen(dir_.path(), Language::English).windowFlags() &
                Qt::FramelessWindowHint);
}

TEST_F(SplashTest, StillShownAfter51TicksAndGoneAfterThe52nd) {
    CSplashScreen splash(dir_.path(), Language::English);
    splash.show();
    for (int i = 0; i < 51; ++i) splash.tick();
    EXPECT_TRUE(splash.isVisible());
    splash.tick();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(splash.result(), QDialog::Accepted);
}

TEST_F(SplashTest, ClosesByItselfAfterAboutASecondEvenWithoutAnImage) {
    QTemporaryDir empty;
    CSplashScreen splash(empty.path(), Language::English);
    EXPECT_EQ(splash.imageSize(), QSize(0, 0));
    splash.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }, 5000));
    EXPECT_EQ(splash.ticks(), CSplashScreen::kTicksShown + 1);
}

}  // namespace
}  // namespace tessaron::ui
