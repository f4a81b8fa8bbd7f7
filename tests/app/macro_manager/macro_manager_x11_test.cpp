// The macro manager recording a key held down on a real X server (Xvfb) through XTEST, on the
// system clock: one press and one release are stored, with the time the key was really held.
// Run by CTest under xvfb-run on the xcb platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QTest>
#include <chrono>
#include <cstdlib>

#include "app/macro_manager/macro_manager_dlg_layout.h"
#include "macro_manager_test_support.h"
#include "macros/tholwin/tholwin.h"

namespace tessaron::app::testing {
namespace {

using std::chrono::milliseconds;
namespace mm = macromgr;

void xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    ASSERT_TRUE(tool.waitForFinished(10000)) << "xdotool (Debian package xdotool) did not run";
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}

// The X server's times of the first press and the last release, ahead of the hook.
class ServerTimes : public QObject {
public:
    quint64 firstPress = 0;
    quint64 lastRelease = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWindowType()) return false;
        const auto stamp = [event] { return static_cast<QKeyEvent*>(event)->timestamp(); };
        if (event->type() == QEvent::KeyPress && firstPress == 0) firstPress = stamp();
        if (event->type() == QEvent::KeyRelease) lastRelease = stamp();
        return false;
    }
};

// Opens the manager, records `key` held for `hold` and returns the recorded host stream and
// for how long the server saw the key held.
void recordHeldKey(const char* key, milliseconds hold, bool withDelays, macros::Stream& stream,
                   milliseconds& heldFor) {
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

    ServerTimes times;
    qApp->installEventFilter(&times);  // after the hook's, so it sees each key event first
    xdotool({QStringLiteral("keydown"), QString::fromLatin1(key)});
    QTest::qWait(static_cast<int>(hold.count()));
    xdotool({QStringLiteral("keyup"), QString::fromLatin1(key)});
    QTest::qWait(300);
    qApp->removeEventFilter(&times);
    heldFor = milliseconds(times.lastRelease - times.firstPress);
    stream = dlg.manager().workingTable()[0].hostStream();
}

TEST(MacroManagerOnX11, HeldKeyWithoutDelaysIsOnePressAndOneRelease) {
    macros::Stream stream;
    milliseconds heldFor{0};
    recordHeldKey("b", milliseconds(2500), false, stream, heldFor);
    EXPECT_EQ(stream, streamOf({0x01, 'B', 0x81, 'B'}));
}

TEST(MacroManagerOnX11, HeldKeyWithDelaysKeepsTheTimeItWasHeld) {
    // The server's own repeat pairs, so that the last release is one the hook holds back.
    qputenv("TESSARON_X11_REPEAT", "pairs");
    macros::Stream stream;
    milliseconds heldFor{0};
    constexpr milliseconds kHold{1200};
    recordHeldKey("a", kHold, true, stream, heldFor);
    qunsetenv("TESSARON_X11_REPEAT");
    // Press; release in the long form (code 127 with the release bit), delay big-endian.
    EXPECT_EQ(stream[0], 0x01);
    EXPECT_EQ(stream[1], 'A');
    EXPECT_EQ(stream[2], 0xFF);
    EXPECT_EQ(stream[3], 'A');
    const int delay = stream[4] << 8 | stream[5];
    ASSERT_GE(heldFor, kHold);
    // Timed on this program's clock, so within a few milliseconds of the server's time; a
    // release timed when the hook let it go would be kReleaseHoldBack late.
    EXPECT_LE(std::abs(delay - static_cast<int>(heldFor.count())), 20);
    EXPECT_EQ(stream[6], 0x00) << "nothing after the release";
}

}  // namespace
}  // namespace tessaron::app::testing
