#pragma once
// The window's own automatic switching: the way this desktop tells the window in front (a watcher
// of its own on X11 and wlroots, the KWin script on KDE Plasma, the GNOME extension), the engine on
// a thread of its own, and the keyboard reached through the settings controller. Switching waits
// while the window has unsaved changes or an editor open; a switch that happens is shown by the
// window like any other change of its settings.

#include <QObject>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "app/switching/controller_profiles.h"
#include "core/result.h"
#include "switching/engine.h"
#include "switching/rules.h"
#include "switching/watcher.h"

namespace tessaron::switching {
class KWinScript;
}

namespace tessaron::app {

class SettingsController;

class WindowSwitching final : public QObject {
    Q_OBJECT

public:
    WindowSwitching(SettingsController& controller, std::filesystem::path dataFolder,
                    QObject* parent = nullptr);
    ~WindowSwitching() override;
    WindowSwitching(const WindowSwitching&) = delete;
    WindowSwitching& operator=(const WindowSwitching&) = delete;

    // Reads rules.json and starts following the window in front the way `choice` says; the KWin
    // script is looked for in `assets`.
    void start(const switching::WatcherChoice& choice,
               const std::vector<std::filesystem::path>& assets);
    // A desktop reported the window in front over D-Bus (the KWin script, the GNOME extension).
    // `instance` is the window's first class name or app id.
    void reportWindow(const std::string& instance, const std::string& windowClass,
                      const std::string& title, int pid);

    [[nodiscard]] const switching::WatcherChoice& choice() const { return choice_; }
    // Why no window in front reaches the rules here, with what to do; nullopt when one does.
    [[nodiscard]] const std::optional<Error>& unavailable() const { return unavailable_; }
    // Why rules.json could not be read when it was last read (the rules before it stay).
    [[nodiscard]] const std::optional<Error>& rulesProblem() const { return rulesProblem_; }
    [[nodiscard]] const std::optional<switching::WindowInfo>& lastWindow() const { return last_; }
    [[nodiscard]] switching::EngineStatus status() const { return engine_.status(); }
    [[nodiscard]] switching::RuleSet rules() const { return engine_.rules(); }
    // Switching waits: unsaved changes or an editor open.
    [[nodiscard]] bool held() const;

    // Reads rules.json again (tessaronctl may have changed it).
    Status reloadRules();
    // Keeps the rules in rules.json, under the data folder's lock, and follows them from now on.
    Status setRules(const switching::RuleSet& rules);
    Status setEnabled(bool on);

signals:
    void windowSeen();
    // The keyboard took a switch: the profile (empty: back to what it held before).
    void switched(const QString& profile, bool wrote);
    // A window came to the front whose switch waits for unsaved changes or an open editor.
    void heldBack();
    void rulesChanged();

private:
    void seen(const switching::WindowInfo& window);
    void updatePause();

    SettingsController& controller_;
    std::filesystem::path dataFolder_;
    ControllerProfiles sink_;
    switching::Engine engine_;
    std::unique_ptr<switching::EngineRunner> runner_;
    std::unique_ptr<switching::Watcher> watcher_;
    std::unique_ptr<switching::KWinScript> kwin_;
    switching::WatcherChoice choice_;
    std::optional<Error> unavailable_;
    std::optional<Error> rulesProblem_;
    std::optional<switching::WindowInfo> last_;
    bool heldTold_ = false;  // the current wait was told once
};

}  // namespace tessaron::app
