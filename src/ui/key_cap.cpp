#include "ui/key_cap.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

namespace tessaron::ui {

namespace {

QFont legendFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::DemiBold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

}  // namespace

KeyCapColours plainKeyCap() {
    return {QColor(0x24, 0x27, 0x2d), QColor(0x16, 0x18, 0x1c), QColor(0x3a, 0x3f, 0x48),
            QColor(0x2a, 0x2e, 0x35), QColor(0x4a, 0x50, 0x5c), QColor(0xd8, 0xdc, 0xe2)};
}

KeyCapColours highlightedKeyCap() {
    return {QColor(0x9a, 0x16, 0x25), QColor(0x5c, 0x0c, 0x15), QColor(0xff, 0x52, 0x63),
            QColor(0xc8, 0x1e, 0x31), QColor(0xff, 0xa0, 0xaa), Qt::white};
}

KeyCapColours litKeyCap(const QColor& light) {
    return {light.darker(180), light.darker(300), light.lighter(125), light,
            light.lighter(170), light.lightness() > 150 ? QColor(Qt::black) : QColor(Qt::white)};
}

QRectF keyCapTop(const QRectF& outer) {
    return outer.adjusted(2.5, 1.5, -1.5, -3.5);
}

KeyLegend keyLegend(const QRectF& outer, const QString& legend) {
    // The largest size up to 9 px at which the legend fits the key top on one line, turning to
    // the narrow face for long legends; legends of two words ("Caps Lock") may take two lines.
    const QRectF area = keyCapTop(outer).adjusted(1, 0, -1, 0);
    int flags = Qt::AlignCenter;
    QFont font = legendFont(7);
    if (legend.contains(QLatin1Char(' '))) {
        flags |= Qt::TextWordWrap;
    } else {
        const auto fits = [&](const QFont& f) {
            return QFontMetricsF(f).horizontalAdvance(legend) <= area.width();
        };
        font = legendFont(9);
        for (int size = 9; size >= 8 && !fits(font); --size) font = legendFont(size);
        if (!fits(font)) {
            font.setFamilies(
                {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans")});
            for (int size = 9; size >= 6; --size) {
                font.setPixelSize(size);
                if (fits(font)) break;
            }
        }
    }
    return {area, flags, font};
}

void drawKeyCap(QPainter& p, const QRectF& outer, const QString& legend,
                const KeyCapColours& colours) {
    // Half a pixel in, so the one-pixel edges fall on whole pixels.
    const QRectF shape(outer.left() + 0.5, outer.top() + 0.5, outer.width(), outer.height());
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient side(shape.topLeft(), shape.bottomLeft());
    side.setColorAt(0, colours.sideTop);
    side.setColorAt(1, colours.sideBottom);
    QLinearGradient face(shape.topLeft(), shape.bottomLeft());
    face.setColorAt(0, colours.faceTop);
    face.setColorAt(1, colours.faceBottom);
    p.setPen(QPen(QColor(0x05, 0x05, 0x06), 1));
    p.setBrush(side);
    p.drawRoundedRect(shape, 3, 3);
    const QRectF top = keyCapTop(outer);
    p.setPen(QPen(colours.border, 0.8));
    p.setBrush(face);
    p.drawRoundedRect(top, 2.5, 2.5);

    const KeyLegend fitted = keyLegend(outer, legend);
    p.setFont(fitted.font);
    p.setPen(colours.legend);
    p.drawText(fitted.area, fitted.flags, legend);
    p.restore();
}

}  // namespace tessaron::ui
