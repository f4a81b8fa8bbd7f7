#pragma once
// The application object, CTessaronApp: command line, single instance, data folder, language,
// the keyboard (real or virtual), the splash and the main window.

#include <QObject>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <memory>
#include <optional>

#include "core/language.h"
#include "core/result.h"

namespace tessaron {
class KeyboardLock;
}

namespace tessaron::device {
class DemoKeyboard;
class Transport;
}  // namespace tessaron::device

namespace tessaron::app {

class CTessaronDlg;
class DesktopLauncher;
class SettingsController;
class SingleInstance;
class WindowSwitching;
struct LiveConfig;

struct AppOptions {
    std::optional<std::filesystem::path> dataDir;  // --data-dir DIR
    bool demo = false;                             // --demo: the virtual keyboard
    std::optional<int> commandInterface;           // --command-interface N
    std::optional<int> eventInterface;             // --event-interface N
    std::optional<Language> language;              // --lang english|chinese
    std::optional<QString> instanceName;           // --instance NAME (tests)
    bool splash = true;                            // --no-splash
    bool hidden = false;                           // --hidden: start in the tray (login)
    bool help = false;                             // --help
    bool version = false;                          // --version
};

// Parses the arguments after the program name. An error names the faulty option.
Result<AppOptions> parseOptions(const QStringList& arguments);
QString usageText(Language lang);
// The interface language for the messages about the arguments: --lang when given (even beside a
// faulty option), else the settings'.
Language languageOfArguments(const QStringList& arguments);

class CTessaronApp {
public:
    explicit CTessaronApp(AppOptions options);
    ~CTessaronApp();
    CTessaronApp(const CTessaronApp&) = delete;
    CTessaronApp& operator=(const CTessaronApp&) = delete;

    // Sets everything up and shows the window. Returns false when the program should end at
    // once: another instance was brought forward, or start-up failed (error() says why).
    bool start();
    [[nodiscard]] const std::optional<Error>& error() const { return error_; }
    // Ends the program as the window's Exit does (SIGTERM and the like).
    void quit();

    [[nodiscard]] CTessaronDlg* window() const { return window_.get(); }
    [[nodiscard]] device::DemoKeyboard* demoKeyboard() const { return demo_.get(); }

private:
    AppOptions options_;
    std::optional<Error> error_;
    std::unique_ptr<SingleInstance> instance_;
    // Held while the keyboard may be open: released after the session is gone.
    std::unique_ptr<KeyboardLock> keyboardLock_;
    std::unique_ptr<device::DemoKeyboard> demo_;
    std::unique_ptr<device::Transport> transport_;
    std::unique_ptr<LiveConfig> live_;
    std::unique_ptr<DesktopLauncher> launcher_;
    // Destroyed before the window (with the device session it owns): its pending results then
    // never reach a window that is gone.
    std::unique_ptr<SettingsController> controller_;
    // Automatic switching through the controller; goes before it (its thread asks the controller).
    std::unique_ptr<WindowSwitching> switching_;
    std::unique_ptr<CTessaronDlg> window_;
    // The window on the session bus; goes before the window it asks.
    std::unique_ptr<QObject> service_;
};

}  // namespace tessaron::app
