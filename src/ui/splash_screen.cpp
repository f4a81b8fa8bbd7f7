#include "ui/splash_screen.h"

#include <QPainter>
#include <QTimerEvent>

#include "ui/image_cache.h"
#include "ui/image_folders.h"

namespace tessaron::ui {

CSplashScreen::CSplashScreen(const QString& baseFolder, Language lang, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      path_(splashImagePath(baseFolder, lang)) {
    setModal(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A missing image gives an empty window that still closes on time.
    size_ = ImageCache::instance().size(path_);
    setFixedSize(size_);
}

CSplashScreen::~CSplashScreen() {
    timer_.stop();
}

void CSplashScreen::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!timer_.isActive()) timer_.start(kTickMs, this);
}

void CSplashScreen::tick() {
    if (ticks_ >= kTicksShown) {
        timer_.stop();
        accept();
    }
    ++ticks_;
}

void CSplashScreen::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer_.timerId()) {
        tick();
        return;
    }
    QDialog::timerEvent(event);
}

void CSplashScreen::paintEvent(QPaintEvent* /*event*/) {
    const QImage img = ImageCache::instance().image(path_);
    if (img.isNull()) return;
    QPainter p(this);
    p.drawImage(QPoint(0, 0), img);  // at its logical size, whatever its pixel density
}

}  // namespace tessaron::ui
