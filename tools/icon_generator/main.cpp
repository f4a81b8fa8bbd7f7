// Renders the program's icon into a hicolor icon theme tree: <out>/hicolor/<n>x<n>/apps/
// tessaron.png at the sizes desktops look for. Run with QT_QPA_PLATFORM=offscreen.

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include "paint_kit.h"
#include "ui/theme.h"

namespace {

using namespace tessaron;
namespace theme = ui::theme;

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

// The splash window's emblem on a dark rounded tile. Small sizes give the emblem more room:
// at 16 pixels the tile's margin and glow would eat it.
QImage renderIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const bool small = size <= 24;
    const qreal margin = small ? 0.0 : s * 0.06;
    const QRectF tile(margin, margin, s - 2 * margin, s - 2 * margin);
    const qreal radius = tile.width() * 0.2;

    QLinearGradient bg(tile.topLeft(), tile.bottomLeft());
    bg.setColorAt(0, QColor(0x26, 0x2a, 0x32));
    bg.setColorAt(1, QColor(0x0a, 0x0b, 0x0e));
    QPainterPath shape;
    shape.addRoundedRect(tile, radius, radius);
    p.fillPath(shape, bg);
    if (!small) {
        QRadialGradient glow(tile.center(), tile.width() * 0.5);
        QColor g = theme::kAccent;
        g.setAlpha(90);
        glow.setColorAt(0, g);
        g.setAlpha(0);
        glow.setColorAt(1, g);
        p.fillPath(shape, glow);
        p.setPen(QPen(theme::kBorderLight, std::max(1.0, s / 96)));
        p.drawPath(shape);
    }
    assets::emblem(p, tile.center(), tile.width() * (small ? 0.44 : 0.36));
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "usage: " << args.value(0) << " <output icons folder>\n";
        return 2;
    }
    assets::Output out(args.at(1));
    for (const int size : kSizes) {
        out.save(renderIcon(size), QStringLiteral("hicolor/%1x%1/apps/tessaron.png").arg(size));
    }
    if (!out.failures().isEmpty()) {
        err << "could not write: " << out.failures().join(QStringLiteral(", ")) << '\n';
        return 1;
    }
    return 0;
}
