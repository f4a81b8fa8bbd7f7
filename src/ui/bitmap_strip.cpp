#include "ui/bitmap_strip.h"

#include <QPainter>

#include <utility>

namespace tessaron::ui {

BitmapStrip::BitmapStrip(QImage bitmap, int frameWidth, int frameHeight)
    : bitmap_(std::move(bitmap)),
      frameWidth_(frameWidth > 0 ? frameWidth : bitmap_.width()),
      frameHeight_(frameHeight > 0 ? frameHeight : bitmap_.height()) {}

int BitmapStrip::frameCount() const {
    if (bitmap_.isNull() || frameWidth_ <= 0 || frameHeight_ <= 0) return 0;
    return vertical() ? bitmap_.height() / frameHeight_ : bitmap_.width() / frameWidth_;
}

QRect BitmapStrip::frameRect(int index) const {
    if (index < 0 || index >= frameCount()) return {};
    return vertical() ? QRect(0, index * frameHeight_, frameWidth_, frameHeight_)
                      : QRect(index * frameWidth_, 0, frameWidth_, frameHeight_);
}

void BitmapStrip::draw(QPainter& painter, int index) const {
    const QRect source = frameRect(index);
    if (source.isEmpty()) return;
    painter.drawImage(position_, bitmap_, source);
}

}  // namespace tessaron::ui
