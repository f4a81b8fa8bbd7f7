#pragma once
// The keyboard's two channels as the protocol needs them. The hidapi implementation talks to
// the real keyboard; the virtual keyboard implements the same interface in memory.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"
#include "device/reports.h"

namespace tessaron::device {

inline constexpr std::uint16_t kVendorId = 0x04D9;
inline constexpr std::uint16_t kProductId = 0xA1DF;

// The command channel: feature-report frames and 64-byte pages, used synchronously.
class CommandChannel {
public:
    virtual ~CommandChannel() = default;
    // Sends a 9-byte feature report (byte 0 is the report ID 0).
    virtual Status sendFeature(const FrameBytes& frame) = 0;
    // Fetches the 9-byte reply frame; byte 0 is the report ID 0.
    virtual Result<FrameBytes> getFeature() = 0;
    // Writes one page (sent as a 65-byte report with report ID 0 in front).
    virtual Status writePage(const Page& page) = 0;
    // Reads one page; fails when nothing arrives within the timeout.
    virtual Result<Page> readPage(std::chrono::milliseconds timeout) = 0;
};

// The event channel: 4-byte input reports with report ID 4.
class EventChannel {
public:
    virtual ~EventChannel() = default;
    // Waits up to the timeout for one event report; nullopt when none arrived in time.
    // An error means the channel is gone (the keyboard was unplugged).
    virtual Result<std::optional<EventReport>> readEvent(std::chrono::milliseconds timeout) = 0;
};

enum class ChannelRole { None, Command, Event };

// One HID interface of a matching keyboard, as found by enumeration.
struct InterfaceInfo {
    std::string path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    int interfaceNumber = -1;
    ChannelRole role = ChannelRole::None;  // the channel this interface would serve
    bool accessible = true;                // false when this user may not open it
};

// Interface-number overrides for firmware that lays its interfaces out differently.
struct ChannelSelection {
    std::optional<int> commandInterface;
    std::optional<int> eventInterface;
};

// Finds and opens the keyboard's channels.
class Transport {
public:
    virtual ~Transport() = default;
    virtual std::vector<InterfaceInfo> enumerate() = 0;
    // Opens the first matching interface for each channel, in enumeration order.
    virtual Result<std::unique_ptr<CommandChannel>> openCommand() = 0;
    virtual Result<std::unique_ptr<EventChannel>> openEvent() = 0;
};

}  // namespace tessaron::device
