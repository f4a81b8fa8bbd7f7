// A key held down on a real X server (Xvfb) through XTEST, while the hook delivers to a window:
// the server repeats it, and the window must still get one press and one release, the release
// timed when the key came up. Run by CTest on a private Xvfb (tests/support/xvfb_session.sh),
// xcb platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QTest>
#include <QWidget>
#include <chrono>
#include <vector>

#include "tholwin/tholwin.h"
#include "tholwin/virtual_keys.h"

namespace tessaron::tholwin {
namespace {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kHold{2500};

struct Received {
    qint64 vk;
    bool release;
    SteadyClock::time_point madeAt;
};

// The window holding the hook, as the macro manager does.
class Recorder : public QWidget {
public:
    std::vector<Received> received;

protected:
    void customEvent(QEvent* event) override {
        if (event->type() != kMacroKeyEvent) return;
        const auto& message = *static_cast<ui::WindowMessage*>(event);
        received.push_back(
            {message.wParam(), isRelease(message), SteadyClock::now() - deliveryDelay()});
    }
};

// Counts what the X server sent for the key, ahead of the hook. With `unflag` it also does what
// Qt does when the press of a repeat pair is not yet queued behind its release: hands the pair
// on without the auto-repeat flag.
class RawKeys : public QObject {
public:
    bool unflag = false;
    int presses = 0;
    int releases = 0;
    int flagged = 0;
    // When this program got the first press and the last release, and the server's times.
    SteadyClock::time_point firstPressAt, lastReleaseAt;
    quint64 firstPressStamp = 0, lastReleaseStamp = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Qt hands each key event to the window first and then to the widget with the focus.
        const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
        if (!key || !watched->isWindowType() || resending_) return false;
        auto& original = *static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress && presses++ == 0) {
            firstPressAt = SteadyClock::now();
            firstPressStamp = original.timestamp();
        }
        if (event->type() == QEvent::KeyRelease) {
            ++releases;
            lastReleaseAt = SteadyClock::now();
            lastReleaseStamp = original.timestamp();
        }
        if (!original.isAutoRepeat()) return false;
        ++flagged;
        if (!unflag) return false;
        QKeyEvent copy(original.type(), original.key(), original.modifiers(),
                       original.nativeScanCode(), original.nativeVirtualKey(),
                       original.nativeModifiers(), original.text(), false, 1, original.device());
        copy.setTimestamp(original.timestamp());
        resending_ = true;
        QCoreApplication::sendEvent(watched, &copy);
        resending_ = false;
        return true;
    }

private:
    bool resending_ = false;
};

void xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    ASSERT_TRUE(tool.waitForFinished(10000)) << "xdotool (Debian package xdotool) did not run";
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}

struct Hold {
    std::vector<Received> received;
    RawKeys raw;
};

// Holds B for kHold on the X server and returns what the window and Qt saw.
void holdB(Hold& hold, bool unflag = false) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    Recorder window;
    window.resize(200, 120);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"),
             QString::number(window.winId())});
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    ASSERT_TRUE(installhook(&window, kModePressesAndReleases));
    hold.raw.unflag = unflag;
    qApp->installEventFilter(&hold.raw);  // installed last, so it sees each event first
    xdotool({QStringLiteral("keydown"), QStringLiteral("b")});
    QTest::qWait(static_cast<int>(kHold.count()));
    xdotool({QStringLiteral("keyup"), QStringLiteral("b")});
    QTest::qWait(500);
    qApp->removeEventFilter(&hold.raw);
    removehook();
    hold.received = window.received;
}

void expectOnePressAndOneRelease(const Hold& hold) {
    ASSERT_EQ(hold.received.size(), 2u);
    EXPECT_EQ(hold.received[0].vk, vk::letter('B'));
    EXPECT_FALSE(hold.received[0].release);
    EXPECT_EQ(hold.received[1].vk, vk::letter('B'));
    EXPECT_TRUE(hold.received[1].release);
    EXPECT_GE(hold.raw.lastReleaseStamp - hold.raw.firstPressStamp, quint64(kHold.count()))
        << "the server saw the key held";
    // The release is timed when the program got it, not when the hook let it go.
    const auto timed = hold.received[1].madeAt - hold.received[0].madeAt;
    const auto got = hold.raw.lastReleaseAt - hold.raw.firstPressAt;
    EXPECT_LT(std::chrono::abs(timed - got), milliseconds(10));
}

TEST(HeldKeyOnX11, DetectableAutoRepeatSendsPressesOnly) {
    qunsetenv("TESSARON_X11_REPEAT");
    Hold hold;
    holdB(hold);
    expectOnePressAndOneRelease(hold);
    EXPECT_GT(hold.raw.presses, 5) << "the server did not repeat the key";
    EXPECT_EQ(hold.raw.releases, 1);
}

TEST(HeldKeyOnX11, RepeatPairsFromTheServerAreDropped) {
    qputenv("TESSARON_X11_REPEAT", "pairs");
    Hold hold;
    holdB(hold);
    expectOnePressAndOneRelease(hold);
    EXPECT_GT(hold.raw.releases, 5) << "the server sent no repeat pairs";
    EXPECT_EQ(hold.raw.presses, hold.raw.releases);
}

TEST(HeldKeyOnX11, RepeatPairsQtDidNotFlagAreDropped) {
    qputenv("TESSARON_X11_REPEAT", "pairs");
    Hold hold;
    holdB(hold, true);
    qunsetenv("TESSARON_X11_REPEAT");
    expectOnePressAndOneRelease(hold);
    EXPECT_GT(hold.raw.flagged, 5) << "the server sent no repeat pairs";
}

}  // namespace
}  // namespace tessaron::tholwin
