#include "app/shell/launcher.h"
#include "core/text.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QString>
#include <utility>

namespace tessaron::app {
namespace {

bool openWithDesktop(const QUrl& url) {
    // Without a GUI application there are no platform services to ask.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
    return QDesktopServices::openUrl(url);
}

// The action's folder and file joined again; the folder alone when the file part is empty.
QString targetPath(const keys::HostAction& action) {
    const QString folder = QString::fromStdString(action.folder);
    const QString file = QString::fromStdString(action.file);
    if (file.isEmpty()) return folder;
    if (folder.isEmpty()) return file;
    return folder.endsWith(QLatin1Char(keys::kPathSeparator))
               ? folder + file
               : folder + QLatin1Char(keys::kPathSeparator) + file;
}

Error withPath(const Text& text, const QString& path) {
    return makeError(text, path.toStdString());
}

}  // namespace

DesktopLauncher::DesktopLauncher() : opener_(openWithDesktop) {}

DesktopLauncher::DesktopLauncher(UrlOpener opener) : opener_(std::move(opener)) {}

Status DesktopLauncher::run(const keys::HostAction& action) {
    const QString path = targetPath(action);
    if (path.isEmpty()) {
        return makeError(TR_TEXT("Shell", "No file, folder or program is set for this key."));
    }
    const QFileInfo target(path);
    if (!target.exists()) {
        return withPath(TR_TEXT("Shell", "The file or folder \"%1\" does not exist."), path);
    }
    if (action.kind == keys::kind::kStartup && target.isFile() && target.isExecutable()) {
        const QString program = target.absoluteFilePath();
        if (!QProcess::startDetached(program, {}, target.absolutePath())) {
            return withPath(TR_TEXT("Shell", "The program \"%1\" could not be started."), program);
        }
        return {};
    }
    if (!opener_ || !opener_(QUrl::fromLocalFile(target.absoluteFilePath()))) {
        return withPath(TR_TEXT("Shell", "No application could open \"%1\"."), path);
    }
    return {};
}

void DesktopLauncher::launch(const keys::HostAction& action) {
    last_ = run(action);
    if (!last_) qWarning("%s", last_.error().english.c_str());
}

}  // namespace tessaron::app
