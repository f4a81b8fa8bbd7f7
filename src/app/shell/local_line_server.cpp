#include "app/shell/local_line_server.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/line_socket.h"
#include "core/text.h"

namespace tessaron::app {

namespace {

// Connections that never finish their line are cut off beyond this many, oldest first.
constexpr std::size_t kMaxConnections = 16;

Error cannotListen(const std::string& why) {
    return verbatim(why);
}

bool sameUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

}  // namespace

struct LocalLineServer::Connection {
    int fd = -1;
    std::string line;
    QSocketNotifier* notifier = nullptr;  // owned by the server, as QObject parent
};

LocalLineServer::LocalLineServer(std::filesystem::path path, std::size_t maxLine, Handler handler,
                                 QObject* parent)
    : QObject(parent), path_(std::move(path)), maxLine_(maxLine), handler_(std::move(handler)) {}

LocalLineServer::~LocalLineServer() {
    const bool owned = isListening();
    close();
    if (owned) ::unlink(path_.c_str());
}

void LocalLineServer::close() {
    while (!connections_.empty()) drop(*connections_.front());
    acceptNotifier_.reset();
    if (listener_ >= 0) ::close(listener_);
    listener_ = -1;
}

Status LocalLineServer::listen() {
    close();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = path_.string();
    if (path.size() >= sizeof(address.sun_path)) {
        return makeError(TR_TEXT("Shell", "the path is too long for a socket"));
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return cannotListen(std::strerror(errno));
    const auto bindTo = [&] {
        return ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    };
    bool bound = bindTo();
    if (!bound && errno == EADDRINUSE) {
        // Nobody answered on it, so an earlier run left it behind; but only a socket of this
        // user that nobody else could use is ours to take over. Anything else may have been
        // planted by another user, and is left alone.
        if (local::inspectSocketFile(path_, ::getuid()) == local::SocketFile::Ours) {
            ::unlink(path.c_str());
            bound = bindTo();
        } else {
            errno = EEXIST;
        }
    }
    if (!bound || ::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, 8) != 0) {
        const std::string why = std::strerror(errno);
        if (bound) ::unlink(path.c_str());
        ::close(fd);
        return cannotListen(why);
    }
    listener_ = fd;
    acceptNotifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(acceptNotifier_.get(), &QSocketNotifier::activated, this, &LocalLineServer::accept);
    return {};
}

void LocalLineServer::accept() {
    for (;;) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR) continue;
            return;  // EAGAIN: all taken
        }
        if (!sameUser(fd)) {
            ::close(fd);
            continue;
        }
        if (connections_.size() >= kMaxConnections) drop(*connections_.front());
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        connection->notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        Connection* raw = connection.get();
        connect(connection->notifier, &QSocketNotifier::activated, this,
                [this, raw] { read(*raw); });
        connections_.push_back(std::move(connection));
    }
}

void LocalLineServer::read(Connection& connection) {
    char buffer[512];
    for (;;) {
        const ssize_t n = ::recv(connection.fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;  // more to come
        if (n <= 0) {
            drop(connection);  // closed before its line ended
            return;
        }
        connection.line.append(buffer, static_cast<std::size_t>(n));
        const auto end = connection.line.find('\n');
        if (end != std::string::npos) break;
        // A client that never ends its line is cut off before it fills memory.
        if (connection.line.size() > maxLine_) {
            drop(connection);
            return;
        }
    }
    const std::string request = connection.line.substr(0, connection.line.find('\n') + 1);
    const std::string reply = handler_(request);
    // A reply line is far smaller than the socket's buffer.
    if (!reply.empty()) (void)::send(connection.fd, reply.data(), reply.size(), MSG_NOSIGNAL);
    drop(connection);
}

void LocalLineServer::drop(const Connection& connection) {
    const auto it = std::find_if(connections_.begin(), connections_.end(),
                                 [&](const auto& c) { return c.get() == &connection; });
    if (it == connections_.end()) return;
    // The notifier stops before its descriptor closes; it may be the one signalling now, so the
    // event loop deletes it.
    (*it)->notifier->setEnabled(false);
    (*it)->notifier->disconnect(this);
    (*it)->notifier->deleteLater();
    ::close((*it)->fd);
    connections_.erase(it);
}

}  // namespace tessaron::app
