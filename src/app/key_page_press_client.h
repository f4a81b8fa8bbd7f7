#pragma once
// The asking end of the demo's key-press socket (see key_page_press_protocol.h), in plain C++
// with POSIX sockets so tessaronctl needs no Qt. Header-only: tessaronctl compiles it in.

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/key_page_press_protocol.h"
#include "core/result.h"

namespace tessaron::app::press {

namespace detail {
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    [[nodiscard]] int get() const { return fd_; }

private:
    int fd_;
};

inline Error notRunning() {
    return makeError(
        "No tessaron --demo is running on this data folder; start it first (same --data-dir).",
        "此数据目录上没有运行 tessaron --demo；请先启动它（使用相同的 --data-dir）。");
}
}  // namespace detail

// Sends one request line to the socket and waits for the reply line.
inline Result<Reply> sendRequest(const std::filesystem::path& socketPath, const std::string& line,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = socketPath.string();
    if (path.size() >= sizeof(address.sun_path)) {
        return makeError("The data folder's path is too long for the key-press socket.",
                         "数据目录的路径太长，无法用于按键套接字。");
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

    const detail::Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) return detail::notRunning();
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        return detail::notRunning();
    }
    std::size_t sent = 0;
    while (sent < line.size()) {
        const ssize_t n = ::send(fd.get(), line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return detail::notRunning();
        sent += static_cast<std::size_t>(n);
    }

    std::string reply;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (reply.find('\n') == std::string::npos && reply.size() < kMaxLine) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd waiting{fd.get(), POLLIN, 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        char buffer[kMaxLine];
        const ssize_t n = ::recv(fd.get(), buffer, sizeof(buffer), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        reply.append(buffer, static_cast<std::size_t>(n));
    }
    if (auto parsed = parseReply(reply.substr(0, reply.find('\n')))) return *parsed;
    return makeError("The running tessaron --demo did not answer.",
                     "正在运行的 tessaron --demo 没有回应。");
}

inline Result<Reply> sendPress(const std::filesystem::path& socketPath, unsigned keyIndex,
                               std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
    return sendRequest(socketPath, request(keyIndex), timeout);
}

// Unplugs (plugIn false) or plugs in again the running demo's virtual keyboard.
inline Result<Reply> sendPlug(const std::filesystem::path& socketPath, bool plugIn,
                              std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
    return sendRequest(socketPath, plugRequest(plugIn), timeout);
}

}  // namespace tessaron::app::press
