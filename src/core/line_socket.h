#pragma once
// The asking end of a local stream socket that takes one request line and answers with at most
// one reply line, then closes: used to bring a running window forward and by the demo's key
// presses. Plain POSIX, so tessaronctl needs no Qt.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tessaron::local {

struct LineExchange {
    enum class Outcome {
        Answered,      // connected and sent; `reply` holds what came back (may be empty)
        NotListening,  // nobody listens at the path
        PathTooLong,   // the path does not fit a socket address
    };
    Outcome outcome = Outcome::NotListening;
    std::string reply;  // up to and without the newline
};

// Sends `line` and reads until a newline, the server's close, `maxReply` bytes or `timeout`.
LineExchange exchangeLine(const std::filesystem::path& socket, std::string_view line,
                          std::size_t maxReply, std::chrono::milliseconds timeout);

}  // namespace tessaron::local
