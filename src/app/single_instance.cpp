#include "app/single_instance.h"

#include <QLocalSocket>

#include <unistd.h>

namespace tessaron::app {

namespace {
constexpr char kShowRequest[] = "show\n";
}

QString instanceName() {
    return QString::fromLatin1(kInstanceToken) + QStringLiteral("-%1").arg(::getuid());
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains('\n')) emit activationRequested();
                socket->disconnectFromServer();
            });
        }
    });
}

bool SingleInstance::notifyRunning(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kShowRequest);
    socket.waitForBytesWritten(timeoutMs);
    socket.waitForDisconnected(timeoutMs);
    return true;
}

bool SingleInstance::listen() {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (server_.listen(name_)) return true;
    // Nobody answered notifyRunning(), so the socket file is a crashed instance's leftover.
    QLocalServer::removeServer(name_);
    return server_.listen(name_);
}

}  // namespace tessaron::app
