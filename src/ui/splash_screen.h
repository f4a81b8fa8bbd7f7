#pragma once
// The start-up splash: a borderless modal window the size of SplashScreen.png that closes
// itself after about one second (its 52nd tick of 20 ms).

#include <QBasicTimer>
#include <QDialog>
#include <QImage>

#include "core/language.h"

namespace tessaron::ui {

class CSplashScreen : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTickMs = 20;
    // Shown for this many ticks; the next one closes it.
    static constexpr int kTicksShown = 51;

    // baseFolder: the data folder holding "png/".
    CSplashScreen(const QString& baseFolder, Language lang, QWidget* parent = nullptr);
    ~CSplashScreen() override;

    // One timer tick (public so the count can be checked without waiting).
    void tick();
    [[nodiscard]] int ticks() const { return ticks_; }
    [[nodiscard]] QSize imageSize() const { return size_; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QString path_;
    QSize size_;
    QBasicTimer timer_;
    int ticks_ = 0;
};

}  // namespace tessaron::ui
