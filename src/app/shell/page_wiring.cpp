#include "app/shell/page_wiring.h"

#include "app/key_page/key_page_run.h"
#include "app/macro_manager/macro_manager_dlg_page.h"
#include "app/profiles/profiles_dlg_page.h"

namespace tessaron::app {

Pages makePages(std::function<void(QWidget* over)> openRules) {
    Pages pages;
    pages.keyPage = [](QWidget* parent, LiveConfig& live, keys::KeyIndex key) {
        return runKeyPage(parent, live, key);
    };
    pages.macroManager = macroManagerPage();
    pages.profiles = profilesPage(nullptr, nullptr, std::move(openRules));
    return pages;
}

}  // namespace tessaron::app
