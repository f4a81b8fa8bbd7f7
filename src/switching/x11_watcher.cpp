#include "switching/x11_watcher.h"
#include "core/text.h"

#include <poll.h>
#include <unistd.h>
#include <xcb/res.h>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace tessaron::switching {

namespace {

// A new window may have no class or title for a moment after it is activated.
constexpr int kDetailRetries = 5;
constexpr int kDetailRetryMs = 100;

template <class T>
struct FreeReply {
    void operator()(T* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply<T>>;

}  // namespace

struct X11Watcher::Connection {
    xcb_connection_t* conn = nullptr;
    xcb_ewmh_connection_t ewmh{};
    bool ewmhReady = false;
    int screen = 0;
    xcb_window_t root = XCB_NONE;
    bool hasRes = false;

    xcb_window_t current = XCB_NONE;
    int retriesLeft = 0;

    ~Connection() {
        if (ewmhReady) xcb_ewmh_connection_wipe(&ewmh);
        if (conn) xcb_disconnect(conn);
    }

    void watchProperties(xcb_window_t window, bool on) {
        const std::uint32_t mask = on ? XCB_EVENT_MASK_PROPERTY_CHANGE : 0;
        xcb_change_window_attributes(conn, window, XCB_CW_EVENT_MASK, &mask);
    }

    xcb_window_t activeWindow() {
        xcb_window_t window = XCB_NONE;
        if (!xcb_ewmh_get_active_window_reply(&ewmh, xcb_ewmh_get_active_window(&ewmh, screen),
                                              &window, nullptr)) {
            return XCB_NONE;
        }
        return window;
    }

    std::string title(xcb_window_t window) {
        xcb_ewmh_get_utf8_strings_reply_t utf8{};
        if (xcb_ewmh_get_wm_name_reply(&ewmh, xcb_ewmh_get_wm_name(&ewmh, window), &utf8,
                                       nullptr)) {
            std::string text(utf8.strings, utf8.strings_len);
            xcb_ewmh_get_utf8_strings_reply_wipe(&utf8);
            if (!text.empty()) return text;
        }
        xcb_icccm_get_text_property_reply_t prop{};
        if (xcb_icccm_get_wm_name_reply(conn, xcb_icccm_get_wm_name(conn, window), &prop,
                                        nullptr)) {
            std::string text(prop.name, prop.name_len);
            xcb_icccm_get_text_property_reply_wipe(&prop);
            return text;
        }
        return {};
    }

    void windowClass(xcb_window_t window, WindowInfo& info) {
        xcb_icccm_get_wm_class_reply_t cls{};
        if (xcb_icccm_get_wm_class_reply(conn, xcb_icccm_get_wm_class(conn, window), &cls,
                                         nullptr)) {
            info.instance = cls.instance_name ? cls.instance_name : "";
            info.windowClass = cls.class_name ? cls.class_name : "";
            xcb_icccm_get_wm_class_reply_wipe(&cls);
        }
    }

    // _NET_WM_PID is optional; the X server itself knows the process of a local client.
    int pid(xcb_window_t window) {
        std::uint32_t value = 0;
        if (xcb_ewmh_get_wm_pid_reply(&ewmh, xcb_ewmh_get_wm_pid(&ewmh, window), &value, nullptr) &&
            value != 0) {
            return static_cast<int>(value);
        }
        if (!hasRes) return 0;
        xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        Reply<xcb_res_query_client_ids_reply_t> reply(
            xcb_res_query_client_ids_reply(conn, xcb_res_query_client_ids(conn, 1, &spec), nullptr));
        if (!reply) return 0;
        for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem;
             xcb_res_client_id_value_next(&it)) {
            if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) &&
                xcb_res_client_id_value_value_length(it.data) >= 1) {
                return static_cast<int>(*xcb_res_client_id_value_value(it.data));
            }
        }
        return 0;
    }
};

Result<std::unique_ptr<X11Watcher>> X11Watcher::start(Notify notify, const char* display) {
    auto c = std::make_unique<Connection>();
    c->conn = xcb_connect(display, &c->screen);
    if (xcb_connection_has_error(c->conn)) {
        return makeError(
            TR_TEXT("Switching", "Cannot connect to the X display; windows cannot be followed."));
    }
    if (!xcb_ewmh_init_atoms_replies(&c->ewmh, xcb_ewmh_init_atoms(c->conn, &c->ewmh), nullptr)) {
        return makeError(
            TR_TEXT("Switching", "The X display answers no atoms; windows cannot be followed."));
    }
    c->ewmhReady = true;
    c->root = c->ewmh.screens[c->screen]->root;

    xcb_ewmh_get_atoms_reply_t supported{};
    bool announces = false;
    if (xcb_ewmh_get_supported_reply(&c->ewmh, xcb_ewmh_get_supported(&c->ewmh, c->screen),
                                     &supported, nullptr)) {
        for (std::uint32_t i = 0; i < supported.atoms_len; ++i) {
            announces = announces || supported.atoms[i] == c->ewmh._NET_ACTIVE_WINDOW;
        }
        xcb_ewmh_get_atoms_reply_wipe(&supported);
    }
    if (!announces) {
        return makeError(TR_TEXT("Switching",
                                 "The window manager does not announce the window in front "
                                 "(_NET_ACTIVE_WINDOW); windows cannot be followed."));
    }
    const auto* res = xcb_get_extension_data(c->conn, &xcb_res_id);
    c->hasRes = res != nullptr && res->present;
    c->watchProperties(c->root, true);
    xcb_flush(c->conn);
    return std::unique_ptr<X11Watcher>(new X11Watcher(std::move(c), std::move(notify)));
}

X11Watcher::X11Watcher(std::unique_ptr<Connection> connection, Notify notify)
    : Watcher(std::move(notify)), connection_(std::move(connection)) {
    startThread([this] { run(); });
}

X11Watcher::~X11Watcher() {
    stopThread();
}

void X11Watcher::run() {
    Connection& c = *connection_;
    auto refresh = [&] {
        const xcb_window_t window = c.activeWindow();
        if (window != c.current) {
            // Class and title changes of the window in front are followed too.
            if (c.current != XCB_NONE) c.watchProperties(c.current, false);
            if (window != XCB_NONE) c.watchProperties(window, true);
            c.current = window;
            c.retriesLeft = kDetailRetries;
        }
        if (window == XCB_NONE) return;  // the desktop itself: nothing to decide
        WindowInfo info;
        info.id = window;
        c.windowClass(window, info);
        info.title = c.title(window);
        const bool partial = (info.instance.empty() && info.windowClass.empty()) || info.title.empty();
        if (partial && c.retriesLeft > 0) return;
        c.retriesLeft = 0;
        info.pid = c.pid(window);
        // Only this thread reports, so what was seen last cannot change meanwhile.
        const auto last = lastSeen();
        if (last && last->id == info.id && last->pid == info.pid) {
            info.program = last->program;
            info.commandLine = last->commandLine;
        } else {
            fillProcessDetails(info);
        }
        report(info);
    };

    refresh();
    std::array<pollfd, 2> fds{{{xcb_get_file_descriptor(c.conn), POLLIN, 0},
                               {stopFd(), POLLIN, 0}}};
    while (true) {
        bool changed = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(c.conn)) {
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const auto* p = reinterpret_cast<xcb_property_notify_event_t*>(event);
                if (p->window == c.root) {
                    changed = changed || p->atom == c.ewmh._NET_ACTIVE_WINDOW;
                } else if (p->window == c.current) {
                    changed = changed || p->atom == c.ewmh._NET_WM_NAME ||
                              p->atom == XCB_ATOM_WM_NAME || p->atom == XCB_ATOM_WM_CLASS ||
                              p->atom == c.ewmh._NET_WM_PID;
                }
            }
            std::free(event);
        }
        if (xcb_connection_has_error(c.conn)) return;  // the display went away
        if (changed) {
            // Events that came in while refresh() waited for its replies sit in xcb's queue,
            // where poll() cannot see them: take them first.
            refresh();
            continue;
        }
        xcb_flush(c.conn);
        const int timeout = c.retriesLeft > 0 ? kDetailRetryMs : -1;
        const int ready = ::poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno != EINTR) return;
        if (fds[1].revents != 0) return;
        if (ready == 0 && c.retriesLeft > 0) {
            --c.retriesLeft;
            refresh();
        }
    }
}

}  // namespace tessaron::switching
