#pragma once
// A recording stand-in for the keyboard's command channel: it answers queries and pages from
// its own settings image, takes written blocks into it, and logs every transfer with the fake
// time at which it happened. Transfers can be made to fail.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "core/clock.h"
#include "device/transport.h"

namespace tessaron::device::testing {

// The keyboard's settings memory: the device image layout, whose offsets the fake writes down
// itself (fake_keyboard.cpp) rather than taking them from the host's header.
inline constexpr std::size_t kKeyboardMemorySize = 10056;
using KeyboardMemory = std::array<std::uint8_t, kKeyboardMemorySize>;

enum class OpKind { Send, Fetch, Write, Read, AckWait };

struct Op {
    OpKind kind;
    FrameBytes frame{};  // Send/Fetch: the frame; Write/Read: zero
    Page page{};         // Write/Read
    Clock::TimePoint at;
};

class FakeKeyboard final : public CommandChannel {
public:
    explicit FakeKeyboard(Clock& clock) : clock_(clock) {}

    Status sendFeature(const FrameBytes& frame) override;
    Result<FrameBytes> getFeature() override;
    Status writePage(const Page& page) override;
    Result<Page> readPage(std::chrono::milliseconds timeout) override;

    // The keyboard's own settings.
    KeyboardMemory settings{};
    std::array<std::uint8_t, 8> firmware{0x01, 0x02, 0x05, 0, 0, 0, 0, 0};

    std::vector<Op> log;
    // The transfer with this index into the log fails (sends and fetches included).
    std::optional<std::size_t> failAt;

    std::vector<FrameBytes> sentFrames() const;
    void logAckWait() { log.push_back({OpKind::AckWait, {}, {}, clock_.now()}); }

private:
    bool failing();
    void answer(const FrameBytes& frame);
    void expectPages(std::size_t offset, std::size_t size);

    Clock& clock_;
    FrameBytes reply_{};
    std::deque<Page> outgoing_;  // pages the keyboard will answer reads with
    // The block being written: where it lands and how many bytes remain.
    std::size_t writeOffset_ = 0;
    std::size_t writeRemaining_ = 0;
};

// An event channel fed by the test.
class FakeEvents final : public EventChannel {
public:
    Result<std::optional<EventReport>> readEvent(std::chrono::milliseconds timeout) override;
    std::deque<Result<std::optional<EventReport>>> queue;
    std::vector<std::chrono::milliseconds> timeouts;
};

// An event channel that a listener thread reads while the test feeds it.
class BlockingEvents final : public EventChannel {
public:
    Result<std::optional<EventReport>> readEvent(std::chrono::milliseconds timeout) override;
    void push(EventReport report);
    std::atomic<int> reads{0};

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<EventReport> queue_;
};

}  // namespace tessaron::device::testing
