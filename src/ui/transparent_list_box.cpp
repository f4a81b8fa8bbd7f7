#include "ui/transparent_list_box.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <memory>

#include "ui/accessible_areas.h"
#include "ui/edit_helper.h"
#include "ui/resource_bitmaps.h"
#include "ui/theme.h"

Q_LOGGING_CATEGORY(lcListEdit, "tessaron.ui.list", QtWarningMsg)

namespace tessaron::ui {

namespace {

// The profile list runs from its window's left edge; its names start this far in.
constexpr int kProfileNameInset = 8;
// Other lists' rows start this far in, clear of the focus mark along the list's edge.
constexpr int kTextInset = 3;

// Every row is one fixed height, measured from the list's font.
class FixedHeightDelegate final : public QStyledItemDelegate {
public:
    FixedHeightDelegate(const int& height, QObject* parent)
        : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option,
                   const QModelIndex& /*index*/) const override {
        return {option.rect.width(), height_};
    }

private:
    const int& height_;
};

const QString kUp = QStringLiteral("up");
const QString kDown = QStringLiteral("dn");
const QString kMs = QStringLiteral("ms");
const QString kSpaceMs = QStringLiteral(" ms");

}  // namespace

CTransparentListBox::CTransparentListBox(QWidget* parent)
    : QListWidget(parent),
      normal_(palette().color(QPalette::Text)),
      selected_(palette().color(QPalette::HighlightedText)) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true);
    setItemDelegate(new FixedHeightDelegate(itemHeight_, this));  // owned by the list
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    updateItemHeight();
}

CTransparentListBox::~CTransparentListBox() {
    // An open editor goes now, while the list can still take its last report (and ignore it).
    std::unique_ptr<CEditHelper> editor(editor_.data());
    editor_ = nullptr;
}

void CTransparentListBox::setLook(const QString& face, int pixelHeight, const QColor& normal,
                                  const QColor& selected, bool shadow, const QColor& shadowColor,
                                  int shadowOffset) {
    QFont f;
    f.setFamilies({face, QStringLiteral("Liberation Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(pixelHeight > 0 ? pixelHeight : 1);
    f.setWeight(QFont::Bold);
    normal_ = normal;
    selected_ = selected;
    shadow_ = shadow;
    shadowColor_ = shadowColor;
    shadowOffset_ = shadowOffset;
    setFont(f);  // item height follows through changeEvent
    viewport()->update();
}

void CTransparentListBox::updateItemHeight() {
    itemHeight_ = std::max(1, QFontMetrics(font()).boundingRect(QStringLiteral("XYZ")).height());
    itemHeight_ = std::max(itemHeight_, QFontMetrics(font()).height());
    doItemsLayout();
}

void CTransparentListBox::changeEvent(QEvent* event) {
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) updateItemHeight();
    if (event->type() == QEvent::EnabledChange) viewport()->update();
}

int CTransparentListBox::insertString(int index, const QString& text, qint64 itemValue) {
    if (index < 0 || index > count()) index = count();
    auto item = std::make_unique<QListWidgetItem>(text);
    item->setData(Qt::UserRole, itemValue);
    insertItem(index, item.release());  // the list takes ownership
    return index;
}

int CTransparentListBox::insertSorted(const QString& text, qint64 itemValue) {
    int index = 0;
    while (index < count() && QString::compare(item(index)->text(), text, Qt::CaseInsensitive) <= 0)
        ++index;
    return insertString(index, text, itemValue);
}

int CTransparentListBox::addString(const QString& text, qint64 itemValue) {
    return sorted_ ? insertSorted(text, itemValue) : insertString(count(), text, itemValue);
}

QString CTransparentListBox::itemText(int index) const {
    const QListWidgetItem* it = item(index);
    return it != nullptr ? it->text() : QString();
}

qint64 CTransparentListBox::itemData(int index) const {
    const QListWidgetItem* it = item(index);
    return it != nullptr ? it->data(Qt::UserRole).toLongLong() : 0;
}

int CTransparentListBox::selectedIndex() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int CTransparentListBox::itemBeingEdited() const {
    return (editor_ && editing_.isValid()) ? editing_.row() : -1;
}

int CTransparentListBox::delayValue(const QString& text) {
    // Leading blanks, an optional sign, then digits; the value saturates instead of overflowing.
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace()) ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text.at(i).isDigit(); ++i) {
        value = value * 10 + text.at(i).digitValue();
        if (value > kMaxDelay) value = kMaxDelay + 1;
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<qint64>(value, kMinDelay, kMaxDelay));
}

// --- editing ------------------------------------------------------------------------------

void CTransparentListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = selectedIndex();
    if (index < 0) return;
    const QString text = itemText(index);
    if (editMode_ == kDelay && (text.contains(kUp) || text.contains(kDown))) {
        // Key-down and key-up lines are not editable.
        QListWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (!visualRect(model()->index(index, 0)).contains(event->position().toPoint())) return;
    beginEdit(index);
}

bool CTransparentListBox::beginEdit(int index) {
    if (index < 0 || index >= count()) return false;
    if (editMode_ == kDelay && (itemText(index).contains(kUp) || itemText(index).contains(kDown)))
        return false;
    endEdit(true);  // at most one editor
    const QPersistentModelIndex target(model()->index(index, 0));
    emit editBegins();
    // The parent may have changed the list while it was told.
    if (!target.isValid()) return false;
    index = target.row();

    const QRect rect = visualRect(target);
    auto* editor = new CEditHelper(viewport());  // owned by the viewport until ended
    connect(editor, &CEditHelper::done, this, &CTransparentListBox::endEdit);
    // Exactly on its row, neighbours left whole: no frame (a frame needs more height than a
    // row's line), a background of its own, the text where the row shows it.
    editor->setFrame(false);
    editor->setFont(font());
    editor->setStyleSheet(QStringLiteral("QLineEdit { background: %1; border: none; padding: 0; }")
                              .arg(theme::kBorder.name()));
    if (editMode_ == kProfileName) editor->setTextMargins(kProfileNameInset - 2, 0, 0, 0);
    editor->setGeometry(QRect(0, rect.top(), viewport()->width(), itemHeight_));
    QString text = itemText(index);
    if (editMode_ == kDelay) {
        text.remove(kSpaceMs);
        editor->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), editor));
    }
    editor->setText(text);
    editor->setAccessibleName(editorName_.isEmpty() ? accessibleName() : editorName_);
    editor->selectAll();
    editor_ = editor;
    editing_ = target;
    editStartIndex_ = index;
    qCDebug(lcListEdit, "m_iItemBeingEdited=%d ", index);
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    return true;
}

void CTransparentListBox::endEdit(bool commit) {
    if (!editor_) return;
    // Detach first: hiding the editor takes its focus away, which reports once more.
    QPointer<CEditHelper> editor = editor_;
    editor_ = nullptr;
    const QPersistentModelIndex edited = editing_;
    const int startIndex = editStartIndex_;
    editing_ = QPersistentModelIndex();
    editStartIndex_ = -1;
    const bool hadFocus = editor->hasFocus();
    const QString entered = editor->text();
    // The list takes the focus back before the editor goes, so it never passes to the next
    // control on the way.
    if (hadFocus) setFocus(Qt::OtherFocusReason);
    editor->hide();
    editor->deleteLater();

    // An item removed while it was being edited takes the edit with it.
    if (!commit || !edited.isValid()) return;
    int index = edited.row();
    const QString oldText = itemText(index);
    QString newText = entered;
    if (editMode_ == kDelay) {
        const int value = delayValue(entered);
        newText = QString::number(value) + kSpaceMs;
        emit delayEdited(index, value);
        if (!edited.isValid()) return;
        index = edited.row();
    }
    if (newText == itemText(index)) return;

    const qint64 value = itemData(index);
    std::unique_ptr<QListWidgetItem> removed(takeItem(index));
    const int newIndex =
        sorted_ ? insertSorted(newText, value) : insertString(index, newText, value);
    // A renamed profile's list is filled again right after: no reader is sent to this row.
    quiet_ = editMode_ == kProfileName;
    setCurrentRow(newIndex);
    quiet_ = false;
    if (notify_) emit itemTextChanged(newIndex, oldText);
    if (editMode_ == kProfileName) emit nameMoved(startIndex, newIndex);
}

// --- scrolling, keys, geometry ------------------------------------------------------------

void CTransparentListBox::wheelEvent(QWheelEvent* event) {
    endEdit(true);
    setUpdatesEnabled(false);
    QListWidget::wheelEvent(event);
    setUpdatesEnabled(true);
    viewport()->update();
}

void CTransparentListBox::scrollContentsBy(int dx, int dy) {
    endEdit(true);
    QListWidget::scrollContentsBy(dx, dy);
    // The background does not scroll with the items.
    viewport()->update();
}

void CTransparentListBox::keyPressEvent(QKeyEvent* event) {
    // F2 edits the current item, as a double-click on it does.
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        if (currentRow() >= 0 && beginEdit(currentRow())) {
            event->accept();
            return;
        }
    }
    setUpdatesEnabled(false);
    QListWidget::keyPressEvent(event);
    setUpdatesEnabled(true);
    viewport()->update();
}

void CTransparentListBox::resizeEvent(QResizeEvent* event) {
    endEdit(true);
    QListWidget::resizeEvent(event);
    recaptureBackground();
}

void CTransparentListBox::moveEvent(QMoveEvent* event) {
    QListWidget::moveEvent(event);
    recaptureBackground();
}

// Qt's list view tells a reader of a new current or selected row as if the keyboard were on
// it, even while the keyboard is elsewhere (New fills the macro list, a rename fills the
// profiles list): only a list with the focus tells, the rest is the item view's own work.
void CTransparentListBox::selectionChanged(const QItemSelection& selected,
                                           const QItemSelection& deselected) {
    if (hasFocus() && !quiet_) {
        QListWidget::selectionChanged(selected, deselected);
    } else {
        QAbstractItemView::selectionChanged(selected, deselected);
    }
    viewport()->update();
}

void CTransparentListBox::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (hasFocus() && !quiet_) {
        QListWidget::currentChanged(current, previous);
    } else {
        QAbstractItemView::currentChanged(current, previous);
    }
}

void CTransparentListBox::recaptureBackground() {
    captured_ = false;
    viewport()->update();
}

// --- painting -----------------------------------------------------------------------------

void CTransparentListBox::captureBackground() {
    // In device pixels, so that on a dense screen the list is as sharp as the panel around it.
    const QSize size = viewport()->size().expandedTo(QSize(1, 1));
    const qreal ratio = viewport()->devicePixelRatioF();
    background_ = QImage((QSizeF(size) * ratio).toSize(), QImage::Format_RGB32);
    background_.setDevicePixelRatio(ratio);
    background_.fill(theme::kPanelSunken);
    QWidget* parent = parentWidget();
    if (editMode_ == kProfileName && parent != nullptr) {
        // The parent's own pixels under the list (its children are left out), so the list
        // looks transparent.
        const QPoint origin = viewport()->mapTo(parent, QPoint(0, 0));
        QPainter p(&background_);
        parent->render(&p, QPoint(0, 0), QRegion(QRect(origin, size)),
                       QWidget::DrawWindowBackground);
    } else {
        const QImage pane = resourceBitmap(ResourceBitmap::ListBackground);
        // The source counts the pane's own pixels (twice as many in an @2x image).
        const qreal density = pane.devicePixelRatio();
        QPainter p(&background_);
        p.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), pane,
                    QRectF(QPointF(kListBackgroundOriginX, kListBackgroundOriginY) * density,
                           QSizeF(size) * density));
    }
    captured_ = true;
}

void CTransparentListBox::paintEvent(QPaintEvent* /*event*/) {
    if (!captured_ ||
        background_.deviceIndependentSize().toSize() !=
            viewport()->size().expandedTo(QSize(1, 1)) ||
        background_.devicePixelRatio() != viewport()->devicePixelRatioF()) {
        captureBackground();
    }
    QPainter p(viewport());
    p.drawImage(0, 0, background_);
    const QModelIndex first = indexAt(QPoint(0, 0));
    const int width = viewport()->width();
    const int height = viewport()->height();
    for (int row = first.isValid() ? first.row() : count(); row < count(); ++row) {
        const QRect r = visualRect(model()->index(row, 0));
        if (r.top() >= height) break;
        drawItem(p, row, QRect(0, r.top(), width, itemHeight_));
    }
    // Where the keyboard is (the list draws no focus rectangle of its own).
    if (hasFocus()) drawFocusMark(p, viewport()->rect().adjusted(3, 3, -3, -3));
}

void CTransparentListBox::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    const bool tab =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (selectOnTab_ && tab && count() > 0 && selectedIndex() < 0) {
        setCurrentRow(std::max(currentRow(), 0));
    }
    viewport()->update();  // the focus mark
}

void CTransparentListBox::focusOutEvent(QFocusEvent* event) {
    QListWidget::focusOutEvent(event);
    viewport()->update();
}

void CTransparentListBox::drawItem(QPainter& p, int index, const QRect& rect) const {
    if (index < 0 || index >= count()) return;
    const qreal ratio = background_.devicePixelRatio();
    p.drawImage(QRectF(rect), background_,
                QRectF(QPointF(rect.topLeft()) * ratio, QSizeF(rect.size()) * ratio));
    QString text = itemText(index);
    const QVariant shown = item(index)->data(kShownTextRole);
    ResourceBitmap icon = ResourceBitmap::ListDelayIcon;
    bool hasIcon = false;
    if (editMode_ == kDelay) {
        if (text.contains(kDown)) {
            icon = ResourceBitmap::ListDownIcon;
            text.remove(kDown);
            hasIcon = true;
        } else if (text.contains(kUp)) {
            icon = ResourceBitmap::ListUpIcon;
            text.remove(kUp);
            hasIcon = true;
        } else if (text.contains(kMs)) {
            hasIcon = true;
        }
    }
    if (shown.isValid()) text = shown.toString();
    const bool enabled = isEnabled();
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextSingleLine;
    const QRect textRect =
        rect.adjusted(editMode_ == kProfileName ? kProfileNameInset : kTextInset, 0, 0, 0);
    p.setFont(font());
    if (shadow_) {
        p.setPen(enabled ? shadowColor_ : QColor(Qt::white));
        p.drawText(textRect.translated(shadowOffset_, shadowOffset_), flags, text);
    }
    const bool isSelected = item(index)->isSelected();
    p.setPen(!enabled ? QColor(Qt::black) : (isSelected ? selected_ : normal_));
    p.drawText(textRect, flags, text);
    if (hasIcon) {
        // Drawn for the screen's density, at the same logical size.
        p.drawImage(rect.left() + rect.width() - 20, rect.top(),
                    resourceBitmap(icon, qRound(devicePixelRatioF())));
    }
}

}  // namespace tessaron::ui
