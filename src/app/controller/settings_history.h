#pragma once
// One step of the window's undo history: the bytes of the device image and of the key records an
// edit changed, and the macros it replaced, each before and after. Nothing else is kept, so a
// long history of slider moves and key edits stays small.

#include <QUndoCommand>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "app/shell/live_config.h"
#include "core/result.h"

namespace tessaron::app {

// What an edit starts from; compared with the live settings once it is done.
struct SettingsSnapshot {
    device::DeviceImage image{};
    keys::KeyRecordTable records{};
    macros::MacroTable macros;

    void take(const LiveConfig& live) {
        image = live.image;
        records = live.records;
        macros = live.committedMacros;
    }
};

struct ByteChange {
    std::uint32_t offset = 0;
    std::uint8_t before = 0;
    std::uint8_t after = 0;
};

struct SettingsDiff {
    std::vector<ByteChange> image;
    std::vector<ByteChange> records;
    std::vector<macros::RecordChange> macros;

    static SettingsDiff between(const SettingsSnapshot& before, const LiveConfig& after);
    [[nodiscard]] bool empty() const { return image.empty() && records.empty() && macros.empty(); }
    // forward: the state after the edit, else the one before it.
    void applyTo(LiveConfig& live, bool forward) const;
    // Takes a later edit into this one: before stays, after becomes the later edit's.
    void absorb(const SettingsDiff& later);
};

class SettingsStep final : public QUndoCommand {
public:
    // apply moves the live settings to one side of the step and keeps the files; mergeKey 0 never
    // merges, equal non-zero keys of adjacent steps become one step (one slider drag).
    using Apply = std::function<void(const SettingsDiff&, bool forward)>;
    SettingsStep(SettingsDiff diff, Error name, Language language, int mergeKey, Apply apply);

    void undo() override;
    void redo() override;
    [[nodiscard]] int id() const override { return mergeKey_ == 0 ? -1 : 1; }
    bool mergeWith(const QUndoCommand* other) override;

    // The step's name in both languages ("Caps Lock → Left Ctrl + Z").
    [[nodiscard]] const Error& name() const { return name_; }
    [[nodiscard]] const SettingsDiff& diff() const { return diff_; }

private:
    SettingsDiff diff_;
    Error name_;
    int mergeKey_;
    Apply apply_;
    bool done_ = true;  // pushed after the edit itself was made: the first redo has nothing to do
};

}  // namespace tessaron::app
