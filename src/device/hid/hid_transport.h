#pragma once
// The real keyboard through hidapi (hidraw backend): discovery by vendor and product, and the
// two channels on the interfaces chosen by the interface rules.

#include <memory>
#include <vector>

#include "device/transport.h"

namespace tessaron::device::hid {

class HidTransport final : public Transport {
public:
    explicit HidTransport(ChannelSelection selection = {});
    ~HidTransport() override;

    std::vector<InterfaceInfo> enumerate() override;
    Result<std::unique_ptr<CommandChannel>> openCommand() override;
    Result<std::unique_ptr<EventChannel>> openEvent() override;

private:
    ChannelSelection selection_;
};

}  // namespace tessaron::device::hid
