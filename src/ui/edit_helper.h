#pragma once
// The in-place editor of CTransparentListBox. Enter (on release) and losing the focus commit,
// Escape (on release) cancels; it reports with kEditorDoneMessage to its list.

#include <QLineEdit>
#include <QPointer>

namespace tessaron::ui {

class CEditHelper : public QLineEdit {
    Q_OBJECT
public:
    // list: receiver of kEditorDoneMessage; parent: the widget the editor lies on.
    CEditHelper(QObject* list, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void report(bool commit);

    QPointer<QObject> list_;
};

}  // namespace tessaron::ui
