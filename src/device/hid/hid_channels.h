#pragma once
// The two channels over an open hidapi device.

#include <memory>

#include "device/transport.h"

struct hid_device_;

namespace tessaron::device::hid {

struct HidCloser {
    void operator()(hid_device_* device) const;
};
using HidHandle = std::unique_ptr<hid_device_, HidCloser>;

class HidCommandChannel final : public CommandChannel {
public:
    explicit HidCommandChannel(HidHandle device) : device_(std::move(device)) {}
    Status sendFeature(const FrameBytes& frame) override;
    Result<FrameBytes> getFeature() override;
    Status writePage(const Page& page) override;
    Result<Page> readPage(std::chrono::milliseconds timeout) override;

private:
    HidHandle device_;
};

class HidEventChannel final : public EventChannel {
public:
    explicit HidEventChannel(HidHandle device) : device_(std::move(device)) {}
    Result<std::optional<EventReport>> readEvent(std::chrono::milliseconds timeout) override;

private:
    HidHandle device_;
};

// What a read from the event interface means: only 4-byte reports with ID 4 count.
std::optional<EventReport> parseEventReport(std::span<const std::uint8_t> bytes);

}  // namespace tessaron::device::hid
