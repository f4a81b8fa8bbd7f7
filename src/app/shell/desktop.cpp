#include "app/shell/desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

#include "core/text.h"
#include "ui/message_box.h"

namespace tessaron::app {

bool MessageBoxDialogs::confirm(QWidget* parent, const QString& caption, const QString& question) {
    return ui::runMessageBox(parent, lang_, ui::BoxKind::Question, caption, question);
}

void MessageBoxDialogs::inform(QWidget* parent, const QString& caption, const QString& text) {
    ui::runMessageBox(parent, lang_, ui::BoxKind::Information, caption, text);
}

bool MessageBoxDialogs::choose(QWidget* parent, const QString& caption, const QString& question,
                               const QString& first, const QString& second) {
    return ui::runMessageBox(parent, lang_, ui::BoxKind::Question, caption, question, false, first,
                             second);
}

Status DesktopProgramStarter::startProgram(const std::filesystem::path& program) {
    const QString path = QString::fromStdString(program.string());
    const QFileInfo info(path);
    if (!info.exists()) {
        return makeError(TR_TEXT("Shell", "The program %1 was not found in %2."),
                         program.filename().string(), program.parent_path().string());
    }
    if (!QProcess::startDetached(path, {}, info.absolutePath())) {
        return makeError(TR_TEXT("Shell", "The program %1 could not be started."),
                         program.filename().string());
    }
    return {};
}

Status DesktopProgramStarter::openUrl(const QUrl& url) {
    if (!QDesktopServices::openUrl(url)) {
        return makeError(TR_TEXT("Shell", "No web browser could be started to open %1."),
                         url.toDisplayString().toStdString());
    }
    return {};
}

}  // namespace tessaron::app
