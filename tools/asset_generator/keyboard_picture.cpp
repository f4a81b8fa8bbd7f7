#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <string_view>

#include "images.h"
#include "keys/key_layout.h"
#include "ui/key_cap.h"
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

}  // namespace

QImage keyboardPicture(const QImage& under, bool highlighted) {
    QImage img = under.copy();
    QPainter p(&img);
    drawCase(p);
    const ui::KeyCapColours colours =
        highlighted ? ui::highlightedKeyCap() : ui::plainKeyCap();
    for (keys::KeyIndex i = 0; i < keys::kRealKeyCount; ++i) {
        const keys::KeyRect k = keys::keyRect(i);
        const std::string_view legend = keys::legend(i);
        ui::drawKeyCap(p, QRectF(k.left, k.top, k.right - k.left, k.bottom - k.top),
                       QString::fromUtf8(legend.data(), static_cast<qsizetype>(legend.size())),
                       colours);
    }
    return img;
}

}  // namespace tessaron::assets
