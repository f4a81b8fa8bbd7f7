#include "device/command_link.h"

#include "device/errors.h"

namespace tessaron::device {

void CommandLink::attach(std::unique_ptr<CommandChannel> channel) {
    std::lock_guard lock(mutex_);
    channel_ = std::move(channel);
    connected_.store(channel_ != nullptr);
}

void CommandLink::detach() {
    std::lock_guard lock(mutex_);
    channel_.reset();
    connected_.store(false);
}

bool CommandLink::connected() const {
    return connected_.load();
}

Result<CommandLink::Lease> CommandLink::acquire() {
    std::unique_lock lock(mutex_);
    if (!channel_) return errors::noKeyboard();
    auto& channel = *channel_;
    return Lease(std::move(lock), channel, clock_, trace_);
}

}  // namespace tessaron::device
