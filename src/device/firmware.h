#pragma once
// The keyboard's answer to query 0x80: eight payload bytes, of which reply bytes 2 and 3 are the
// firmware version (major, minor).

#include <array>
#include <cstdint>
#include <utility>

namespace tessaron::device {

struct FirmwareVersion {
    std::array<std::uint8_t, 8> payload{};  // reply frame bytes 1..8

    std::uint8_t major() const { return payload[1]; }
    std::uint8_t minor() const { return payload[2]; }
    // The version pair as kept: major, minor and two zero bytes.
    std::array<std::uint8_t, 4> pair() const { return {major(), minor(), 0, 0}; }
};

// A shipped firmware is newer than the keyboard's when its (major, minor) pair is greater.
inline bool isNewer(std::uint8_t fileMajor, std::uint8_t fileMinor, const FirmwareVersion& fw) {
    return std::pair{fileMajor, fileMinor} > std::pair{fw.major(), fw.minor()};
}

}  // namespace tessaron::device
