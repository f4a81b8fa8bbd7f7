#include "paint_kit.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "png_writer.h"
#include "ui/theme.h"

namespace tessaron::assets {

namespace theme = ui::theme;

QFont uiFont(qreal pixelSize, int weight) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(static_cast<int>(std::lround(pixelSize)));
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

namespace {
int g_scale = 1;
}  // namespace

void setScale(int s) {
    g_scale = s < 1 ? 1 : s;
}

int scale() {
    return g_scale;
}

QImage canvas(int width, int height, const QColor& fill) {
    QImage img(width * g_scale, height * g_scale, QImage::Format_RGB32);
    img.setDevicePixelRatio(g_scale);
    img.fill(fill);
    return img;
}

QImage crop(const QImage& base, int x, int y, int width, int height) {
    const auto s = static_cast<int>(base.devicePixelRatio());
    QImage img = base.copy(x * s, y * s, width * s, height * s);
    img.setDevicePixelRatio(s);
    return img;
}

QRect logicalRect(const QImage& img) {
    return QRect(QPoint(0, 0), img.deviceIndependentSize().toSize());
}

void body(QPainter& p, const QRectF& r, Tone tone, qreal radius, bool sheen) {
    QColor top;
    QColor bottom;
    QColor border;
    switch (tone) {
        case Tone::Raised:
            top = QColor(0x2d, 0x32, 0x3b);
            bottom = QColor(0x1e, 0x22, 0x29);
            border = QColor(0x3d, 0x44, 0x50);
            break;
        case Tone::Accent:
            top = QColor(0xd3, 0x22, 0x36);
            bottom = QColor(0x8c, 0x14, 0x22);
            border = QColor(0xf0, 0x4a, 0x5a);
            break;
        case Tone::AccentBright:
            top = QColor(0xff, 0x45, 0x57);
            bottom = QColor(0xc0, 0x1c, 0x2e);
            border = QColor(0xff, 0x9a, 0xa4);
            break;
        case Tone::Sunken:
            top = QColor(0x09, 0x0a, 0x0c);
            bottom = QColor(0x12, 0x14, 0x18);
            border = theme::kBorderLight;
            break;
        case Tone::Flat:
            top = bottom = theme::kPanelRaised;
            border = theme::kBorder;
            break;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    const QRectF inner = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    p.drawRoundedRect(inner, radius, radius);
    if (tone != Tone::Sunken && sheen) {
        // A one-pixel sheen along the top edge.
        QColor light = Qt::white;
        light.setAlpha(tone == Tone::Raised ? 22 : 60);
        p.setPen(QPen(light, 1));
        p.drawLine(QPointF(inner.left() + radius, inner.top() + 1),
                   QPointF(inner.right() - radius, inner.top() + 1));
    }
    p.restore();
}

void arrow(QPainter& p, const QPointF& c, qreal s, Direction dir, const QColor& color) {
    QPolygonF tri;
    const qreal h = s / 2;
    switch (dir) {
        case Direction::Up:
            tri << QPointF(c.x(), c.y() - h) << QPointF(c.x() + h, c.y() + h * 0.6)
                << QPointF(c.x() - h, c.y() + h * 0.6);
            break;
        case Direction::Down:
            tri << QPointF(c.x(), c.y() + h) << QPointF(c.x() + h, c.y() - h * 0.6)
                << QPointF(c.x() - h, c.y() - h * 0.6);
            break;
        case Direction::Left:
            tri << QPointF(c.x() - h, c.y()) << QPointF(c.x() + h * 0.6, c.y() - h)
                << QPointF(c.x() + h * 0.6, c.y() + h);
            break;
        case Direction::Right:
            tri << QPointF(c.x() + h, c.y()) << QPointF(c.x() - h * 0.6, c.y() - h)
                << QPointF(c.x() - h * 0.6, c.y() + h);
            break;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(tri);
    p.restore();
}

void chevron(QPainter& p, const QPointF& c, qreal s, Direction dir, const QColor& color,
             qreal width) {
    const qreal h = s / 2;
    QPointF a;
    QPointF b;
    QPointF e;
    switch (dir) {
        case Direction::Down:
            a = {c.x() - h, c.y() - h / 2};
            b = {c.x(), c.y() + h / 2};
            e = {c.x() + h, c.y() - h / 2};
            break;
        case Direction::Up:
            a = {c.x() - h, c.y() + h / 2};
            b = {c.x(), c.y() - h / 2};
            e = {c.x() + h, c.y() + h / 2};
            break;
        case Direction::Right:
            a = {c.x() - h / 2, c.y() - h};
            b = {c.x() + h / 2, c.y()};
            e = {c.x() - h / 2, c.y() + h};
            break;
        case Direction::Left:
            a = {c.x() + h / 2, c.y() - h};
            b = {c.x() - h / 2, c.y()};
            e = {c.x() + h / 2, c.y() + h};
            break;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({a, b, e}));
    p.restore();
}

void text(QPainter& p, const QRectF& r, int flags, const QString& s, const QFont& font,
          const QColor& color) {
    // A longer translation shrinks to its rectangle rather than being cut, down to a size
    // still read with ease.
    constexpr int kSmallestPixels = 8;
    QFont fitted = font;
    while (fitted.pixelSize() > kSmallestPixels &&
           QFontMetricsF(fitted).boundingRect(r, flags, s).width() > r.width()) {
        fitted.setPixelSize(fitted.pixelSize() - 1);
    }
    p.save();
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(fitted);
    p.setPen(color);
    p.drawText(r, flags, s);
    p.restore();
}

void emblem(QPainter& p, const QPointF& c, qreal r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF hex;
    for (int i = 0; i < 6; ++i) {
        const qreal a = std::numbers::pi / 3 * i - std::numbers::pi / 2;
        hex << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    QLinearGradient g(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    g.setColorAt(0, theme::kAccentBright);
    g.setColorAt(1, theme::kAccentDark);
    p.setPen(QPen(g, r * 0.14, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(hex);
    // Inner cube: three faces meeting in the centre.
    const qreal k = r * 0.55;
    QPolygonF cube;
    for (int i = 0; i < 6; ++i) {
        const qreal a = std::numbers::pi / 3 * i - std::numbers::pi / 2;
        cube << QPointF(c.x() + k * std::cos(a), c.y() + k * std::sin(a));
    }
    QPolygonF topFace({cube[0], cube[1], c, cube[5]});
    QPolygonF leftFace({cube[5], c, cube[3], cube[4]});
    QPolygonF rightFace({c, cube[1], cube[2], cube[3]});
    p.setPen(Qt::NoPen);
    p.setBrush(theme::kAccentBright);
    p.drawPolygon(topFace);
    p.setBrush(theme::kAccent);
    p.drawPolygon(leftFace);
    p.setBrush(theme::kAccentDark);
    p.drawPolygon(rightFace);
    p.restore();
}

namespace {

struct ColourCount {
    QRgb colour;
    int pixels;
};

int channel(QRgb c, int axis) {
    return axis == 0 ? qRed(c) : axis == 1 ? qGreen(c) : qBlue(c);
}

// The widest channel range of a box of colours, and its axis.
std::pair<int, int> widest(const std::vector<ColourCount>& box) {
    std::pair<int, int> best{-1, 0};
    for (int axis = 0; axis < 3; ++axis) {
        int lo = 255;
        int hi = 0;
        for (const ColourCount& c : box) {
            lo = std::min(lo, channel(c.colour, axis));
            hi = std::max(hi, channel(c.colour, axis));
        }
        if (hi - lo > best.first) best = {hi - lo, axis};
    }
    return best;
}

// Median cut over the distinct colours (each counted once, so that rare but distant colours,
// text and thin rules, keep boxes of their own); each box gives its pixel-weighted mean.
QList<QRgb> medianCut(const QImage& img, int colours) {
    QHash<QRgb, int> counts;
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) ++counts[line[x] | 0xff000000U];
    }
    std::vector<std::vector<ColourCount>> boxes(1);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) boxes[0].push_back({it.key(), *it});
    std::sort(boxes[0].begin(), boxes[0].end(),
              [](const auto& a, const auto& b) { return a.colour < b.colour; });
    while (static_cast<int>(boxes.size()) < colours) {
        int pick = -1;
        std::pair<int, int> split{0, 0};
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].size() < 2) continue;
            const auto w = widest(boxes[i]);
            if (w.first > split.first) {
                split = w;
                pick = static_cast<int>(i);
            }
        }
        if (pick < 0) break;
        auto& box = boxes[static_cast<std::size_t>(pick)];
        // Ties go by the colour itself: the counts come in a random hash order, and the same
        // picture must give the same palette on every build.
        std::sort(box.begin(), box.end(), [axis = split.second](const auto& a, const auto& b) {
            const int ca = channel(a.colour, axis);
            const int cb = channel(b.colour, axis);
            return ca != cb ? ca < cb : a.colour < b.colour;
        });
        const auto middle = box.begin() + static_cast<std::ptrdiff_t>(box.size() / 2);
        std::vector<ColourCount> upper(middle, box.end());
        box.erase(middle, box.end());
        boxes.push_back(std::move(upper));
    }
    QList<QRgb> table;
    for (const auto& box : boxes) {
        double r = 0;
        double g = 0;
        double b = 0;
        double n = 0;
        for (const ColourCount& c : box) {
            r += qRed(c.colour) * double(c.pixels);
            g += qGreen(c.colour) * double(c.pixels);
            b += qBlue(c.colour) * double(c.pixels);
            n += c.pixels;
        }
        table << qRgb(qRound(r / n), qRound(g / n), qRound(b / n));
    }
    return table;
}

}  // namespace

void Output::savePaletted(const QImage& img, const QString& relativePath) {
    constexpr int kPaletteSize = 256;
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    QImage paletted = rgb.convertToFormat(QImage::Format_Indexed8, medianCut(rgb, kPaletteSize),
                                          Qt::ThresholdDither);
    paletted.setDevicePixelRatio(img.devicePixelRatio());
    save(paletted, relativePath);
}

void Output::save(const QImage& img, const QString& relativePath) {
    QString name = relativePath;
    if (g_scale != 1)
        name.insert(name.lastIndexOf(QLatin1Char('.')), QStringLiteral("@%1x").arg(g_scale));
    const QString path = root_ + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    // A bitmap left at 1x would show at half its size among the 2x images.
    const bool dense = qRound(img.devicePixelRatio()) == g_scale;
    // Light compression for palettes: the files stay small (the pictures are mostly flat), and
    // the first start, which has to inflate the large ones before it can paint, does so faster.
    constexpr int kQuickToInflate = 80;
    const bool saved = img.format() == QImage::Format_Indexed8
                           ? img.save(path, "PNG", kQuickToInflate)
                           : writeQuickPng(img, path);
    if (img.isNull() || !dense || !saved) {
        failures_ << name;
        return;
    }
    ++written_;
}

}  // namespace tessaron::assets
