#include "keys/assignment.h"

#include <algorithm>

#include "keys/functions.h"
#include "keys/host_action.h"
#include "keys/key_names.h"
#include "core/text.h"

namespace tessaron::keys {
namespace {

// Consumer usages whose low byte the key name table gives to the four media keys.
constexpr std::uint8_t kMediaUsage = 0x83;  // becomes the consumer cell 03 00 83 01
constexpr std::uint8_t kPlayPauseUsage = 0xCD;
constexpr std::uint8_t kVolumeUpUsage = 0xE9;
constexpr std::uint8_t kVolumeDownUsage = 0xEA;

KeyCell singleKeyCell(std::uint8_t vk) {
    const std::uint8_t u = usageCode(vk);
    KeyCell c = plainKeyCell(u);
    if (u == kMediaUsage) {
        c = {cell::kConsumer, 0x00, kMediaUsage, 0x01};
    } else if (u == kPlayPauseUsage || u == kVolumeUpUsage || u == kVolumeDownUsage) {
        c[0] = cell::kConsumer;
    }
    return c;
}

Status validate(const PendingAssignment& p) {
    if (p.selectedKey >= kLayoutKeyCount) {
        return makeError(TR_TEXT("Keys", "No key is selected."));
    }
    if (p.keyCount == kDefaultKeyCount) return {};
    if (kind::isHostAction(p.kind)) return validateHostPath(p.hostPath);
    if (p.kind == kind::kMacro && p.macroNumber != kNoMacro &&
        (p.macroNumber < 0 || p.macroNumber >= static_cast<std::int32_t>(kMacroSlotCount))) {
        return makeError(TR_TEXT("Keys", "Macro number %1 does not exist; the keyboard holds macros 0 to 31."), std::to_string(p.macroNumber));
    }
    return {};
}

}  // namespace

void PendingAssignment::clearChoice() {
    kind = kind::kNone;
    keyCount = 0;
    capturedKeys.fill(0);
    functionName.clear();
    hostPath.clear();
    macroNumber = kNoMacro;
    enabled = true;
}

Status applyAssignment(PendingAssignment& p, LiveKeys live, const ApplyContext& context) {
    if (auto ok = validate(p); !ok) return ok;
    const KeyIndex k = p.selectedKey;
    KeyRecord& r = live.records[k];
    const std::size_t cellAt = matrixCellOffset(k);
    auto& mark = live.marks[k];
    // Byte 0 of a record is by definition the layout VK; cells are built from the layout so a
    // record read from a foreign file cannot put a wrong code into the keyboard.
    const std::uint8_t ownVk = layoutVk(k);

    if (p.keyCount == kDefaultKeyCount) {
        // The whole factory cell: the media keys' cells are consumer cells, not plain keys.
        r.makeFactoryState();
        writeCell(live.image, cellAt, factoryCell(k));
        setKeyEnabled(live.image, k, true);
        p.enabled = true;
        return {};
    }

    switch (p.kind) {
        case kind::kSingle: {
            r.kind = kind::kSingle;
            r.bytes = p.capturedKeys;
            r.keyCount = p.keyCount;
            if (p.keyCount != 1) break;  // the cell is left as it was
            const std::uint8_t chosen = p.capturedKeys[0];
            if (chosen == ownVk) {
                r.makeFactoryState();
                mark = 0;
            } else {
                mark = 1;
            }
            writeCell(live.image, cellAt, singleKeyCell(chosen));
            break;
        }
        case kind::kCombination:
            r.kind = kind::kCombination;
            r.bytes = p.capturedKeys;
            r.keyCount = p.keyCount;
            writeCell(live.image, cellAt,
                      {cell::kKeyboard, usageCode(p.capturedKeys[0]), usageCode(p.capturedKeys[1]),
                       usageCode(p.capturedKeys[2])});
            if (p.keyCount > 1) mark = 1;
            break;
        case kind::kMacro: {
            const KeyCell c = macroCell(static_cast<std::uint8_t>(p.macroNumber & 0xFF));
            r.kind = kind::kMacro;
            std::copy(c.begin(), c.end(), r.bytes.begin());
            if (p.macroNumber == kNoMacro) break;
            writeCell(live.image, cellAt, c);
            mark = 1;
            if (context.repackMacroSlots) context.repackMacroSlots(live.image);
            break;
        }
        case kind::kFunction:
            r.kind = kind::kFunction;
            mark = 1;
            if (const auto f = findFunctionByName(p.functionName, context.language)) {
                const KeyCell& c = functionTable()[*f].cell;
                writeCell(live.image, cellAt, c);
                std::copy(c.begin(), c.end(), r.bytes.begin());
            }
            break;
        case kind::kPlaySound:
        case kind::kStartup:
        case kind::kOpenFile:
        case kind::kOpenFolder: {
            // Validated above, so the path fits.
            if (auto stored = setHostPath(r, p.hostPath); !stored) return stored;
            mark = 1;
            r.kind = p.kind;
            r.vk = ownVk;
            writeCell(live.image, cellAt, hostActionCell(ownVk));
            std::copy(kHostActionMarker.begin(), kHostActionMarker.end(), r.bytes.begin());
            break;
        }
        case kind::kRestore:
            r.makeFactoryState();
            writeCell(live.image, cellAt, factoryCell(k));
            break;
        default:
            break;
    }
    return {};
}

void recomputeModifiedMarks(LiveKeys live) {
    for (std::size_t i = 0; i < kLayoutKeyCount; ++i) {
        const auto k = static_cast<KeyIndex>(i);
        const KeyCell c = readCell(live.image, matrixCellOffset(k));
        const KeyCell f = factoryCell(k);
        const KeyRecord& r = live.records[k];
        auto& mark = live.marks[k];
        if (c[0] == cell::kMacro) {
            // Positions 108..112 holding macros 0..4 keep their mark.
            if (static_cast<int>(k) - 108 != c[kCellValueByte]) mark = 1;
        } else if (c == f) {  // every byte: a plain-key cell with the media usage is not factory
            const bool factory = r.kind == kind::kSingle && (r.bytes[0] == r.vk || r.keyCount != 1);
            mark = factory ? 0 : 1;
        } else {
            mark = 1;
        }
        if (!keyEnabled(live.image, k)) mark = 1;
    }
}

void refreshModifiedMarks(LiveKeys live) {
    recomputeModifiedMarks(live);
    live.marks[kFnKey] = 0;
}

Result<KeymapLoaded> beginKeyEdit(PendingAssignment& pending, KeyIndex index, LiveKeys live,
                                const std::filesystem::path& keymapPath) {
    if (index >= kLayoutKeyCount) return makeError(TR_TEXT("Keys", "No key is selected."));
    pending.selectedKey = index;
    pending.selectedVk = layoutVk(index);
    return loadKeymap(keymapPath, live.image, live.records, KeymapBlocks::RecordsOnly);
}

Status finishKeyEdit(PendingAssignment& pending, LiveKeys live, const ApplyContext& context,
                     const std::filesystem::path& keymapPath) {
    if (auto ok = validate(pending); !ok) return ok;
    const KeyIndex k = pending.selectedKey;
    live.marks[k] = 0;
    if (auto applied = applyAssignment(pending, live, context); !applied) return applied;
    if (pending.enabled) {
        setKeyEnabled(live.image, k, true);
    } else {
        live.marks[k] = 1;
        setKeyEnabled(live.image, k, false);
    }
    // What the user makes here is approved as it is made: loading it back asks nothing.
    const KeyRecord& made = live.records[k];
    if (kind::isHostAction(made.kind)) {
        const std::string path = hostPath(made);
        const HostActionEntry entry{k, made.vk, made.kind, path};
        if (!path.empty()) {
            if (auto approved = approveHostActions(keymapPath.parent_path(), std::span(&entry, 1));
                !approved) {
                return approved;
            }
        }
    }
    return writeKeymap(keymapPath, live.image, live.records);
}

}  // namespace tessaron::keys
