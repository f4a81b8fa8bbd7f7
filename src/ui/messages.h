#pragma once
// The window message that keeps its number: the hook library's key message (everything else
// inside the program is a typed signal). It travels as a QEvent whose type is the message number
// (inside QEvent::User..QEvent::MaxUser), carrying the two message parameters. Receivers handle
// it in QObject::customEvent() or event():
//
//     void customEvent(QEvent* e) override {
//         if (e->type() == ui::eventType(ui::WM_MACRO_KEY)) {
//             const auto& m = static_cast<const ui::WindowMessage&>(*e); ...
//
// sendMessage() delivers at once on the caller's thread (the receiver must live there).

#include <QEvent>
#include <QtGlobal>

class QObject;

namespace tessaron::ui {

// Keyboard hook → window: wParam virtual-key code, lParam bit 31 set for a release.
inline constexpr int WM_MACRO_KEY = 0x6F3;

constexpr QEvent::Type eventType(int message) {
    return static_cast<QEvent::Type>(message);
}

namespace detail {
constexpr bool isUserEvent(int message) {
    return message >= QEvent::User && message <= QEvent::MaxUser;
}
}  // namespace detail

static_assert(detail::isUserEvent(WM_MACRO_KEY));

class WindowMessage final : public QEvent {
public:
    WindowMessage(int message, qint64 wParam, qint64 lParam)
        : QEvent(eventType(message)), wParam_(wParam), lParam_(lParam) {}

    [[nodiscard]] int message() const { return static_cast<int>(type()); }
    [[nodiscard]] qint64 wParam() const { return wParam_; }
    [[nodiscard]] qint64 lParam() const { return lParam_; }

private:
    qint64 wParam_;
    qint64 lParam_;
};

// Delivers synchronously; returns whether the receiver accepted the event. A null receiver is
// ignored (returns false).
bool sendMessage(QObject* receiver, int message, qint64 wParam = 0, qint64 lParam = 0);

}  // namespace tessaron::ui
