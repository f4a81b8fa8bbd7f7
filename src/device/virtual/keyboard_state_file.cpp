#include "device/virtual/keyboard_state_file.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "core/atomic_file.h"

namespace tessaron::device {
namespace {

constexpr std::array<std::uint8_t, state_file::kMagicSize> kMagicBytes{'T', 'V', 'K', 'B'};

void putLe32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t getLe32(std::span<const std::uint8_t> in, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(in[at + i]) << (8 * i);
    return v;
}

LoadedState factoryFallback(StateSource source) {
    LoadedState loaded;
    loaded.state.settings = factorySettings();
    loaded.source = source;
    return loaded;
}

}  // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::vector<std::uint8_t> encodeKeyboardState(const KeyboardState& state) {
    std::vector<std::uint8_t> out(state_file::kSize, 0);
    std::copy(kMagicBytes.begin(), kMagicBytes.end(), out.begin() + state_file::kMagic);
    out[state_file::kFormat] = state_file::kFormatVersion;
    std::copy(state.settings.begin(), state.settings.end(), out.begin() + state_file::kSettings);
    out[state_file::kFirmwareMajor] = state.firmwareMajor;
    out[state_file::kFirmwareMinor] = state.firmwareMinor;
    putLe32(out, state_file::kCrc,
            crc32(std::span<const std::uint8_t>(out).first(state_file::kCrc)));
    return out;
}

LoadedState decodeKeyboardState(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != state_file::kSize ||
        !std::equal(kMagicBytes.begin(), kMagicBytes.end(), bytes.begin()) ||
        bytes[state_file::kFormat] != state_file::kFormatVersion ||
        getLe32(bytes, state_file::kCrc) != crc32(bytes.first(state_file::kCrc))) {
        return factoryFallback(StateSource::BadFile);
    }
    LoadedState loaded;
    std::copy_n(bytes.begin() + state_file::kSettings, fw::mem::kTotal,
                loaded.state.settings.begin());
    loaded.state.firmwareMajor = bytes[state_file::kFirmwareMajor];
    loaded.state.firmwareMinor = bytes[state_file::kFirmwareMinor];
    loaded.source = StateSource::File;
    return loaded;
}

LoadedState loadKeyboardState(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return factoryFallback(StateSource::MissingFile);
    // One byte more than a good file holds, so an overlong file is told apart from a good one.
    auto bytes = readFilePrefix(path, state_file::kSize + 1);
    if (!bytes) return factoryFallback(StateSource::BadFile);
    return decodeKeyboardState(*bytes);
}

Status saveKeyboardState(const KeyboardState& state, const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = encodeKeyboardState(state);
    return writeFileAtomically(path, bytes);
}

void PersistentKeyboard::Writer::write(const KeyboardState& state, std::uint64_t revision) {
    std::lock_guard lock(mutex);
    // Two changes can race to get here; the older snapshot must not overwrite the newer one.
    if (revision <= written) return;
    Status saved = saveKeyboardState(state, path);
    if (saved) {
        written = revision;
        error.reset();
    } else {
        error = saved.error();
    }
}

PersistentKeyboard::PersistentKeyboard(std::shared_ptr<VirtualKeyboard> keyboard,
                                       std::filesystem::path path)
    : keyboard_(std::move(keyboard)), writer_(std::make_shared<Writer>()) {
    writer_->path = std::move(path);
    LoadedState loaded = loadKeyboardState(writer_->path);
    loadedFrom_ = loaded.source;
    keyboard_->restore(loaded.state);
    // A fresh or repaired file, so the next run finds the state it left behind.
    if (loadedFrom_ != StateSource::File) {
        Status saved = saveKeyboardState(loaded.state, writer_->path);
        if (!saved) writer_->error = saved.error();
    }
    keyboard_->setObserver([writer = writer_](const KeyboardState& state, std::uint64_t revision) {
        writer->write(state, revision);
    });
}

PersistentKeyboard::~PersistentKeyboard() {
    keyboard_->setObserver(nullptr);
}

std::optional<Error> PersistentKeyboard::lastError() const {
    std::lock_guard lock(writer_->mutex);
    return writer_->error;
}

}  // namespace tessaron::device
