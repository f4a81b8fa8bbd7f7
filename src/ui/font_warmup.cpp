#include "ui/font_warmup.h"

#include <fontconfig/fontconfig.h>

namespace tessaron::ui {

FontConfigWarmup::FontConfigWarmup() {
    // Qt's font database asks fontconfig for its configuration later and finds it loaded;
    // fontconfig guards its own initialisation, so the two never load it twice.
    thread_ = std::thread([] { (void)FcInit(); });
}

FontConfigWarmup::~FontConfigWarmup() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace tessaron::ui
