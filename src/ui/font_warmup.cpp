#include "ui/font_warmup.h"

#include <fontconfig/fontconfig.h>

#include <condition_variable>
#include <mutex>

namespace tessaron::ui {

namespace {

std::mutex loadMutex;
std::condition_variable loadDone;
int loading = 0;  // warm-ups under way

}  // namespace

FontConfigWarmup::FontConfigWarmup() {
    {
        const std::lock_guard lock(loadMutex);
        ++loading;
    }
    thread_ = std::thread([] {
        (void)FcInit();
        {
            const std::lock_guard lock(loadMutex);
            --loading;
        }
        loadDone.notify_all();
    });
}

FontConfigWarmup::~FontConfigWarmup() {
    if (thread_.joinable()) thread_.join();
}

void awaitFontConfig() {
    std::unique_lock lock(loadMutex);
    loadDone.wait(lock, [] { return loading == 0; });
}

}  // namespace tessaron::ui
