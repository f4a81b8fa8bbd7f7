#include "ui/bit_slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "ui/accessible_areas.h"
#include "ui/resource_bitmaps.h"

namespace tessaron::ui {

CBitWnd::CBitWnd(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
}

void CBitWnd::setStrip(BitmapStrip strip) {
    strip_ = std::move(strip);
    update();
}

void CBitWnd::setFrame(int frame) {
    frame_ = frame;
    update();
}

void CBitWnd::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    strip_.draw(p, frame_);
}

CBitSlider::CBitSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent) {
    setMouseTracking(true);
    setSingleStep(1);
    setPageStep(1);
    // Its owner paints it, so the owner's area for it is what a reader finds.
    speakFor(this);
}

void CBitSlider::setUp() {
    if (thumb_ != nullptr) return;
    thumb_ = new CBitWnd(this);  // owned by this slider
    thumb_->setStrip(BitmapStrip(resourceBitmap(ResourceBitmap::ThumbStrip), kThumbFrameWidth,
                                 kThumbFrameHeight));
    thumb_->resize(thumb_->strip().frameSize());
    thumb_->hide();
}

void CBitSlider::loadBitmaps() {
    stripA_ = BitmapStrip(resourceBitmap(ResourceBitmap::SliderStrip), 0, 0);
    stripB_ = BitmapStrip(resourceBitmap(ResourceBitmap::SliderStripLit), 0, 0);
    resize(stripA_.frameSize());
}

QSize CBitSlider::thumbSize() const {
    return thumb_ != nullptr ? thumb_->size() : QSize(kThumbFrameWidth, kThumbFrameHeight);
}

QRect CBitSlider::channelRect() const {
    const QSize t = thumbSize();
    if (orientation() == Qt::Horizontal)
        return {t.width() / 2, 0, std::max(0, width() - t.width()), height()};
    return {0, t.height() / 2, width(), std::max(0, height() - t.height())};
}

QRect CBitSlider::thumbRect() const {
    const QRect channel = channelRect();
    const QSize t = thumbSize();
    const int span = maximum() - minimum();
    const int length = orientation() == Qt::Horizontal ? channel.width() : channel.height();
    const int along = span > 0 ? length * (value() - minimum()) / span : 0;
    if (orientation() == Qt::Horizontal)
        return {channel.left() + along - t.width() / 2, 0, t.width(), height()};
    return {0, channel.top() + along - t.height() / 2, width(), t.height()};
}

int CBitSlider::positionForOffset(int offset, int channelLength, int minimum, int maximum) {
    if (channelLength <= 0 || maximum <= minimum) return minimum;
    const double exact = static_cast<double>(maximum - minimum) * offset / channelLength;
    // Half up: 4.5 becomes 5.
    const int steps = static_cast<int>(std::floor(exact + 0.5));
    return std::clamp(minimum + steps, minimum, maximum);
}

int CBitSlider::valueAt(QPoint point) const {
    const QRect channel = channelRect();
    if (orientation() == Qt::Horizontal)
        return positionForOffset(point.x() - channel.left(), channel.width(), minimum(), maximum());
    return positionForOffset(point.y() - channel.top(), channel.height(), minimum(), maximum());
}

void CBitSlider::updateThumb() {
    const QRect thumb = thumbRect();
    const QSize w = thumbSize();
    int left = 0;
    int top = 0;
    if (orientation() == Qt::Horizontal) {
        left = thumb.left() + (w.width() - thumb.width()) / 2;
        top = thumbOffset_;
    } else {
        top = thumb.top() + (w.height() - thumb.height()) / 2;
        left = thumbOffset_;
    }
    thumbX_ = left - 10;
    thumbY_ = top;
    if (thumb_ != nullptr) {
        thumb_->move(left, top);
        thumb_->hide();
    }
    emit thumbPlaced(controlId_);
}

void CBitSlider::paintEvent(QPaintEvent* /*event*/) {
    // Nothing is drawn here: the owner paints the slider over its own background.
    updateThumb();
}

void CBitSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    event->accept();
    dragging_ = true;
    setSliderDown(true);
    setValue(valueAt(event->position().toPoint()));
    update();
}

void CBitSlider::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        setValue(valueAt(event->position().toPoint()));
        event->accept();
    }
    updateThumb();
}

void CBitSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        setSliderDown(false);
        event->accept();
        update();
        return;
    }
    QSlider::mouseReleaseEvent(event);
}

void CBitSlider::wheelEvent(QWheelEvent* event) {
    // Swallowed: neither the slider nor its parent moves.
    event->accept();
}

}  // namespace tessaron::ui
