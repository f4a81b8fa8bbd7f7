#pragma once
// A slider that draws nothing itself: its owner paints it from thumbX()/thumbY() and the value
// whenever the slider signals thumbPlaced (with its control id). A click puts the thumb
// where the click was; the wheel never moves it.

#include <QSlider>
#include <QWidget>

#include "ui/bitmap_strip.h"

namespace tessaron::ui {

// The thumb window: a hidden child that only lends the slider its thumb size.
class CBitWnd : public QWidget {
    Q_OBJECT
public:
    explicit CBitWnd(QWidget* parent = nullptr);

    void setStrip(BitmapStrip strip);
    [[nodiscard]] const BitmapStrip& strip() const { return strip_; }
    [[nodiscard]] int frame() const { return frame_; }
    void setFrame(int frame);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BitmapStrip strip_;
    int frame_ = 0;
};

class CBitSlider : public QSlider {
    Q_OBJECT
public:
    explicit CBitSlider(Qt::Orientation orientation = Qt::Horizontal, QWidget* parent = nullptr);

    void setControlId(int id) { controlId_ = id; }
    [[nodiscard]] int controlId() const { return controlId_; }

    // Creates the hidden thumb window sized to one thumb frame; does nothing the second time.
    void setUp();
    // Resizes the slider to its bitmap strips (220 x 17) without moving it.
    void loadBitmaps();
    [[nodiscard]] CBitWnd* thumbWindow() const { return thumb_; }

    // Where the owner paints the thumb: thumb window left - 10, and its top.
    [[nodiscard]] int thumbX() const { return thumbX_; }
    [[nodiscard]] int thumbY() const { return thumbY_; }
    // Offset of the thumb across the slider (top for horizontal sliders), default 0.
    void setThumbOffset(int offset) { thumbOffset_ = offset; }

    // The channel the thumb's centre travels along, in client pixels.
    [[nodiscard]] QRect channelRect() const;
    // The trackbar thumb at the current value, in client pixels.
    [[nodiscard]] QRect thumbRect() const;
    // The value a click at this client point selects.
    [[nodiscard]] int valueAt(QPoint point) const;
    // (max - min) x offset / length, rounded half up, plus min; clamped to the range.
    static int positionForOffset(int offset, int channelLength, int minimum, int maximum);

    // Recomputes the thumb position, hides the thumb window and tells the owner.
    void updateThumb();

signals:
    // The thumb was placed anew (moved, or only repainted); the owner compares the value.
    void thumbPlaced(int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    [[nodiscard]] QSize thumbSize() const;

    int controlId_ = 0;
    int thumbX_ = 0;
    int thumbY_ = 0;
    int thumbOffset_ = 0;
    bool dragging_ = false;
    CBitWnd* thumb_ = nullptr;  // child, owned by Qt's object tree
    BitmapStrip stripA_;
    BitmapStrip stripB_;
};

}  // namespace tessaron::ui
