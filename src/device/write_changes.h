#pragma once
// Save: sends only what differs between the device image and the committed image, one
// acknowledged step at a time, and commits the image when every step went through.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "device/ack.h"
#include "device/command_port.h"
#include "device/device_image.h"

namespace tessaron::device {

struct ChangeSet {
    bool lightingTable = false;
    bool gameMode = false;
    bool reportRate = false;
    bool responseTime = false;
    bool keyMap = false;
    bool enableBitmap = false;
    std::array<bool, image::kMacroSlotCount> macroSlots{};
    std::array<bool, image::kLightMapCount> lightMaps{};
    bool lighting = false;  // the 5-byte lighting block

    // Anything that needs the keyboard dark and acknowledged steps.
    bool anyBeyondLighting() const;
    bool any() const { return lighting || anyBeyondLighting(); }
};

ChangeSet findChanges(const DeviceImage& img, const DeviceImage& committed);

enum class StepKind {
    DarkLighting,
    LightingTable,
    GameMode,
    ReportRate,
    ResponseTime,
    KeyMap,
    EnableBitmap,
    MacroSlot,
    LightMap,
    FullLighting,
};

struct WriteStep {
    StepKind kind = StepKind::DarkLighting;
    std::size_t index = 0;  // macro slot or light map number

    Error text() const;        // the step's name as a text of the catalogue
    std::string name() const;  // English, e.g. "macro slot 5"
    friend bool operator==(const WriteStep&, const WriteStep&) = default;
};

// The step that name() calls so (the window's D-Bus answers name their steps in English).
std::optional<WriteStep> stepNamed(std::string_view name);

struct WriteOutcome {
    std::vector<WriteStep> steps;  // in the order sent; empty when nothing differed
};

// Called just before each step is sent.
using StepObserver = std::function<void(const WriteStep&)>;

// Applies the Win Lock rule to img, then sends the difference. On success the committed image
// becomes a copy of img (unless nothing differed). On failure the committed image is left alone,
// the keyboard is given its full lighting back if it had been darkened, and the error names the
// step that failed. A device key map of nothing but zeros is refused before anything is sent.
Result<WriteOutcome> writeChanges(CommandPort& port, DeviceImage& img, DeviceImage& committed,
                                  AckWaiter& acks, const StepObserver& observer = {});

}  // namespace tessaron::device
