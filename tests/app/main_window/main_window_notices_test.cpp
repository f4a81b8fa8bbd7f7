// What the window tells on its own: the keyboard's absence at once, a first hide once per user,
// and, on the virtual keyboard, nothing about system rules it does not need.

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include <algorithm>

#include "main_window_test_support.h"
#include "ui/first_time_notice.h"

namespace tessaron::app::testing {
namespace {

constexpr QPoint kSave{950, 620};
// The lower rows of keys on the picture (origin 315, 127), below the notice across its middle.
constexpr QRect kPictureSample{360, 300, 200, 50};

double meanLightness(const QImage& img, const QRect& r) {
    double sum = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) sum += QColor(img.pixel(x, y)).lightnessF();
    }
    return sum / (r.width() * r.height());
}

QImage face(CTessaronDlg& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(MainWindowNotices, AnUnpluggedKeyboardDimsThePictureAtOnceUntilItIsBack) {
    Rig rig;
    auto& w = *rig.window;
    const double plugged = meanLightness(face(w), kPictureSample);

    rig.keyboard->unplug();
    ASSERT_TRUE(waitFor([&] { return !rig.session->isConnected(); }));
    ASSERT_TRUE(waitFor([&] { return meanLightness(face(w), kPictureSample) < plugged * 0.7; }));
    EXPECT_TRUE(rig.dialogs.shown.empty());  // a picture, not a message box

    rig.keyboard->plug();
    ASSERT_TRUE(waitFor([&] { return rig.session->isConnected(); }));
    ASSERT_TRUE(rig.settle());
    EXPECT_NEAR(meanLightness(face(w), kPictureSample), plugged, plugged * 0.05);
}

TEST(MainWindowNotices, AStartWithoutTheKeyboardShowsItsAbsence) {
    Rig withKeyboard;
    const double plugged = meanLightness(face(*withKeyboard.window), kPictureSample);
    RigOptions options;
    options.plugged = false;
    Rig rig(options);
    ASSERT_TRUE(rig.settle());
    EXPECT_LT(meanLightness(face(*rig.window), kPictureSample), plugged * 0.7);
}

TEST(MainWindowNotices, SaveWithoutTheVirtualKeyboardNamesNoSystemRule) {
    for (const Language lang : {Language::English, Language::Chinese}) {
        RigOptions options;
        options.language = lang;
        Rig rig(options);
        rig.keyboard->unplug();
        ASSERT_TRUE(waitFor([&] { return !rig.session->isConnected(); }));
        rig.click(kSave.x(), kSave.y());
        ASSERT_TRUE(waitFor([&] { return !rig.dialogs.shown.empty(); }));
        for (const std::string& message : rig.dialogs.shown) {
            EXPECT_EQ(message.find("udev"), std::string::npos) << message;
            EXPECT_EQ(message.find("rules"), std::string::npos) << message;
        }
    }
}

// The brightest pixel of a part of the face (white text shows as near 1).
double brightest(const QImage& img, const QRect& r) {
    double most = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            most = std::max(most, double(QColor(img.pixel(x, y)).lightnessF()));
        }
    }
    return most;
}

TEST(MainWindowLook, AnOpenListLeavesNoSliverOfTheTextsItCovers) {
    for (const Language lang : {Language::English, Language::Chinese}) {
        RigOptions options;
        options.language = lang;
        Rig rig(options);
        auto& w = *rig.window;
        rig.click(100, 120);  // Light
        rig.click(100, 390);  // Game Mode, below it
        // Beside the lists' right edge (x 248): "Bright" (at 230, 274) and Win Lock's "OFF".
        const QRect bright(230, 272, 39, 16);
        const QRect besideEffectList(249, 272, 20, 16);
        ASSERT_GT(brightest(face(w), bright), 0.8);  // the label is there
        // The effect list, then a click beside it that closes it, then Response Time.
        rig.click(100, 165);
        ASSERT_TRUE(w.effectListOpen());
        EXPECT_LT(brightest(face(w), besideEffectList), 0.6);
        rig.click(600, 500);
        rig.click(100, w.layout().responseTop + 5);
        const QRect off(235, w.layout().gameModeTop + 30, 33, 18);
        const QRect besideResponseList(248, w.layout().gameModeTop + 30, 20, 18);
        ASSERT_GT(brightest(face(w), off), 0.8);  // Win Lock's OFF is there
        const int y3 = w.layout().responseTop;
        rig.click(100, y3 + 35);  // the response time list, opening upward over Game Mode
        ASSERT_TRUE(w.responseListOpen());
        EXPECT_LT(brightest(face(w), besideResponseList), 0.6);
    }
}

TEST(FirstTimeNotice, IsGivenOncePerSettingsFileAndKey) {
    QTemporaryDir dir;
    const QString mine = dir.filePath(QStringLiteral("mine.conf"));
    const QString someoneElse = dir.filePath(QStringLiteral("other.conf"));
    EXPECT_TRUE(ui::firstTimeFor(mine, QStringLiteral("stillRunning")));
    EXPECT_FALSE(ui::firstTimeFor(mine, QStringLiteral("stillRunning")));
    EXPECT_TRUE(ui::firstTimeFor(mine, QStringLiteral("another")));
    EXPECT_TRUE(ui::firstTimeFor(someoneElse, QStringLiteral("stillRunning")));
    // Kept in the file, so a later start stays told.
    QFile file(mine);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_NE(file.readAll().indexOf("stillRunning=true"), -1);
    // Nowhere to keep it (its folder would be a file): told every time rather than never.
    const QString unwritable = mine + QStringLiteral("/x.conf");
    EXPECT_TRUE(ui::firstTimeFor(unwritable, QStringLiteral("k")));
    EXPECT_TRUE(ui::firstTimeFor(unwritable, QStringLiteral("k")));
}

}  // namespace
}  // namespace tessaron::app::testing
