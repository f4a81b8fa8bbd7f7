// The X11 watcher on a private Xvfb display with a real window manager (openbox), and real X
// clients brought to the front with xdotool; at the end the virtual keyboard follows them through
// the engine.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/clock.h"
#include "device/device_link.h"
#include "device/read_all.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "run_process.h"
#include "support/scratch_folder.h"
#include "switching/device_profiles.h"
#include "switching/engine.h"
#include "switching/x11_watcher.h"

extern char** environ;

namespace tessaron::switching {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool installed(const char* program) {
    return fs::exists(fs::path("/usr/bin") / program);
}

// A program started in the background with DISPLAY set; ended and reaped when it goes.
class Child {
public:
    // `keepFd`, when not -1, is handed to the child as descriptor 3.
    Child(std::vector<std::string> args, const std::string& display, int keepFd = -1) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            if (!std::string_view(*e).starts_with("DISPLAY=")) env.emplace_back(*e);
        }
        if (!display.empty()) env.push_back("DISPLAY=" + display);
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        for (auto& e : env) envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            if (keepFd >= 0) ::dup2(keepFd, 3);
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
    }
    ~Child() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    int pid() const { return pid_; }

private:
    int pid_ = -1;
};

// Windows reported by the watcher, in order.
class Seen {
public:
    void add(const WindowInfo& w) {
        {
            std::lock_guard lock(mutex_);
            windows_.push_back(w);
        }
        cv_.notify_all();
    }
    // The first window reported since the last call that satisfies `want`.
    std::optional<WindowInfo> waitFor(const std::function<bool(const WindowInfo&)>& want,
                                      std::chrono::milliseconds timeout = 10s) {
        std::unique_lock lock(mutex_);
        std::optional<WindowInfo> found;
        cv_.wait_for(lock, timeout, [&] {
            while (!windows_.empty()) {
                WindowInfo w = windows_.front();
                windows_.pop_front();
                if (want(w)) {
                    found = w;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<WindowInfo> windows_;
};

class X11WatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* p : {"Xvfb", "openbox", "xmessage", "xdotool"}) {
            if (!installed(p)) GTEST_SKIP() << p << " is not installed (make deps installs it)";
        }
        // Xvfb picks a free display itself and writes its number to descriptor 3.
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        xvfb_ = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", "3", "-nolisten", "tcp",
                                     "-screen", "0", "800x600x24"},
            "", fds[1]);
        ::close(fds[1]);
        pollfd p{fds[0], POLLIN, 0};
        std::string number;
        char ch = 0;
        while (::poll(&p, 1, 10000) == 1 && ::read(fds[0], &ch, 1) == 1 && ch != '\n') number += ch;
        ::close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        display_ = ":" + number;
        openbox_ = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/openbox", "--sm-disable"}, display_);

        // The watcher refuses a display whose window manager does not announce the active
        // window, which is what openbox does once it runs.
        std::string why;
        for (int i = 0; i < 100 && !watcher_; ++i) {
            auto started = X11Watcher::start(
                [this](const WindowInfo& w) {
                    seen_.add(w);
                    std::lock_guard lock(hookMutex_);
                    if (onWindow_) onWindow_(w);
                },
                display_.c_str());
            if (started) {
                watcher_ = std::move(*started);
            } else {
                why = started.error().english;
                SystemClock::instance().sleep(100ms);
            }
        }
        ASSERT_TRUE(watcher_) << "openbox did not take the display " << display_ << ": " << why;
    }

    void TearDown() override {
        watcher_.reset();
        clients_.clear();
        openbox_.reset();
        xvfb_.reset();
    }

    // An X client with this WM_CLASS instance and title; its window id. openbox usually gives a
    // new window the focus: that report is taken here, before the test brings anything forward.
    std::string openWindow(const std::string& instance, const std::string& title,
                           const std::string& text) {
        clients_.push_back(std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/xmessage", "-name", instance, "-title", title, text},
            display_));
        const auto found = xdotool({"search", "--sync", "--classname", instance});
        EXPECT_EQ(found.exitCode, 0) << found.err;
        seen_.waitFor(instanceIs(instance), 2s);
        return found.out.substr(0, found.out.find('\n'));
    }

    testing::ProcessResult xdotool(const std::vector<std::string>& args) {
        testing::ProcessOptions options;
        options.environment = {"DISPLAY=" + display_};
        options.timeout = 10000ms;
        return testing::runProcess("/usr/bin/xdotool", args, options);
    }

    void activate(const std::string& window) {
        const auto r = xdotool({"windowactivate", "--sync", window});
        EXPECT_EQ(r.exitCode, 0) << r.err;
    }

    static std::function<bool(const WindowInfo&)> instanceIs(const std::string& instance) {
        return [instance](const WindowInfo& w) { return w.instance == instance; };
    }

    std::unique_ptr<Child> xvfb_;
    std::unique_ptr<Child> openbox_;
    std::vector<std::unique_ptr<Child>> clients_;
    std::string display_;
    Seen seen_;
    void setHook(std::function<void(const WindowInfo&)> hook) {
        std::lock_guard lock(hookMutex_);
        onWindow_ = std::move(hook);
    }

    std::mutex hookMutex_;
    std::function<void(const WindowInfo&)> onWindow_;
    std::unique_ptr<X11Watcher> watcher_;
};

TEST_F(X11WatcherTest, ReportsClassTitleAndProcessOfTheWindowInFront) {
    const std::string game =
        openWindow("gamewin", "The Game", "Z:\\Games\\Witcher3\\bin\\witcher3.exe");
    const std::string office = openWindow("officewin", "Quarterly report", "office");

    activate(game);
    auto w = seen_.waitFor(instanceIs("gamewin"));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowClass, "Xmessage");
    EXPECT_EQ(w->title, "The Game");
    EXPECT_EQ(w->pid, clients_[0]->pid());
    EXPECT_EQ(w->program, "/usr/bin/xmessage");
    EXPECT_NE(w->commandLine.find("witcher3.exe"), std::string::npos) << w->commandLine;
    EXPECT_EQ(std::to_string(w->id), game);

    activate(office);
    w = seen_.waitFor(instanceIs("officewin"));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->pid, clients_[1]->pid());
    EXPECT_EQ(w->title, "Quarterly report");

    // A title change of the window in front is reported too.
    EXPECT_EQ(xdotool({"set_window", "--name", "Annual report", office}).exitCode, 0);
    w = seen_.waitFor([](const WindowInfo& x) { return x.title == "Annual report"; });
    ASSERT_TRUE(w);
    EXPECT_EQ(w->instance, "officewin");
    EXPECT_FALSE(seen_.waitFor(instanceIs("officewin"), 300ms)) << "reported twice";
    EXPECT_EQ(watcher_->lastSeen(), w);
}

TEST_F(X11WatcherTest, TheVirtualKeyboardFollowsTheWindowInFront) {
    const std::string game = openWindow("gamewin", "The Game", "C:\\Games\\witcher3.exe");
    const std::string office = openWindow("officewin", "Quarterly report", "office");
    const std::string other = openWindow("otherwin", "Notes", "notes");

    testing::ScratchFolder data("x11-switching");
    auto keyboard = std::make_shared<device::VirtualKeyboard>();
    device::VirtualTransport transport(keyboard);
    device::DeviceLink link(transport, SystemClock::instance());
    ASSERT_TRUE(link.openCommand());
    device::DeviceImage held{};
    {
        auto lease = link.acquire();
        ASSERT_TRUE(lease);
        auto read = device::startupRead(lease->port(), held);
        ASSERT_TRUE(read);
        held = read->image;
    }
    ASSERT_TRUE(link.openEvent());

    // Two profiles that differ from the keyboard in their lighting speed only.
    fs::create_directories(data.path() / "Configure");
    const std::uint8_t before = held[device::image::kSpeed];
    const std::uint8_t gameSpeed = before == 3 ? 4 : 3;
    const std::uint8_t officeSpeed = before == 7 ? 8 : 7;
    for (auto [name, speed] : {std::pair{"Games", gameSpeed}, std::pair{"Office", officeSpeed}}) {
        device::DeviceImage img = held;
        img[device::image::kSpeed] = speed;
        std::ofstream(data.path() / "Configure" / (std::string(name) + ".bin"), std::ios::binary)
            .write(reinterpret_cast<const char*>(img.data()), static_cast<std::streamsize>(img.size()));
    }

    RuleSet rules;
    rules.dwell = 200ms;
    rules.rules.push_back({{*Condition::make(Field::CommandLine, Compare::Contains, "witcher3.exe")},
                           "Games", true});
    rules.rules.push_back({{*Condition::make(Field::Title, Compare::StartsWith, "quarterly")},
                           "Office", true});
    DeviceProfiles sink(link, data.path(), held);
    Engine engine(sink, SystemClock::instance(), static_cast<int>(::getpid()));
    engine.setRules(rules);
    EngineRunner runner(engine);
    setHook([&](const WindowInfo& w) {
        engine.windowChanged(w);
        runner.wake();
    });
    // Waits until the keyboard holds `speed` after `writes` switches and nothing else waits.
    auto settled = [&](std::uint8_t speed, int writes) {
        for (int i = 0; i < 100; ++i) {
            if (keyboard->settings()[device::image::kSpeed] == speed &&
                engine.status().writes == writes && !engine.nextDue()) {
                return true;
            }
            SystemClock::instance().sleep(50ms);
        }
        const auto st = engine.status();
        ADD_FAILURE() << "speed " << int(keyboard->settings()[device::image::kSpeed]) << " after "
                      << st.writes << " writes, not " << int(speed) << " after " << writes
                      << "; last window " << (st.lastWindow ? st.lastWindow->title : "")
                      << "; error " << (st.lastError ? st.lastError->english : "");
        return false;
    };

    activate(game);
    EXPECT_TRUE(settled(gameSpeed, 1));
    activate(office);
    EXPECT_TRUE(settled(officeSpeed, 2));

    // Alt+Tab through every window and back to the office one: nothing is sent.
    for (int i = 0; i < 3; ++i) {
        activate(game);
        activate(other);
        activate(office);
    }
    SystemClock::instance().sleep(600ms);
    EXPECT_TRUE(settled(officeSpeed, 2));

    // No rule for the notes: back to what the keyboard held before the first switch.
    activate(other);
    EXPECT_TRUE(settled(before, 3));
    setHook(nullptr);
}

}  // namespace
}  // namespace tessaron::switching
