#include "switching/engine.h"

#include <utility>

namespace tessaron::switching {

namespace {
constexpr std::chrono::hours kLimitSpan{1};
}  // namespace

Engine::Engine(ProfileSink& sink, Clock& clock, int ownPid)
    : sink_(sink), clock_(clock), ownPid_(ownPid) {}

void Engine::setRules(RuleSet rules) {
    std::lock_guard lock(mutex_);
    rules_ = std::move(rules);
    if (!rules_.enabled) pending_.reset();
}

RuleSet Engine::rules() const {
    std::lock_guard lock(mutex_);
    return rules_;
}

void Engine::windowChanged(const WindowInfo& window) {
    std::lock_guard lock(mutex_);
    const Decision d = decide(rules_, window, ownPid_);
    status_.lastWindow = window;
    status_.lastDecision = d;
    status_.limited = false;
    // An exception, our own window or switching turned off: whatever waited is no longer wanted.
    if (!rules_.enabled || d.kind == Decision::Kind::Keep) {
        pending_.reset();
        return;
    }
    // A title that keeps changing (a clock, a playing video) must not hold the switch back.
    if (pending_ && pending_->decision.kind == d.kind && pending_->decision.profile == d.profile) {
        pending_->decision = d;
        return;
    }
    pending_ = Pending{d, clock_.now()};
}

void Engine::setPaused(bool paused) {
    std::lock_guard lock(mutex_);
    status_.paused = paused;
}

void Engine::forgetOldWrites(Clock::TimePoint now) const {
    while (!writeTimes_.empty() && now - writeTimes_.front() >= kLimitSpan) writeTimes_.pop_front();
}

std::optional<Clock::TimePoint> Engine::dueLocked() const {
    if (!pending_ || status_.paused) return std::nullopt;
    Clock::TimePoint due = pending_->since + rules_.dwell;
    // A switch that needs a write waits for the oldest write of the hour to leave it.
    if (status_.limited && !writeTimes_.empty()) due = std::max(due, writeTimes_.front() + kLimitSpan);
    return due;
}

std::optional<Clock::TimePoint> Engine::nextDue() const {
    std::lock_guard lock(mutex_);
    return dueLocked();
}

Result<device::DeviceImage> Engine::imageFor(const Decision& d) {
    if (d.kind == Decision::Kind::Profile) return sink_.profileImage(d.profile);
    if (before_) return *before_;
    return sink_.heldImage();  // nothing was switched yet: the keyboard holds what it held
}

bool Engine::tick() {
    Decision decision;
    {
        std::lock_guard lock(mutex_);
        const auto due = dueLocked();
        const auto now = clock_.now();
        if (!due || now < *due) return false;
        decision = pending_->decision;
        pending_.reset();
    }
    auto fail = [&](const Error& e) {
        std::lock_guard lock(mutex_);
        status_.lastError = e;
        return false;
    };

    auto held = sink_.heldImage();
    if (!held) return fail(held.error());
    auto wanted = imageFor(decision);
    if (!wanted) return fail(wanted.error());
    const std::optional<std::string> profile =
        decision.kind == Decision::Kind::Profile ? std::optional(decision.profile) : std::nullopt;

    if (!device::findChanges(*wanted, *held).any()) {
        std::lock_guard lock(mutex_);
        ++status_.alreadyHeld;
        status_.lastProfile = profile;
        status_.lastError.reset();
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        const auto now = clock_.now();
        forgetOldWrites(now);
        if (static_cast<int>(writeTimes_.size()) >= rules_.writesPerHour) {
            // Kept unless a newer window took its place meanwhile.
            if (!pending_) pending_ = Pending{decision, now - rules_.dwell};
            status_.limited = true;
            return false;
        }
    }
    if (!before_) before_ = *held;
    auto sent = sink_.send(*wanted);
    if (!sent) return fail(sent.error());

    std::lock_guard lock(mutex_);
    status_.lastProfile = profile;
    status_.lastError.reset();
    if (sent->steps.empty()) {
        ++status_.alreadyHeld;
        return false;
    }
    ++status_.writes;
    writeTimes_.push_back(clock_.now());
    return true;
}

EngineStatus Engine::status() const {
    std::lock_guard lock(mutex_);
    forgetOldWrites(clock_.now());
    status_.writesLastHour = static_cast<int>(writeTimes_.size());
    return status_;
}

EngineRunner::EngineRunner(Engine& engine) : engine_(engine), thread_([this] { run(); }) {}

EngineRunner::~EngineRunner() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    cv_.notify_all();
    thread_.join();
}

void EngineRunner::wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    cv_.notify_all();
}

void EngineRunner::run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        const auto due = engine_.nextDue();
        auto ready = [&] { return stop_ || woken_; };
        if (due) {
            cv_.wait_until(lock, *due, ready);
        } else {
            cv_.wait(lock, ready);
        }
        if (stop_) break;
        woken_ = false;
        lock.unlock();
        engine_.tick();
        lock.lock();
    }
}

}  // namespace tessaron::switching
