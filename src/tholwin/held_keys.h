#pragma once
// Turns the key events a window system sends for a held key into one press and one release.
//
// Holding a key makes the window system repeat it. X11 without detectable auto-repeat sends each
// repeat as a release and a press with the same timestamp, and Qt flags such a pair as
// auto-repeat only when the press is already queued behind the release; Wayland and XKB's
// detectable auto-repeat send further presses only. So: a press of a key already held is a
// repeat; a release is held back until it is clear that no press of the same key follows it at
// the same moment, which makes the pair a repeat and keeps the key held. A release held back is
// given its own time, so that a receiver timing keystrokes can see how late it comes.

#include <QtGlobal>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace tessaron::tholwin {

class HeldKeys {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // A keystroke to deliver, and when it really happened.
    struct Keystroke {
        std::uint8_t vk = 0;
        bool release = false;
        TimePoint at;
        bool operator==(const Keystroke&) const = default;
    };
    using Out = std::vector<Keystroke>;

    // A key event as the window system gave it: `timestamp` is its own (0 when unknown, as for
    // synthesised events), `flagged` whether it was marked as auto-repeat.
    struct Event {
        std::uint8_t vk = 0;
        quint64 timestamp = 0;
        bool flagged = false;
        TimePoint at;
    };

    // Appends what is to be delivered now to `out`, in order. Returns true when a release was
    // held back by this call; settle() delivers it.
    bool press(const Event& event, Out& out);
    bool release(const Event& event, Out& out);

    // The moment for a repeat's press to follow has passed: the held-back release is real.
    void settle(Out& out);
    // Releases everything held (the program lost the keyboard, so their releases go elsewhere).
    void releaseAll(TimePoint now, Out& out);
    // Forgets every key and any held-back release.
    void clear();

    // With detectable auto-repeat the window system sends no releases while a key is held, so a
    // release need not wait.
    void setReleasesAreReal(bool real) { releasesAreReal_ = real; }

    [[nodiscard]] bool isHeld(std::uint8_t vk) const { return held_.test(vk); }
    [[nodiscard]] bool holdingBackRelease() const { return heldBack_.has_value(); }

private:
    void deliverHeldBack(Out& out);

    std::bitset<256> held_;
    std::optional<Event> heldBack_;
    bool releasesAreReal_ = false;
};

}  // namespace tessaron::tholwin
