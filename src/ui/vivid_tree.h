#pragma once
// A tree drawn entirely by itself: a solid dark background, a dark red selection bar, small
// plus/minus glyphs for items with children, and white item texts.

#include <QColor>
#include <QTreeWidget>

namespace tessaron::ui {

class VividTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr QColor kSolidColor{0x1e, 0x1e, 0x1e};
    static constexpr QColor kSelectionColor{0x66, 0x2e, 0x2f};
    static constexpr int kRowPadding = 1;  // above and below a row's line of text
    // A row's height for its font: every row shows the font's whole line.
    static int rowHeightFor(const QFontMetrics& metrics);

    explicit VividTree(QWidget* parent = nullptr);

    // Draw the selection bar also while the tree has no focus.
    void setShowSelectionAlways(bool on);

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
    bool showSelectionAlways_ = false;
};

}  // namespace tessaron::ui
