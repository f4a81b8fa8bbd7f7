#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QTest>
#include <QThread>
#include <QVBoxLayout>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <ostream>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "tholwin/tholwin.h"
#include "tholwin/virtual_keys.h"
#include "support/qt_wait.h"

namespace tessaron::tholwin {
namespace {

struct Message {
    qint64 wParam;
    qint64 lParam;
    bool operator==(const Message&) const = default;
};

void PrintTo(const Message& m, std::ostream* os) {
    *os << "{vk 0x" << std::hex << m.wParam << ((m.lParam & kReleaseFlag) ? " up}" : " dn}")
        << std::dec;
}

using SteadyClock = std::chrono::steady_clock;

// Stands for the key page or the macro manager.
class Receiver : public QObject {
public:
    std::vector<Message> messages;
    std::function<void(const ui::WindowMessage&)> onMessage;
    std::atomic<QThread*> handledOn{nullptr};
    // When each keystroke really happened, by the hook's own account.
    std::vector<SteadyClock::time_point> madeAt;

protected:
    void customEvent(QEvent* event) override {
        if (event->type() != kMacroKeyEvent) return;
        const auto& message = *static_cast<ui::WindowMessage*>(event);
        messages.push_back({message.wParam(), message.lParam()});
        madeAt.push_back(SteadyClock::now() - deliveryDelay());
        handledOn = QThread::currentThread();
        if (onMessage) onMessage(message);
    }
};

constexpr qint64 kPress = 0;
constexpr Message pressOf(std::uint8_t vk) { return {vk, kPress}; }
constexpr Message releaseOf(std::uint8_t vk) { return {vk, kReleaseFlag}; }

// X keycodes and keysyms as an X server sends them.
constexpr std::uint32_t kKeycodeA = 38, kKeysymA = 0x61;
constexpr std::uint32_t kKeycodeRShift = 62, kKeysymRShift = 0xffe2;
constexpr std::uint32_t kKeycodeKp7 = 79, kKeysymKp7 = 0xffb7;
constexpr std::uint32_t kKeycodeB = 56, kKeysymB = 0x62;

class HookTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window_);  // owned by the window
        field_ = new QLineEdit(&window_);
        layout->addWidget(field_);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        field_->setFocus();
    }
    void TearDown() override { removehook(); }

    // A key event as the platform hands it to the window.
    void send(QEvent::Type type, int qtKey, std::uint32_t keycode, std::uint32_t keysym,
              const QString& text = {}, bool autoRepeat = false,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint64 timestamp = 0) {
        QKeyEvent event(type, qtKey, modifiers, keycode, keysym, 0, text, autoRepeat);
        event.setTimestamp(timestamp);
        QApplication::sendEvent(field_, &event);
    }
    // A and B as an X server sends them, with its millisecond timestamps; repeat pairs share one.
    void a(QEvent::Type type, quint64 timestamp, bool flagged = false) {
        send(type, Qt::Key_A, kKeycodeA, kKeysymA, QStringLiteral("a"), flagged, Qt::NoModifier,
             timestamp);
    }
    void b(QEvent::Type type, quint64 timestamp, bool flagged = false) {
        send(type, Qt::Key_B, kKeycodeB, kKeysymB, QStringLiteral("b"), flagged, Qt::NoModifier,
             timestamp);
    }
    // Lets a held-back release come, and then some.
    bool settle(std::size_t expected) {
        const bool arrived =
            testing::waitFor([&] { return receiver_.messages.size() >= expected; }, 2000);
        QTest::qWait(static_cast<int>(2 * kReleaseHoldBack.count()));  // and nothing after
        return arrived;
    }
    void typeA() {
        send(QEvent::KeyPress, Qt::Key_A, kKeycodeA, kKeysymA, QStringLiteral("a"));
        send(QEvent::KeyRelease, Qt::Key_A, kKeycodeA, kKeysymA, QStringLiteral("a"));
    }

    QWidget window_;
    QLineEdit* field_ = nullptr;
    Receiver receiver_;
};

TEST_F(HookTest, ModeZeroDeliversPressesOnlyAndTheFieldStaysEmpty) {
    ASSERT_TRUE(installhook(&receiver_, kModePresses));
    typeA();
    send(QEvent::KeyPress, Qt::Key_Shift, kKeycodeRShift, kKeysymRShift);
    send(QEvent::KeyRelease, Qt::Key_Shift, kKeycodeRShift, kKeysymRShift);

    EXPECT_EQ(receiver_.messages,
              (std::vector<Message>{{vk::letter('A'), kPress}, {vk::kRShift, kPress}}));
    EXPECT_TRUE(field_->text().isEmpty());
}

TEST_F(HookTest, ModeOneDeliversPressesAndReleasesInOrder) {
    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    send(QEvent::KeyPress, Qt::Key_Shift, kKeycodeRShift, kKeysymRShift);
    send(QEvent::KeyPress, Qt::Key_7, kKeycodeKp7, kKeysymKp7, QStringLiteral("7"), false,
         Qt::KeypadModifier);
    send(QEvent::KeyRelease, Qt::Key_7, kKeycodeKp7, kKeysymKp7, QStringLiteral("7"), false,
         Qt::KeypadModifier);
    send(QEvent::KeyRelease, Qt::Key_Shift, kKeycodeRShift, kKeysymRShift);
    ASSERT_TRUE(settle(4));

    EXPECT_EQ(receiver_.messages, (std::vector<Message>{{vk::kRShift, kPress},
                                                        {vk::numpad(7), kPress},
                                                        {vk::numpad(7), kReleaseFlag},
                                                        {vk::kRShift, kReleaseFlag}}));
    EXPECT_TRUE(field_->text().isEmpty());
}

TEST_F(HookTest, DeliversToTheLastWindowInstalledAndStopsOnRemove) {
    Receiver first;
    ASSERT_TRUE(installhook(&first, kModePresses));
    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    typeA();
    ASSERT_TRUE(settle(2));
    EXPECT_TRUE(first.messages.empty());
    EXPECT_EQ(receiver_.messages.size(), 2u);  // the second install's mode counts

    removehook();
    EXPECT_FALSE(hookInstalled());
    typeA();
    EXPECT_EQ(receiver_.messages.size(), 2u);
    EXPECT_EQ(field_->text(), QStringLiteral("a"));  // typing reaches the field again
    removehook();                                    // a second remove is harmless
}

TEST_F(HookTest, RejectedInstallsChangeNothing) {
    EXPECT_FALSE(installhook(nullptr, kModePresses));
    EXPECT_FALSE(installhook(&receiver_, 2));
    EXPECT_FALSE(installhook(&receiver_, -1));
    EXPECT_FALSE(hookInstalled());
    typeA();
    EXPECT_TRUE(receiver_.messages.empty());
    EXPECT_EQ(field_->text(), QStringLiteral("a"));

    ASSERT_TRUE(installhook(&receiver_, kModePresses));
    Receiver other;
    EXPECT_FALSE(installhook(&other, 7));
    typeA();
    EXPECT_EQ(receiver_.messages.size(), 1u);  // the earlier install still holds
    EXPECT_TRUE(other.messages.empty());

    bool offThreadResult = true;
    std::thread([&] { offThreadResult = installhook(&other, kModePresses); }).join();
    EXPECT_FALSE(offThreadResult);
}

TEST_F(HookTest, RemovingInsideTheHandlerEndsDeliveryCleanly) {
    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    // The macro manager's insertion removes the hook when the inserted key is released.
    receiver_.onMessage = [](const ui::WindowMessage& message) {
        if (isRelease(message)) removehook();
    };
    typeA();
    ASSERT_TRUE(settle(2));
    EXPECT_FALSE(hookInstalled());
    typeA();
    EXPECT_EQ(receiver_.messages.size(), 2u);
    EXPECT_EQ(field_->text(), QStringLiteral("a"));
}

TEST_F(HookTest, DestroyedWindowStopsSwallowingKeys) {
    auto page = std::make_unique<Receiver>();
    ASSERT_TRUE(installhook(page.get(), kModePresses));
    EXPECT_TRUE(hookInstalled());
    page.reset();
    EXPECT_FALSE(hookInstalled());
    typeA();
    EXPECT_EQ(field_->text(), QStringLiteral("a"));
}

TEST_F(HookTest, KeysThroughTheTopLevelWindowAreDeliveredOnce) {
    QWindow* handle = window_.windowHandle();
    ASSERT_NE(handle, nullptr);
    auto pressA = [handle] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, kKeycodeA, kKeysymA, 0,
                        QStringLiteral("a"));
        QApplication::sendEvent(handle, &press);
    };
    pressA();
    ASSERT_EQ(field_->text(), QStringLiteral("a"));  // the window passes it to the field

    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    pressA();
    EXPECT_EQ(receiver_.messages, (std::vector<Message>{{vk::letter('A'), kPress}}));
    EXPECT_EQ(field_->text(), QStringLiteral("a"));
}

TEST_F(HookTest, ShortcutsAndInputMethodsAreHeldOffWhileHooked) {
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    int fired = 0;
    QShortcut shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &window_);
    QObject::connect(&shortcut, &QShortcut::activated, [&] { ++fired; });

    auto imEnabled = [this] {
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QApplication::sendEvent(field_, &query);
        return query.value(Qt::ImEnabled).toBool();
    };

    QTest::keyClick(field_, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(fired, 1);  // the shortcut works without the hook
    ASSERT_TRUE(imEnabled());

    ASSERT_TRUE(installhook(&receiver_, kModePresses));
    QTest::keyClick(field_, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(imEnabled());
    EXPECT_EQ(receiver_.messages,
              (std::vector<Message>{{vk::kLControl, kPress}, {vk::letter('S'), kPress}}));

    removehook();
    EXPECT_TRUE(imEnabled());
}

TEST_F(HookTest, WindowOnAnotherThreadGetsItOnItsOwnThread) {
    QThread worker;
    worker.start();
    auto remote = std::make_unique<Receiver>();
    remote->moveToThread(&worker);
    ASSERT_TRUE(installhook(remote.get(), kModePresses));
    typeA();
    ASSERT_TRUE(QTest::qWaitFor([&] { return remote->handledOn.load() != nullptr; }, 5000));
    EXPECT_EQ(remote->handledOn.load(), &worker);
    removehook();
    worker.quit();
    worker.wait();
    ASSERT_EQ(remote->messages.size(), 1u);
    EXPECT_EQ(remote->messages[0], (Message{vk::letter('A'), kPress}));
}

// --- Held keys: one press, one release, whatever the window system repeats ---------------

TEST_F(HookTest, HeldKeyGivesOnePressAndOneReleaseFromUnflaggedAndFlaggedRepeats) {
    using enum QEvent::Type;
    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    a(KeyPress, 1000);
    // X11's auto-repeat: release and press with one timestamp, Qt flagging only some pairs.
    for (quint64 t = 1500; t <= 1700; t += 40) {
        const bool flagged = t % 80 == 0;
        a(KeyRelease, t, flagged);
        a(KeyPress, t, flagged);
    }
    // Wayland and XKB's detectable auto-repeat: further presses alone.
    a(KeyPress, 1740);
    a(KeyPress, 1780, true);
    const auto releasedAt = SteadyClock::now();
    a(KeyRelease, 1800);
    ASSERT_TRUE(settle(2));

    EXPECT_EQ(receiver_.messages,
              (std::vector<Message>{pressOf(vk::letter('A')), releaseOf(vk::letter('A'))}));
    EXPECT_TRUE(field_->text().isEmpty());
    // The release comes a little late but is timed when it happened.
    EXPECT_GE(receiver_.madeAt[1], releasedAt);
    EXPECT_LT(receiver_.madeAt[1] - releasedAt, std::chrono::milliseconds(15));
}

TEST_F(HookTest, KeyPageModeGetsOnePressPerHold) {
    using enum QEvent::Type;
    ASSERT_TRUE(installhook(&receiver_, kModePresses));
    a(KeyPress, 1000);
    a(KeyRelease, 1500);
    a(KeyPress, 1500);
    a(KeyRelease, 1540);
    ASSERT_TRUE(settle(1));
    a(KeyPress, 1700);  // pressed again
    a(KeyRelease, 1800);
    EXPECT_EQ(receiver_.messages,
              (std::vector<Message>{pressOf(vk::letter('A')), pressOf(vk::letter('A'))}));
}

TEST_F(HookTest, QuickSecondPressOfTheSameKeyIsNoRepeat) {
    using enum QEvent::Type;
    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    a(KeyPress, 1000);
    a(KeyRelease, 1060);
    a(KeyPress, 1070);  // before the release was settled, but at another time
    a(KeyRelease, 1130);
    ASSERT_TRUE(settle(4));
    const Message down = pressOf(vk::letter('A')), up = releaseOf(vk::letter('A'));
    EXPECT_EQ(receiver_.messages, (std::vector<Message>{down, up, down, up}));
}

TEST_F(HookTest, InterleavedKeysKeepTheirOrder) {
    using enum QEvent::Type;
    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    const Message aDown = pressOf(vk::letter('A')), aUp = releaseOf(vk::letter('A'));
    const Message bDown = pressOf(vk::letter('B')), bUp = releaseOf(vk::letter('B'));
    a(KeyPress, 1000);
    a(KeyRelease, 1500);
    a(KeyPress, 1500);
    b(KeyPress, 1520);  // A stays down; the server now repeats B
    b(KeyRelease, 2020);
    b(KeyPress, 2020);
    a(KeyRelease, 2040);
    b(KeyRelease, 2060);
    b(KeyPress, 2060);
    // A's release is held back, and the next keystroke lets it go first, in order.
    b(KeyRelease, 2100);
    EXPECT_EQ(receiver_.messages, (std::vector<Message>{aDown, bDown, aUp}));
    ASSERT_TRUE(settle(4));
    EXPECT_EQ(receiver_.messages, (std::vector<Message>{aDown, bDown, aUp, bUp}));

    // A release ahead of another key's press is given before it, at once.
    receiver_.messages.clear();
    a(KeyPress, 3000);
    a(KeyRelease, 3050);
    b(KeyPress, 3052);
    EXPECT_EQ(receiver_.messages, (std::vector<Message>{aDown, aUp, bDown}));
}

TEST_F(HookTest, ReleasesWithoutAPressSinceTheInstallAreDropped) {
    using enum QEvent::Type;
    a(KeyPress, 1000);  // down before the hook came
    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    a(KeyRelease, 1500);
    b(KeyPress, 1600);
    b(KeyRelease, 1700);
    removehook();  // b's release was still held back: gone with the hook
    b(KeyPress, 1800);
    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    b(KeyRelease, 1900);
    QTest::qWait(static_cast<int>(2 * kReleaseHoldBack.count()));
    EXPECT_EQ(receiver_.messages, (std::vector<Message>{pressOf(vk::letter('B'))}));
}

TEST_F(HookTest, KeysDownWhenTheProgramLosesTheKeyboardAreReleased) {
    using enum QEvent::Type;
    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    a(KeyPress, 1000);
    b(KeyPress, 1100);
    // The offscreen platform never lets the program lose the keyboard; say it did.
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    ASSERT_TRUE(settle(4));
    EXPECT_EQ(receiver_.messages,
              (std::vector<Message>{pressOf(vk::letter('A')), pressOf(vk::letter('B')),
                                    releaseOf(vk::letter('A')), releaseOf(vk::letter('B'))}));
}

}  // namespace
}  // namespace tessaron::tholwin
