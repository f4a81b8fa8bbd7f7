#pragma once
// File failures that root never meets: the tests run as root in CI, and root reads and writes
// past every permission. The body runs in a forked child that first drops to `nobody` when it is
// root, or may only write files up to a size (a full disk). The body must not start threads.

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace tessaron::testing {

struct ChildLimits {
    bool unprivileged = false;  // as `nobody` when run as root, so that permissions hold
    long maxFileBytes = -1;     // writes past this size fail with EFBIG
};

// The body's exit status; -1 when the child could not run it or died.
inline int runInChild(const std::function<int()>& body, const ChildLimits& limits) {
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        constexpr uid_t kNobody = 65534;
        if (limits.unprivileged && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(125);
        }
        if (limits.maxFileBytes >= 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(limits.maxFileBytes),
                               static_cast<rlim_t>(limits.maxFileBytes)};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(125);
        }
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) == 125) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace tessaron::testing
