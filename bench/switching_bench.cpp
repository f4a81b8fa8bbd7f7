// Automatic switching against the virtual keyboard: writes sent during an Alt+Tab storm, the
// time from a focus change to the keyboard holding the new profile as a ratio of the dwell plus
// the waits the protocol mandates for the blocks sent, and the CPU the X11 watcher and the engine
// take while no window changes (on a private Xvfb display with openbox, when both are installed).

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/clock.h"
#include "device/device_link.h"
#include "device/read_all.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "save_floor.h"
#include "support/background_program.h"
#include "support/fake_clock.h"
#include "switching/device_profiles.h"
#include "switching/engine.h"
#include "switching/x11_watcher.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace tessaron;
using namespace tessaron::device;
using namespace tessaron::switching;
using Ms = std::chrono::duration<double, std::milli>;

void check(const Status& s, const char* what) {
    if (!s) throw std::runtime_error(std::string(what) + ": " + s.error().english);
}

// The virtual keyboard on the real clock, read as the window's start-up reads it, with two
// profiles that differ from it in the lighting speed only.
struct Rig {
    fs::path folder;
    std::shared_ptr<VirtualKeyboard> kb = std::make_shared<VirtualKeyboard>(SystemClock::instance());
    VirtualTransport transport{kb};
    DeviceLink link{transport, SystemClock::instance()};
    DeviceImage held{};
    std::uint8_t speeds[2] = {3, 7};

    Rig() {
        char name[] = "/tmp/tessaron-switching-bench-XXXXXX";
        if (!::mkdtemp(name)) throw std::runtime_error("no scratch folder");
        folder = name;
        check(link.openCommand(), "open the command channel");
        {
            auto lease = link.acquire();
            if (!lease) throw std::runtime_error(lease.error().english);
            auto read = startupRead(lease->port(), held);
            if (!read) throw std::runtime_error(read.error().english);
            held = read->image;
        }
        check(link.openEvent(), "open the event channel");
        fs::create_directories(folder / "Configure");
        const char* names[] = {"A", "B"};
        for (int i = 0; i < 2; ++i) {
            DeviceImage img = held;
            img[image::kSpeed] = speeds[i];
            std::ofstream(folder / "Configure" / (std::string(names[i]) + ".bin"), std::ios::binary)
                .write(reinterpret_cast<const char*>(img.data()), static_cast<std::streamsize>(img.size()));
        }
    }
    ~Rig() {
        link.close();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    static RuleSet rules() {
        RuleSet set;
        set.rules.push_back({{*Condition::make(Field::Class, Compare::Equals, "a")}, "A", true});
        set.rules.push_back({{*Condition::make(Field::Class, Compare::Equals, "b")}, "B", true});
        return set;
    }
};

WindowInfo window(const std::string& cls) {
    WindowInfo w;
    w.instance = w.windowClass = w.title = cls;
    w.pid = 100;
    return w;
}

// The mandated waits of a Save that changes the lighting speed.
double lightingSaveFloorMs() {
    return bench::measureSaveFloor([](DeviceImage& img) {
               img[image::kSpeed] = static_cast<std::uint8_t>(img[image::kSpeed] == 3 ? 7 : 3);
           }).ms;
}

// 1000 focus changes over 60 s among four windows, two of them with profiles.
void storm() {
    Rig rig;
    FakeClock clock;
    DeviceProfiles sink(rig.link, rig.folder, rig.held);
    Engine engine(sink, clock, 1);
    engine.setRules(Rig::rules());
    std::mt19937 random(7);
    const char* classes[] = {"a", "b", "editor", "terminal"};
    std::string last;
    for (int i = 0; i < 1000; ++i) {
        last = classes[random() % 4];
        engine.windowChanged(window(last));
        clock.advance(60ms);
        engine.tick();
    }
    clock.advance(1s);
    engine.tick();
    const int writes = engine.status().writes;
    const std::uint8_t expected = last == "a" ? rig.speeds[0] : last == "b" ? rig.speeds[1]
                                                                            : rig.held[image::kSpeed];
    if (rig.kb->settings()[image::kSpeed] != expected) {
        throw std::runtime_error("storm: the keyboard does not hold the last window's profile");
    }
    std::printf("| Alt+Tab storm: writes sent for 1000 focus changes over 60 s | 1 | %d writes | "
                "%.2f | <= 1 %s |\n",
                writes, writes / 1.0, writes <= 1 ? "met" : "missed");
}

// Focus changes 2 s apart on the real clock; the time until the keyboard holds the profile.
void latency() {
    Rig rig;
    DeviceProfiles sink(rig.link, rig.folder, rig.held);
    Engine engine(sink, SystemClock::instance(), 1);
    engine.setRules(Rig::rules());
    EngineRunner runner(engine);
    const double floorMs = Ms(kDefaultDwell).count() + lightingSaveFloorMs();
    std::vector<double> ms;
    for (int i = 0; i < 6; ++i) {
        const int which = i % 2;
        const auto start = std::chrono::steady_clock::now();
        engine.windowChanged(window(which == 0 ? "a" : "b"));
        runner.wake();
        while (rig.kb->settings()[image::kSpeed] != rig.speeds[which]) {
            if (std::chrono::steady_clock::now() - start > 10s) {
                throw std::runtime_error("latency: the keyboard never took the profile");
            }
            SystemClock::instance().sleep(1ms);
        }
        ms.push_back(Ms(std::chrono::steady_clock::now() - start).count());
        SystemClock::instance().sleep(200ms);
    }
    std::sort(ms.begin(), ms.end());
    const double median = (ms[2] + ms[3]) / 2;
    std::printf("| Focus change to the keyboard holding the profile (lighting only) | dwell + "
                "waits %.1f ms | median %.1f ms | %.3f | <= 1.05 %s |\n",
                floorMs, median, median / floorMs, median / floorMs <= 1.05 ? "met" : "missed");
}

double processCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The X11 watcher and the engine's thread, following a display where nothing changes.
void idle() {
    constexpr auto kSpan = 10s;
    if (!testing::installed("Xvfb") || !testing::installed("openbox")) {
        std::printf("| Idle CPU, watcher and engine following the window in front | one core | "
                    "not measured (Xvfb and openbox needed) | - | < 0.1 %% |\n");
        return;
    }
    std::unique_ptr<testing::Child> xvfb;
    const std::string display = testing::startXvfb(xvfb);
    if (display.empty()) throw std::runtime_error("idle: Xvfb did not start");
    const testing::Child openbox({"/usr/bin/openbox", "--sm-disable"}, {"DISPLAY=" + display});

    Rig rig;
    DeviceProfiles sink(rig.link, rig.folder, rig.held);
    Engine engine(sink, SystemClock::instance(), 1);
    engine.setRules(Rig::rules());
    EngineRunner runner(engine);
    std::unique_ptr<X11Watcher> watcher;
    for (int i = 0; i < 100 && !watcher; ++i) {
        auto started = X11Watcher::start(
            [&](const WindowInfo& w) {
                engine.windowChanged(w);
                runner.wake();
            },
            display.c_str());
        if (started) {
            watcher = std::move(*started);
        } else {
            SystemClock::instance().sleep(100ms);
        }
    }
    if (!watcher) throw std::runtime_error("idle: openbox did not take the display");
    SystemClock::instance().sleep(500ms);  // start-up settled
    const double before = processCpuSeconds();
    SystemClock::instance().sleep(kSpan);
    const double percent =
        (processCpuSeconds() - before) / std::chrono::duration<double>(kSpan).count() * 100;
    std::printf("| Idle CPU, watcher and engine following the window in front, over %lld s | one "
                "core | %.3f %% | %.5f | < 0.1 %% %s |\n",
                static_cast<long long>(kSpan.count()), percent, percent / 100,
                percent < 0.1 ? "met" : "missed");
}

}  // namespace

int main() {
    try {
        storm();
        latency();
        idle();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "switching_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
