#include "ui/edit_helper.h"

#include <QKeyEvent>

#include "ui/dialog_keys.h"

namespace tessaron::ui {

CEditHelper::CEditHelper(QWidget* parent) : QLineEdit(parent) {}

void CEditHelper::report(bool commit) {
    emit done(commit);
}

void CEditHelper::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape end the edit on their release; their presses must not reach a dialog,
    // which would close it (default button, reject).
    if (isEnterOrEscape(event->key())) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CEditHelper::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) {
        if (isEnter(event->key())) {
            report(true);
        } else if (event->key() == Qt::Key_Escape) {
            report(false);
        }
    }
    QLineEdit::keyReleaseEvent(event);
}

void CEditHelper::focusOutEvent(QFocusEvent* event) {
    report(true);
    QLineEdit::focusOutEvent(event);
}

}  // namespace tessaron::ui
