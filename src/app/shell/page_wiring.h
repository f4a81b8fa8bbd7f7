#pragma once
// Which modal pages the main window can open in this build.

#include "app/shell/pages.h"

namespace tessaron::app {

Pages makePages();

}  // namespace tessaron::app
