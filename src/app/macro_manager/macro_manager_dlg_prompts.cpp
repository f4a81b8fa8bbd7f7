#include "app/macro_manager/macro_manager_dlg_prompts.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QString>

namespace tessaron::app {

namespace {

// Several fixed texts end in a line break that only made sense for the old debug output.
QString shown(const Error& e, Language lang) {
    return QString::fromStdString(e.text(lang)).trimmed();
}

// The boxes speak the window's language and wear its colours.
int runBox(QWidget* parent, Language lang, QMessageBox::Icon icon, const Error& caption,
           const Error& text, QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, shown(caption, lang), shown(text, lang), buttons, parent);
    box.setStyleSheet(QStringLiteral(
        "QMessageBox { background: #191c22; }"
        "QMessageBox QLabel { color: #ffffff; }"
        "QPushButton { background: #22262e; color: #ffffff; border: 1px solid #444a57;"
        " border-radius: 3px; padding: 4px 16px; min-width: 56px; }"
        "QPushButton:hover, QPushButton:default { border-color: #e0253a; }"));
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
        ok->setText(lang == Language::Chinese ? QStringLiteral("确定") : QStringLiteral("OK"));
    }
    if (QAbstractButton* cancel = box.button(QMessageBox::Cancel)) {
        cancel->setText(lang == Language::Chinese ? QStringLiteral("取消")
                                                  : QStringLiteral("Cancel"));
        box.setDefaultButton(QMessageBox::Cancel);
    }
    return box.exec();
}

}  // namespace

void MessageBoxPrompts::inform(const Error& caption, const Error& text) {
    runBox(parent_, lang_, QMessageBox::Information, caption, text, QMessageBox::Ok);
}

bool MessageBoxPrompts::confirm(const Error& caption, const Error& text) {
    return runBox(parent_, lang_, QMessageBox::Question, caption, text,
                  QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

}  // namespace tessaron::app
