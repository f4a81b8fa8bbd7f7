// The main window's texts against the generated images they are drawn on: each text, in both
// languages, lies on a plain stretch of its image with room on every side. A border, a rule, a
// box edge or another picture within the margin shows up as a sharp step between neighbouring
// pixels. Positions are the window's documented ones; the images are composed as the window
// composes them.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <string>
#include <string_view>

#include "keys/key_layout.h"
#include "ui/image_folders.h"
#include "ui/key_cap.h"
#include "ui/panel_painter.h"

namespace tessaron::ui {
namespace {

const QString kShare = QStringLiteral(TESSARON_BUILD_SHARE_DIR);
constexpr int kMargin = 2;
// Gradients change a channel by a step or two per pixel; edges by far more.
constexpr int kSharpStep = 14;

struct Placed {
    const char* file;
    int x;
    int y;
};

struct Text {
    const char* english;
    const char* chinese;
    int x;
    int y;
    int height;
};

// The whole face with every section open (tops 114, 384, 444, 521) or closed (114, 191, 241, 281).
QImage compose(Language lang, const std::vector<Placed>& images) {
    QImage face(1000, 645, QImage::Format_RGB32);
    face.fill(Qt::black);
    QPainter p(&face);
    for (const Placed& image : images) {
        const QImage img(imageFolder(kShare, lang, Panel::Main) + QLatin1String(image.file));
        EXPECT_FALSE(img.isNull()) << image.file;
        p.drawImage(image.x, image.y, img);
    }
    return face;
}

int step(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// The largest step between neighbouring pixels inside r, with where it lies.
std::pair<int, QPoint> sharpestStep(const QImage& img, const QRect& r) {
    std::pair<int, QPoint> worst{0, {}};
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb here = img.pixel(x, y);
            if (x < r.right()) {
                const int s = step(here, img.pixel(x + 1, y));
                if (s > worst.first) worst = {s, {x, y}};
            }
            if (y < r.bottom()) {
                const int s = step(here, img.pixel(x, y + 1));
                if (s > worst.first) worst = {s, {x, y}};
            }
        }
    }
    return worst;
}

// The pixels a text's glyphs cover when the window draws it with its top-left corner at (x, y)
// (its baseline one ascent lower).
QRect inkRect(const QString& text, int x, int y, int height) {
    const QFontMetrics metrics(panelFont(height));
    return metrics.tightBoundingRect(text).translated(x, y + metrics.ascent());
}

void expectRoom(Language lang, const QImage& face, const std::vector<Text>& texts) {
    for (const Text& t : texts) {
        const QString s = QString::fromUtf8(lang == Language::Chinese ? t.chinese : t.english);
        const QRect ink = inkRect(s, t.x, t.y, t.height);
        const QRect room = ink.adjusted(-kMargin, -kMargin, kMargin, kMargin);
        SCOPED_TRACE(s.toStdString());
        ASSERT_TRUE(face.rect().contains(room));
        const auto [sharpest, at] = sharpestStep(face, room);
        EXPECT_LE(sharpest, kSharpStep) << "an edge at (" << at.x() << ", " << at.y() << ") within "
                                        << kMargin << " px of the text";
    }
}

class TextRoom : public ::testing::TestWithParam<Language> {};

TEST_P(TextRoom, OpenSectionsLeaveRoomAroundEveryText) {
    const Language lang = GetParam();
    const int y2 = 384;
    const int y3 = 444;
    const int y4 = 521;
    const QImage face = compose(lang, {{"main.png", 0, 0},
                                       {"button-cancel-normal.png", 800, 600},
                                       {"button-cancel-normal.png", 862, 600},
                                       {"button-cancel-normal.png", 924, 600},
                                       {"Config.png", 17, 603},
                                       {"itemBK.png", 19, 114},
                                       {"LEDEffect_open.png", 19, 130},
                                       {"Light_Item.png", 28, 158},
                                       {"freq.png", 19, 245},
                                       {"MacroManagementBK.png", 19, 337},
                                       {"MacroButton3.png", 19, 347},
                                       {"gamemode_open.png", 19, y2},
                                       {"responsetime_open.png", 19, y3},
                                       {"Light_Item.png", 28, y3 + 28},
                                       {"reportrate_Open.png", 19, y4},
                                       {"HelpWindow.png", 830, 22}});
    expectRoom(lang, face,
               {
                   {"Light", "灯光", 19, 114, 13},
                   {"Effect", "效果", 28, 137, 13},
                   {"Running Water Run Mode", " 流水跑马", 28, 158, 13},
                   {"Direction", "方向", 29, 177, 13},
                   {"Brightness", "亮度", 28, 247, 13},
                   {"Dark", "黑", 28, 274, 11},
                   {"Bright", "亮", 230, 274, 11},
                   {"Speed", "速度", 28, 290, 13},
                   {"Slow", "慢", 28, 317, 11},
                   {"Fast", "快", 230, 317, 11},
                   {"Macro Management", "宏管理", 27, 349, 13},
                   {"Game Mode", "游戏模式", 19, y2, 13},
                   {"Win Lock", "Win Lock模式", 149, y2, 13},
                   {"ON", "开启", 51, y2 + 31, 13},
                   {"OFF", "关闭", 105, y2 + 31, 13},
                   {"ON", "开启", 181, y2 + 31, 13},
                   {"OFF", "关闭", 235, y2 + 31, 13},
                   {"Response Time", "按键响应时间", 19, y3, 13},
                   {"20 ms", "20 ms", 100, y3 + 28, 13},
                   {"USB Report Rate", "USB报告率", 19, y4, 13},
                   {"Profile", "配置", 45, 610, 13},
                   {"Return", "恢复", 810, 607, 13},
                   {"Cancel", "取消", 872, 607, 13},
                   {"Save", "保存", lang == Language::Chinese ? 934 : 937, 607, 13},
                   {"Tessaron Guide", "Tessaron 使用指南", 850, 25, 13},
                   {"Update Firmware", "驱动更新", 850, 50, 13},
                   {"Ver: 1.5", "Ver: 1.5", 850, 75, 13},
               });
}

TEST_P(TextRoom, ClosedSectionsLeaveRoomAroundTheirTitles) {
    const Language lang = GetParam();
    const QImage face = compose(lang, {{"main.png", 0, 0},
                                       {"itemBK.png", 19, 114},
                                       {"MacroManagementBK.png", 19, 144},
                                       {"MacroButton3.png", 19, 154},
                                       {"gamemode_Close.png", 19, 191},
                                       {"responsetime_close.png", 19, 241},
                                       {"reportrate_Close.png", 19, 281}});
    expectRoom(lang, face,
               {
                   {"Light", "灯光", 19, 114, 13},
                   {"Game Mode", "游戏模式", 19, 191, 13},
                   {"Response Time", "按键响应时间", 19, 241, 13},
                   {"USB Report Rate", "USB报告率", 19, 281, 13},
               });
    if (lang == Language::English) expectRoom(lang, face, {{"Win Lock", "", 149, 191, 13}});
}

TEST_P(TextRoom, DiyRadiosLeaveRoomForTheirLabels) {
    const Language lang = GetParam();
    const QImage face = compose(lang, {{"main.png", 0, 0},
                                       {"itemBK.png", 19, 114},
                                       {"LEDEffect_open.png", 19, 130},
                                       {"Enable.png", 28, 199},
                                       {"Disable.png", 130, 199}});
    expectRoom(lang, face, {{"Keymap", "按键", 45, 197, 13}, {"DIY", "DIY", 147, 197, 13}});
}

// A key lit in DIY mode is the picture's key drawn again: nothing painted beyond the key's own
// rectangle, at both densities, and the whole legend inside the key's top (drawText would cut
// what does not fit).
TEST(KeyCapRoom, LitKeysAndTheirLegendsStayInsideTheirKeys) {
    for (keys::KeyIndex i = 0; i < keys::kRealKeyCount; ++i) {
        const keys::KeyRect k = keys::keyRect(i);
        if (k.empty()) continue;
        const QRectF outer(k.left, k.top, k.right - k.left, k.bottom - k.top);
        const std::string_view utf8 = keys::legend(i);
        const QString legend =
            QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        SCOPED_TRACE(legend.toStdString());

        const KeyLegend fitted = keyLegend(outer, legend);
        const QRectF ink = QFontMetricsF(fitted.font).boundingRect(fitted.area, fitted.flags,
                                                                   legend);
        EXPECT_TRUE(fitted.area.adjusted(-0.5, -0.5, 0.5, 0.5).contains(ink))
            << "legend " << ink.width() << " x " << ink.height() << " in "
            << fitted.area.width() << " x " << fitted.area.height();

        for (const qreal density : {1.0, 2.0}) {
            // The key alone, with room around it for anything drawn beyond it.
            constexpr int kAround = 8;
            const QPointF shift(kAround - k.left, kAround - k.top);
            QImage img((outer.size().toSize() + QSize(2 * kAround, 2 * kAround)) * density,
                       QImage::Format_ARGB32_Premultiplied);
            img.setDevicePixelRatio(density);
            img.fill(Qt::transparent);
            {
                QPainter p(&img);
                p.translate(shift);
                drawKeyCap(p, outer, legend, litKeyCap(QColor(0x10, 0x30, 0xff)));
            }
            // In device pixels; the cap's one-pixel edge lies half a pixel out of the rectangle.
            const int edge = static_cast<int>(density);
            const QRectF placed = outer.translated(shift);
            const QRect key = QRectF(placed.topLeft() * density, placed.size() * density)
                                  .toAlignedRect()
                                  .adjusted(-edge, -edge, edge, edge);
            int outside = 0;
            for (int y = 0; y < img.height(); ++y) {
                for (int x = 0; x < img.width(); ++x) {
                    if (qAlpha(img.pixel(x, y)) != 0 && !key.contains(x, y)) ++outside;
                }
            }
            EXPECT_EQ(outside, 0) << "at density " << density;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, TextRoom,
                         ::testing::Values(Language::English, Language::Chinese),
                         [](const auto& param) {
                             return param.param == Language::Chinese ? "Chinese" : "English";
                         });

}  // namespace
}  // namespace tessaron::ui
