#pragma once
// The virtual keyboard behind the same Transport and HotplugMonitor interfaces as the real one.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "device/hotplug.h"
#include "device/transport.h"
#include "device/virtual/virtual_keyboard.h"

namespace tessaron::device {

class VirtualTransport final : public Transport {
public:
    static constexpr int kCommandInterface = 3;
    static constexpr int kEventInterface = 1;

    explicit VirtualTransport(std::shared_ptr<VirtualKeyboard> keyboard);

    // Another keyboard of the same model, enumerated after the ones already attached.
    void addKeyboard(std::shared_ptr<VirtualKeyboard> keyboard);
    // Pretends this user may not open the device nodes.
    void setAccessible(bool accessible);

    // Both interfaces of every plugged keyboard, in attachment order.
    std::vector<InterfaceInfo> enumerate() override;
    // The first plugged keyboard serves each channel.
    Result<std::unique_ptr<CommandChannel>> openCommand() override;
    Result<std::unique_ptr<EventChannel>> openEvent() override;

private:
    std::shared_ptr<VirtualKeyboard> firstPlugged(std::uint64_t& connection) const;

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<VirtualKeyboard>> keyboards_;
    bool accessible_ = true;
};

// Reports plug changes of the given keyboards on a thread of its own, as a system monitor would.
class VirtualHotplug final : public HotplugMonitor {
public:
    explicit VirtualHotplug(std::vector<std::shared_ptr<VirtualKeyboard>> keyboards);
    explicit VirtualHotplug(std::shared_ptr<VirtualKeyboard> keyboard);
    ~VirtualHotplug() override;

    Status start(Callback callback) override;
    void stop() override;

private:
    // Shared with the keyboards' subscriptions, so a notice that races with stop() lands safely.
    struct Inbox {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<PlugChange> changes;
        bool stopping = false;
    };

    std::vector<std::shared_ptr<VirtualKeyboard>> keyboards_;
    std::vector<std::size_t> subscriptions_;
    std::shared_ptr<Inbox> inbox_;
    std::thread thread_;
};

}  // namespace tessaron::device
