#pragma once
// The listening end of a local line socket (see core/line_socket.h): each connection sends one
// request line and gets the handler's reply line, or none, then is closed. Served on the GUI
// thread through socket notifiers; only this user may connect.

#include <QObject>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

class QSocketNotifier;

namespace tessaron::app {

class LocalLineServer final : public QObject {
public:
    // The reply to one request line (without its newline); empty: no reply.
    using Handler = std::function<std::string(std::string_view line)>;

    LocalLineServer(std::filesystem::path path, std::size_t maxLine, Handler handler,
                    QObject* parent = nullptr);
    ~LocalLineServer() override;  // closes and removes the socket file

    // Starts listening; the socket file gets mode 0600. A socket of this user with mode 0600
    // left at the path by an earlier run is replaced; any other file there (another user's, one
    // that others may use, or no socket) is left alone. The error says why, for the caller's
    // sentence.
    Status listen();
    [[nodiscard]] bool isListening() const { return listener_ >= 0; }
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    struct Connection;
    void accept();
    void read(Connection& connection);
    void drop(const Connection& connection);
    void close();

    std::filesystem::path path_;
    std::size_t maxLine_;
    Handler handler_;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> acceptNotifier_;
    std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace tessaron::app
