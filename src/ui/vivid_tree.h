#pragma once
// A tree drawn entirely by itself: a bitmap, gradient or solid background, a dark red
// selection bar, small plus/minus glyphs for items with children, and white item texts.

#include <QColor>
#include <QImage>
#include <QTreeWidget>

namespace tessaron::ui {

class VividTree : public QTreeWidget {
    Q_OBJECT
public:
    enum BackgroundMode { kBitmap = 0, kGradient = 1, kSolid = 2 };
    static constexpr QColor kSolidColor{0x1e, 0x1e, 0x1e};
    static constexpr QColor kSelectionColor{0x66, 0x2e, 0x2f};
    static constexpr int kRowPadding = 1;  // above and below a row's line of text
    // A row's height for its font: every row shows the font's whole line.
    static int rowHeightFor(const QFontMetrics& metrics);

    explicit VividTree(QWidget* parent = nullptr);

    void setBackgroundMode(int mode);
    [[nodiscard]] int backgroundMode() const { return mode_; }
    // Tiled when tile is set, stretched otherwise. A null image selects the built-in tile.
    void setBackgroundBitmap(QImage bitmap, bool tile);
    void setGradient(const QColor& start, const QColor& end, bool horizontal);
    // Draw the selection bar also while the tree has no focus.
    void setShowSelectionAlways(bool on);
    // A number the owner keeps with the tree.
    void setStoredValue(int value) { storedValue_ = value; }
    [[nodiscard]] int storedValue() const { return storedValue_; }

    // The area the background covers at a given scroll state.
    struct ScrollGeometry {
        int originX;
        int originY;
        int width;
        int height;
    };
    static ScrollGeometry scrollGeometry(QSize client, int hPos, int hMax, int vPos, int vMin,
                                         int vMax, int itemHeight);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintBackground(QPainter& p, const ScrollGeometry& g) const;

    int mode_ = kGradient;
    QImage bitmap_;
    bool tile_ = true;
    QColor start_{0xff, 0xff, 0xff};
    QColor end_{0xd5, 0xd5, 0xe0};
    bool horizontal_ = true;
    bool showSelectionAlways_ = false;
    int storedValue_ = 0;
};

}  // namespace tessaron::ui
