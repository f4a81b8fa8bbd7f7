#include "device/write_changes.h"

#include <algorithm>
#include <span>

#include "device/bulk.h"
#include "device/commands.h"
#include "device/errors.h"

namespace tessaron::device {

namespace {

bool differs(const DeviceImage& a, const DeviceImage& b, std::size_t offset, std::size_t size) {
    return !std::equal(a.begin() + static_cast<std::ptrdiff_t>(offset),
                       a.begin() + static_cast<std::ptrdiff_t>(offset + size),
                       b.begin() + static_cast<std::ptrdiff_t>(offset));
}

bool keyMapEmpty(const DeviceImage& img) {
    const auto map = std::span(img).subspan(image::kKeyMap, image::kKeyMapSize);
    return std::all_of(map.begin(), map.end(), [](std::uint8_t b) { return b == 0; });
}

class Sequence {
public:
    Sequence(CommandPort& port, DeviceImage& img, AckWaiter& acks, const StepObserver& observer)
        : port_(port), img_(img), acks_(acks), observer_(observer) {}

    // Sends one step and waits for the keyboard to acknowledge it.
    template <class Send>
    Status acknowledged(WriteStep step, Send send) {
        announce(step);
        acks_.arm();
        auto s = send();
        if (!s) return s;
        if (step.kind == StepKind::DarkLighting) darkened_ = true;
        if (!acks_.wait()) return errors::notAcknowledged(step.text());
        return {};
    }

    Status fullLighting() {
        announce({StepKind::FullLighting, 0});
        return setLighting(port_, img_, LightingForm::Full);
    }

    // After a failure, a keyboard left dark gets its lighting back; best effort.
    void recover() {
        if (darkened_) (void)setLighting(port_, img_, LightingForm::Full);
    }

    std::vector<WriteStep> steps;

private:
    void announce(const WriteStep& step) {
        steps.push_back(step);
        if (observer_) observer_(step);
    }

    CommandPort& port_;
    DeviceImage& img_;
    AckWaiter& acks_;
    const StepObserver& observer_;
    bool darkened_ = false;
};

Status sendSteps(Sequence& seq, CommandPort& port, DeviceImage& img, const ChangeSet& c) {
    using K = StepKind;
    Status s;
    if (c.anyBeyondLighting()) {
        s = seq.acknowledged({K::DarkLighting, 0},
                             [&] { return setLighting(port, img, LightingForm::Dark); });
        if (!s) return s;
    }
    if (c.lightingTable) {
        s = seq.acknowledged({K::LightingTable, 0}, [&]() -> Status {
            for (std::size_t n = 0; n < image::kLightingTableEntries; ++n) {
                auto e = setLightingEntry(port, img, n);
                if (!e) return e;
            }
            return {};
        });
        if (!s) return s;
    }
    if (c.gameMode) {
        s = seq.acknowledged({K::GameMode, 0}, [&] { return setGameMode(port, img); });
        if (!s) return s;
    }
    if (c.reportRate) {
        s = seq.acknowledged({K::ReportRate, 0}, [&] { return setReportRate(port, img); });
        if (!s) return s;
    }
    if (c.responseTime) {
        s = seq.acknowledged({K::ResponseTime, 0}, [&] { return setResponseTime(port, img); });
        if (!s) return s;
    }
    if (c.keyMap) {
        s = seq.acknowledged({K::KeyMap, 0}, [&] { return writeKeyMap(port, img); });
        if (!s) return s;
    }
    if (c.enableBitmap) {
        s = seq.acknowledged({K::EnableBitmap, 0}, [&] { return writeEnableBitmap(port, img); });
        if (!s) return s;
    }
    for (std::size_t n = 0; n < image::kMacroSlotCount; ++n) {
        if (!c.macroSlots[n]) continue;
        s = seq.acknowledged({K::MacroSlot, n}, [&] { return writeMacroSlot(port, img, n); });
        if (!s) return s;
    }
    for (std::size_t m = 0; m < image::kLightMapCount; ++m) {
        if (!c.lightMaps[m]) continue;
        s = seq.acknowledged({K::LightMap, m}, [&] { return writeLightMap(port, img, m); });
        if (!s) return s;
    }
    return seq.fullLighting();
}

}  // namespace

bool ChangeSet::anyBeyondLighting() const {
    return lightingTable || gameMode || reportRate || responseTime || keyMap || enableBitmap ||
           std::find(macroSlots.begin(), macroSlots.end(), true) != macroSlots.end() ||
           std::find(lightMaps.begin(), lightMaps.end(), true) != lightMaps.end();
}

ChangeSet findChanges(const DeviceImage& img, const DeviceImage& committed) {
    ChangeSet c;
    c.lightingTable = differs(img, committed, image::kLightingTable,
                              image::kLightingTableEntries * image::kLightingTableEntrySize);
    c.gameMode = differs(img, committed, image::kGameMode, 1);
    c.reportRate = differs(img, committed, image::kReportRate, 1);
    c.responseTime = differs(img, committed, image::kResponseTime, 1);
    c.keyMap = differs(img, committed, image::kKeyMap, image::kKeyMapSize);
    c.enableBitmap = differs(img, committed, image::kEnableBitmap, image::kEnableBitmapSize);
    for (std::size_t n = 0; n < image::kMacroSlotCount; ++n) {
        c.macroSlots[n] = differs(img, committed, image::macroSlot(n), image::kMacroSlotSize);
    }
    for (std::size_t m = 0; m < image::kLightMapCount; ++m) {
        c.lightMaps[m] = differs(img, committed, image::lightMap(m), image::kLightMapSize);
    }
    c.lighting = differs(img, committed, image::kLighting, image::kLightingSize);
    return c;
}

Error WriteStep::text() const {
    const std::string n = std::to_string(index);
    switch (kind) {
        case StepKind::DarkLighting:
            return TR_TEXT("Device", "darken the lighting");
        case StepKind::LightingTable:
            return TR_TEXT("Device", "lighting table");
        case StepKind::GameMode:
            return TR_TEXT("Device", "game mode");
        case StepKind::ReportRate:
            return TR_TEXT("Device", "report rate");
        case StepKind::ResponseTime:
            return TR_TEXT("Device", "response time");
        case StepKind::KeyMap:
            return TR_TEXT("Device", "key assignments");
        case StepKind::EnableBitmap:
            return TR_TEXT("Device", "enabled keys and Win Lock");
        case StepKind::MacroSlot:
            return makeError(TR_TEXT("Device", "macro slot %1"), n);
        case StepKind::LightMap:
            return makeError(TR_TEXT("Device", "light map %1"), n);
        case StepKind::FullLighting:
            return TR_TEXT("Device", "restore the lighting");
    }
    return verbatim("?");
}

std::string WriteStep::name() const {
    return text().english;
}

std::optional<WriteStep> stepNamed(std::string_view name) {
    for (int k = 0; k <= static_cast<int>(StepKind::FullLighting); ++k) {
        // Numbered steps count macro slots and light maps, never more than the macro slots.
        for (std::size_t index = 0; index <= image::kMacroSlotCount; ++index) {
            const WriteStep step{static_cast<StepKind>(k), index};
            if (step.name() == name) return step;
        }
    }
    return std::nullopt;
}

Result<WriteOutcome> writeChanges(CommandPort& port, DeviceImage& img, DeviceImage& committed,
                                  AckWaiter& acks, const StepObserver& observer) {
    applyWinLockRule(img);
    const ChangeSet changes = findChanges(img, committed);
    if (!changes.any()) return WriteOutcome{};
    if (changes.keyMap && keyMapEmpty(img)) return errors::keyMapEmpty();

    Sequence seq(port, img, acks, observer);
    auto s = sendSteps(seq, port, img, changes);
    if (!s) {
        seq.recover();
        return s.error();
    }
    committed = img;
    return WriteOutcome{std::move(seq.steps)};
}

}  // namespace tessaron::device
