#include "macros/tholwin/tholwin.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodQueryEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QThread>
#include <memory>

#include "macros/tholwin/virtual_keys.h"

namespace tessaron::tholwin {

namespace {

// Watches every event of the application while installed. It stays alive (owned by the
// application object) between installs, so a receiver may remove the hook from inside its
// handler while the filter is still on the stack.
class HookFilter final : public QObject {
public:
    using QObject::QObject;

    void attach(QObject* window, int mode) {
        target_ = window;
        mode_ = mode;
        if (!attached_) {
            QCoreApplication::instance()->installEventFilter(this);
            attached_ = true;
        }
        refreshInputMethod();
    }

    void detach() {
        target_.clear();
        if (attached_) {
            QCoreApplication::instance()->removeEventFilter(this);
            attached_ = false;
        }
        refreshInputMethod();
    }

    [[nodiscard]] bool delivering() const { return attached_ && !target_.isNull(); }

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
                deliver(*static_cast<QKeyEvent*>(event));
                return true;
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
    void deliver(const QKeyEvent& key) {
        const bool release = key.type() == QEvent::KeyRelease;
        // A held key: the repeated presses are wanted, the synthetic releases between them not.
        if (release && key.isAutoRepeat()) return;
        if (release && mode_ == kModePresses) return;
        const std::uint8_t code = virtualKeyOf(key, platformNativeKeys());
        if (code == vk::kNone) return;

        QObject* target = target_.data();
        const qint64 lParam = release ? kReleaseFlag : 0;
        if (target->thread() == QThread::currentThread()) {
            ui::WindowMessage message(kMacroKeyMessage, code, lParam);
            QCoreApplication::sendEvent(target, &message);
        } else {
            // The receiver's event loop takes ownership.
            auto message = std::make_unique<ui::WindowMessage>(kMacroKeyMessage, code, lParam);
            QCoreApplication::postEvent(target, message.release());
        }
    }

    static void refreshInputMethod() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
            QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    }

    QPointer<QObject> target_;
    int mode_ = kModePresses;
    bool attached_ = false;
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

bool hookInstalled() {
    const auto& filter = filterInstance();
    return !filter.isNull() && filter->delivering();
}

}  // namespace tessaron::tholwin
