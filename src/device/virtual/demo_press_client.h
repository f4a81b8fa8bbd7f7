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
            return makeError(TR_TEXT("Device", "The data folder's path is too long for the key-press socket."));
        case Outcome::NotListening:
            return makeError(TR_TEXT("Device", "No tessaron --demo is running on this data folder; start it first (same --data-dir)."));
        case Outcome::Foreign:
            return makeError(TR_TEXT("Device", "The key-press socket %1 belongs to another user; it is not spoken to."), socketPath.string());
        case Outcome::Answered:
            break;
    }
    if (auto parsed = parseReply(exchange.reply)) return *parsed;
    return makeError(TR_TEXT("Device", "The running tessaron --demo did not answer."));
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
