#pragma once
// Carries out host actions with the desktop: a program key starts its program, every other host
// action key opens its file, sound or folder with the desktop's default application. Nothing
// waits for what it started.

#include <QUrl>
#include <functional>

#include "core/result.h"
#include "keys/host_action.h"

namespace tessaron::app {

class DesktopLauncher final : public keys::Launcher {
public:
    // Opens a URL with the desktop's default application; false when that failed.
    using UrlOpener = std::function<bool(const QUrl&)>;

    // The default opener hands the URL to QDesktopServices (needs a QGuiApplication).
    DesktopLauncher();
    explicit DesktopLauncher(UrlOpener opener);

    // Startup (kind 5): an executable file is started detached with its own folder as working
    // folder; anything else is opened as for the other kinds. Other kinds: folder/file, or the
    // folder itself when the file part is empty, is opened with the default application.
    [[nodiscard]] Status run(const keys::HostAction& action);

    // The key event handler's entry: runs the action and keeps the outcome in lastStatus().
    void launch(const keys::HostAction& action) override;
    [[nodiscard]] const Status& lastStatus() const { return last_; }

private:
    UrlOpener opener_;
    Status last_;
};

}  // namespace tessaron::app
