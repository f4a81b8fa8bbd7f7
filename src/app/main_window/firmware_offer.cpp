#include "app/main_window/firmware_offer.h"

namespace tessaron::app {

bool shouldOfferUpdate(const device::FirmwareVersion& keyboard, const FileVersion& shipped) {
    return device::isNewer(shipped.major, shipped.minor, keyboard);
}

}  // namespace tessaron::app
