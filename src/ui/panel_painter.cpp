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

bool fitLabelGroup(std::span<WindowArea* const> group, int usualHeight) {
    const auto fitsAt = [](const WindowArea& a, int height) {
        const QRect& room = a.labelRoom.isEmpty() ? a.rect : a.labelRoom;
        return a.labelAt.x() + QFontMetrics(panelFont(height)).horizontalAdvance(a.paintedLabel()) -
                   1 <= room.right();
    };
    const auto allFit = [&](int height) {
        return std::all_of(group.begin(), group.end(),
                           [&](const WindowArea* a) { return fitsAt(*a, height); });
    };
    int height = usualHeight;
    while (height > kSmallestTextHeight && !allFit(height)) --height;
    for (WindowArea* a : group) {
        a->labelAt.ry() += (usualHeight - height) / 2;
        a->labelHeight = height;
    }
    return allFit(height);
}

namespace {
constexpr int kCentredSpare = 4;

QRect labelRoom(const QRect& button, Qt::Alignment horizontal) {
    return horizontal == Qt::AlignHCenter ? button.adjusted(kCentredSpare, 0, -kCentredSpare, 0)
                                          : button;
}
}  // namespace

CentredLabel centredLabel(const QString& text, const QRect& button, int pixelHeight,
                          Qt::Alignment horizontal) {
    constexpr int kWeight = 400;
    const QRect room = labelRoom(button, horizontal);
    CentredLabel label;
    label.flags = static_cast<int>(horizontal) | Qt::AlignVCenter | Qt::TextSingleLine;
    while (pixelHeight > kSmallestTextHeight &&
           QFontMetrics(panelFont(pixelHeight, kWeight)).horizontalAdvance(text) > room.width()) {
        --pixelHeight;
    }
    label.font = panelFont(pixelHeight, kWeight);
    const QFontMetrics metrics(label.font);
    if (metrics.horizontalAdvance(text) > room.width()) {
        label.flags = static_cast<int>(horizontal) | Qt::AlignVCenter | Qt::TextWordWrap;
    }
    QRect used = metrics.boundingRect(room, label.flags, text);
    if (used.width() > room.width()) {
        // A word longer than the button breaks inside itself rather than being cut.
        label.flags = static_cast<int>(horizontal) | Qt::AlignVCenter | Qt::TextWrapAnywhere;
        used = metrics.boundingRect(room, label.flags, text);
    }
    label.fits = used.width() <= room.width() && used.height() <= room.height();
    return label;
}

void drawCentredLabel(QPainter& painter, const QString& text, const QRect& button, int pixelHeight,
                      const QColor& color, Qt::Alignment horizontal) {
    const CentredLabel label = centredLabel(text, button, pixelHeight, horizontal);
    painter.save();
    painter.setFont(label.font);
    painter.setPen(color);
    // Wrapped lines keep the spare pixels the measure gave them.
    const bool wrapped = (label.flags & (Qt::TextWordWrap | Qt::TextWrapAnywhere)) != 0;
    painter.drawText(wrapped ? labelRoom(button, horizontal) : button, label.flags, text);
    painter.restore();
}

void drawPanelText(QPainter& painter, const QString& text, int x, int y, int pixelHeight) {
    drawPanelText(painter, text, x, y, panelFont(pixelHeight), Qt::white);
}

}  // namespace tessaron::ui
