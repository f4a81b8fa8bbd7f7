#pragma once
// The three report shapes of the keyboard's two channels.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tessaron::device {

inline constexpr std::size_t kFrameSize = 9;  // report ID 0, command, 6 args, checksum
inline constexpr std::size_t kFrameArgs = 6;
inline constexpr std::size_t kPageSize = 64;        // one page of a block
inline constexpr std::size_t kPageReportSize = 65;  // report ID 0 + page
inline constexpr std::size_t kEventReportSize = 4;  // report ID 4, kind, value, spare
inline constexpr std::uint8_t kEventReportId = 4;
inline constexpr std::uint8_t kAckKind = 4;

using FrameBytes = std::array<std::uint8_t, kFrameSize>;
using Page = std::array<std::uint8_t, kPageSize>;

// Checksum over bytes 1..7: the low byte of the sum of bytes 1..8 is always 0xFF.
constexpr std::uint8_t frameChecksum(std::span<const std::uint8_t, kFrameSize> f) {
    unsigned sum = 0;
    for (std::size_t i = 1; i < 8; ++i) sum += f[i];
    return static_cast<std::uint8_t>(0xFF - (sum & 0xFF));
}

struct FeatureFrame {
    std::uint8_t command = 0;
    std::array<std::uint8_t, kFrameArgs> args{};  // frame bytes 2..7

    // Frame byte k (2..7) of the command table is args[k - 2].
    FeatureFrame& arg(std::size_t frameByte, std::uint8_t value) {
        args.at(frameByte - 2) = value;
        return *this;
    }

    constexpr FrameBytes bytes() const {
        FrameBytes f{};
        f[0] = 0;
        f[1] = command;
        for (std::size_t i = 0; i < kFrameArgs; ++i) f[2 + i] = args[i];
        f[8] = frameChecksum(f);
        return f;
    }

    static constexpr FeatureFrame fromBytes(std::span<const std::uint8_t, kFrameSize> f) {
        FeatureFrame frame;
        frame.command = f[1];
        for (std::size_t i = 0; i < kFrameArgs; ++i) frame.args[i] = f[2 + i];
        return frame;
    }

    friend bool operator==(const FeatureFrame&, const FeatureFrame&) = default;
};

struct EventReport {
    std::uint8_t kind = 0;   // kAckKind = acknowledgement; anything else = key event
    std::uint8_t value = 0;  // key code of a key event
    std::uint8_t spare = 0;

    bool isAck() const { return kind == kAckKind; }
    friend bool operator==(const EventReport&, const EventReport&) = default;
};

}  // namespace tessaron::device
