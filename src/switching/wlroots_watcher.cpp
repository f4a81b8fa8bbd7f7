#include "switching/wlroots_watcher.h"

#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <list>
#include <string>
#include <utility>

#include "core/text.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace tessaron::switching {

namespace {

constexpr std::uint32_t kManagerVersion = 3;

struct Toplevel {
    WlrootsWatcher::Connection* owner = nullptr;
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    std::string appId;
    std::string title;
    bool activated = false;
};

}  // namespace

struct WlrootsWatcher::Connection {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    zwlr_foreign_toplevel_manager_v1* manager = nullptr;
    std::uint32_t managerName = 0;
    std::uint32_t managerVersion = 0;
    std::list<Toplevel> toplevels;
    WlrootsWatcher* watcher = nullptr;  // set once the thread runs

    ~Connection() {
        for (auto& t : toplevels) zwlr_foreign_toplevel_handle_v1_destroy(t.handle);
        if (manager) zwlr_foreign_toplevel_manager_v1_destroy(manager);
        if (registry) wl_registry_destroy(registry);
        if (display) wl_display_disconnect(display);
    }

    // A toplevel's state is complete at "done": report it when it is the one in front and
    // differs from what was reported.
    void done(const Toplevel& t) {
        if (!t.activated || !watcher) return;
        WindowInfo w;
        w.instance = t.appId;
        w.title = t.title;
        watcher->report(w);
    }
};

namespace {

void onTitle(void* data, zwlr_foreign_toplevel_handle_v1*, const char* title) {
    static_cast<Toplevel*>(data)->title = title ? title : "";
}
void onAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
    static_cast<Toplevel*>(data)->appId = appId ? appId : "";
}
void onOutput(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void onState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
    auto* t = static_cast<Toplevel*>(data);
    t->activated = false;
    const auto* s = static_cast<const std::uint32_t*>(states->data);
    for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i) {
        if (s[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) t->activated = true;
    }
}
void onDone(void* data, zwlr_foreign_toplevel_handle_v1*) {
    auto* t = static_cast<Toplevel*>(data);
    t->owner->done(*t);
}
void onClosed(void* data, zwlr_foreign_toplevel_handle_v1* handle) {
    auto* t = static_cast<Toplevel*>(data);
    auto& list = t->owner->toplevels;
    zwlr_foreign_toplevel_handle_v1_destroy(handle);
    list.remove_if([t](const Toplevel& x) { return &x == t; });
}
void onParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

const zwlr_foreign_toplevel_handle_v1_listener kToplevelListener = {
    onTitle, onAppId, onOutput, onOutput, onState, onDone, onClosed, onParent,
};

void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                zwlr_foreign_toplevel_handle_v1* handle) {
    auto* c = static_cast<WlrootsWatcher::Connection*>(data);
    Toplevel& t = c->toplevels.emplace_back();
    t.owner = c;
    t.handle = handle;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kToplevelListener, &t);
}
void onFinished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
    auto* c = static_cast<WlrootsWatcher::Connection*>(data);
    zwlr_foreign_toplevel_manager_v1_destroy(manager);
    c->manager = nullptr;
}
const zwlr_foreign_toplevel_manager_v1_listener kManagerListener = {onToplevel, onFinished};

void onGlobal(void* data, wl_registry*, std::uint32_t name, const char* interface,
              std::uint32_t version) {
    auto* c = static_cast<WlrootsWatcher::Connection*>(data);
    if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
        c->managerName = name;
        c->managerVersion = version;
    }
}
void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

// Connects and learns the globals; nullptr without a compositor.
std::unique_ptr<WlrootsWatcher::Connection> connect(const char* display) {
    auto c = std::make_unique<WlrootsWatcher::Connection>();
    c->display = wl_display_connect(display);
    if (!c->display) return nullptr;
    c->registry = wl_display_get_registry(c->display);
    wl_registry_add_listener(c->registry, &kRegistryListener, c.get());
    if (wl_display_roundtrip(c->display) < 0) return nullptr;
    return c;
}

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

}  // namespace

bool WlrootsWatcher::offered(const char* display) {
    auto c = connect(display);
    return c && c->managerName != 0;
}

Result<std::unique_ptr<WlrootsWatcher>> WlrootsWatcher::start(Notify notify, const char* display) {
    auto c = connect(display);
    if (!c)
        return makeError(TR_TEXT("Switching", "No Wayland compositor answers (WAYLAND_DISPLAY)."));
    if (c->managerName == 0) {
        return makeError(TR_TEXT("Switching",
                                 "This Wayland compositor does not list its windows to other "
                                 "programs (no zwlr_foreign_toplevel_manager_v1)."));
    }
    c->manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        wl_registry_bind(c->registry, c->managerName, &zwlr_foreign_toplevel_manager_v1_interface,
                         std::min(c->managerVersion, kManagerVersion)));
    zwlr_foreign_toplevel_manager_v1_add_listener(c->manager, &kManagerListener, c.get());
    return std::unique_ptr<WlrootsWatcher>(new WlrootsWatcher(std::move(c), std::move(notify)));
}

WlrootsWatcher::WlrootsWatcher(std::unique_ptr<Connection> connection, Notify notify)
    : Watcher(std::move(notify)), connection_(std::move(connection)) {
    connection_->watcher = this;
    startThread([this] { run(); });
}

WlrootsWatcher::~WlrootsWatcher() {
    stopThread();
}

void WlrootsWatcher::run() {
    wl_display* d = connection_->display;
    while (true) {
        while (wl_display_prepare_read(d) != 0) {
            if (wl_display_dispatch_pending(d) < 0) return;
        }
        wl_display_flush(d);
        pollfd fds[2] = {{wl_display_get_fd(d), POLLIN, 0}, {stopFd(), POLLIN, 0}};
        const int polled = ::poll(fds, 2, -1);
        const bool interrupted = polled < 0 && errno == EINTR;
        if (polled < 0 || (fds[1].revents & POLLIN)) {
            wl_display_cancel_read(d);
            if (interrupted) continue;
            return;
        }
        if (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) {
            // The compositor went away: nothing more will come.
            if (wl_display_read_events(d) < 0) return;
        } else {
            wl_display_cancel_read(d);
        }
        if (wl_display_dispatch_pending(d) < 0) return;
    }
}

SessionFacts currentSession() {
    SessionFacts f{env("XDG_SESSION_TYPE"), env("WAYLAND_DISPLAY"), env("DISPLAY"),
                   env("XDG_CURRENT_DESKTOP")};
    std::string type = f.sessionType;
    for (char& ch : type) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (!f.waylandDisplay.empty() && type != "x11") f.offersForeignToplevel = WlrootsWatcher::offered();
    return f;
}

}  // namespace tessaron::switching
