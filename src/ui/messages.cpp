#include "ui/messages.h"

#include <QCoreApplication>
#include <QObject>

namespace tessaron::ui {

bool sendMessage(QObject* receiver, int message, qint64 wParam, qint64 lParam) {
    if (receiver == nullptr) return false;
    WindowMessage event(message, wParam, lParam);
    return QCoreApplication::sendEvent(receiver, &event);
}

}  // namespace tessaron::ui
