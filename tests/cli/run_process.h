#pragma once
// Runs a program as a child process with a clean environment, feeds its standard input and
// collects its output, its exit status and how long it took.

#include <sys/resource.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tessaron::testing {

struct ProcessOptions {
    // NAME=value entries added to the clean environment (PATH and LANG).
    std::vector<std::string> environment;
    std::string input;  // standard input; closed after it
    // RLIMIT_FSIZE for the child: writes past it fail as on a full disk.
    std::optional<rlim_t> fileSizeLimit;
    std::chrono::milliseconds timeout{60000};
};

struct ProcessResult {
    int exitCode = -1;  // -1 when killed by a signal or the timeout
    bool timedOut = false;
    std::string out;
    std::string err;
    std::chrono::milliseconds elapsed{0};
};

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options = {});

}  // namespace tessaron::testing
