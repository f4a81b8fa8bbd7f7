#pragma once
// The asking end of the demo's key-press socket (see demo_press_protocol.h), in plain C++
// so tessaronctl needs no Qt. Header-only: tessaronctl compiles it in.

#include <chrono>
#include <filesystem>
#include <string>

#include "device/virtual/demo_press_protocol.h"
#include "core/line_socket.h"
#include "core/result.h"

namespace tessaron::device::press {

// Sends one request line to the socket and waits for the reply line.
inline Result<Reply> sendRequest(const std::filesystem::path& socketPath, const std::string& line,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
    using Outcome = local::LineExchange::Outcome;
    const local::LineExchange exchange = local::exchangeLine(socketPath, line, kMaxLine, timeout);
    switch (exchange.outcome) {
        case Outcome::PathTooLong:
            return makeError("The data folder's path is too long for the key-press socket.",
                             "数据目录的路径太长，无法用于按键套接字。");
        case Outcome::NotListening:
            return makeError(
                "No tessaron --demo is running on this data folder; start it first (same "
                "--data-dir).",
                "此数据目录上没有运行 tessaron --demo；请先启动它（使用相同的 --data-dir）。");
        case Outcome::Foreign:
            return makeError("The key-press socket " + socketPath.string() +
                                 " belongs to another user; it is not spoken to.",
                             "按键套接字 " + socketPath.string() + " 属于其他用户；不与其通信。");
        case Outcome::Answered:
            break;
    }
    if (auto parsed = parseReply(exchange.reply)) return *parsed;
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

}  // namespace tessaron::device::press
