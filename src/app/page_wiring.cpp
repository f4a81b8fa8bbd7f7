#include "app/page_wiring.h"

namespace tessaron::app {

Pages makePages() {
    Pages pages;
    return pages;
}

}  // namespace tessaron::app
