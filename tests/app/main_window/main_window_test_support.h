#pragma once
// The main window on the offscreen platform against the virtual keyboard, with message boxes,
// program starts and host actions that only record.

#include <QTemporaryDir>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/desktop.h"
#include "app/controller/settings_controller.h"
#include "app/shell/live_config.h"
#include "app/main_window/main_window.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "keys/host_action.h"
#include "support/fake_clock.h"
#include "support/qt_wait.h"

namespace tessaron::app::testing {

class RecordingDialogs final : public UserDialogs {
public:
    bool confirm(QWidget*, const QString& caption, const QString& question) override {
        asked.push_back((caption + QStringLiteral(": ") + question).toStdString());
        return answerOk;
    }
    void inform(QWidget*, const QString& caption, const QString& text) override {
        shown.push_back((caption + QStringLiteral(": ") + text).toStdString());
    }
    bool choose(QWidget* parent, const QString& caption, const QString& question,
                const QString& first, const QString& second) override {
        return confirm(parent, caption,
                       question + QStringLiteral(" [") + first + QStringLiteral("|") + second +
                           QStringLiteral("]"));
    }
    std::vector<std::string> asked;
    std::vector<std::string> shown;
    bool answerOk = true;
};

class RecordingPrograms final : public ProgramStarter {
public:
    Status startProgram(const std::filesystem::path& program) override {
        programs.push_back(program);
        return {};
    }
    Status openUrl(const QUrl& url) override {
        urls.push_back(url);
        return {};
    }
    std::vector<std::filesystem::path> programs;
    std::vector<QUrl> urls;
};

class RecordingLauncher final : public keys::Launcher {
public:
    void launch(const keys::HostAction& action) override { actions.push_back(action); }
    std::vector<keys::HostAction> actions;
};

using tessaron::testing::waitFor;

struct RigOptions {
    Language language = Language::English;
    FileVersion shipped;
    bool plugged = true;
    bool withSession = true;
    bool tray = false;  // the notification-area icon and its menu
    Pages pages;
};

struct Rig {
    explicit Rig(RigOptions options = {});
    ~Rig();

    void click(int x, int y);
    // Until the window has no device traffic outstanding.
    bool settle();
    LiveConfig& live() { return *liveConfig; }
    std::filesystem::path folder() const { return std::filesystem::path(dir.path().toStdString()); }

    QTemporaryDir dir;
    FakeClock clock;  // the keyboard's pacing and the settle after a plug-in take no time
    std::shared_ptr<device::VirtualKeyboard> keyboard;
    std::unique_ptr<device::VirtualTransport> transport;
    std::unique_ptr<LiveConfig> liveConfig;
    RecordingDialogs dialogs;
    RecordingPrograms programs;
    RecordingLauncher launcher;
    DeviceSession* session = nullptr;  // the controller's
    std::unique_ptr<SettingsController> controller;
    std::unique_ptr<CTessaronDlg> window;
};

}  // namespace tessaron::app::testing
