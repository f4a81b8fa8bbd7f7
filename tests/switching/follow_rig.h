#pragma once
// What the watcher tests under a real display server share: programs started in the background
// (support/background_program.h), the windows a watcher reported, and the virtual keyboard driven
// by the engine with two profiles.

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "device/device_link.h"
#include "device/read_all.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "support/background_program.h"
#include "support/fake_clock.h"
#include "support/scratch_folder.h"
#include "switching/device_profiles.h"
#include "switching/engine.h"


namespace tessaron::switching::rig {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using testing::Child;
using testing::installed;

// Windows reported by the watcher, in order.
class Seen {
public:
    void add(const WindowInfo& w) {
        {
            std::lock_guard lock(mutex_);
            windows_.push_back(w);
        }
        cv_.notify_all();
    }
    // The first window reported since the last call that satisfies `want`.
    std::optional<WindowInfo> waitFor(const std::function<bool(const WindowInfo&)>& want,
                                      std::chrono::milliseconds timeout = 10s) {
        std::unique_lock lock(mutex_);
        std::optional<WindowInfo> found;
        cv_.wait_for(lock, timeout, [&] {
            while (!windows_.empty()) {
                WindowInfo w = windows_.front();
                windows_.pop_front();
                if (want(w)) {
                    found = w;
                    return true;
                }
            }
            return false;
        });
        return found;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<WindowInfo> windows_;
};

inline std::function<bool(const WindowInfo&)> instanceIs(const std::string& instance) {
    return [instance](const WindowInfo& w) { return w.instance == instance; };
}

// The virtual keyboard with the profiles "Games" and "Office", which differ from what it holds in
// their lighting speed only, and an engine on the system clock sending them. The keyboard's
// pacing runs on a fake clock and takes no real time.
class KeyboardRig {
public:
    explicit KeyboardRig(const RuleSet& rules)
        : keyboard_(std::make_shared<device::VirtualKeyboard>(keyboardClock_)),
          transport_(keyboard_),
          link_(transport_, keyboardClock_) {
        EXPECT_TRUE(link_.openCommand());
        {
            auto lease = link_.acquire();
            EXPECT_TRUE(lease);
            auto read = device::startupRead(lease->port(), held_);
            EXPECT_TRUE(read);
            if (read) held_ = read->image;
        }
        EXPECT_TRUE(link_.openEvent());
        fs::create_directories(data_.path() / "Configure");
        before = held_[device::image::kSpeed];
        gameSpeed = before == 3 ? 4 : 3;
        officeSpeed = before == 7 ? 8 : 7;
        for (auto [name, speed] : {std::pair{"Games", gameSpeed}, std::pair{"Office", officeSpeed}}) {
            device::DeviceImage img = held_;
            img[device::image::kSpeed] = speed;
            std::ofstream(data_.path() / "Configure" / (std::string(name) + ".bin"),
                          std::ios::binary)
                .write(reinterpret_cast<const char*>(img.data()),
                       static_cast<std::streamsize>(img.size()));
        }
        sink_ = std::make_unique<DeviceProfiles>(link_, data_.path(), held_);
        engine_ = std::make_unique<Engine>(*sink_, SystemClock::instance(),
                                           static_cast<int>(::getpid()));
        engine_->setRules(rules);
        runner_ = std::make_unique<EngineRunner>(*engine_);
    }

    void windowChanged(const WindowInfo& w) {
        engine_->windowChanged(w);
        runner_->wake();
    }

    // Waits until the keyboard holds `speed` after `writes` switches and nothing else waits.
    bool settled(std::uint8_t speed, int writes) {
        for (int i = 0; i < 1000; ++i) {
            if (keyboard_->settings()[device::image::kSpeed] == speed &&
                engine_->status().writes == writes && !engine_->nextDue()) {
                return true;
            }
            SystemClock::instance().sleep(5ms);
        }
        const auto st = engine_->status();
        ADD_FAILURE() << "speed " << int(keyboard_->settings()[device::image::kSpeed]) << " after "
                      << st.writes << " writes, not " << int(speed) << " after " << writes
                      << "; last window " << (st.lastWindow ? st.lastWindow->title : "")
                      << "; error " << (st.lastError ? st.lastError->english : "");
        return false;
    }

    std::uint8_t before = 0, gameSpeed = 0, officeSpeed = 0;

private:
    testing::ScratchFolder data_{"switching-rig"};
    FakeClock keyboardClock_;
    std::shared_ptr<device::VirtualKeyboard> keyboard_;
    device::VirtualTransport transport_;
    device::DeviceLink link_;
    device::DeviceImage held_{};
    std::unique_ptr<DeviceProfiles> sink_;
    std::unique_ptr<Engine> engine_;
    std::unique_ptr<EngineRunner> runner_;
};

}  // namespace tessaron::switching::rig
