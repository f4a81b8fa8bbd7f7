// Two figures of the running program, measured on the built tessaron executable:
//  - CPU time while idle with the virtual keyboard connected, over 10 s (goal below 1 % of one
//    core);
//  - resident memory after start, against an empty Qt window of the same size (goal at most 1.5).
// Both programs run offscreen unless QT_QPA_PLATFORM says otherwise, each with a data folder and a
// temporary folder of its own, so a tessaron already running is neither found nor disturbed.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kSettle = 4s;  // start-up, the first read of the keyboard and the first paint
constexpr auto kIdle = 10s;

int runEmptyWindow(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(1000, 645);
    window.show();
    return QApplication::exec();
}

class Child {
public:
    explicit Child(std::vector<std::string> argv) {
        std::vector<char*> args;
        for (auto& a : argv) args.push_back(a.data());
        args.push_back(nullptr);
        // Their warnings (no tray on the offscreen platform) are no part of the table.
        posix_spawn_file_actions_t quiet;
        ::posix_spawn_file_actions_init(&quiet);
        ::posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        ::posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        const int failed = ::posix_spawn(&pid_, args[0], &quiet, nullptr, args.data(), environ);
        ::posix_spawn_file_actions_destroy(&quiet);
        if (failed) throw std::runtime_error("could not start " + argv[0]);
    }
    ~Child() {
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 50 && ::waitpid(pid_, nullptr, WNOHANG) == 0; ++i) {
            std::this_thread::sleep_for(20ms);
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    void expectRunning() const {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) != 0) {
            throw std::runtime_error("a measured program ended early");
        }
    }
    // Resident memory in KiB.
    long residentKiB() const {
        std::ifstream in("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
        }
        throw std::runtime_error("no VmRSS");
    }
    // CPU time in seconds, summed over the threads running now, in nanoseconds as the
    // scheduler counts it: the clock ticks of /proc/PID/stat are too coarse for 10 s of idling.
    double cpuSeconds() const {
        std::uint64_t ns = 0;
        const fs::path tasks = "/proc/" + std::to_string(pid_) + "/task";
        for (const auto& task : fs::directory_iterator(tasks)) {
            std::ifstream in(task.path() / "schedstat");
            std::uint64_t onCpu = 0;
            if (in >> onCpu) ns += onCpu;
        }
        return static_cast<double>(ns) / 1e9;
    }

private:
    pid_t pid_ = -1;
};

int measure() {
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    std::string pattern = (fs::temp_directory_path() / "tessaron-idle-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
    const fs::path root = pattern;
    fs::create_directories(root / "data");
    fs::create_directories(root / "tmp");
    ::setenv("TMPDIR", (root / "tmp").c_str(), 1);
    fs::permissions(root / "tmp", fs::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", (root / "tmp").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM",
             std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen", 1);
    double idlePercent = 0;
    long windowKiB = 0, emptyKiB = 0;
    {
        Child window(
            {TESSARON_APP_PATH, "--demo", "--no-splash", "--data-dir", (root / "data").string()});
        Child empty({self, "--child=empty"});
        std::this_thread::sleep_for(kSettle);
        window.expectRunning();
        empty.expectRunning();
        windowKiB = window.residentKiB();
        emptyKiB = empty.residentKiB();
        const double before = window.cpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(kIdle);
        const double spent = window.cpuSeconds() - before;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        window.expectRunning();
        idlePercent = 100.0 * spent / took.count();
    }
    std::error_code ec;
    fs::remove_all(root, ec);

    const double memoryRatio = static_cast<double>(windowKiB) / static_cast<double>(emptyKiB);
    std::printf("| Measurement | Reference | Measured | Ratio | Goal |\n|---|---|---|---|---|\n");
    std::printf(
        "| Idle CPU, keyboard connected, over %lld s | one core | %.3f %% | %.5f | < 1 %% "
        "%s |\n",
        static_cast<long long>(kIdle.count()), idlePercent, idlePercent / 100.0,
        idlePercent < 1.0 ? "met" : "missed");
    std::printf(
        "| Resident memory after start | empty Qt window %.1f MiB | %.1f MiB | %.3f | "
        "<= 1.50 %s |\n",
        static_cast<double>(emptyKiB) / 1024.0, static_cast<double>(windowKiB) / 1024.0,
        memoryRatio, memoryRatio <= 1.5 ? "met" : "missed");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--child=empty") return runEmptyWindow(argc, argv);
    try {
        return measure();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "app_idle_bench: %s\n", e.what());
        return 1;
    }
}
