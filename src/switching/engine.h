#pragma once
// The switching engine: turns the windows coming to the front into as few writes to the keyboard
// as possible. A window must stay in front for the dwell time before anything is sent, so a burst
// of Alt+Tab sends nothing; only the latest target is kept; nothing is sent when the keyboard
// already holds the target; writes are limited per hour; nothing is sent while paused (the window
// has unsaved changes or a page open).
//
// The engine keeps no thread and never sleeps: the owner calls tick() when nextDue() has come
// (EngineRunner does that on a thread of its own), so tests drive it with a fake clock.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/clock.h"
#include "core/result.h"
#include "device/device_image.h"
#include "device/write_changes.h"
#include "switching/rules.h"

namespace tessaron::switching {

// The keyboard side, implemented by whoever owns the keyboard (the window's controller, or
// DeviceProfiles of device_profiles.h). Calls come from the engine's thread, one at a time.
class ProfileSink {
public:
    virtual ~ProfileSink() = default;
    // The device image the keyboard would hold with this profile loaded.
    virtual Result<device::DeviceImage> profileImage(const std::string& name) = 0;
    // What the keyboard holds now.
    virtual Result<device::DeviceImage> heldImage() = 0;
    // Sends what differs from what the keyboard holds; the steps sent.
    virtual Result<device::WriteOutcome> send(const device::DeviceImage& wanted) = 0;
};

struct EngineStatus {
    std::optional<WindowInfo> lastWindow;
    std::optional<Decision> lastDecision;
    int writes = 0;           // switches that sent something
    int alreadyHeld = 0;      // switches that found the keyboard holding the target
    int writesLastHour = 0;
    bool limited = false;     // a switch waits for the hourly limit
    bool paused = false;
    std::optional<std::string> lastProfile;  // the profile last sent or found held
    std::optional<Error> lastError;
};

class Engine {
public:
    using Clock = tessaron::Clock;

    Engine(ProfileSink& sink, Clock& clock, int ownPid);

    // Thread-safe. A new rule set applies to the next window.
    void setRules(RuleSet rules);
    RuleSet rules() const;

    // The window in front changed (from the watcher's thread).
    void windowChanged(const WindowInfo& window);
    // Set while the window has unsaved changes or a page open.
    void setPaused(bool paused);

    // When tick() has something to do; nullopt when nothing waits.
    std::optional<Clock::TimePoint> nextDue() const;
    // Sends the waiting switch when its time has come. Returns true when it sent something.
    // Called from one thread only.
    bool tick();

    EngineStatus status() const;

private:
    struct Pending {
        Decision decision;
        Clock::TimePoint since;
    };

    std::optional<Clock::TimePoint> dueLocked() const;
    void forgetOldWrites(Clock::TimePoint now) const;
    Result<device::DeviceImage> imageFor(const Decision& d);

    ProfileSink& sink_;
    Clock& clock_;
    const int ownPid_;

    mutable std::mutex mutex_;
    RuleSet rules_;
    std::optional<Pending> pending_;
    mutable std::deque<Clock::TimePoint> writeTimes_;  // within the last hour
    mutable EngineStatus status_;
    // What the keyboard held before the first switch: where "previous" goes back to.
    std::optional<device::DeviceImage> before_;
};

// Runs an engine's ticks on a thread of its own, on the system clock; waits for nothing else.
class EngineRunner {
public:
    explicit EngineRunner(Engine& engine);
    ~EngineRunner();
    EngineRunner(const EngineRunner&) = delete;
    EngineRunner& operator=(const EngineRunner&) = delete;

    // Call after anything that may move the engine's nextDue() earlier.
    void wake();

private:
    void run();

    Engine& engine_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool stop_ = false;
    bool woken_ = false;
    std::thread thread_;
};

}  // namespace tessaron::switching
