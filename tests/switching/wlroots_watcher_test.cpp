// The wlroots watcher under a headless sway started for the test, with foot windows of different
// app ids brought to the front through sway's IPC; at the end the virtual keyboard follows them
// through the engine.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "follow_rig.h"
#include "run_process.h"
#include "switching/wlroots_watcher.h"

namespace tessaron::switching {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using rig::Child;
using rig::installed;
using rig::instanceIs;

class WlrootsWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* p : {"sway", "swaymsg", "foot", "setpriv"}) {
            if (!installed(p)) GTEST_SKIP() << p << " is not installed (make deps installs it)";
        }
        char dir[] = "/tmp/tessaron-sway-XXXXXX";
        ASSERT_TRUE(::mkdtemp(dir));
        runtime_ = dir;
        std::ofstream(runtime_ / "config") << "output HEADLESS-1 resolution 800x600\n";
        // sway refuses to run as root: as root, the compositor and its clients run as nobody.
        if (::getuid() == 0) {
            for (const auto& p : {runtime_, runtime_ / "config"}) {
                ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0);
            }
            asUser_ = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        }
        env_ = {"XDG_RUNTIME_DIR=" + runtime_.string(), "HOME=" + runtime_.string(),
                "WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
                "WAYLAND_DISPLAY=", "DISPLAY=", "SWAYSOCK=", "XDG_CONFIG_HOME="};
        sway_ = start({"/usr/bin/sway", "-c", (runtime_ / "config").string()}, env_);

        // sway names its sockets itself: the Wayland one and its IPC one, in the runtime folder.
        for (int i = 0; i < 100 && (socket_.empty() || ipc_.empty()); ++i) {
            SystemClock::instance().sleep(50ms);
            std::error_code ec;
            for (const auto& e : fs::directory_iterator(runtime_, ec)) {
                const std::string name = e.path().filename().string();
                if (!e.is_socket()) continue;
                if (name.starts_with("wayland-")) socket_ = e.path().string();
                if (name.starts_with("sway-ipc.")) ipc_ = e.path().string();
            }
        }
        if (socket_.empty() || ipc_.empty()) GTEST_SKIP() << "sway could not start here";
        clientEnv_ = env_;
        clientEnv_.push_back("WAYLAND_DISPLAY=" + socket_);

        auto started = WlrootsWatcher::start(
            [this](const WindowInfo& w) {
                seen_.add(w);
                std::lock_guard lock(hookMutex_);
                if (onWindow_) onWindow_(w);
            },
            socket_.c_str());
        ASSERT_TRUE(started) << started.error().english;
        watcher_ = std::move(*started);
    }

    void TearDown() override {
        watcher_.reset();
        clients_.clear();
        sway_.reset();
        std::error_code ec;
        fs::remove_all(runtime_, ec);
    }

    std::unique_ptr<Child> start(std::vector<std::string> args, const std::vector<std::string>& env) {
        args.insert(args.begin(), asUser_.begin(), asUser_.end());
        return std::make_unique<Child>(std::move(args), env);
    }

    // A foot window with this app id and title; sway gives a new window the focus, and that
    // report is taken here.
    void openWindow(const std::string& appId, const std::string& title) {
        clients_.push_back(start({"/usr/bin/foot", "--app-id", appId, "--title", title,
                                  "/bin/sleep", "600"},
                                 clientEnv_));
        ASSERT_TRUE(seen_.waitFor(instanceIs(appId))) << appId << " did not come to the front";
    }

    void focus(const std::string& appId) { swaymsg("[app_id=" + appId + "] focus"); }

    // Runs a command as sway's own child, which knows sway's XWayland display.
    void swayExec(const std::string& command) { swaymsg("exec " + command); }

    void swaymsg(const std::string& command) {
        testing::ProcessOptions options;
        options.environment = {"SWAYSOCK=" + ipc_};
        options.timeout = 10000ms;
        const auto r = testing::runProcess("/usr/bin/swaymsg", {command}, options);
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    }

    void setHook(std::function<void(const WindowInfo&)> hook) {
        std::lock_guard lock(hookMutex_);
        onWindow_ = std::move(hook);
    }

    fs::path runtime_;
    std::vector<std::string> asUser_, env_, clientEnv_;
    std::string socket_, ipc_;
    std::unique_ptr<Child> sway_;
    std::vector<std::unique_ptr<Child>> clients_;
    rig::Seen seen_;
    std::mutex hookMutex_;
    std::function<void(const WindowInfo&)> onWindow_;
    std::unique_ptr<WlrootsWatcher> watcher_;
};

TEST_F(WlrootsWatcherTest, ReportsAppIdAndTitleOfTheWindowInFront) {
    EXPECT_TRUE(WlrootsWatcher::offered(socket_.c_str()));
    openWindow("gamewin", "The Game");
    openWindow("officewin", "Quarterly report");

    focus("gamewin");
    auto w = seen_.waitFor(instanceIs("gamewin"));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->title, "The Game");
    EXPECT_EQ(w->pid, 0) << "the protocol tells no process";

    focus("officewin");
    w = seen_.waitFor(instanceIs("officewin"));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->title, "Quarterly report");
    // Focusing the window already in front reports nothing new.
    focus("officewin");
    EXPECT_FALSE(seen_.waitFor(instanceIs("officewin"), 300ms)) << "reported twice";
    EXPECT_EQ(watcher_->lastSeen(), w);
}

// sway lists its XWayland windows too, under their X class.
TEST_F(WlrootsWatcherTest, SeesAnXWaylandWindowByItsClass) {
    for (const char* p : {"Xwayland", "xmessage"}) {
        if (!installed(p)) GTEST_SKIP() << p << " is not installed (make deps installs it)";
    }
    openWindow("gamewin", "The Game");
    swayExec("xmessage -name xgame -title 'X Game' hello");
    const auto w = seen_.waitFor(instanceIs("Xmessage"));
    ASSERT_TRUE(w) << "the XWayland window was not reported";
    EXPECT_EQ(w->title, "X Game");
}

TEST_F(WlrootsWatcherTest, TheVirtualKeyboardFollowsTheWindowInFront) {
    openWindow("gamewin", "The Game");
    openWindow("officewin", "Quarterly report");
    openWindow("notes", "Notes");

    RuleSet rules;
    rules.dwell = 200ms;
    rules.rules.push_back({{*Condition::make(Field::Class, Compare::Equals, "GameWin")}, "Games",
                           true});
    rules.rules.push_back({{*Condition::make(Field::Title, Compare::StartsWith, "quarterly")},
                           "Office", true});
    rig::KeyboardRig keyboard(rules);
    setHook([&](const WindowInfo& w) { keyboard.windowChanged(w); });

    focus("gamewin");
    EXPECT_TRUE(keyboard.settled(keyboard.gameSpeed, 1));
    focus("officewin");
    EXPECT_TRUE(keyboard.settled(keyboard.officeSpeed, 2));
    // No rule for the notes: back to what the keyboard held before the first switch.
    focus("notes");
    EXPECT_TRUE(keyboard.settled(keyboard.before, 3));
    setHook(nullptr);
}

}  // namespace
}  // namespace tessaron::switching
