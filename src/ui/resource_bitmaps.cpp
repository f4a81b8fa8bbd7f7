#include "ui/resource_bitmaps.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <mutex>

#include "ui/theme.h"

namespace tessaron::ui {

namespace {

// The pixel density of the bitmap being rendered (set under the cache's lock).
int g_ratio = 1;

// Painting uses logical pixels; the image carries the density.
QImage blank(int w, int h, const QColor& fill) {
    QImage img(w * g_ratio, h * g_ratio, QImage::Format_RGB32);
    img.setDevicePixelRatio(g_ratio);
    img.fill(fill);
    return img;
}

QImage listIcon(ResourceBitmap id) {
    QImage img = blank(kListIconSize, kListIconSize, theme::kPanelSunken);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = kListIconSize;
    if (id == ResourceBitmap::ListDelayIcon) {
        p.setPen(QPen(theme::kTextDim, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.5, 1.5, s - 3, s - 3));
        p.drawLine(QPointF(s / 2, s / 2), QPointF(s / 2, 4));
        p.drawLine(QPointF(s / 2, s / 2), QPointF(s - 4, s / 2));
        return img;
    }
    const bool down = id == ResourceBitmap::ListDownIcon;
    QPainterPath arrow;
    if (down) {
        arrow.moveTo(s / 2, s - 2);
        arrow.lineTo(2, s / 2);
        arrow.lineTo(s / 2 - 2, s / 2);
        arrow.lineTo(s / 2 - 2, 2);
        arrow.lineTo(s / 2 + 2, 2);
        arrow.lineTo(s / 2 + 2, s / 2);
        arrow.lineTo(s - 2, s / 2);
    } else {
        arrow.moveTo(s / 2, 2);
        arrow.lineTo(s - 2, s / 2);
        arrow.lineTo(s / 2 + 2, s / 2);
        arrow.lineTo(s / 2 + 2, s - 2);
        arrow.lineTo(s / 2 - 2, s - 2);
        arrow.lineTo(s / 2 - 2, s / 2);
        arrow.lineTo(2, s / 2);
    }
    arrow.closeSubpath();
    p.fillPath(arrow, down ? theme::kAccent : QColor(0x4c, 0xb8, 0x7a));
    return img;
}

QImage treeGlyph(bool expanded) {
    QImage img = blank(kTreeGlyphSize, kTreeGlyphSize, theme::kTreeBackground);
    QPainter p(&img);
    p.setPen(theme::kBorderLight);
    p.drawRect(0, 0, kTreeGlyphSize - 1, kTreeGlyphSize - 1);
    p.setPen(theme::kText);
    p.drawLine(2, 4, 6, 4);
    if (!expanded) p.drawLine(4, 2, 4, 6);
    return img;
}

QImage sliderStrip(bool lit) {
    QImage img = blank(kSliderStripWidth, kSliderStripHeight, theme::kCard);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF groove(1, 5.5, kSliderStripWidth - 2, 5);
    QLinearGradient g(groove.topLeft(), groove.topRight());
    if (lit) {
        g.setColorAt(0, theme::kAccentDark);
        g.setColorAt(1, theme::kAccentBright);
    } else {
        g.setColorAt(0, theme::kPanelSunken);
        g.setColorAt(1, theme::kPanelSunken);
    }
    p.setPen(QPen(theme::kBorder, 1));
    p.setBrush(g);
    p.drawRoundedRect(groove, 2.5, 2.5);
    return img;
}

QImage thumbStrip() {
    constexpr int kFrames = 3;  // normal, hot, pressed
    QImage img = blank(kThumbFrameWidth * kFrames, kThumbFrameHeight, theme::kCard);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor faces[kFrames] = {theme::kText, theme::kAccentBright, theme::kAccent};
    for (int i = 0; i < kFrames; ++i) {
        const QRectF r(i * kThumbFrameWidth + 1.5, 1.5, kThumbFrameWidth - 3,
                       kThumbFrameHeight - 3);
        p.setPen(QPen(theme::kAccent, 1.5));
        p.setBrush(faces[i]);
        p.drawEllipse(r);
    }
    return img;
}

QImage listBackground() {
    QImage img = blank(kListBackgroundWidth, kListBackgroundHeight, theme::kPanel);
    QPainter p(&img);
    paintListPane(p, QRect(0, 0, kListBackgroundWidth, kListBackgroundHeight));
    return img;
}

QImage render(ResourceBitmap id) {
    switch (id) {
        case ResourceBitmap::ListDownIcon:
        case ResourceBitmap::ListUpIcon:
        case ResourceBitmap::ListDelayIcon:
            return listIcon(id);
        case ResourceBitmap::TreeCollapsed:
            return treeGlyph(false);
        case ResourceBitmap::TreeExpanded:
            return treeGlyph(true);
        case ResourceBitmap::SliderStrip:
            return sliderStrip(false);
        case ResourceBitmap::SliderStripLit:
            return sliderStrip(true);
        case ResourceBitmap::ThumbStrip:
            return thumbStrip();
        case ResourceBitmap::ListBackground:
            return listBackground();
    }
    return {};
}

}  // namespace

void paintListPane(QPainter& painter, const QRect& pane) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Header strip above the list area, then the sunken list area itself.
    const QRect header(pane.left(), pane.top(), pane.width(), kListBackgroundOriginY - 1);
    QLinearGradient hg(header.topLeft(), header.bottomLeft());
    hg.setColorAt(0, theme::kPanelRaised);
    hg.setColorAt(1, theme::kPanel);
    painter.fillRect(header, hg);
    painter.fillRect(QRect(pane.left(), pane.top() + kListBackgroundOriginY - 2, pane.width(), 1),
                     theme::kAccent);
    const QRect body(pane.left(), pane.top() + kListBackgroundOriginY - 1, pane.width(),
                     pane.height() - kListBackgroundOriginY + 1);
    painter.fillRect(body, theme::kPanelSunken);
    painter.setPen(theme::kBorder);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(pane.adjusted(0, 0, -1, -1));
    painter.restore();
}

QImage resourceBitmap(ResourceBitmap id, int ratio) {
    static std::mutex mutex;
    static QHash<int, QImage> cache;
    ratio = std::clamp(ratio, 1, 4);
    std::lock_guard lock(mutex);
    const int key = static_cast<int>(id) * 8 + ratio;
    auto it = cache.find(key);
    if (it == cache.end()) {
        g_ratio = ratio;
        it = cache.insert(key, render(id));
        g_ratio = 1;
    }
    return *it;
}

}  // namespace tessaron::ui
