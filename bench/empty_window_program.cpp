// The reference of the start rows: the least a Qt program with a window of the main window's
// size does before its first paint. It reports that paint as tessaron does.

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include "ui/first_paint_report.h"

namespace {

class EmptyWindow final : public QWidget {
public:
    EmptyWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    EmptyWindow window;
    window.resize(1000, 645);
    tessaron::ui::reportFirstPaint(window);
    window.show();
    return QApplication::exec();
}
