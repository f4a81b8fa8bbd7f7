#include "app/shell/desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

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
        return makeError("The program " + program.filename().string() + " was not found in " +
                             program.parent_path().string() + ".",
                         "在 " + program.parent_path().string() + " 中找不到程序 " +
                             program.filename().string() + "。");
    }
    if (!QProcess::startDetached(path, {}, info.absolutePath())) {
        return makeError("The program " + program.filename().string() + " could not be started.",
                         "无法启动程序 " + program.filename().string() + "。");
    }
    return {};
}

Status DesktopProgramStarter::openUrl(const QUrl& url) {
    if (!QDesktopServices::openUrl(url)) {
        return makeError(
            "No web browser could be started to open " + url.toDisplayString().toStdString() + ".",
            "无法启动浏览器打开 " + url.toDisplayString().toStdString() + "。");
    }
    return {};
}

}  // namespace tessaron::app
