// The choice of watcher from what the session says, and what GNOME users are told about the
// extension.

#include <gtest/gtest.h>

#include "switching/desktop_bridge.h"
#include "switching/watcher.h"

namespace tessaron::switching {
namespace {

TEST(WatcherChoice, FollowsTheSessionAndTheDesktop) {
    struct Case {
        SessionFacts facts;
        WatcherKind want;
        const char* why;
    };
    const Case cases[] = {
        {{"x11", "", ":0", "XFCE"}, WatcherKind::X11, "X11 session"},
        {{"", "", ":1", ""}, WatcherKind::X11, "no session type, a display only"},
        // A stray WAYLAND_DISPLAY in an X11 session (a nested compositor) does not count.
        {{"x11", "wayland-1", ":0", "", true}, WatcherKind::X11, "X11 session says so"},
        {{"wayland", "wayland-0", ":0", "KDE"}, WatcherKind::KWinScript, "Plasma, XWayland too"},
        {{"wayland", "wayland-0", ":0", "ubuntu:GNOME"}, WatcherKind::GnomeExtension,
         "GNOME in a list"},
        {{"wayland", "wayland-1", ":0", "sway", true}, WatcherKind::Wlroots, "sway"},
        {{"", "wayland-1", "", "Hyprland", true}, WatcherKind::Wlroots, "no session type"},
        // XWayland only would miss every native window: nothing rather than half.
        {{"wayland", "wayland-0", ":0", "weston"}, WatcherKind::None, "no protocol"},
        {{"wayland", "", "", "sway", true}, WatcherKind::None, "Wayland without a display"},
        {{"tty", "", "", ""}, WatcherKind::None, "console"},
    };
    for (const auto& c : cases) {
        const auto choice = chooseWatcher(c.facts);
        EXPECT_EQ(choice.kind, c.want) << c.why << ": " << choice.reason.english;
        EXPECT_FALSE(choice.reason.english.empty()) << c.why;
    }
}

TEST(GnomeExtension, StateAndAdvice) {
    EXPECT_EQ(gnomeExtensionState(std::nullopt), GnomeExtensionState::NotInstalled);
    EXPECT_EQ(gnomeExtensionState(1.0), GnomeExtensionState::Enabled);
    EXPECT_EQ(gnomeExtensionState(2.0), GnomeExtensionState::Disabled);
    EXPECT_EQ(gnomeExtensionState(6.0), GnomeExtensionState::Disabled);
    EXPECT_EQ(gnomeExtensionState(4.0), GnomeExtensionState::Failed);
    EXPECT_FALSE(gnomeExtensionAdvice(GnomeExtensionState::Enabled));
    for (auto s : {GnomeExtensionState::Disabled, GnomeExtensionState::NotInstalled,
                   GnomeExtensionState::Unknown}) {
        const auto advice = gnomeExtensionAdvice(s);
        ASSERT_TRUE(advice);
        EXPECT_NE(advice->english.find("gnome-extensions enable follow@tessaron.org"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace tessaron::switching
