#pragma once
// What every way of following the window in front offers, and the choice of one from the session
// the program runs in. Each desktop family has its own way: X11 (and XWayland windows), the
// wlroots foreign-toplevel protocol, a KWin script, a GNOME Shell extension; elsewhere none.

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "core/file_descriptor.h"
#include "core/result.h"
#include "switching/rules.h"

namespace tessaron::switching {

// A watcher that runs in this process: reports the window in front on a thread of its own, which
// sleeps until its connection or the stop descriptor wakes it.
class Watcher {
public:
    // Called on the watcher's thread whenever the window in front, or its class or title, changed.
    using Notify = std::function<void(const WindowInfo&)>;
    virtual ~Watcher() = default;
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    std::optional<WindowInfo> lastSeen() const;

protected:
    explicit Watcher(Notify notify);
    // Runs `body` on the watcher's thread; it must return once stopFd() is readable.
    void startThread(std::function<void()> body);
    // Ends the thread; the derived destructor calls it before its connection goes.
    void stopThread();
    int stopFd() const { return stop_.get(); }
    // Notifies `window` unless it is what was reported last.
    void report(const WindowInfo& window);

private:
    Notify notify_;
    FileDescriptor stop_;  // an eventfd: written once to end the thread
    mutable std::mutex mutex_;
    std::optional<WindowInfo> last_;
    std::thread thread_;
};

enum class WatcherKind {
    X11,             // X11Watcher on $DISPLAY
    Wlroots,         // WlrootsWatcher on $WAYLAND_DISPLAY
    KWinScript,      // a KWin script reports over D-Bus
    GnomeExtension,  // a GNOME Shell extension reports over D-Bus
    None,
};

// What the session says about itself, from the environment and the compositor.
struct SessionFacts {
    std::string sessionType;     // $XDG_SESSION_TYPE
    std::string waylandDisplay;  // $WAYLAND_DISPLAY
    std::string display;         // $DISPLAY
    std::string currentDesktop;  // $XDG_CURRENT_DESKTOP, colon-separated
    // The Wayland compositor offers zwlr_foreign_toplevel_manager_v1 (asked only on Wayland).
    bool offersForeignToplevel = false;
};

struct WatcherChoice {
    WatcherKind kind = WatcherKind::None;
    Error reason;  // why this one, or why none
};

WatcherChoice chooseWatcher(const SessionFacts& facts);
// The facts of this process's session; asks the compositor only when on Wayland.
SessionFacts currentSession();
Text watcherName(WatcherKind kind);

}  // namespace tessaron::switching
