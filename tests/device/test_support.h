#pragma once
// Helpers shared by the device tests: a compact view of a transfer log and the keyboard's
// minimum pauses between transfers.

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "device/ack.h"
#include "fake_keyboard.h"

namespace tessaron::device::testing {

// One token per transfer: "S08" frame 0x08 sent, "f" fetch, "w" page written, "r" page read,
// "ack" acknowledgement wait.
std::vector<std::string> summary(const std::vector<Op>& log);

// The shortest pause the keyboard needs after transfer i before transfer i + 1.
std::chrono::milliseconds minimumGapAfter(const std::vector<Op>& log, std::size_t i);

// Index of the first pair of transfers that follow each other too soon, or -1.
long firstTooSoon(const std::vector<Op>& log);

// A frame written out byte by byte (report ID first, checksum last), the unpadded rest zero.
inline FrameBytes frameOf(std::initializer_list<int> values) {
    FrameBytes f{};
    std::size_t i = 0;
    for (int v : values) f[i++] = static_cast<std::uint8_t>(v);
    return f;
}

// Acknowledges every step except the one with the index silentAt; logs each wait.
class ScriptedAcks final : public AckWaiter {
public:
    explicit ScriptedAcks(FakeKeyboard& kb, long silentAt = -1) : kb_(kb), silentAt_(silentAt) {}
    void arm() override { ++armed; }
    bool wait() override {
        kb_.logAckWait();
        return static_cast<long>(waits++) != silentAt_;
    }
    std::size_t armed = 0;
    std::size_t waits = 0;

private:
    FakeKeyboard& kb_;
    long silentAt_;
};

}  // namespace tessaron::device::testing
