#pragma once
// The device link's user-facing failures, one clear sentence each in both interface languages.

#include <cstddef>
#include <string>

#include "core/result.h"

namespace tessaron::device::errors {

// No keyboard behind the link: plain words, whatever the keyboard is (the virtual one too).
Error noKeyboard();
// The system's device search found none: on Linux, also names the udev rule it needs.
Error noKeyboardFound();
Error noAccess(const std::string& path);
Error notAcknowledged(const Error& step);
Error transferFailed(const std::string& what);
Error shortTransfer(const std::string& what, std::size_t got, std::size_t expected);
Error keyMapEmpty();
Error eventChannelMissing();

}  // namespace tessaron::device::errors
