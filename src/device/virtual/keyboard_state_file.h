#pragma once
// Keeps the virtual keyboard's state in a file, so a demo keyboard remembers its settings across
// runs the way the real one keeps them in its flash.
//
// File layout (all of it covered by the trailing CRC-32):
//   0  4      magic "TVKB"
//   4  1      format version (1)
//   5  3      zero
//   8  10056  the settings memory
//   10064 1   firmware major, 10065 1 firmware minor, 10066 2 zero
//   10068 4   CRC-32 (IEEE, little-endian) of bytes 0..10067

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "core/result.h"
#include "device/virtual/firmware_memory.h"
#include "device/virtual/virtual_keyboard.h"

namespace tessaron::device {

inline constexpr const char* kVirtualKeyboardFileName = "virtual-keyboard.bin";

namespace state_file {
inline constexpr std::size_t kMagic = 0;
inline constexpr std::size_t kMagicSize = 4;
inline constexpr std::size_t kFormat = 4;
inline constexpr std::uint8_t kFormatVersion = 1;
inline constexpr std::size_t kSettings = 8;
inline constexpr std::size_t kFirmwareMajor = kSettings + fw::mem::kTotal;
inline constexpr std::size_t kFirmwareMinor = kFirmwareMajor + 1;
inline constexpr std::size_t kCrc = kFirmwareMajor + 4;
inline constexpr std::size_t kSize = kCrc + 4;
static_assert(kFirmwareMajor == 10064 && kCrc == 10068 && kSize == 10072);
}  // namespace state_file

std::uint32_t crc32(std::span<const std::uint8_t> bytes);

std::vector<std::uint8_t> encodeKeyboardState(const KeyboardState& state);

enum class StateSource { File, MissingFile, BadFile };

struct LoadedState {
    KeyboardState state;
    StateSource source = StateSource::File;
};

// Never fails: a missing, short, foreign or damaged file gives the factory state.
LoadedState decodeKeyboardState(std::span<const std::uint8_t> bytes);
LoadedState loadKeyboardState(const std::filesystem::path& path);
Status saveKeyboardState(const KeyboardState& state, const std::filesystem::path& path);

// Loads the file into the keyboard, then writes every change back to it (atomically) until
// destroyed. Unplugging does not lose anything: the state is written as soon as it changes.
class PersistentKeyboard {
public:
    PersistentKeyboard(std::shared_ptr<VirtualKeyboard> keyboard, std::filesystem::path path);
    ~PersistentKeyboard();
    PersistentKeyboard(const PersistentKeyboard&) = delete;
    PersistentKeyboard& operator=(const PersistentKeyboard&) = delete;

    StateSource loadedFrom() const { return loadedFrom_; }
    // The error of the most recent failed write, if the last write failed.
    std::optional<Error> lastError() const;

private:
    struct Writer {
        std::filesystem::path path;
        std::mutex mutex;
        std::uint64_t written = 0;  // newest revision on disk
        std::optional<Error> error;
        void write(const KeyboardState& state, std::uint64_t revision);
    };

    std::shared_ptr<VirtualKeyboard> keyboard_;
    std::shared_ptr<Writer> writer_;
    StateSource loadedFrom_ = StateSource::File;
};

}  // namespace tessaron::device
