// The KWin script's loader and the GNOME extension's state against stand-ins of KWin and GNOME
// Shell served on the other end of a private D-Bus connection: the calls, the object path of the
// loaded script in each Plasma generation, the unload at the end, and GNOME's reply dictionary.

#include <sys/socket.h>
#include <systemd/sd-bus.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "switching/desktop_bridge.h"

namespace tessaron::switching {
namespace {

// Answers KWin's scripting calls and GNOME Shell's GetExtensionInfo on its own thread.
class FakeDesktop {
public:
    int plasma = 6;            // where the loaded script's object lives
    int scriptId = 3;          // what loadScript answers
    double gnomeState = -1;    // the extension's state; below 0: the Shell does not know it

    FakeDesktop() {
        int fds[2];
        EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
        sd_id128_t id;
        sd_id128_randomize(&id);
        sd_bus_new(&server_);
        sd_bus_set_fd(server_, fds[0], fds[0]);
        sd_bus_set_server(server_, 1, id);
        sd_bus_add_fallback(server_, nullptr, "/", &FakeDesktop::handle, this);
        EXPECT_GE(sd_bus_start(server_), 0);
        sd_bus_new(&client_);
        sd_bus_set_fd(client_, fds[1], fds[1]);
        EXPECT_GE(sd_bus_start(client_), 0);
        thread_ = std::thread([this] {
            while (!stop_) {
                if (sd_bus_process(server_, nullptr) > 0) continue;
                sd_bus_wait(server_, 20000);
            }
        });
    }
    ~FakeDesktop() {
        stop_ = true;
        thread_.join();
        sd_bus_flush_close_unref(client_);
        sd_bus_flush_close_unref(server_);
    }
    sd_bus* client() { return client_; }
    std::vector<std::string> calls() {
        std::lock_guard lock(mutex_);
        return std::exchange(calls_, {});
    }

private:
    static int handle(sd_bus_message* m, void* self, sd_bus_error*) {
        auto* d = static_cast<FakeDesktop*>(self);
        const std::string member = sd_bus_message_get_member(m);
        const std::string path = sd_bus_message_get_path(m);
        auto log = [d](std::string line) {
            std::lock_guard lock(d->mutex_);
            d->calls_.push_back(std::move(line));
        };
        const char* a = nullptr;
        const char* b = nullptr;
        if (member == "loadScript") {
            sd_bus_message_read(m, "ss", &a, &b);
            log("load " + std::string(a) + " " + b);
            return sd_bus_reply_method_return(m, "i", d->scriptId);
        }
        if (member == "unloadScript") {
            sd_bus_message_read(m, "s", &a);
            log("unload " + std::string(a));
            return sd_bus_reply_method_return(m, "b", 1);
        }
        const std::string scriptPath = (d->plasma == 6 ? "/Scripting/Script" : "/") +
                                       std::to_string(d->scriptId);
        if (member == "run" && path == scriptPath) {
            log("run " + path);
            return sd_bus_reply_method_return(m, "");
        }
        // As GNOME Shell serves it: the Shell's own name and object.
        const char* to = sd_bus_message_get_destination(m);
        if (member == "GetExtensionInfo" && path == "/org/gnome/Shell" && to != nullptr &&
            std::string(to) == "org.gnome.Shell") {
            sd_bus_message_read(m, "s", &a);
            log("info " + std::string(a));
            sd_bus_message* reply = nullptr;
            sd_bus_message_new_method_return(m, &reply);
            sd_bus_message_open_container(reply, 'a', "{sv}");
            if (d->gnomeState >= 0) {
                // Keys of other types around the state, as the Shell sends them.
                sd_bus_message_append(reply, "{sv}", "uuid", "s", kGnomeExtensionUuid);
                sd_bus_message_append(reply, "{sv}", "type", "d", 2.0);
                sd_bus_message_append(reply, "{sv}", "state", "d", d->gnomeState);
                sd_bus_message_append(reply, "{sv}", "enabled", "b", d->gnomeState == 1.0);
            }
            sd_bus_message_close_container(reply);
            const int r = sd_bus_send(nullptr, reply, nullptr);
            sd_bus_message_unref(reply);
            return r;
        }
        return sd_bus_reply_method_errorf(m, "org.freedesktop.DBus.Error.UnknownObject",
                                          "no %s at %s", member.c_str(), path.c_str());
    }

    sd_bus* server_ = nullptr;
    sd_bus* client_ = nullptr;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> calls_;
    std::thread thread_;
};

TEST(KWinScript, LoadedRunAndUnloadedOnBothPlasmaGenerations) {
    for (int plasma : {6, 5}) {
        FakeDesktop kwin;
        kwin.plasma = plasma;
        {
            auto script = KWinScript::load("/usr/share/tessaron/kwin/main.js", kwin.client());
            ASSERT_TRUE(script) << script.error().english;
            EXPECT_EQ((*script)->id(), 3);
        }
        // A script left behind by an earlier run is unloaded before loading, and this one at
        // the end.
        const std::vector<std::string> want = {
            "unload tessaron-follow", "load /usr/share/tessaron/kwin/main.js tessaron-follow",
            plasma == 6 ? "run /Scripting/Script3" : "run /3", "unload tessaron-follow"};
        EXPECT_EQ(kwin.calls(), want) << "Plasma " << plasma;
    }
}

TEST(KWinScript, ARefusedLoadIsAnError) {
    FakeDesktop kwin;
    kwin.scriptId = -1;
    auto script = KWinScript::load("/nowhere/main.js", kwin.client());
    ASSERT_FALSE(script);
    EXPECT_NE(script.error().english.find("/nowhere/main.js"), std::string::npos);
}

TEST(GnomeExtension, StateFromTheShell) {
    FakeDesktop shell;
    EXPECT_EQ(queryGnomeExtension(shell.client()), GnomeExtensionState::NotInstalled);
    shell.gnomeState = 1;
    EXPECT_EQ(queryGnomeExtension(shell.client()), GnomeExtensionState::Enabled);
    shell.gnomeState = 2;
    EXPECT_EQ(queryGnomeExtension(shell.client()), GnomeExtensionState::Disabled);
    const auto calls = shell.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), std::string("info ") + kGnomeExtensionUuid);
}

}  // namespace
}  // namespace tessaron::switching
