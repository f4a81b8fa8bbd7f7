#pragma once
// Follows the window in front on a wlroots compositor (sway, Hyprland, labwc, river, Wayfire)
// through zwlr_foreign_toplevel_manager_v1, on a Wayland connection and a thread of its own. The
// protocol tells the app id and title of the activated toplevel (XWayland windows included), but
// no process: rules match such windows by class (the app id) and title.

#include <memory>

#include "core/result.h"
#include "switching/watcher.h"

namespace tessaron::switching {

class WlrootsWatcher : public Watcher {
public:
    // Connects to `display` (nullptr: $WAYLAND_DISPLAY). Fails without a compositor or when it
    // does not offer the protocol.
    static Result<std::unique_ptr<WlrootsWatcher>> start(Notify notify,
                                                         const char* display = nullptr);
    // Whether the compositor of `display` offers the protocol; a short connection of its own.
    static bool offered(const char* display = nullptr);
    ~WlrootsWatcher() override;

    struct Connection;

private:
    WlrootsWatcher(std::unique_ptr<Connection> connection, Notify notify);
    void run();

    std::unique_ptr<Connection> connection_;
};

// The facts of this process's session (watcher.h); asks the compositor only on Wayland.
SessionFacts currentSession();

}  // namespace tessaron::switching
