#pragma once
// A bitmap cut into equal frames: vertical when the bitmap is narrower than high, horizontal
// otherwise.

#include <QImage>
#include <QPoint>
#include <QRect>

class QPainter;

namespace tessaron::ui {

class BitmapStrip {
public:
    BitmapStrip() = default;
    // frameWidth / frameHeight 0: the bitmap's own width / height.
    BitmapStrip(QImage bitmap, int frameWidth, int frameHeight);

    [[nodiscard]] bool isNull() const { return bitmap_.isNull(); }
    [[nodiscard]] bool vertical() const { return bitmap_.width() < bitmap_.height(); }
    [[nodiscard]] int frameCount() const;
    [[nodiscard]] QSize frameSize() const { return {frameWidth_, frameHeight_}; }
    // Where frame i lies in the bitmap; empty for an index outside the strip.
    [[nodiscard]] QRect frameRect(int index) const;

    // Draws frame i opaque at the strip's position in the target.
    void draw(QPainter& painter, int index) const;
    void setPosition(QPoint position) { position_ = position; }

private:
    QImage bitmap_;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    QPoint position_;
};

}  // namespace tessaron::ui
