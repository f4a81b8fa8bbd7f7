#include "app/main_window/keyboard_merge.h"

#include <algorithm>

#include "keys/key_cell.h"
#include "keys/key_layout.h"
#include "keys/key_record.h"

namespace tessaron::app {

namespace img = device::image;

namespace {

// Bytes the user changed since the last committed state are laid over the read.
void keepEdits(const LiveConfig& live, device::DeviceImage& out, std::size_t from,
               std::size_t size) {
    for (std::size_t i = from; i < from + size; ++i) {
        if (live.image[i] != live.committedImage[i]) out[i] = live.image[i];
    }
}

bool assigned(const keys::KeyRecord& r) {
    return !(r.kind == keys::kind::kSingle && (r.bytes[0] == r.vk || r.keyCount != 1));
}

}  // namespace

std::size_t mergeKeyboardRead(LiveConfig& live, const device::DeviceImage& read,
                              bool keepAssignments) {
    device::DeviceImage out = read;
    keepEdits(live, out, 0, img::kSize);

    std::size_t beyond = 0;
    bool macroKept = false;
    for (std::size_t i = 0; i < keys::kLayoutKeyCount; ++i) {
        const auto k = static_cast<keys::KeyIndex>(i);
        const std::size_t at = keys::matrixCellOffset(k);
        const keys::KeyCell mine = keys::readCell(live.image, at);
        const keys::KeyCell theirs = keys::readCell(read, at);
        bool kept = false;
        if (keepAssignments && k != keys::kFnKey && mine != keys::readCell(out, at) &&
            (mine != keys::factoryCell(k) || assigned(live.records[k]))) {
            keys::writeCell(out, at, mine);
            macroKept = macroKept || mine[0] == keys::cell::kMacro;
            kept = true;
        }
        // A key switched off stays off; the left Windows key's bit is the Win Lock, a setting.
        if (keepAssignments && k != keys::kLeftWinKey && !keys::keyEnabled(live.image, k) &&
            keys::keyEnabled(out, k)) {
            keys::setKeyEnabled(out, k, false);
            kept = true;
        }
        beyond += kept ? 1 : 0;
        // The committed records follow the keyboard's cells, so Cancel leaves no record whose
        // cell the keyboard lacks.
        if (theirs != keys::readCell(live.committedImage, at)) {
            if (theirs == mine) {
                live.committedRecords[k] = live.records[k];
            } else {
                live.committedRecords[k].makeFactoryState();
            }
        }
    }
    if (macroKept) {
        const auto from = live.image.begin() + img::kMacroSlots;
        std::copy(from, from + img::kMacroSlotSize * img::kMacroSlotCount,
                  out.begin() + img::kMacroSlots);
    }
    live.image = out;
    live.committedImage = read;
    return beyond;
}

void mergeLightingRead(LiveConfig& live, const device::DeviceImage& read) {
    device::DeviceImage out = live.image;
    std::copy_n(read.begin() + img::kLighting, img::kLightingSize, out.begin() + img::kLighting);
    keepEdits(live, out, img::kLighting, img::kLightingSize);
    live.image = out;
    std::copy_n(read.begin() + img::kLighting, img::kLightingSize,
                live.committedImage.begin() + img::kLighting);
}

}  // namespace tessaron::app
