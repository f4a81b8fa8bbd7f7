// What the window tells on its own: the keyboard's absence at once, a first hide once per user,
// and, on the virtual keyboard, nothing about system rules it does not need.

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

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
