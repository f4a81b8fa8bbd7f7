#pragma once
// Only one program talks to the keyboard at a time: its acknowledgements carry no identifier, so
// two writers whose frames overlap take each other's answers. Whoever opens the keyboard (the
// window for as long as it runs, tessaronctl for one command) first holds this exclusive lock
// (flock on a file of the user's own); a second one waits a bounded time and then gives up.

#include <chrono>
#include <filesystem>

#include "core/clock.h"
#include "core/result.h"

namespace tessaron {

// The lock file, in the user's runtime folder ($XDG_RUNTIME_DIR, else the temporary folder):
// one per user for the real keyboard, one per data folder for the virtual keyboard of --demo.
// How long a second writer waits: long enough for a queue of scripted commands to pass.
inline constexpr std::chrono::milliseconds kKeyboardLockPatience{60'000};

std::filesystem::path keyboardLockPath(const std::filesystem::path& dataFolder, bool demo);

class KeyboardLock {
public:
    // Waits up to `patience` (checking on the clock) while another process holds the lock; the
    // error then says so and names the holder when it left its pid in the file.
    static Result<KeyboardLock> acquire(const std::filesystem::path& path,
                                        std::chrono::milliseconds patience, Clock& clock);

    KeyboardLock(KeyboardLock&& other) noexcept;
    KeyboardLock& operator=(KeyboardLock&& other) noexcept;
    KeyboardLock(const KeyboardLock&) = delete;
    KeyboardLock& operator=(const KeyboardLock&) = delete;
    ~KeyboardLock();

private:
    explicit KeyboardLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace tessaron
