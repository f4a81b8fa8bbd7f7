#include "device/errors.h"
#include "core/text.h"

namespace tessaron::device::errors {

Error noKeyboard() {
    return makeError(TR_TEXT("Device", "No gaming keyboard is connected; check the USB cable."));
}

Error noKeyboardFound() {
#ifdef __linux__
    return makeError(TR_TEXT("Device", "No gaming keyboard was found; check the USB cable and that the udev rule 60-tessaron.rules is installed in /etc/udev/rules.d."));
#else
    return noKeyboard();
#endif
}

Error noAccess(const std::string& path) {
    return makeError(TR_TEXT("Device", "You have no permission to use the keyboard at %1; install the udev rule 60-tessaron.rules and plug the keyboard in again."), path);
}

Error notAcknowledged(const Error& step) {
    return makeError(
        TR_TEXT("Device", "The keyboard did not acknowledge the step \"%1\"; the settings were not saved completely."),
        step);
}

Error transferFailed(const std::string& what) {
    return makeError(TR_TEXT("Device", "The transfer to or from the keyboard failed (%1)."), what);
}

Error shortTransfer(const std::string& what, std::size_t got, std::size_t expected) {
    const std::string counts = std::to_string(got) + "/" + std::to_string(expected);
    return makeError(TR_TEXT("Device", "The transfer to or from the keyboard was cut short (%1, %2 bytes)."), what, counts);
}

Error keyMapEmpty() {
    return makeError(TR_TEXT("Device", "The key assignments are empty and would leave every key without a function; nothing was sent to the keyboard."));
}

Error eventChannelMissing() {
    return makeError(TR_TEXT("Device", "The keyboard's event interface is not open, so it cannot confirm a save; plug the keyboard in again."));
}

}  // namespace tessaron::device::errors
