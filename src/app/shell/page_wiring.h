#pragma once
// Which modal pages the main window can open in this build.

#include "app/shell/pages.h"

namespace tessaron::app {

// openRules opens the switching rules over a page (the profiles panel's menu); unset: no entry.
Pages makePages(std::function<void(QWidget* over)> openRules = {});

}  // namespace tessaron::app
