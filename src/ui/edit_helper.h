#pragma once
// The in-place editor of CTransparentListBox. Enter (on release) and losing the focus commit,
// Escape (on release) cancels; it tells with done().

#include <QLineEdit>

namespace tessaron::ui {

class CEditHelper : public QLineEdit {
    Q_OBJECT
public:
    // parent: the widget the editor lies on.
    explicit CEditHelper(QWidget* parent);

signals:
    // The edit ends: commit or cancel.
    void done(bool commit);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void report(bool commit);
};

}  // namespace tessaron::ui
