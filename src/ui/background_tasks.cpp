#include "ui/background_tasks.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace tessaron::ui {

namespace {

// Never destroyed: a task may still run while the program's statics go.
std::mutex& tasksMutex() {
    static auto* m = new std::mutex;
    return *m;
}
std::condition_variable& tasksDone() {
    static auto* c = new std::condition_variable;
    return *c;
}
int running = 0;  // guarded by tasksMutex()

}  // namespace

void runInBackground(std::function<void()> task) {
    {
        const std::lock_guard lock(tasksMutex());
        ++running;
    }
    std::thread([task = std::move(task)]() mutable {
        task();
        task = nullptr;  // what it holds goes before it is counted done
        {
            const std::lock_guard lock(tasksMutex());
            --running;
        }
        tasksDone().notify_all();
    }).detach();
}

void waitForBackgroundTasks() {
    std::unique_lock lock(tasksMutex());
    tasksDone().wait(lock, [] { return running == 0; });
}

void removeUnfinishedWrites(const std::filesystem::path& folder) {
    constexpr auto kUnderWay = std::chrono::minutes(1);
    std::error_code ec;
    const auto now = std::filesystem::file_time_type::clock::now();
    for (auto it = std::filesystem::directory_iterator(folder, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.find(".tmp.") == std::string::npos || !it->is_regular_file(ec)) continue;
        const auto written = it->last_write_time(ec);
        if (!ec && now - written > kUnderWay) std::filesystem::remove(it->path(), ec);
    }
}

}  // namespace tessaron::ui
