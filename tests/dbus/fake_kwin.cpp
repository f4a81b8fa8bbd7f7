// A stand-in of KWin's scripting interface on the session bus: owns org.kde.KWin, answers
// loadScript, a loaded script's run and unloadScript as Plasma 6 does, and writes each call as a
// line to standard output. Runs until killed.

#include <systemd/sd-bus.h>

#include <cstdio>
#include <string>

namespace {

int handle(sd_bus_message* m, void*, sd_bus_error*) {
    const std::string member = sd_bus_message_get_member(m);
    const std::string path = sd_bus_message_get_path(m);
    std::printf("%s %s\n", member.c_str(), path.c_str());
    std::fflush(stdout);
    if (member == "loadScript") return sd_bus_reply_method_return(m, "i", 1);
    if (member == "unloadScript") return sd_bus_reply_method_return(m, "b", 1);
    if (member == "run" && path == "/Scripting/Script1") return sd_bus_reply_method_return(m, "");
    return sd_bus_reply_method_errorf(m, "org.freedesktop.DBus.Error.UnknownMethod", "no %s",
                                      member.c_str());
}

}  // namespace

int main() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0 || sd_bus_add_fallback(bus, nullptr, "/", handle, nullptr) < 0 ||
        sd_bus_request_name(bus, "org.kde.KWin", 0) < 0) {
        std::fputs("fake_kwin: no session bus\n", stderr);
        return 1;
    }
    for (;;) {
        const int r = sd_bus_process(bus, nullptr);
        if (r < 0) return 1;
        if (r == 0 && sd_bus_wait(bus, UINT64_MAX) < 0) return 1;
    }
}
