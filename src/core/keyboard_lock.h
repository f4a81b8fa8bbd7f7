#pragma once
// Only one program talks to the keyboard at a time: its acknowledgements carry no identifier, so
// two writers whose frames overlap take each other's answers. Whoever opens the keyboard (the
// window for as long as it runs, tessaronctl for one command) first holds this exclusive lock
// (flock on a file of the user's own); a second one waits a bounded time and then gives up.

#include <chrono>
#include <filesystem>
#include <memory>

#include "core/clock.h"
#include "core/file_descriptor.h"
#include "core/result.h"

namespace tessaron {

// How long a second writer waits: long enough for a queue of scripted commands to pass.
inline constexpr std::chrono::milliseconds kKeyboardLockPatience{60'000};

// The lock file, in the user's runtime folder ($XDG_RUNTIME_DIR, else the temporary folder):
// one per user for the real keyboard, one per data folder for the virtual keyboard of --demo.
std::filesystem::path keyboardLockPath(const std::filesystem::path& dataFolder, bool demo);

class KeyboardLock {
public:
    // Waits up to `patience` (checking on the clock) while another process holds the lock; the
    // error then says so and names the holder when it left its pid in the file.
    static Result<KeyboardLock> acquire(const std::filesystem::path& path,
                                        std::chrono::milliseconds patience, Clock& clock);

private:
    explicit KeyboardLock(int fd) : fd_(std::make_unique<FileDescriptor>(fd)) {}
    std::unique_ptr<FileDescriptor> fd_;  // closing it releases the lock
};

}  // namespace tessaron
