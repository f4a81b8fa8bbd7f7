#include "app/macro_manager/macro_manager_dlg_prompts.h"

#include <QString>

#include "ui/message_box.h"

namespace tessaron::app {

namespace {

// Several fixed texts end in a line break that only made sense for the old debug output.
QString shown(const Error& e, Language lang) {
    return QString::fromStdString(e.text(lang)).trimmed();
}

}  // namespace

void MessageBoxPrompts::inform(const Error& caption, const Error& text) {
    ui::runMessageBox(parent_, lang_, ui::BoxKind::Information, shown(caption, lang_),
                      shown(text, lang_));
}

bool MessageBoxPrompts::confirm(const Error& caption, const Error& text) {
    return ui::runMessageBox(parent_, lang_, ui::BoxKind::Question, shown(caption, lang_),
                             shown(text, lang_), /*cancelIsDefault=*/true);
}

}  // namespace tessaron::app
