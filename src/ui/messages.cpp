#include "ui/messages.h"

#include <QCoreApplication>
#include <QObject>

#include <memory>

namespace tessaron::ui {

bool sendMessage(QObject* receiver, int message, qint64 wParam, qint64 lParam) {
    if (receiver == nullptr) return false;
    WindowMessage event(message, wParam, lParam);
    return QCoreApplication::sendEvent(receiver, &event);
}

void postMessage(QObject* receiver, int message, qint64 wParam, qint64 lParam) {
    if (receiver == nullptr) return;
    // Qt takes ownership of posted events.
    QCoreApplication::postEvent(
        receiver, std::make_unique<WindowMessage>(message, wParam, lParam).release());
}

}  // namespace tessaron::ui
