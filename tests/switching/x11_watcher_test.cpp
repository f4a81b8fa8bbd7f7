// The X11 watcher on a private Xvfb display with a real window manager (openbox), and real X
// clients brought to the front with xdotool; at the end the virtual keyboard follows them through
// the engine.

#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "follow_rig.h"
#include "run_process.h"
#include "switching/x11_watcher.h"

namespace tessaron::switching {
namespace {

using namespace std::chrono_literals;
using rig::Child;
using rig::installed;
using rig::instanceIs;

class X11WatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* p : {"Xvfb", "openbox", "xmessage", "xdotool"}) {
            if (!installed(p)) GTEST_SKIP() << p << " is not installed (make deps installs it)";
        }
        display_ = testing::startXvfb(xvfb_);
        ASSERT_FALSE(display_.empty()) << "Xvfb did not start";
        openbox_ = std::make_unique<Child>(
            std::vector<std::string>{"/usr/bin/openbox", "--sm-disable"},
            std::vector<std::string>{"DISPLAY=" + display_});

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
            std::vector<std::string>{"DISPLAY=" + display_}));
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

    std::unique_ptr<Child> xvfb_;
    std::unique_ptr<Child> openbox_;
    std::vector<std::unique_ptr<Child>> clients_;
    std::string display_;
    rig::Seen seen_;
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

    RuleSet rules;
    rules.dwell = 200ms;
    rules.rules.push_back({{*Condition::make(Field::CommandLine, Compare::Contains, "witcher3.exe")},
                           "Games", true});
    rules.rules.push_back({{*Condition::make(Field::Title, Compare::StartsWith, "quarterly")},
                           "Office", true});
    rig::KeyboardRig keyboard(rules);
    setHook([&](const WindowInfo& w) { keyboard.windowChanged(w); });
    activate(game);
    EXPECT_TRUE(keyboard.settled(keyboard.gameSpeed, 1));
    activate(office);
    EXPECT_TRUE(keyboard.settled(keyboard.officeSpeed, 2));

    // Alt+Tab through every window and back to the office one: nothing is sent.
    for (int i = 0; i < 3; ++i) {
        activate(game);
        activate(other);
        activate(office);
    }
    SystemClock::instance().sleep(600ms);
    EXPECT_TRUE(keyboard.settled(keyboard.officeSpeed, 2));

    // No rule for the notes: back to what the keyboard held before the first switch.
    activate(other);
    EXPECT_TRUE(keyboard.settled(keyboard.before, 3));
    setHook(nullptr);
}

}  // namespace
}  // namespace tessaron::switching
