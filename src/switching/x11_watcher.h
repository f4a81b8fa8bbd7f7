#pragma once
// Follows the window in front on an X11 display (and the XWayland windows of a Wayland desktop):
// its own connection, on a thread of its own, woken only by the window manager's
// _NET_ACTIVE_WINDOW changes and by property changes of the window in front. It takes no CPU
// while nothing changes.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/file_descriptor.h"
#include "core/result.h"
#include "switching/rules.h"

namespace tessaron::switching {

class X11Watcher {
public:
    // Called on the watcher's thread whenever the window in front, or its class or title, changed.
    using Notify = std::function<void(const WindowInfo&)>;

    // Connects to `display` (nullptr: $DISPLAY). Fails without a display or without a window
    // manager that announces the active window.
    static Result<std::unique_ptr<X11Watcher>> start(Notify notify, const char* display = nullptr);
    ~X11Watcher();
    X11Watcher(const X11Watcher&) = delete;
    X11Watcher& operator=(const X11Watcher&) = delete;

    std::optional<WindowInfo> lastSeen() const;

private:
    struct Connection;
    X11Watcher(std::unique_ptr<Connection> connection, Notify notify);
    void run();

    std::unique_ptr<Connection> connection_;
    Notify notify_;
    FileDescriptor stop_;  // an eventfd: written once to end the thread
    mutable std::mutex mutex_;
    std::optional<WindowInfo> last_;
    std::thread thread_;
};

}  // namespace tessaron::switching
