#include "app/macro_manager_dlg_commit.h"

#include "keys/keymap_file.h"
#include "macros/macro_file.h"
#include "macros/slot_packing.h"

namespace tessaron::app {

Status commitMacroTable(const macros::MacroTable& committed, const MacroCommitTargets& targets) {
    macros::packMacroSlots(committed, targets.image);
    const Status keymap = keys::writeKeymap(targets.keymapPath, targets.image, targets.records);
    const Status macroFile = macros::writeMacroFile(targets.macroFilePath, committed);
    if (!keymap) return keymap;
    return macroFile;
}

}  // namespace tessaron::app
