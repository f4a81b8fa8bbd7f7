// The recorder: keystrokes from the hook appended to the selected macro with their delays.

#include <algorithm>

#include "keys/key_names.h"
#include "macros/macro_manager.h"
#include "macros/macro_messages.h"

namespace tessaron::macros {
namespace {

// A press further in than this could not be followed by its release.
constexpr std::size_t kLastPressOffset = 183;

}  // namespace

Status MacroManager::toggleRecording() {
    if (!selected_) return messages::selectToRecord();
    recording_ = !recording_;
    if (recording_) {
        // An insertion still waiting for its key would take the first recorded one.
        insertMode_ = false;
        if (!hookInstalled_) hookInstalled_ = hook_.install();
        streams_.clear();
        appendPos_ = 0;
        lastEventText_.clear();
        lines_.clear();
        selectedLine_.reset();
        working_[*selected_].setDeviceStream(streams_.device);
        working_[*selected_].setHostStream(streams_.host);
    } else {
        removeHook();
    }
    return {};
}

Status MacroManager::keystroke(std::uint8_t vk, KeyAction action) {
    return keystroke(vk, action, clock_.counter());
}

Status MacroManager::keystroke(std::uint8_t vk, KeyAction action, std::chrono::nanoseconds late) {
    constexpr std::int64_t kNsPerSecond = 1'000'000'000;
    const std::int64_t ns = std::max<std::int64_t>(late.count(), 0);
    // Whole seconds first, so that a long lateness cannot overflow the product.
    const std::int64_t ticks =
        ns / kNsPerSecond * frequency_ + ns % kNsPerSecond * frequency_ / kNsPerSecond;
    return keystroke(vk, action, clock_.counter() - ticks);
}

Status MacroManager::keystroke(std::uint8_t vk, KeyAction action, std::int64_t counter) {
    const bool release = action == KeyAction::Release;
    // Keystrokes come only through the hook, and are taken only while an insertion waits for
    // one or recording is on.
    Status status;
    if (hookInstalled_ && insertMode_) {
        status = insertKeystroke(vk, release);
    } else if (hookInstalled_ && recording_) {
        status = appendRecorded(vk, release, counter);
    }
    storeCurrent();
    return status;
}

// Whole milliseconds since the previous measurement, at most 60000; computed without the
// overflow that multiplying a long pause by 10^6 first would risk.
std::uint16_t MacroManager::elapsedMs(std::int64_t counter) {
    const std::int64_t elapsed = counter - lastCounter_;
    lastCounter_ = counter;
    if (elapsed <= 0 || frequency_ <= 0) return 0;
    const std::int64_t seconds = elapsed / frequency_;
    if (seconds >= event::kMaxDelayMs / 1000) return event::kMaxDelayMs;
    const std::int64_t ms = seconds * 1000 + (elapsed % frequency_) * 1000 / frequency_;
    return static_cast<std::uint16_t>(std::min<std::int64_t>(ms, event::kMaxDelayMs));
}

Status MacroManager::appendRecorded(std::uint8_t vk, bool release, std::int64_t counter) {
    const std::string line = keyLine(vk, release);
    std::uint16_t delay = 0;
    if (!release) {
        if (lines_.empty()) {
            lastCounter_ = counter;
        } else if (line != lastEventText_) {
            delay = elapsedMs(counter);
        }
        if (line == lastEventText_ || appendPos_ > kLastPressOffset) return {};
    } else {
        delay = elapsedMs(counter);
        if (line == lastEventText_) return {};
    }
    // A zero code would end the device stream there and lose everything after it.
    if (vk == 0 || keys::usageCode(vk) == 0) return messages::keyNotPlayable();

    const bool withDelay = !lines_.empty() && recordDelay_;
    NewEvent ev{release, vk, keys::usageCode(vk), withDelay ? delay : std::uint16_t{0}};
    if (auto inserted = insertEvent(streams_, appendPos_, ev); !inserted) return inserted;

    appendPos_ = streamEnd(streams_.host);
    rebuildLines();
    lastEventText_ = line;
    selectedLine_ = lines_.size() - 1;
    return {};
}

}  // namespace tessaron::macros
