#include "run_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <stdexcept>

namespace tessaron::testing {
namespace {

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        read = fds[0];
        write = fds[1];
    }
};

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const ProcessOptions& options) {
    std::vector<std::string> env = {"PATH=/usr/bin:/bin", "LANG=C.UTF-8"};
    env.insert(env.end(), options.environment.begin(), options.environment.end());
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argStorage = {program};
    argStorage.insert(argStorage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argStorage) argv.push_back(a.data());
    argv.push_back(nullptr);

    Pipe in, out, err;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        ::dup2(in.read, 0);
        ::dup2(out.write, 1);
        ::dup2(err.write, 2);
        if (options.fileSizeLimit) {
            // A write past the limit then fails with EFBIG instead of killing the program.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    closeFd(in.read);
    closeFd(out.write);
    closeFd(err.write);

    ProcessResult result;
    std::size_t written = 0;
    if (options.input.empty()) closeFd(in.write);
    ::signal(SIGPIPE, SIG_IGN);
    const auto deadline = start + options.timeout;
    while (out.read >= 0 || err.read >= 0) {
        std::array<pollfd, 3> fds{};
        nfds_t n = 0;
        auto watch = [&](int fd, short events) {
            if (fd >= 0) fds[n++] = pollfd{fd, events, 0};
        };
        watch(out.read, POLLIN);
        watch(err.read, POLLIN);
        watch(in.write, POLLOUT);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        if (::poll(fds.data(), n, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
        for (nfds_t i = 0; i < n; ++i) {
            if (!fds[i].revents) continue;
            if (fds[i].fd == in.write) {
                const ssize_t w = ::write(in.write, options.input.data() + written,
                                          options.input.size() - written);
                if (w > 0) written += static_cast<std::size_t>(w);
                if (w < 0 || written == options.input.size()) closeFd(in.write);
                continue;
            }
            char buffer[4096];
            const ssize_t r = ::read(fds[i].fd, buffer, sizeof buffer);
            const bool isOut = fds[i].fd == out.read;
            if (r <= 0) {
                closeFd(isOut ? out.read : err.read);
            } else {
                (isOut ? result.out : result.err).append(buffer, static_cast<std::size_t>(r));
            }
        }
    }
    closeFd(in.write);
    closeFd(out.read);
    closeFd(err.read);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}

}  // namespace tessaron::testing
