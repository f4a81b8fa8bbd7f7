#include "tholwin/held_keys.h"

namespace tessaron::tholwin {

namespace {

// A release and a press belong to one repeat when they carry the same time. Synthesised events
// carry none; then arriving before the held-back release was settled is all there is to go by.
bool sameInstant(quint64 a, quint64 b) {
    return a == 0 || b == 0 || a == b;
}

}  // namespace

bool HeldKeys::press(const Event& event, Out& out) {
    if (heldBack_ && heldBack_->vk == event.vk &&
        (event.flagged || sameInstant(heldBack_->timestamp, event.timestamp))) {
        heldBack_.reset();  // a repeat: the key stays down
        return false;
    }
    deliverHeldBack(out);
    if (held_.test(event.vk)) return false;
    held_.set(event.vk);
    out.push_back({event.vk, false, event.at});
    return false;
}

bool HeldKeys::release(const Event& event, Out& out) {
    // A release of a key pressed before the hook was installed has no press to close.
    if (!held_.test(event.vk)) return false;
    // Qt flags the release when the repeat's press is already queued behind it.
    if (event.flagged) return false;
    deliverHeldBack(out);
    if (releasesAreReal_) {
        held_.reset(event.vk);
        out.push_back({event.vk, true, event.at});
        return false;
    }
    heldBack_ = event;
    return true;
}

void HeldKeys::settle(Out& out) {
    deliverHeldBack(out);
}

void HeldKeys::releaseAll(TimePoint now, Out& out) {
    deliverHeldBack(out);
    for (std::size_t vk = 0; vk < held_.size(); ++vk) {
        if (held_.test(vk)) out.push_back({static_cast<std::uint8_t>(vk), true, now});
    }
    held_.reset();
}

void HeldKeys::clear() {
    held_.reset();
    heldBack_.reset();
}

void HeldKeys::deliverHeldBack(Out& out) {
    if (!heldBack_) return;
    held_.reset(heldBack_->vk);
    out.push_back({heldBack_->vk, true, heldBack_->at});
    heldBack_.reset();
}

}  // namespace tessaron::tholwin
