// The event list's editing operations: insertions, delays and deletions on the working streams.

#include <algorithm>

#include "keys/key_names.h"
#include "macros/macro_manager.h"
#include "macros/macro_messages.h"

namespace tessaron::macros {
namespace {

constexpr std::uint16_t kInsertedDelayMs = 50;

std::size_t eventLength(const Stream& host, std::size_t offset) {
    for (const auto& e : decodeEvents(host)) {
        if (e.offset == offset) return e.length();
    }
    return 0;
}

}  // namespace

Status MacroManager::insertBefore(std::size_t s) {
    if (!selected_ || s >= lines_.size()) return messages::noSuchLine();
    if (s == 0) {
        insertLine_ = 0;
    } else if (lines_[s].isDelay) {
        insertLine_ = s;
    } else if (lines_[s - 1].isDelay) {
        insertLine_ = s - 1;  // before the selected event's delay, which stays with its event
    } else {
        insertLine_ = s;
    }
    insertMode_ = true;
    if (!hookInstalled_) hookInstalled_ = hook_.install();
    return {};
}

Status MacroManager::insertAfter(std::size_t s) {
    if (!selected_ || s >= lines_.size()) return messages::noSuchLine();
    if (s + 1 == lines_.size()) {
        insertLine_ = s + 1;
    } else if (lines_[s].isDelay) {
        insertLine_ = s + 2;
    } else {
        insertLine_ = s + 1;
    }
    insertMode_ = true;
    if (!hookInstalled_) hookInstalled_ = hook_.install();
    return {};
}

void MacroManager::endInsertMode() {
    insertMode_ = false;
    // The hook stays only while recording needs it; otherwise typing would be appended.
    if (!recording_) removeHook();
}

Status MacroManager::insertKeystroke(std::uint8_t vk, bool release) {
    // Keys the keyboard cannot play are left out, press and release alike; insertion stays armed.
    if (!selected_) {
        insertMode_ = false;
        removeHook();
        return messages::noMacroSelected();
    }
    if (vk == 0 || keys::usageCode(vk) == 0) {
        return release ? Status{} : Status{messages::keyNotPlayable()};
    }
    const auto offset = offsetOfFirstLine(streams_.host, insertLine_);
    if (release) {
        insertMode_ = false;
        removeHook();
    }
    if (!offset) {
        insertMode_ = false;
        removeHook();
        return messages::noSuchLine();
    }
    // A press is only taken when its release will fit after it.
    const std::size_t needed = release ? event::kShortSize : 2 * event::kShortSize;
    if (streamEnd(streams_.host) + needed > record::kStreamSize) {
        insertMode_ = false;
        removeHook();
        return messages::macroFull();
    }
    const Status inserted =
        insertEvent(streams_, *offset, NewEvent{release, vk, keys::usageCode(vk), 0});
    if (!inserted) return inserted;
    if (!release) ++insertLine_;
    afterEdit();
    return {};
}

Status MacroManager::insertMouseKey(std::size_t s, MouseButton button, MouseAction action) {
    if (!selected_ || s >= lines_.size()) return messages::noSuchLine();
    const std::size_t b = lines_[s].isDelay ? s + 2 : s + 1;
    const auto before = offsetOfLastLine(streams_.host, b - 1);
    if (!before) return messages::noSuchLine();
    const std::size_t offset = *before + eventLength(streams_.host, *before);
    const auto code = static_cast<std::uint8_t>(button);

    const std::size_t needed =
        action == MouseAction::Click ? 2 * event::kShortSize : event::kShortSize;
    if (streamEnd(streams_.host) + needed > record::kStreamSize) return messages::macroFull();
    Status status;
    if (action == MouseAction::Down || action == MouseAction::Click) {
        status = insertEvent(streams_, offset, NewEvent{false, code, code, 0});
    }
    if (status && (action == MouseAction::Up || action == MouseAction::Click)) {
        const std::size_t at = action == MouseAction::Click ? offset + event::kShortSize : offset;
        status = insertEvent(streams_, at, NewEvent{true, code, code, 0});
    }
    endInsertMode();
    afterEdit();
    return status;
}

Status MacroManager::insertDelay(std::size_t s) {
    if (!selected_ || s >= lines_.size()) return messages::noSuchLine();
    if (s + 1 == lines_.size()) return {};
    if (lines_[s].isDelay) return messages::editCurrentDelay();
    const auto offset = offsetOfFirstLine(streams_.host, s + 1);
    if (!offset) return messages::noSuchLine();
    // A long delay already there becomes the short 50 ms, never a short code before long bytes.
    Status status = setEventDelay(streams_, *offset, kInsertedDelayMs);
    normaliseFirstEvent(streams_);
    endInsertMode();
    afterEdit();
    return status;
}

Status MacroManager::deleteLine(std::size_t s) {
    if (!selected_ || s >= lines_.size()) return messages::noSuchLine();
    Status status;
    if (lines_[s].isDelay) {
        const auto offset = offsetOfLastLine(streams_.host, s + 1);
        if (!offset) return messages::noSuchLine();
        status = setEventDelay(streams_, *offset, 0);
    } else {
        const auto offset = offsetOfLastLine(streams_.host, s);
        if (!offset) return messages::noSuchLine();
        removeBytes(streams_, *offset, eventLength(streams_.host, *offset));
    }
    normaliseFirstEvent(streams_);
    endInsertMode();
    afterEdit();
    return status;
}

Status MacroManager::editDelay(std::size_t line, std::int64_t delayMs) {
    if (!selected_ || line >= lines_.size() || !lines_[line].isDelay) return messages::noSuchLine();
    const auto offset = offsetOfFirstLine(streams_.host, line);
    if (!offset) return messages::noSuchLine();
    const auto value = static_cast<std::uint16_t>(
        std::clamp<std::int64_t>(delayMs, event::kMinDelayMs, event::kMaxDelayMs));
    Status status = setEventDelay(streams_, *offset, value);
    normaliseFirstEvent(streams_);
    endInsertMode();
    afterEdit();
    return status;
}

}  // namespace tessaron::macros
