#include "ui/first_paint_report.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace tessaron::ui {

namespace {

class FirstPaintWatch final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued: it runs once the paint event and its flush are done.
            QTimer::singleShot(0, this, [this] {
                std::fputs("first paint\n", stdout);
                std::fflush(stdout);
                deleteLater();
            });
        }
        return false;
    }
};

}  // namespace

void reportFirstPaint(QWidget& window) {
    if (qEnvironmentVariableIsEmpty(kReportFirstPaintVariable)) return;
    window.installEventFilter(new FirstPaintWatch(&window));
}

}  // namespace tessaron::ui
