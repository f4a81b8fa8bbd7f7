#pragma once
// What every way of following the window in front offers, and the choice of one from the session
// the program runs in. Each desktop family has its own way: X11 (and XWayland windows), the
// wlroots foreign-toplevel protocol, a KWin script, a GNOME Shell extension; elsewhere none.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "switching/rules.h"

namespace tessaron::switching {

// A watcher that runs in this process: reports the window in front on a thread of its own.
class Watcher {
public:
    // Called on the watcher's thread whenever the window in front, or its class or title, changed.
    using Notify = std::function<void(const WindowInfo&)>;
    virtual ~Watcher() = default;
    virtual std::optional<WindowInfo> lastSeen() const = 0;
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
    std::string reason;  // one English sentence: why this one, or why none
};

WatcherChoice chooseWatcher(const SessionFacts& facts);
// The facts of this process's session; asks the compositor only when on Wayland.
SessionFacts currentSession();
std::string_view watcherName(WatcherKind kind);

}  // namespace tessaron::switching
