#include "app/macro_manager/macro_manager_dlg_hook.h"

#include "tholwin/tholwin.h"

namespace tessaron::app {

bool TholwinMacroHook::install() {
    return tholwin::installhook(window_.data(), tholwin::kModePressesAndReleases);
}

void TholwinMacroHook::remove() {
    tholwin::removehook();
}

}  // namespace tessaron::app
