#include "app/shell/single_instance.h"

#include <QFile>

#include <unistd.h>

#include "core/line_socket.h"

namespace tessaron::app {

namespace {
constexpr char kShowRequest[] = "show\n";
constexpr std::size_t kMaxRequest = 64;

std::filesystem::path socketPath(const QString& name) {
    return local::socketPath(local::SocketPlace::fromProcess(),
                             QFile::encodeName(name).toStdString());
}
}  // namespace

QString instanceName() {
    return QString::fromLatin1(kInstanceToken) + QStringLiteral("-%1").arg(::getuid());
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent),
      name_(std::move(name)),
      path_(socketPath(name_)),
      server_(path_, kMaxRequest, [this](std::string_view) {
          emit activationRequested();
          return std::string();
      }) {}

bool SingleInstance::notifyRunning(int timeoutMs) {
    // Answered once the running instance has taken the request and closed.
    return local::exchangeLine(path_, kShowRequest, kMaxRequest,
                               std::chrono::milliseconds(timeoutMs))
               .outcome == local::LineExchange::Outcome::Answered;
}

bool SingleInstance::listen() {
    // Nobody answered notifyRunning(), so a socket file there is a crashed instance's leftover.
    return static_cast<bool>(server_.listen());
}

}  // namespace tessaron::app
