#include "tholwin/tholwin.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <memory>

#include "tholwin/detectable_repeat.h"
#include "tholwin/held_keys.h"
#include "tholwin/virtual_keys.h"

namespace tessaron::tholwin {

namespace {

// Watches every event of the application while installed. It stays alive (owned by the
// application object) between installs, so a receiver may remove the hook from inside its
// handler while the filter is still on the stack.
class HookFilter final : public QObject {
public:
    explicit HookFilter(QObject* parent) : QObject(parent) {
        holdBack_.setSingleShot(true);
        holdBack_.setInterval(kReleaseHoldBack);
        connect(&holdBack_, &QTimer::timeout, this, [this] {
            HeldKeys::Out out;
            keys_.settle(out);
            deliverAll(out, nullptr);
        });
        if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            connect(gui, &QGuiApplication::applicationStateChanged, this,
                    [this](Qt::ApplicationState state) {
                        if (state != Qt::ApplicationActive) keyboardLost();
                    });
        }
    }

    void attach(QObject* window, int mode) {
        target_ = window;
        mode_ = mode;
        forgetKeys();  // a replaced install's keys belong to its window
        if (!attached_) {
            QCoreApplication::instance()->installEventFilter(this);
            attached_ = true;
            keys_.setReleasesAreReal(detectableRepeat_.enable());
        }
        refreshInputMethod();
    }

    void detach() {
        target_.clear();
        forgetKeys();
        if (attached_) {
            QCoreApplication::instance()->removeEventFilter(this);
            attached_ = false;
            detectableRepeat_.restore();
            keys_.setReleasesAreReal(false);
        }
        refreshInputMethod();
    }

    [[nodiscard]] bool delivering() const { return attached_ && !target_.isNull(); }
    [[nodiscard]] std::chrono::nanoseconds currentDelay() const { return currentDelay_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
                if (target_.isNull()) {
                    // The window went away without removing the hook: stop swallowing input.
                    detach();
                    return false;
                }
                event->accept();
                return take(*static_cast<QKeyEvent*>(event));
            case QEvent::ShortcutOverride:
                // Accepting the override keeps shortcuts and mnemonics from firing, so the key
                // arrives as a key press, which is swallowed above.
                if (target_.isNull()) return false;
                event->accept();
                return true;
            case QEvent::InputMethod:
                if (target_.isNull()) return false;
                event->accept();
                return true;
            case QEvent::InputMethodQuery: {
                // Tell the input method that no field takes text, so that it passes keys on
                // instead of composing them.
                auto* query = static_cast<QInputMethodQueryEvent*>(event);
                if (target_.isNull() || query->queries() != Qt::ImEnabled) return false;
                query->setValue(Qt::ImEnabled, false);
                query->accept();
                return true;
            }
            default:
                return QObject::eventFilter(watched, event);
        }
    }

private:
    // Returns whether the key event is the hook's: false only when a handler removed the hook
    // before the event itself came to be delivered, so that it reaches the window after all.
    bool take(const QKeyEvent& key) {
        const std::uint8_t code = virtualKeyOf(key, platformNativeKeys());
        if (code == vk::kNone) return true;
        const HeldKeys::Event event{code, key.timestamp(), key.isAutoRepeat(),
                                    std::chrono::steady_clock::now()};
        HeldKeys::Out out;
        const bool heldBack = key.type() == QEvent::KeyRelease ? keys_.release(event, out)
                                                               : keys_.press(event, out);
        if (heldBack) holdBack_.start();
        if (!keys_.holdingBackRelease()) holdBack_.stop();
        const HeldKeys::Keystroke own{code, key.type() == QEvent::KeyRelease, event.at};
        return deliverAll(out, &own);
    }

    // Delivers in order until a handler removes the hook. Returns false if that happened before
    // `own` (the keystroke being handled) came to be delivered.
    bool deliverAll(const HeldKeys::Out& out, const HeldKeys::Keystroke* own) {
        for (const HeldKeys::Keystroke& stroke : out) {
            if (!delivering()) return own == nullptr || stroke != *own;
            deliver(stroke);
        }
        return true;
    }

    void deliver(const HeldKeys::Keystroke& stroke) {
        if (stroke.release && mode_ == kModePresses) return;
        QObject* target = target_.data();
        const qint64 lParam = stroke.release ? kReleaseFlag : 0;
        if (target->thread() == QThread::currentThread()) {
            ui::WindowMessage message(kMacroKeyMessage, stroke.vk, lParam);
            const auto outer = currentDelay_;
            currentDelay_ = std::chrono::steady_clock::now() - stroke.at;
            QCoreApplication::sendEvent(target, &message);
            currentDelay_ = outer;
        } else {
            // The receiver's event loop takes ownership.
            auto message = std::make_unique<ui::WindowMessage>(kMacroKeyMessage, stroke.vk, lParam);
            QCoreApplication::postEvent(target, message.release());
        }
    }

    // Held keys are let go elsewhere once another program has the keyboard.
    void keyboardLost() {
        if (!delivering()) return;
        holdBack_.stop();
        HeldKeys::Out out;
        keys_.releaseAll(std::chrono::steady_clock::now(), out);
        deliverAll(out, nullptr);
    }

    void forgetKeys() {
        keys_.clear();
        holdBack_.stop();
    }

    static void refreshInputMethod() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
            QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    }

    QPointer<QObject> target_;
    int mode_ = kModePresses;
    bool attached_ = false;
    HeldKeys keys_;
    QTimer holdBack_;
    DetectableRepeat detectableRepeat_;
    std::chrono::nanoseconds currentDelay_{0};
};

QPointer<HookFilter>& filterInstance() {
    static QPointer<HookFilter> filter;
    return filter;
}

bool onApplicationThread() {
    const auto* app = QCoreApplication::instance();
    return app != nullptr && app->thread() == QThread::currentThread();
}

}  // namespace

bool installhook(QObject* window, int mode) {
    if (window == nullptr || !onApplicationThread()) return false;
    if (mode != kModePresses && mode != kModePressesAndReleases) return false;
    auto& filter = filterInstance();
    if (filter.isNull()) filter = new HookFilter(QCoreApplication::instance());  // owned by the app
    filter->attach(window, mode);
    return true;
}

void removehook() {
    if (!onApplicationThread()) return;
    if (auto& filter = filterInstance(); !filter.isNull()) filter->detach();
}

std::chrono::nanoseconds deliveryDelay() {
    if (!onApplicationThread()) return std::chrono::nanoseconds{0};
    const auto& filter = filterInstance();
    return filter.isNull() ? std::chrono::nanoseconds{0} : filter->currentDelay();
}

bool hookInstalled() {
    const auto& filter = filterInstance();
    return !filter.isNull() && filter->delivering();
}

}  // namespace tessaron::tholwin
