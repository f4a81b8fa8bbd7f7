#pragma once
// Follows the window in front on an X11 display (and the XWayland windows of a Wayland desktop):
// its own connection, on a thread of its own, woken only by the window manager's
// _NET_ACTIVE_WINDOW changes and by property changes of the window in front. It takes no CPU
// while nothing changes.

#include <memory>

#include "core/result.h"
#include "switching/watcher.h"

namespace tessaron::switching {

class X11Watcher : public Watcher {
public:
    // Connects to `display` (nullptr: $DISPLAY). Fails without a display or without a window
    // manager that announces the active window.
    static Result<std::unique_ptr<X11Watcher>> start(Notify notify, const char* display = nullptr);
    ~X11Watcher() override;

private:
    struct Connection;
    X11Watcher(std::unique_ptr<Connection> connection, Notify notify);
    void run();

    std::unique_ptr<Connection> connection_;
};

}  // namespace tessaron::switching
