#pragma once
// The firmware update offer and the help menu's targets.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "core/settings.h"
#include "device/firmware.h"

namespace tessaron::app {

// The updater ships beside the program under this name.
#ifdef _WIN32
inline constexpr std::string_view kUpdaterFileName = "VantorOrvik机械键盘_Update.exe";
#else
inline constexpr std::string_view kUpdaterFileName = "VantorOrvik机械键盘_Update";
#endif
// The help page shipped with the program (in its share folder).
inline constexpr std::string_view kHelpPageFile = "help/index.html";

// Offer an update when the shipped firmware is newer than the keyboard's, comparing major and
// then minor as unsigned bytes. A missing VER.bin reads as 0.0 and so never offers.
bool shouldOfferUpdate(const device::FirmwareVersion& keyboard, const FileVersion& shipped);

}  // namespace tessaron::app
