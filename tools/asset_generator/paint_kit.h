#pragma once
// Small drawing vocabulary shared by the image renderers: fonts, bevelled shapes, glyphs and
// the output folder.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

#include "core/language.h"

class QPainter;

namespace tessaron::assets {

// Texts baked into images exist in both interface languages.
struct Lang {
    Language code;
    [[nodiscard]] bool chinese() const { return code == Language::Chinese; }
};

// Liberation Sans ("Arial") with the CJK face behind it.
QFont uiFont(qreal pixelSize, int weight = QFont::Normal);

// Every image is rendered once per pixel density: scale 1 for "name.png", 2 for "name@2x.png".
// Renderers draw in logical pixels; the canvas carries the density, so QPainter scales for them.
void setScale(int scale);
[[nodiscard]] int scale();

QImage canvas(int width, int height, const QColor& fill);
// A copy of part of an already rendered image, in logical pixels: small images are copied opaque
// over it by the windows, so they start from what lies under them.
QImage crop(const QImage& base, int x, int y, int width, int height);
// The image's rectangle in logical pixels (QImage::rect() counts device pixels).
QRect logicalRect(const QImage& img);

enum class Tone { Raised, Accent, AccentBright, Sunken, Flat };
// Rounded button-like body with a vertical gradient and a hairline border.
// The sheen is a light line one pixel under the top edge; bodies whose text starts just below
// their top leave it out.
void body(QPainter& p, const QRectF& r, Tone tone, qreal radius = 3.0, bool sheen = true);

enum class Direction { Up, Down, Left, Right };
void arrow(QPainter& p, const QPointF& centre, qreal size, Direction dir, const QColor& color);
void chevron(QPainter& p, const QPointF& centre, qreal size, Direction dir, const QColor& color,
             qreal width = 1.6);

// Text centred in (or aligned within) a rectangle.
void text(QPainter& p, const QRectF& r, int flags, const QString& s, const QFont& font,
          const QColor& color);

// The product emblem: a cube inside a hexagon, in accent red.
void emblem(QPainter& p, const QPointF& centre, qreal radius);

// Collects the rendered files under one root folder.
class Output {
public:
    explicit Output(QString root) : root_(std::move(root)) {}
    // Saves img as <root>/<relativePath>, creating folders; failures are remembered. At scale 2
    // the file is "<name>@2x.png" and must hold twice the pixels of its logical size.
    void save(const QImage& img, const QString& relativePath);
    // The same with at most 256 colours (chosen by median cut, ordered dither): for the large
    // pictures a first start must inflate before it can paint; a palette PNG inflates several
    // times faster than a true-colour one and looks the same on these dark gradients.
    void savePaletted(const QImage& img, const QString& relativePath);
    [[nodiscard]] int written() const { return written_; }
    [[nodiscard]] const QStringList& failures() const { return failures_; }

private:
    QString root_;
    int written_ = 0;
    QStringList failures_;
};

}  // namespace tessaron::assets
