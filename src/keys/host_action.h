#pragma once
// Keys assigned to a host action make the keyboard report their key code on the event channel;
// the program then opens the path stored in the key's record.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>
#include <string>
#include <string_view>

#include "core/result.h"
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

// A key that runs something on this computer: which record (the key index for 0..112), the
// key code it answers, what it does and with which path (UTF-8).
struct HostActionEntry {
    std::size_t record = 0;
    std::uint8_t vk = 0;
    std::uint8_t kind = 0;  // kind::kPlaySound .. kind::kOpenFolder
    std::string path;

    friend bool operator==(const HostActionEntry&, const HostActionEntry&) = default;
};

// Every record of a host-action kind with a path, in record order. Records past the layout
// count too: the key event handler searches all of them.
std::vector<HostActionEntry> hostActions(const KeyRecordTable& records);

// The host actions the user approved, kept in the data folder: one asked about once, or made in
// Tessaron, needs no question again, wherever a file bringing it came from.
inline constexpr const char* kApprovedHostActionsFileName = "approved-host-actions";

// The list of the data folder; empty when the file is missing.
Result<std::vector<HostActionEntry>> readApprovedHostActions(const std::filesystem::path& folder);
// Adds the entries to the list (those on it already are skipped).
Status approveHostActions(const std::filesystem::path& folder,
                          std::span<const HostActionEntry> entries);
// The host actions of `records` that are not on the list.
std::vector<HostActionEntry> unapprovedHostActions(const KeyRecordTable& records,
                                                   std::span<const HostActionEntry> approved);

}  // namespace tessaron::keys
