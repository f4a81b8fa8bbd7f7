#include "app/shell/launcher.h"

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

Error withPath(const char* english, const char* chinese, const QString& path) {
    return makeError(QString::fromUtf8(english).arg(path).toStdString(),
                     QString::fromUtf8(chinese).arg(path).toStdString());
}

}  // namespace

DesktopLauncher::DesktopLauncher() : opener_(openWithDesktop) {}

DesktopLauncher::DesktopLauncher(UrlOpener opener) : opener_(std::move(opener)) {}

Status DesktopLauncher::run(const keys::HostAction& action) {
    const QString path = targetPath(action);
    if (path.isEmpty()) {
        return makeError("No file, folder or program is set for this key.",
                         "此按键没有设置文件、文件夹或程序。");
    }
    const QFileInfo target(path);
    if (!target.exists()) {
        return withPath("The file or folder \"%1\" does not exist.", "文件或文件夹“%1”不存在。",
                        path);
    }
    if (action.kind == keys::kind::kStartup && target.isFile() && target.isExecutable()) {
        const QString program = target.absoluteFilePath();
        if (!QProcess::startDetached(program, {}, target.absolutePath())) {
            return withPath("The program \"%1\" could not be started.", "无法启动程序“%1”。",
                            program);
        }
        return {};
    }
    if (!opener_ || !opener_(QUrl::fromLocalFile(target.absoluteFilePath()))) {
        return withPath("No application could open \"%1\".", "没有应用程序能够打开“%1”。", path);
    }
    return {};
}

void DesktopLauncher::launch(const keys::HostAction& action) {
    last_ = run(action);
    if (!last_) qWarning("%s", last_.error().english.c_str());
}

}  // namespace tessaron::app
