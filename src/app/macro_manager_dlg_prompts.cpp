#include "app/macro_manager_dlg_prompts.h"

#include <QMessageBox>
#include <QString>

namespace tessaron::app {

namespace {

// Several fixed texts end in a line break that only made sense for the old debug output.
QString shown(const Error& e, Language lang) {
    return QString::fromStdString(e.text(lang)).trimmed();
}

}  // namespace

void MessageBoxPrompts::inform(const Error& caption, const Error& text) {
    QMessageBox::information(parent_, shown(caption, lang_), shown(text, lang_));
}

bool MessageBoxPrompts::confirm(const Error& caption, const Error& text) {
    return QMessageBox::question(parent_, shown(caption, lang_), shown(text, lang_),
                                 QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

}  // namespace tessaron::app
