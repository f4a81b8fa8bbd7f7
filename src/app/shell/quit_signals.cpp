#include "app/shell/quit_signals.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <utility>

#include "core/text.h"

namespace tessaron::app {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile sig_atomic_t g_writeFd = -1;

extern "C" void onQuitSignal(int signal) {
    const int saved = errno;
    const auto number = static_cast<unsigned char>(signal);
    // A full pipe drops the byte: a quit is already waiting to be read.
    [[maybe_unused]] const ssize_t written = ::write(g_writeFd, &number, 1);
    errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {}

QuitSignals::~QuitSignals() {
    if (installed_) {
        for (const int s : kSignals) std::signal(s, SIG_DFL);
        g_writeFd = -1;
    }
    for (const int fd : fds_) {
        if (fd >= 0) ::close(fd);
    }
}

Status QuitSignals::install() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds_) != 0) {
        return makeError(TR_TEXT("Shell", "Could not follow the signals that end the program: %1"),
                         std::string(std::strerror(errno)));
    }
    notifier_ = new QSocketNotifier(fds_[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::readSignals);
    g_writeFd = fds_[0];
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : kSignals) {
        if (::sigaction(s, &action, nullptr) != 0) {
            return makeError(
                TR_TEXT("Shell", "Could not follow the signals that end the program: %1"),
                std::string(std::strerror(errno)));
        }
    }
    installed_ = true;
    return {};
}

void QuitSignals::readSignals() {
    unsigned char numbers[16];
    ssize_t n = 0;
    while ((n = ::read(fds_[1], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < n; ++i) onSignal_(numbers[i]);
    }
}

}  // namespace tessaron::app
