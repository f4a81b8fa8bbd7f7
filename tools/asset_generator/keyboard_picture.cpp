#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <string_view>

#include "images.h"
#include "keys/key_layout.h"
#include "ui/theme.h"

namespace tessaron::assets {

namespace {

namespace theme = ui::theme;

void drawCase(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Under-glow first, then the case and its plate.
    QRadialGradient glow(QPointF(330, 170), 340);
    QColor g = theme::kAccent;
    g.setAlpha(70);
    glow.setColorAt(0, g);
    g.setAlpha(0);
    glow.setColorAt(1, g);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(QRectF(6, 52, 648, 222), 24, 24);

    const QRectF caseRect(22.5, 64.5, 617, 193);
    QLinearGradient cg(caseRect.topLeft(), caseRect.bottomLeft());
    cg.setColorAt(0, QColor(0x2a, 0x2e, 0x35));
    cg.setColorAt(0.08, QColor(0x1b, 0x1e, 0x23));
    cg.setColorAt(1, QColor(0x0f, 0x11, 0x14));
    p.setPen(QPen(QColor(0x3b, 0x41, 0x4c), 1));
    p.setBrush(cg);
    p.drawRoundedRect(caseRect, 12, 12);
    // Accent light bar along the bottom edge.
    QLinearGradient bar(QPointF(40, 0), QPointF(620, 0));
    QColor a = theme::kAccent;
    a.setAlpha(0);
    bar.setColorAt(0, a);
    a.setAlpha(230);
    bar.setColorAt(0.5, a);
    a.setAlpha(0);
    bar.setColorAt(1, a);
    p.setPen(QPen(QBrush(bar), 2));
    p.drawLine(QPointF(50, 256), QPointF(610, 256));
    // Plate under the keys.
    p.setPen(QPen(QColor(0x08, 0x09, 0x0b), 1));
    p.setBrush(QColor(0x0b, 0x0c, 0x0f));
    p.drawRoundedRect(QRectF(31.5, 85.5, 549, 158), 4, 4);
    p.drawRoundedRect(QRectF(509.5, 73.5, 122, 33), 4, 4);
    // Brand plate and lock lights.
    text(p, QRectF(38, 68, 200, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TESSARON"),
         uiFont(10, QFont::Bold), QColor(0x8a, 0x90, 0x9b));
    for (int i = 0; i < 3; ++i) {
        const QPointF c(420 + i * 22, 77);
        p.setPen(Qt::NoPen);
        p.setBrush(i == 0 ? theme::kAccentBright : QColor(0x33, 0x37, 0x3f));
        p.drawEllipse(c, 2.2, 2.2);
    }
    p.restore();
}

void drawKey(QPainter& p, const keys::KeyRect& k, std::string_view legendText, bool lit) {
    const QRectF outer(k.left + 0.5, k.top + 0.5, k.right - k.left, k.bottom - k.top);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient side(outer.topLeft(), outer.bottomLeft());
    QLinearGradient face(outer.topLeft(), outer.bottomLeft());
    QColor border;
    QColor legend;
    if (lit) {
        side.setColorAt(0, QColor(0x9a, 0x16, 0x25));
        side.setColorAt(1, QColor(0x5c, 0x0c, 0x15));
        face.setColorAt(0, QColor(0xff, 0x52, 0x63));
        face.setColorAt(1, QColor(0xc8, 0x1e, 0x31));
        border = QColor(0xff, 0xa0, 0xaa);
        legend = Qt::white;
    } else {
        side.setColorAt(0, QColor(0x24, 0x27, 0x2d));
        side.setColorAt(1, QColor(0x16, 0x18, 0x1c));
        face.setColorAt(0, QColor(0x3a, 0x3f, 0x48));
        face.setColorAt(1, QColor(0x2a, 0x2e, 0x35));
        border = QColor(0x4a, 0x50, 0x5c);
        legend = QColor(0xd8, 0xdc, 0xe2);
    }
    p.setPen(QPen(QColor(0x05, 0x05, 0x06), 1));
    p.setBrush(side);
    p.drawRoundedRect(outer, 3, 3);
    const QRectF top = outer.adjusted(2, 1, -2, -4);
    p.setPen(QPen(border, 0.8));
    p.setBrush(face);
    p.drawRoundedRect(top, 2.5, 2.5);

    const QString label =
        QString::fromUtf8(legendText.data(), static_cast<qsizetype>(legendText.size()));
    // The largest size up to 9 px at which the legend fits the key top on one line, turning to
    // the narrow face for long legends; "Caps Lock" is allowed two lines.
    const QRectF area = top.adjusted(1, 0, -1, 0);
    int flags = Qt::AlignCenter;
    QFont font = uiFont(7, QFont::DemiBold);
    if (label.contains(QLatin1Char(' '))) {
        flags |= Qt::TextWordWrap;
    } else {
        auto fits = [&](const QFont& f) {
            return QFontMetricsF(f).horizontalAdvance(label) <= area.width();
        };
        font = uiFont(9, QFont::DemiBold);
        for (int size = 9; size >= 8 && !fits(font); --size) font = uiFont(size, QFont::DemiBold);
        if (!fits(font)) {
            font.setFamilies(
                {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans")});
            for (int size = 9; size >= 6; --size) {
                font.setPixelSize(size);
                if (fits(font)) break;
            }
        }
    }
    text(p, area, flags, label, font, legend);
    p.restore();
}

}  // namespace

QImage keyboardPicture(const QImage& under, bool highlighted) {
    QImage img = under.copy();
    QPainter p(&img);
    drawCase(p);
    for (keys::KeyIndex i = 0; i < keys::kRealKeyCount; ++i) {
        drawKey(p, keys::keyRect(i), keys::legend(i), highlighted);
    }
    return img;
}

}  // namespace tessaron::assets
