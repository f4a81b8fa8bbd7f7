#pragma once
// The device link's user-facing failures, one clear sentence each in both interface languages.

#include <cstddef>
#include <string>

#include "core/result.h"

namespace tessaron::device::errors {

Error noKeyboard();
Error noAccess(const std::string& path);
Error notAcknowledged(const std::string& stepEnglish, const std::string& stepChinese);
Error transferFailed(const std::string& what);
Error shortTransfer(const std::string& what, std::size_t got, std::size_t expected);
Error channelClosed();
Error keyMapEmpty();
Error eventChannelMissing();

}  // namespace tessaron::device::errors
