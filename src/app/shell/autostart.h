#pragma once
// Starting Tessaron hidden in the notification area at login, through an XDG autostart entry:
// keys assigned to programs, files and sounds only work while Tessaron runs.
//
// The user's entry is $XDG_CONFIG_HOME/autostart/tessaron.desktop (else ~/.config/autostart).
// An entry an administrator placed in $XDG_CONFIG_DIRS/autostart (else /etc/xdg/autostart) is
// switched off for this user by a user entry with Hidden=true, as the autostart rules say.
// Plain C++: no Qt.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"

namespace tessaron::app {

inline constexpr const char* kAutostartFileName = "tessaron.desktop";
// The option the entry starts the program with.
inline constexpr const char* kHiddenOption = "--hidden";

struct AutostartPlaces {
    std::filesystem::path userEntry;                   // may be empty when there is no HOME
    std::vector<std::filesystem::path> systemEntries;  // in the order they are searched

    static AutostartPlaces from(const std::optional<std::string>& xdgConfigHome,
                                const std::optional<std::string>& home,
                                const std::optional<std::string>& xdgConfigDirs);
    // This process's environment.
    static AutostartPlaces fromProcess();
};

// The entry's text for this executable.
Result<std::string> autostartEntryText(const std::filesystem::path& executable);

// The program argument quoted as an Exec key needs it (before the value's own escapes).
std::string quoteExecArgument(const std::string& argument);

// Whether Tessaron starts at login for this user.
bool autostartEnabled(const AutostartPlaces& places);

// Writes or removes the user's entry (or hides an administrator's one).
Status setAutostart(const AutostartPlaces& places, const std::filesystem::path& executable,
                    bool enabled);

}  // namespace tessaron::app
