#include "app/controller/settings_history.h"

#include <algorithm>
#include <span>

namespace tessaron::app {

namespace {

void diffBytes(std::span<const std::uint8_t> before, std::span<const std::uint8_t> after,
               std::vector<ByteChange>& out) {
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] != after[i]) out.push_back({static_cast<std::uint32_t>(i), before[i], after[i]});
    }
}

void applyBytes(const std::vector<ByteChange>& changes, std::span<std::uint8_t> bytes,
                bool forward) {
    for (const ByteChange& c : changes) bytes[c.offset] = forward ? c.after : c.before;
}

// Both sorted by offset (or index); the result is too, and drops what came back to where it was.
template <class Change, class Key, class Same>
void absorbSorted(std::vector<Change>& into, const std::vector<Change>& later, Key key, Same same) {
    std::vector<Change> merged;
    merged.reserve(into.size() + later.size());
    auto a = into.begin();
    auto b = later.begin();
    while (a != into.end() || b != later.end()) {
        if (b == later.end() || (a != into.end() && key(*a) < key(*b))) {
            merged.push_back(*a++);
        } else if (a == into.end() || key(*b) < key(*a)) {
            merged.push_back(*b++);
        } else {
            Change c = *a++;
            c.after = (b++)->after;
            merged.push_back(std::move(c));
        }
        if (same(merged.back())) merged.pop_back();
    }
    into = std::move(merged);
}

}  // namespace

SettingsDiff SettingsDiff::between(const SettingsSnapshot& before, const LiveConfig& after) {
    SettingsDiff d;
    diffBytes(before.image, after.image, d.image);
    diffBytes(keys::asBytes(before.records), keys::asBytes(after.records), d.records);
    d.macros = macros::changedRecords(before.macros, after.committedMacros);
    return d;
}

void SettingsDiff::applyTo(LiveConfig& live, bool forward) const {
    applyBytes(image, live.image, forward);
    applyBytes(records, keys::asWritableBytes(live.records), forward);
    macros::applyChanges(live.committedMacros, macros, forward);
}

void SettingsDiff::absorb(const SettingsDiff& later) {
    const auto offset = [](const ByteChange& c) { return c.offset; };
    const auto unchanged = [](const ByteChange& c) { return c.before == c.after; };
    absorbSorted(image, later.image, offset, unchanged);
    absorbSorted(records, later.records, offset, unchanged);
    absorbSorted(
        macros, later.macros, [](const macros::RecordChange& m) { return m.index; },
        [](const macros::RecordChange& m) { return m.before == m.after; });
}

SettingsStep::SettingsStep(SettingsDiff diff, Error name, Language language, int mergeKey,
                           Apply apply)
    : diff_(std::move(diff)), name_(std::move(name)), mergeKey_(mergeKey),
      apply_(std::move(apply)) {
    setText(QString::fromStdString(name_.text(language)));
}

void SettingsStep::undo() {
    apply_(diff_, false);
    done_ = false;
}

void SettingsStep::redo() {
    if (!std::exchange(done_, true)) apply_(diff_, true);
}

bool SettingsStep::mergeWith(const QUndoCommand* other) {
    const auto* later = dynamic_cast<const SettingsStep*>(other);
    if (later == nullptr || later->mergeKey_ != mergeKey_) return false;
    diff_.absorb(later->diff_);
    name_ = later->name_;
    setText(later->text());
    // A drag that ended where it began leaves no step.
    setObsolete(diff_.empty());
    return true;
}

}  // namespace tessaron::app
