#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, `kill`, Ctrl+C in a terminal) end the program the way
// its Exit does, so the KWin script is unloaded, the bus name and the keyboard's lock are given
// back. A signal handler may do almost nothing: it writes the signal's number into a socket
// pair, and the event loop reads it and does the work on this thread.

#include <QObject>

#include <functional>

#include "core/result.h"

class QSocketNotifier;

namespace tessaron::app {

class QuitSignals final : public QObject {
public:
    // onSignal runs on this object's thread for each signal caught. One per program.
    explicit QuitSignals(std::function<void(int signal)> onSignal, QObject* parent = nullptr);
    ~QuitSignals() override;  // the signals' default actions come back
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // Catches the signals from now on; says why when it cannot.
    Status install();

private:
    void readSignals();

    std::function<void(int)> onSignal_;
    int fds_[2] = {-1, -1};  // [0] written by the handler, [1] read here
    QSocketNotifier* notifier_ = nullptr;
    bool installed_ = false;
};

}  // namespace tessaron::app
