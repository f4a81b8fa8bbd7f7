#include "support/qt_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace tessaron::testing {

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    QCoreApplication::processEvents();
    return true;
}

}  // namespace tessaron::testing
