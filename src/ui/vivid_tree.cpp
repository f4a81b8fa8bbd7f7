#include "ui/vivid_tree.h"

#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>

#include "ui/resource_bitmaps.h"

namespace tessaron::ui {

namespace {

// Rows tall enough for the font's whole line (descenders too) with a pixel above and below.
class RowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), VividTree::rowHeightFor(option.fontMetrics)));
        return size;
    }
};

}  // namespace

int VividTree::rowHeightFor(const QFontMetrics& metrics) {
    return metrics.height() + 2 * kRowPadding;
}

VividTree::VividTree(QWidget* parent) : QTreeWidget(parent) {
    setItemDelegate(new RowDelegate(this));
    setHeaderHidden(true);
    setFrameShape(QFrame::NoFrame);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // Expanding or collapsing changes every row below, so the whole tree is painted again.
    connect(this, &QTreeWidget::itemExpanded, viewport(), qOverload<>(&QWidget::update));
    connect(this, &QTreeWidget::itemCollapsed, viewport(), qOverload<>(&QWidget::update));
}

void VividTree::setShowSelectionAlways(bool on) {
    showSelectionAlways_ = on;
    viewport()->update();
}

VividTree::ScrollGeometry VividTree::scrollGeometry(QSize client, int hPos, int hMax, int vPos,
                                                    int vMin, int vMax, int itemHeight) {
    // A range of 0..100 is what a tree without vertical scrolling reports on some platforms.
    if ((vMin == 0 && vMax == 100) || vMax <= vMin) {
        vMax = 0;
        vPos = 0;
    }
    ScrollGeometry g{};
    g.originX = -hPos;
    g.width = std::max(client.width(), hMax + 1);
    g.originY = -(itemHeight * vPos);
    g.height = std::max(client.height(), (itemHeight + 1) * (vMax + 2));
    return g;
}

void VividTree::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(viewport());
    const QModelIndex first = indexAt(QPoint(0, 0));
    const int itemHeight = first.isValid() ? visualRect(first).height() : fontMetrics().height();
    const ScrollGeometry g =
        scrollGeometry(viewport()->size(), horizontalScrollBar()->value(),
                       horizontalScrollBar()->maximum(), verticalScrollBar()->value(),
                       verticalScrollBar()->minimum(), verticalScrollBar()->maximum(), itemHeight);
    p.fillRect(viewport()->rect(), kSolidColor);

    p.setFont(font());
    p.setBackgroundMode(Qt::TransparentMode);
    const bool showSelection = hasFocus() || showSelectionAlways_;
    // Drawn for the screen's density, at the same logical size.
    const int density = qRound(devicePixelRatioF());
    const QImage expanded = resourceBitmap(ResourceBitmap::TreeExpanded, density);
    const QImage collapsed = resourceBitmap(ResourceBitmap::TreeCollapsed, density);
    const int height = viewport()->height();
    for (QModelIndex index = first; index.isValid(); index = indexBelow(index)) {
        const QRect cell = visualRect(index);
        if (cell.top() >= height) break;
        const QRect textRect = cell.translated(7, 0);
        if (showSelection && selectionModel()->isSelected(index)) {
            p.fillRect(QRect(0, cell.top(), g.originX + g.width, cell.height()), kSelectionColor);
        }
        if (model()->hasChildren(index)) {
            const QImage& glyph = isExpanded(index) ? expanded : collapsed;
            const QSizeF glyphSize = glyph.deviceIndependentSize();
            p.drawImage(textRect.left() - 2 - qRound(glyphSize.width()),
                        textRect.top() + (textRect.height() - qRound(glyphSize.height())) / 2,
                        glyph);
        }
        p.setPen(Qt::white);
        p.drawText(textRect.adjusted(0, kRowPadding, 0, -kRowPadding),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   index.data(Qt::DisplayRole).toString());
    }
}

}  // namespace tessaron::ui
