// The demo keyboard's state file lives in the data folder and may be damaged: anything but a
// complete, checked file gives the factory state, and a good file reads back what was saved.

#include <algorithm>

#include "device/virtual/keyboard_state_file.h"
#include "fuzz_support.h"

namespace {

using namespace tessaron;
using namespace tessaron::device;

void putLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in({data, size});
    const bool sealed = in.boolean();
    std::vector<std::uint8_t> bytes;
    const auto body = in.rest();
    bytes.assign(body.begin(), body.end());
    if (sealed) {
        // Most damaged files fail their checksum; these get past it, so the fields are tried too.
        bytes.resize(state_file::kSize);
        const char magic[] = {'T', 'V', 'K', 'B'};
        if (bytes[0] & 1) std::copy(std::begin(magic), std::end(magic), bytes.begin());
        if (bytes[1] & 1) bytes[state_file::kFormat] = state_file::kFormatVersion;
        putLe32(bytes, state_file::kCrc, crc32(std::span(bytes).first(state_file::kCrc)));
    }
    const LoadedState loaded = decodeKeyboardState(bytes);
    if (loaded.source == StateSource::File) {
        FUZZ_CHECK(bytes.size() == state_file::kSize);
        FUZZ_CHECK(std::equal(loaded.state.settings.begin(), loaded.state.settings.end(),
                              bytes.begin() + state_file::kSettings));
        const auto again = decodeKeyboardState(encodeKeyboardState(loaded.state));
        FUZZ_CHECK(again.source == StateSource::File && again.state == loaded.state);
    } else {
        FUZZ_CHECK(loaded.source == StateSource::BadFile);
        const auto factory = decodeKeyboardState({});
        FUZZ_CHECK(loaded.state == factory.state);
    }
    return 0;
}
