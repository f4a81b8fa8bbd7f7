#pragma once
// The listener reads the event channel: acknowledgements set the ack signal at once, key events
// are queued for the window without ever holding the listener up.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/clock.h"
#include "device/ack.h"
#include "device/trace.h"
#include "device/transport.h"

namespace tessaron::device {

inline constexpr std::chrono::milliseconds kListenerSlice{200};

enum class PollResult { Nothing, Ack, KeyEvent, Error };

class Listener {
public:
    // Runs on the listener thread after a key event was queued; must not block.
    using KeyEventNotify = std::function<void()>;

    Listener(AckSignal& acks, Clock& clock, Trace* trace = nullptr);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // Reads at most one report from the channel within the timeout and dispatches it.
    PollResult pollOnce(EventChannel& channel, std::chrono::milliseconds timeout);

    // Starts the thread on the channel (which it then owns); ignored while one runs.
    void start(std::unique_ptr<EventChannel> channel, KeyEventNotify notify = {});
    // Tells the thread to end, waits for it and closes the channel.
    void stop();
    bool running() const { return thread_.joinable(); }

    // Key codes of the key events received since the last call, oldest first.
    std::vector<std::uint8_t> takeKeyEvents();

private:
    void run();

    AckSignal& acks_;
    Clock& clock_;
    Trace* trace_;
    std::atomic<bool> stop_{false};
    std::unique_ptr<EventChannel> channel_;
    KeyEventNotify notify_;
    std::thread thread_;
    std::mutex queueMutex_;
    std::deque<std::uint8_t> keyEvents_;
};

}  // namespace tessaron::device
