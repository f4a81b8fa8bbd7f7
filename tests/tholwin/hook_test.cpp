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
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "macros/tholwin/tholwin.h"
#include "macros/tholwin/virtual_keys.h"

namespace tessaron::tholwin {
namespace {

struct Message {
    qint64 wParam;
    qint64 lParam;
    bool operator==(const Message&) const = default;
};

// Stands for the key page or the macro manager.
class Receiver : public QObject {
public:
    std::vector<Message> messages;
    std::function<void(const ui::WindowMessage&)> onMessage;
    std::atomic<QThread*> handledOn{nullptr};

protected:
    void customEvent(QEvent* event) override {
        if (event->type() != kMacroKeyEvent) return;
        const auto& message = *static_cast<ui::WindowMessage*>(event);
        messages.push_back({message.wParam(), message.lParam()});
        handledOn = QThread::currentThread();
        if (onMessage) onMessage(message);
    }
};

constexpr qint64 kPress = 0;

// X keycodes and keysyms as an X server sends them.
constexpr std::uint32_t kKeycodeA = 38, kKeysymA = 0x61;
constexpr std::uint32_t kKeycodeRShift = 62, kKeysymRShift = 0xffe2;
constexpr std::uint32_t kKeycodeKp7 = 79, kKeysymKp7 = 0xffb7;

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
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(type, qtKey, modifiers, keycode, keysym, 0, text, autoRepeat);
        QApplication::sendEvent(field_, &event);
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

    EXPECT_EQ(receiver_.messages, (std::vector<Message>{{vk::kRShift, kPress},
                                                        {vk::numpad(7), kPress},
                                                        {vk::numpad(7), kReleaseFlag},
                                                        {vk::kRShift, kReleaseFlag}}));
    EXPECT_TRUE(field_->text().isEmpty());
}

TEST_F(HookTest, HeldKeyRepeatsPressesButNotTheSyntheticReleases) {
    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    const QString a = QStringLiteral("a");
    send(QEvent::KeyPress, Qt::Key_A, kKeycodeA, kKeysymA, a);
    send(QEvent::KeyRelease, Qt::Key_A, kKeycodeA, kKeysymA, a, true);
    send(QEvent::KeyPress, Qt::Key_A, kKeycodeA, kKeysymA, a, true);
    send(QEvent::KeyRelease, Qt::Key_A, kKeycodeA, kKeysymA, a);

    EXPECT_EQ(receiver_.messages, (std::vector<Message>{{vk::letter('A'), kPress},
                                                        {vk::letter('A'), kPress},
                                                        {vk::letter('A'), kReleaseFlag}}));
    EXPECT_TRUE(field_->text().isEmpty());
}

TEST_F(HookTest, DeliversToTheLastWindowInstalledAndStopsOnRemove) {
    Receiver first;
    ASSERT_TRUE(installhook(&first, kModePresses));
    ASSERT_TRUE(installhook(&receiver_, kModePressesAndReleases));
    typeA();
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

}  // namespace
}  // namespace tessaron::tholwin
