#include "app/switching/window_switching.h"

#include <QMetaObject>

#include <unistd.h>

#include <utility>

#include "app/controller/settings_controller.h"
#include "core/clock.h"
#include "core/data_folder.h"
#include "switching/desktop_bridge.h"
#include "switching/wlroots_watcher.h"
#include "switching/x11_watcher.h"
#include "core/text.h"

namespace tessaron::app {

namespace fs = std::filesystem;
using namespace switching;

namespace {
constexpr std::chrono::milliseconds kLockBound{1000};
const fs::path kKWinScriptAsset = "kwin/tessaron-follow/contents/code/main.js";
}  // namespace

WindowSwitching::WindowSwitching(SettingsController& controller, fs::path dataFolder,
                                 QObject* parent)
    : QObject(parent),
      controller_(controller),
      dataFolder_(std::move(dataFolder)),
      sink_(controller, dataFolder_,
            [this](const std::string& profile, bool wrote) {
                emit switched(QString::fromStdString(profile), wrote);
            }),
      engine_(sink_, SystemClock::instance(), static_cast<int>(::getpid())) {
    connect(&controller_, &SettingsController::settingsChanged, this,
            &WindowSwitching::updatePause);
    connect(&controller_, &SettingsController::settingsReloaded, this,
            &WindowSwitching::updatePause);
    connect(&controller_, &SettingsController::editorOpenChanged, this,
            &WindowSwitching::updatePause);
    connect(&controller_, &SettingsController::busyChanged, this, &WindowSwitching::updatePause);
}

WindowSwitching::~WindowSwitching() {
    // The watcher's thread first (it wakes the engine), then the engine's, whose wait for the
    // controller is ended: this thread will not answer it any more.
    watcher_.reset();
    kwin_.reset();
    sink_.close();
    runner_.reset();
}

namespace {
// A watcher started, as the common base; its failure as it was told.
template <class W>
Result<std::unique_ptr<Watcher>> startWatcher(const Watcher::Notify& notify) {
    auto started = W::start(notify);
    if (!started) return started.error();
    return std::unique_ptr<Watcher>(std::move(*started));
}
}  // namespace

void WindowSwitching::start(const WatcherChoice& choice, const std::vector<fs::path>& assets) {
    choice_ = choice;
    (void)reloadRules();  // a fault is kept in rulesProblem()
    updatePause();
    runner_ = std::make_unique<EngineRunner>(engine_);

    const Watcher::Notify notify = [this](const WindowInfo& w) {
        engine_.windowChanged(w);
        runner_->wake();
        QMetaObject::invokeMethod(this, [this, w] { seen(w); }, Qt::QueuedConnection);
    };
    switch (choice.kind) {
        case WatcherKind::X11:
        case WatcherKind::Wlroots: {
            auto started = choice.kind == WatcherKind::X11 ? startWatcher<X11Watcher>(notify)
                                                           : startWatcher<WlrootsWatcher>(notify);
            if (started) {
                watcher_ = std::move(*started);
            } else {
                unavailable_ = started.error();
            }
            break;
        }
        case WatcherKind::KWinScript: {
            const auto script = findAsset(assets, kKWinScriptAsset);
            if (!script) {
                unavailable_ = makeError(TR_TEXT("App", "The KWin script that reports the window in front is not installed (%1 in Tessaron's share folder)."), kKWinScriptAsset.string());
                break;
            }
            auto loaded = KWinScript::load(*script);
            if (loaded) {
                kwin_ = std::move(*loaded);
            } else {
                unavailable_ = loaded.error();
            }
            break;
        }
        case WatcherKind::GnomeExtension: {
            if (auto advice = gnomeExtensionAdvice(queryGnomeExtension())) {
                unavailable_ = std::move(*advice);
            }
            break;
        }
        case WatcherKind::None:
            unavailable_ = makeError(TR_TEXT("App", "Automatic switching is not available on this desktop: %1."), choice.reason);
            break;
    }
}

void WindowSwitching::reportWindow(const std::string& instance, const std::string& windowClass,
                                   const std::string& title, int pid) {
    // A watcher of our own already follows this desktop: a second source would only disagree.
    if (watcher_) return;
    WindowInfo w;
    w.instance = instance;
    w.windowClass = windowClass;
    w.title = title;
    w.pid = pid > 0 ? pid : 0;
    // The desktop runs on this computer: its process tells the program and command line.
    if (w.pid != 0) fillProcessDetails(w);
    if (last_ && *last_ == w) return;
    engine_.windowChanged(w);
    if (runner_) runner_->wake();
    seen(w);
}

void WindowSwitching::seen(const WindowInfo& window) {
    last_ = window;
    if (held() && !heldTold_) {
        const Decision d = decide(engine_.rules(), window, static_cast<int>(::getpid()));
        if (engine_.rules().enabled && d.kind != Decision::Kind::Keep) {
            heldTold_ = true;
            emit heldBack();
        }
    }
    emit windowSeen();
}

bool WindowSwitching::held() const {
    // A switch of ours in flight leaves the settings unsaved until the keyboard took them.
    return controller_.editorOpen() || (controller_.isDirty() && !controller_.isBusy());
}

void WindowSwitching::updatePause() {
    const bool paused = controller_.editorOpen() || controller_.isDirty();
    engine_.setPaused(paused);
    if (!paused) {
        heldTold_ = false;
        if (runner_) runner_->wake();
    }
}

Status WindowSwitching::reloadRules() {
    auto loaded = loadRules(dataFolder_);
    if (!loaded) {
        rulesProblem_ = loaded.error();
        return loaded.error();
    }
    rulesProblem_.reset();
    engine_.setRules(std::move(*loaded));
    emit rulesChanged();
    return {};
}

Status WindowSwitching::setRules(const RuleSet& rules) {
    {
        auto lock = DataFolderLock::acquireWithin(dataFolder_, kLockBound, SystemClock::instance());
        if (!lock) return lock.error();
        // A file that could not be read is kept aside, not overwritten with what replaced it.
        if (rulesProblem_) {
            std::error_code ec;
            const fs::path file = rulesFile(dataFolder_);
            fs::rename(file, fs::path(file) += ".unreadable", ec);
        }
        if (auto saved = saveRules(dataFolder_, rules); !saved) return saved;
    }
    rulesProblem_.reset();
    engine_.setRules(rules);
    if (runner_) runner_->wake();
    emit rulesChanged();
    return {};
}

Status WindowSwitching::setEnabled(bool on) {
    RuleSet rules = engine_.rules();
    rules.enabled = on;
    return setRules(rules);
}

}  // namespace tessaron::app
