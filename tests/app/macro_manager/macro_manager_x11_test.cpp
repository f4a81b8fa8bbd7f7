// The macro manager recording a key held down on a real X server (Xvfb) through XTEST, on the
// system clock: one press and one release are stored, with the time the key was really held.
// Run by CTest on a private Xvfb (tests/support/xvfb_session.sh), xcb platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QTest>
#include <chrono>
#include <cstdlib>

#include "app/macro_manager/macro_manager_dlg_layout.h"
#include "macro_manager_test_support.h"
#include "tholwin/tholwin.h"

namespace tessaron::app::testing {
namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;
namespace mm = macromgr;

void xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    ASSERT_TRUE(tool.waitForFinished(10000)) << "xdotool (Debian package xdotool) did not run";
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}

// When this program got the first press and the last release, ahead of the hook, and the X
// server's times of both.
class KeyTimes : public QObject {
public:
    SteadyClock::time_point firstPressAt, lastReleaseAt;
    quint64 firstPressStamp = 0, lastReleaseStamp = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWindowType()) return false;
        const auto stamp = [event] { return static_cast<QKeyEvent*>(event)->timestamp(); };
        if (event->type() == QEvent::KeyPress && firstPressStamp == 0) {
            firstPressAt = SteadyClock::now();
            firstPressStamp = stamp();
        }
        if (event->type() == QEvent::KeyRelease) {
            lastReleaseAt = SteadyClock::now();
            lastReleaseStamp = stamp();
        }
        return false;
    }
};

// Opens the manager, records `key` held for `hold` and returns the recorded host stream and
// the key's times.
void recordHeldKey(const char* key, milliseconds hold, bool withDelays, macros::Stream& stream,
                   KeyTimes& times) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    macros::MacroTable committed = tableWith({"Macro_001"});
    RecordingPrompts prompts;
    MacroManagerSetup setup;
    setup.imageFolder = imageFolderFor(Language::English);
    setup.prompts = &prompts;  // the system clock and the real hook
    CMacroRecordDlg dlg(committed, setup);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"),
             QString::number(dlg.winId())});
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));

    if (withDelays) QTest::mouseClick(&dlg, Qt::LeftButton, {}, mm::kRecordDelayBox.centre());
    QTest::mouseClick(&dlg, Qt::LeftButton, {}, mm::kRecordButton.centre());
    ASSERT_TRUE(dlg.manager().recording());
    ASSERT_TRUE(tholwin::hookInstalled());

    qApp->installEventFilter(&times);  // after the hook's, so it sees each key event first
    xdotool({QStringLiteral("keydown"), QString::fromLatin1(key)});
    QTest::qWait(static_cast<int>(hold.count()));
    xdotool({QStringLiteral("keyup"), QString::fromLatin1(key)});
    QTest::qWait(300);
    qApp->removeEventFilter(&times);
    stream = dlg.manager().workingTable()[0].hostStream();
}

TEST(MacroManagerOnX11, HeldKeyWithoutDelaysIsOnePressAndOneRelease) {
    macros::Stream stream;
    KeyTimes times;
    recordHeldKey("b", milliseconds(2500), false, stream, times);
    EXPECT_EQ(stream, streamOf({0x01, 'B', 0x81, 'B'}));
}

TEST(MacroManagerOnX11, HeldKeyWithDelaysKeepsTheTimeItWasHeld) {
    // The server's own repeat pairs, so that the last release is one the hook holds back.
    qputenv("TESSARON_X11_REPEAT", "pairs");
    macros::Stream stream;
    KeyTimes times;
    constexpr milliseconds kHold{1200};
    recordHeldKey("a", kHold, true, stream, times);
    qunsetenv("TESSARON_X11_REPEAT");
    // Press; release in the long form (code 127 with the release bit), delay big-endian.
    EXPECT_EQ(stream[0], 0x01);
    EXPECT_EQ(stream[1], 'A');
    EXPECT_EQ(stream[2], 0xFF);
    EXPECT_EQ(stream[3], 'A');
    const int delay = stream[4] << 8 | stream[5];
    EXPECT_GE(times.lastReleaseStamp - times.firstPressStamp, quint64(kHold.count()))
        << "the server saw the key held";
    // Timed when the program got the release; timed when the hook let it go, it would be
    // kReleaseHoldBack longer.
    const auto got =
        std::chrono::duration_cast<milliseconds>(times.lastReleaseAt - times.firstPressAt);
    EXPECT_LE(std::abs(delay - static_cast<int>(got.count())), 10);
    EXPECT_EQ(stream[6], 0x00) << "nothing after the release";
}

}  // namespace
}  // namespace tessaron::app::testing
