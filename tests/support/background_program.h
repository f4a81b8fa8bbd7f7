#pragma once
// Programs a test or a benchmark starts in the background (a display server, a window manager,
// clients), without GoogleTest, so the benchmarks share them.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace tessaron::testing {

namespace fs = std::filesystem;

inline bool installed(const char* program) {
    return fs::exists(fs::path("/usr/bin") / program);
}

// A program started in the background with this process's environment, the `NAME=value` entries
// of `setEnv` replacing their namesakes; ended and reaped when it goes.
class Child {
public:
    // `keepFd`, when not -1, is handed to the child as descriptor 3.
    Child(std::vector<std::string> args, const std::vector<std::string>& setEnv, int keepFd = -1) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            const std::string_view entry(*e);
            bool replaced = false;
            for (const auto& s : setEnv) {
                if (entry.starts_with(s.substr(0, s.find('=') + 1))) replaced = true;
            }
            if (!replaced) env.emplace_back(entry);
        }
        for (const auto& s : setEnv) {
            if (!s.ends_with('=')) env.push_back(s);
        }
        std::vector<char*> argv, envp;
        for (auto& a : args) argv.push_back(a.data());
        for (auto& e : env) envp.push_back(e.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            if (keepFd >= 0) ::dup2(keepFd, 3);
            const int null = ::open("/dev/null", O_RDWR);
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
    }
    ~Child() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    int pid() const { return pid_; }

private:
    int pid_ = -1;
};

// A private Xvfb display: Xvfb picks a free display itself and writes its number to descriptor
// 3. The display's name (":N"), empty when it did not start.
inline std::string startXvfb(std::unique_ptr<Child>& xvfb) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    xvfb = std::make_unique<Child>(
        std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", "3", "-nolisten", "tcp",
                                 "-screen", "0", "800x600x24"},
        std::vector<std::string>{"DISPLAY="}, fds[1]);
    ::close(fds[1]);
    pollfd p{fds[0], POLLIN, 0};
    std::string number;
    char ch = 0;
    while (::poll(&p, 1, 10000) == 1 && ::read(fds[0], &ch, 1) == 1 && ch != '\n') number += ch;
    ::close(fds[0]);
    return number.empty() ? std::string() : ":" + number;
}

}  // namespace tessaron::testing
