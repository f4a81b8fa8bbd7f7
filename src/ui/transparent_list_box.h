#pragma once
// A list drawn over its parent's own background (or over the list pane picture), whose items
// can be edited in place. Edits are told by its signals.

#include <QColor>
#include <QImage>
#include <QListWidget>
#include <QPersistentModelIndex>
#include <QPointer>

// The list holds its open editor by QPointer, which needs the complete type.
#include "ui/edit_helper.h"

namespace tessaron::ui {

class CTransparentListBox : public QListWidget {
    Q_OBJECT
public:
    enum EditMode { kPlainText = 0, kDelay = 1, kProfileName = 3 };
    // An item's text in the interface language, drawn instead of its own text, which in a
    // delay list is the notation the list reads ("A  dn", "50 ms").
    static constexpr int kShownTextRole = Qt::UserRole + 1;
    static constexpr int kMinDelay = 2;
    static constexpr int kMaxDelay = 60000;

    explicit CTransparentListBox(QWidget* parent = nullptr);
    ~CTransparentListBox() override;

    void setEditMode(int mode) { editMode_ = mode; }
    [[nodiscard]] int editMode() const { return editMode_; }
    // Sorted lists keep their items in case-insensitive order.
    void setSorted(bool sorted) { sorted_ = sorted; }
    [[nodiscard]] bool isSorted() const { return sorted_; }
    // With notify on, a changed item is told by itemTextChanged.
    void setNotify(bool notify) { notify_ = notify; }
    [[nodiscard]] bool notifies() const { return notify_; }

    // Own font (the face, pixel height, bold) and text colours.
    void setLook(const QString& face, int pixelHeight, const QColor& normal, const QColor& selected,
                 bool shadow, const QColor& shadowColor, int shadowOffset);

    // Adds in order (sorted list) or at the end; returns the new index.
    int addString(const QString& text, qint64 itemValue = 0);
    // Inserts at index (-1 or past the end: at the end); returns the new index.
    int insertString(int index, const QString& text, qint64 itemValue = 0);
    [[nodiscard]] QString itemText(int index) const;
    [[nodiscard]] qint64 itemData(int index) const;
    [[nodiscard]] int selectedIndex() const;
    [[nodiscard]] int itemHeight() const { return itemHeight_; }

    // What a reader calls the editor (the list's own name when empty).
    void setEditorName(const QString& name) { editorName_ = name; }
    // Keyboard focus coming in by Tab selects the current row (the first when none is).
    void setSelectOnTab(bool on) { selectOnTab_ = on; }

    // Opens the editor on an item as a double-click on it does; false when not editable.
    bool beginEdit(int index);
    // Ends an open edit; nothing happens without one.
    void endEdit(bool commit);
    [[nodiscard]] CEditHelper* editor() const { return editor_; }
    [[nodiscard]] int itemBeingEdited() const;

    // Takes the background again at the next paint (after the parent changed its look).
    void recaptureBackground();
    [[nodiscard]] bool backgroundCaptured() const { return captured_; }
    [[nodiscard]] const QImage& background() const { return background_; }

    // The value a delay entry stands for: leading digits, clamped to 2..60000; anything
    // without digits is 2.
    static int delayValue(const QString& text);

signals:
    // An in-place edit is about to open.
    void editBegins();
    // Delay mode: every committed edit, value 2..60000.
    void delayEdited(int index, int value);
    // Name mode: a changed name was re-inserted.
    void nameMoved(int oldIndex, int newIndex);
    // Any mode with notify on: the text changed.
    void itemTextChanged(int newIndex, const QString& oldText);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void captureBackground();
    void drawItem(QPainter& painter, int index, const QRect& rect) const;
    void updateItemHeight();
    int insertSorted(const QString& text, qint64 itemValue);

    int editMode_ = kPlainText;
    QString editorName_;
    bool selectOnTab_ = false;
    bool quiet_ = false;  // row changes told to no reader
    bool sorted_ = false;
    bool notify_ = false;
    QColor normal_;
    QColor selected_;
    QColor shadowColor_{Qt::black};
    int shadowOffset_ = 3;
    bool shadow_ = false;
    int itemHeight_ = 16;
    QImage background_;
    bool captured_ = false;
    QPointer<CEditHelper> editor_;
    // The item under edit; it stays valid while rows move and turns invalid if it is removed.
    QPersistentModelIndex editing_;
    int editStartIndex_ = -1;
};

}  // namespace tessaron::ui
