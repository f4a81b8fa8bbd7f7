// The generator's output: every file the windows ask for, in both languages, decodable and of a
// size that fits where the windows put it.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QColor>
#include <QImage>
#include <QImageReader>

#include "ui/image_folders.h"
#include "support/test_names.h"

namespace tessaron::ui {
namespace {

const QString kShare = QStringLiteral(TESSARON_BUILD_SHARE_DIR);

struct Expected {
    Panel panel;
    QStringList files;
};

const std::vector<Expected>& expectedFiles() {
    static const std::vector<Expected> files = {
        {Panel::Main,
         {"main.png",
          "logo.png",
          "kb_BK.png",
          "kb_bk.png",
          "kb_hl.png",
          "HelpWindow.png",
          "Config.png",
          "Thumb.png",
          "button-help-normal.png",
          "button-help-over.png",
          "button-min-normal.png",
          "button-min-over.png",
          "button-close-normal.png",
          "button-close-over.png",
          "button-cancel-normal.png",
          "button-cancel-over.png",
          "button-save-normal.png",
          "button-save-over.png",
          "itemBK.png",
          "light_BK.png",
          "LEDEffect_open.png",
          "Light_Item.png",
          "freq.png",
          "1.png",
          "125Hz.png",
          "Enable.png",
          "Disable.png",
          "Direction-T-Enable.png",
          "Direction-T-Disable.png",
          "Direction-B-Enable.png",
          "Direction-B-Disable.png",
          "Direction-L-Enable.png",
          "Direction-L-Disable.png",
          "Direction-R-Enable.png",
          "Direction-R-Disable.png",
          "gamemode_open.png",
          "gamemode_Close.png",
          "responsetime_open.png",
          "responsetime_close.png",
          "reportrate_Open.png",
          "reportrate_Close.png",
          "MacroManagementBK.png",
          "MacroButton3.png",
          "macroButton3.png",
          "large_button.png",
          "single_combine_option.png",
          "SplashScreen.png"}},
        {Panel::Config, {"Config.png", "button-close-normal.png", "New.png", "Delete.png"}},
        {Panel::Custom,
         {"Custom_BK.png", "Advanced.png", "Macro_BK.png", "cursor.png", "enable.png",
          "disable.png", "Disable.png", "Enable.png", "view.png", "view02.png",
          "button-close-normal.png", "button-close-over.png", "large_button.png",
          "single_combine_option.png", "button-cancel-normal.png", "button-cancel-over.png",
          "button-save-normal.png", "button-save-over.png"}},
        {Panel::MacroManagement,
         {"MacroManagement.png", "Record-normal.png", "Record-over.png", "Record-leave.png",
          "Pane.png", "PaneMakingTick.png", "button-new-normal.png", "button-new-over.png",
          "button-new-leave.png"}},
    };
    return files;
}

QSize sizeOf(Language lang, Panel panel, const QString& file) {
    return QImageReader(imageFolder(kShare, lang, panel) + file).size();
}

class GeneratedImages : public ::testing::TestWithParam<Language> {};

TEST_P(GeneratedImages, EveryFileTheWindowsAskForExistsAndDecodes) {
    for (const Expected& e : expectedFiles()) {
        for (const QString& file : e.files) {
            const QString path = imageFolder(kShare, GetParam(), e.panel) + file;
            SCOPED_TRACE(path.toStdString());
            ASSERT_TRUE(QFileInfo::exists(path));
            // Exact spelling: the case-twins are separate files here.
            EXPECT_EQ(QFileInfo(path).fileName(), file);
            QImageReader reader(path);
            EXPECT_EQ(reader.format(), "png");
            EXPECT_FALSE(reader.read().isNull());
        }
    }
}

TEST_P(GeneratedImages, SizesFitTheWindowsGeometry) {
    const Language lang = GetParam();
    // Every rectangle of the main window's button table lies on its background.
    const QSize main = sizeOf(lang, Panel::Main, QStringLiteral("main.png"));
    EXPECT_GE(main.width(), 995);
    EXPECT_GE(main.height(), 636);
    EXPECT_LE(main.width(), 1010);
    EXPECT_LE(main.height(), 660);
    // The keyboard pictures share one size that holds every key rectangle (the furthest: the
    // Vol+ key's right edge at 625 and the bottom row at 238) and stays on the window.
    const QSize kb = sizeOf(lang, Panel::Main, QStringLiteral("kb_BK.png"));
    EXPECT_EQ(sizeOf(lang, Panel::Main, QStringLiteral("kb_bk.png")), kb);
    EXPECT_EQ(sizeOf(lang, Panel::Main, QStringLiteral("kb_hl.png")), kb);
    EXPECT_GT(kb.width(), 625);
    EXPECT_GT(kb.height(), 238);
    EXPECT_LE(315 + kb.width(), main.width());
    EXPECT_LE(127 + kb.height(), main.height());
    // The help menu covers its click rows (x 830..996, y 22..99 minus the version row).
    const QSize help = sizeOf(lang, Panel::Main, QStringLiteral("HelpWindow.png"));
    EXPECT_GE(830 + help.width(), 996);
    EXPECT_GE(22 + help.height(), 97);
    // Panels take the size of their backgrounds: the profiles list (1, 34, 260 x 540) and the
    // New/Delete areas (to y 624, close button to x 262) lie on Config.png.
    const QSize config = sizeOf(lang, Panel::Config, QStringLiteral("Config.png"));
    EXPECT_GE(config.width(), 263);
    EXPECT_GE(config.height(), 625);
    // Key page buttons reach (324, 268); the macro manager's OK/Cancel reach (397, 424).
    const QSize page = sizeOf(lang, Panel::Custom, QStringLiteral("Custom_BK.png"));
    EXPECT_GE(page.width(), 325);
    EXPECT_GE(page.height(), 269);
    const QSize macro = sizeOf(lang, Panel::MacroManagement, QStringLiteral("MacroManagement.png"));
    EXPECT_GE(macro.width(), 398);
    EXPECT_GE(macro.height(), 425);
    // The slider strips give the sliders their 220 x 17 size; thumb frames are 15 x 14.
    EXPECT_EQ(sizeOf(lang, Panel::Main, QStringLiteral("light_BK.png")), QSize(220, 17));
    EXPECT_EQ(sizeOf(lang, Panel::Main, QStringLiteral("Thumb.png")), QSize(15, 14));
    // Section heights follow the layout rule: Light collapsed 30, Game Mode 50/60,
    // Response Time 40/77.
    EXPECT_EQ(sizeOf(lang, Panel::Main, QStringLiteral("itemBK.png")).height(), 30);
    EXPECT_EQ(sizeOf(lang, Panel::Main, QStringLiteral("gamemode_Close.png")).height(), 50);
    EXPECT_EQ(sizeOf(lang, Panel::Main, QStringLiteral("gamemode_open.png")).height(), 60);
    EXPECT_EQ(sizeOf(lang, Panel::Main, QStringLiteral("responsetime_close.png")).height(), 40);
    EXPECT_EQ(sizeOf(lang, Panel::Main, QStringLiteral("responsetime_open.png")).height(), 77);
    EXPECT_EQ(130 + sizeOf(lang, Panel::Main, QStringLiteral("LEDEffect_open.png")).height(),
              114 + 223);
}

TEST_P(GeneratedImages, EveryImageHasATwinOfTwiceItsSizeForDenseScreens) {
    for (const Expected& e : expectedFiles()) {
        for (const QString& file : e.files) {
            const QString path = imageFolder(kShare, GetParam(), e.panel) + file;
            QString dense = path;
            dense.insert(dense.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
            SCOPED_TRACE(dense.toStdString());
            ASSERT_TRUE(QFileInfo::exists(dense));
            EXPECT_EQ(QImageReader(dense).size(), QImageReader(path).size() * 2);
        }
    }
}

TEST_P(GeneratedImages, TheLightPanelOffersNoColours) {
    // Nothing in the panel picks a colour, so nothing in its pictures looks like a swatch: no
    // saturated pixel anywhere in the open Light section (its accents are the red of the rule
    // and the marks, which are not in the body's controls area).
    for (const char* file : {"LEDEffect_open.png", "freq.png"}) {
        const QImage img(imageFolder(kShare, GetParam(), Panel::Main) + QLatin1String(file));
        ASSERT_FALSE(img.isNull());
        int colourful = 0;
        for (int y = 4; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                if (QColor(img.pixel(x, y)).hsvSaturation() > 120 &&
                    QColor(img.pixel(x, y)).value() > 90) {
                    ++colourful;
                }
            }
        }
        EXPECT_EQ(colourful, 0) << file;
    }
}

TEST(GeneratedImagesLanguages, ImagesWithTextDifferBetweenLanguages) {
    auto bytes = [](Language lang, const QString& file) {
        QFile f(imageFolder(kShare, lang, Panel::Main) + file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    EXPECT_NE(bytes(Language::English, QStringLiteral("SplashScreen.png")),
              bytes(Language::Chinese, QStringLiteral("SplashScreen.png")));
    EXPECT_NE(bytes(Language::English, QStringLiteral("logo.png")),
              bytes(Language::Chinese, QStringLiteral("logo.png")));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, GeneratedImages,
                         ::testing::Values(Language::English, Language::Chinese),
                         tessaron::testing::languageName);

}  // namespace
}  // namespace tessaron::ui
