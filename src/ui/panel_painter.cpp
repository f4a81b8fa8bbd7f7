#include "ui/panel_painter.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "ui/accessible_areas.h"
#include "ui/image_cache.h"

namespace tessaron::ui {

QFont panelFont(int pixelHeight, int weight) {
    QFont font;
    // fontconfig maps "Arial" to Liberation Sans; the explicit names keep it so where no alias
    // exists, and the CJK face covers the Chinese texts.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelHeight > 0 ? pixelHeight : 1);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

bool drawPanelImage(QPainter& painter, const QString& folder, const QString& fileName, int x,
                    int y) {
    const QImage img = ImageCache::instance().image(folder + fileName);
    if (img.isNull()) return false;
    painter.drawImage(x, y, img);
    return true;
}

QSize panelImageSize(const QString& folder, const QString& fileName) {
    return ImageCache::instance().size(folder + fileName);
}

void drawPanelText(QPainter& painter, const QString& text, int x, int y, const QFont& font,
                   const QColor& color) {
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(font);
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
    painter.restore();
}

void fitLabel(WindowArea& area, int usualHeight, const QRect& room) {
    int height = area.labelHeight > 0 ? area.labelHeight : usualHeight;
    const auto width = [&] { return QFontMetrics(panelFont(height)).horizontalAdvance(area.paintedLabel()); };
    while (height > kSmallestTextHeight && area.labelAt.x() + width() - 1 > room.right()) --height;
    // A smaller label keeps the middle of its line.
    area.labelAt.ry() += ((area.labelHeight > 0 ? area.labelHeight : usualHeight) - height) / 2;
    area.labelHeight = height;
    const int overrun = area.labelAt.x() + width() - 1 - room.right();
    if (overrun > 0) area.labelAt.rx() = std::max(room.left(), area.labelAt.x() - overrun);
}

CentredLabel centredLabel(const QString& text, const QRect& button, int pixelHeight) {
    constexpr int kSpare = 4;
    constexpr int kWeight = 400;
    const QRect room = button.adjusted(kSpare, 0, -kSpare, 0);
    CentredLabel label;
    label.flags = Qt::AlignCenter | Qt::TextSingleLine;
    while (pixelHeight > kSmallestTextHeight &&
           QFontMetrics(panelFont(pixelHeight, kWeight)).horizontalAdvance(text) > room.width()) {
        --pixelHeight;
    }
    label.font = panelFont(pixelHeight, kWeight);
    const QFontMetrics metrics(label.font);
    if (metrics.horizontalAdvance(text) > room.width()) label.flags = Qt::AlignCenter | Qt::TextWordWrap;
    const QRect used = metrics.boundingRect(room, label.flags, text);
    label.fits = used.width() <= room.width() && used.height() <= room.height();
    return label;
}

void drawPanelText(QPainter& painter, const QString& text, int x, int y, int pixelHeight) {
    drawPanelText(painter, text, x, y, panelFont(pixelHeight), Qt::white);
}

}  // namespace tessaron::ui
