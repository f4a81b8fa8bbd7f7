#include "ui/panel_painter.h"

#include <QPainter>

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

void drawPanelText(QPainter& painter, const QString& text, int x, int y, int pixelHeight) {
    drawPanelText(painter, text, x, y, panelFont(pixelHeight), Qt::white);
}

}  // namespace tessaron::ui
