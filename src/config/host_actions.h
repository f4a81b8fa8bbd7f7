#pragma once
// Shared settings must not start programs unasked: a profile, keymap.bin or configuration from
// someone else can make a key start any program or open any file. These find the host actions
// of a new set of key records that the user has not approved, so that each is asked about once,
// wherever the file came from.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"
#include "keys/host_action.h"
#include "keys/key_record.h"

namespace tessaron::config {

using keys::HostActionEntry;
using keys::hostActions;

// "Caps Lock: start the program /usr/bin/foot", in the language's words.
std::string describe(const HostActionEntry& entry, Language lang);

// The question (or refusal) that names each of them.
Error hostActionsNeedConsent(const std::vector<HostActionEntry>& entries,
                             const Error& hint);

// The key records as a profile Load of `bytes` would leave them: the file's record block, as far
// as it reaches, over the current records, with byte 0 of the layout keys refilled.
std::unique_ptr<keys::KeyRecordTable> recordsAfterLoad(const keys::KeyRecordTable& current,
                                                       std::span<const std::uint8_t> bytes);

// The key records of a keymap.bin as they stand, without creating the file: factory records
// when it is missing or of a size never written.
Result<std::unique_ptr<keys::KeyRecordTable>> keymapRecords(const std::filesystem::path& keymap);

// The host actions of `records` that the data folder's approved list does not hold: what a
// load or import of them must ask about first.
Result<std::vector<HostActionEntry>> needingConsent(const keys::KeyRecordTable& records,
                                                    const std::filesystem::path& dataFolder);

}  // namespace tessaron::config
