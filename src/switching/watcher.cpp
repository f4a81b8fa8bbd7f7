#include <sys/eventfd.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <sstream>

#include "switching/watcher.h"

namespace tessaron::switching {
namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// XDG_CURRENT_DESKTOP is a list such as "ubuntu:GNOME" or "KDE".
bool desktopIs(const std::string& list, std::string_view name) {
    std::stringstream in(lower(list));
    std::string part;
    while (std::getline(in, part, ':')) {
        if (part == name) return true;
    }
    return false;
}

}  // namespace

Watcher::Watcher(Notify notify) : notify_(std::move(notify)), stop_(::eventfd(0, EFD_CLOEXEC)) {}

void Watcher::startThread(std::function<void()> body) {
    thread_ = std::thread(std::move(body));
}

void Watcher::stopThread() {
    if (!thread_.joinable()) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(stop_.get(), &one, sizeof one);
    thread_.join();
}

std::optional<WindowInfo> Watcher::lastSeen() const {
    std::lock_guard lock(mutex_);
    return last_;
}

void Watcher::report(const WindowInfo& window) {
    {
        std::lock_guard lock(mutex_);
        if (last_ == window) return;
        last_ = window;
    }
    if (notify_) notify_(window);
}

WatcherChoice chooseWatcher(const SessionFacts& f) {
    const std::string type = lower(f.sessionType);
    // A session that says it is X11 is, whatever a stray WAYLAND_DISPLAY says; without a session
    // type a Wayland display decides.
    const bool wayland = type == "wayland" || (type != "x11" && !f.waylandDisplay.empty());
    if (!wayland) {
        if (!f.display.empty()) {
            return {WatcherKind::X11,
                    makeError(TR_TEXT("Switching", "an X11 session on display %1"), f.display)};
        }
        return {WatcherKind::None,
                TR_TEXT("Switching", "neither an X11 display nor a Wayland compositor was found "
                                     "(DISPLAY and WAYLAND_DISPLAY are empty)")};
    }
    // The desktop's own way first: it sees native and XWayland windows alike.
    if (desktopIs(f.currentDesktop, "kde")) {
        return {WatcherKind::KWinScript,
                TR_TEXT("Switching", "KDE Plasma on Wayland: a KWin script reports the window "
                                     "in front")};
    }
    if (desktopIs(f.currentDesktop, "gnome")) {
        return {WatcherKind::GnomeExtension,
                TR_TEXT("Switching", "GNOME on Wayland: a GNOME Shell extension reports the "
                                     "window in front")};
    }
    if (f.waylandDisplay.empty()) {
        return {WatcherKind::None, TR_TEXT("Switching", "a Wayland session without "
                                                        "WAYLAND_DISPLAY: no compositor to ask")};
    }
    if (f.offersForeignToplevel) {
        return {WatcherKind::Wlroots,
                TR_TEXT("Switching", "the compositor lists its windows through "
                                     "zwlr_foreign_toplevel_manager_v1")};
    }
    // Following $DISPLAY here would see the XWayland windows only and miss every other one.
    const Error desktop = f.currentDesktop.empty() ? Error(TR_TEXT("Switching", "unnamed"))
                                                   : verbatim(f.currentDesktop);
    return {WatcherKind::None,
            makeError(TR_TEXT("Switching", "this Wayland compositor (%1) tells other programs "
                                           "nothing about the window in front"),
                      desktop)};
}

Text watcherName(WatcherKind kind) {
    switch (kind) {
        case WatcherKind::X11: return TR_TEXT("Switching", "X11");
        case WatcherKind::Wlroots: return TR_TEXT("Switching", "wlroots foreign toplevels");
        case WatcherKind::KWinScript: return TR_TEXT("Switching", "KWin script");
        case WatcherKind::GnomeExtension: return TR_TEXT("Switching", "GNOME Shell extension");
        case WatcherKind::None: break;
    }
    return TR_TEXT("Switching", "none");
}

}  // namespace tessaron::switching
