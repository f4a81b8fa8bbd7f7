#pragma once
// Shared settings must not start programs unasked: a profile, keymap.bin or configuration from
// someone else can make a key start any program or open any file. These find the host actions
// that a new set of key records would bring in, so that the user is asked about each one.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"
#include "keys/key_record.h"

namespace tessaron::config {

struct HostActionEntry {
    std::size_t record = 0;  // record index; the key index for records 0..112
    std::uint8_t vk = 0;     // the key code the record answers
    std::uint8_t kind = 0;   // keys::kind::kPlaySound .. kOpenFolder
    std::string path;        // UTF-8

    friend bool operator==(const HostActionEntry&, const HostActionEntry&) = default;
};

// Every record of a host-action kind with a path, in record order. Records past the layout
// count too: the key event handler searches all of them.
std::vector<HostActionEntry> hostActions(const keys::KeyRecordTable& records);

// The host actions of `incoming` that `current` does not hold for the same record, key code,
// kind and path.
std::vector<HostActionEntry> newHostActions(const keys::KeyRecordTable& current,
                                            const keys::KeyRecordTable& incoming);

// "Caps Lock: start the program /usr/bin/foot", in the language's words.
std::string describe(const HostActionEntry& entry, Language lang);

// The question (or refusal) that names each of them, in both languages.
Error hostActionsNeedConsent(const std::vector<HostActionEntry>& entries,
                             const std::string& englishHint, const std::string& chineseHint);

// The key records as a profile Load of `bytes` would leave them: the file's record block, as far
// as it reaches, over the current records, with byte 0 of the layout keys refilled.
std::unique_ptr<keys::KeyRecordTable> recordsAfterLoad(const keys::KeyRecordTable& current,
                                                       std::span<const std::uint8_t> bytes);

// The key records of a keymap.bin as they stand, without creating the file: factory records
// when it is missing.
Result<std::unique_ptr<keys::KeyRecordTable>> keymapRecords(const std::filesystem::path& keymap);

// True when `file` lies inside `folder` (both resolved as far as they exist).
bool isInsideFolder(const std::filesystem::path& file, const std::filesystem::path& folder);

}  // namespace tessaron::config
