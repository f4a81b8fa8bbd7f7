#pragma once
// Keys assigned to a host action make the keyboard report their key code on the event channel;
// the program then opens the path stored in the key's record.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "keys/key_record.h"

namespace tessaron::keys {

inline constexpr char kPathSeparator = '/';

struct HostAction {
    std::uint8_t kind = kind::kPlaySound;  // kind::kPlaySound .. kind::kOpenFolder
    std::string folder;                    // the path up to its last separator
    std::string file;                      // the rest; empty when the path ends in a separator
};

struct SplitPath {
    std::string folder;
    std::string file;
};

// Splits at the last separator, which is dropped; a path without one is all folder. The root
// folder stays "/" so a file directly in it is not opened relative to the working folder.
SplitPath splitHostPath(std::string_view path);

// The first record of a host-action kind whose byte 0 equals the reported code.
std::optional<HostAction> findHostAction(const KeyRecordTable& records, std::uint8_t code);

// Opens host-action targets with the desktop. Implementations never wait for what they start.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Startup (kind 5): start folder/file as a program, detached, with folder as its working
    // folder. Other kinds: open folder/file (or the folder itself when file is empty) with the
    // desktop's default application.
    virtual void launch(const HostAction& action) = 0;
};

// Handles one key event: finds the record and hands its path to the launcher. False when no
// record matches or its path is empty.
bool runHostAction(const KeyRecordTable& records, std::uint8_t code, Launcher& launcher);

}  // namespace tessaron::keys
