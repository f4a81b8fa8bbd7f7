#include "device/virtual/virtual_transport.h"
#include "core/text.h"

#include <string>

namespace tessaron::device {
namespace {

Error noKeyboard() {
    return makeError(TR_TEXT("Device", "No keyboard was found."));
}

Error noAccess() {
    return makeError(TR_TEXT("Device", "You have no permission to open the keyboard."));
}

class VirtualCommandChannel final : public CommandChannel {
public:
    // The keyboard has taken this channel as its one opener (attachCommandOpener).
    VirtualCommandChannel(std::shared_ptr<VirtualKeyboard> keyboard, std::uint64_t connection)
        : keyboard_(std::move(keyboard)), connection_(connection) {}
    ~VirtualCommandChannel() override { keyboard_->detachCommandOpener(connection_); }
    VirtualCommandChannel(const VirtualCommandChannel&) = delete;
    VirtualCommandChannel& operator=(const VirtualCommandChannel&) = delete;

    Status sendFeature(const FrameBytes& frame) override {
        return keyboard_->receiveFeature(connection_, frame);
    }
    Result<FrameBytes> getFeature() override { return keyboard_->fetchReply(connection_); }
    Status writePage(const Page& page) override {
        return keyboard_->receivePage(connection_, page);
    }
    Result<Page> readPage(std::chrono::milliseconds timeout) override {
        return keyboard_->sendPage(connection_, timeout);
    }

private:
    std::shared_ptr<VirtualKeyboard> keyboard_;
    std::uint64_t connection_;
};

class VirtualEventChannel final : public EventChannel {
public:
    VirtualEventChannel(std::shared_ptr<VirtualKeyboard> keyboard, std::uint64_t connection)
        : keyboard_(std::move(keyboard)), connection_(connection) {
        keyboard_->attachEventReader(connection_);
    }
    ~VirtualEventChannel() override { keyboard_->detachEventReader(connection_); }
    VirtualEventChannel(const VirtualEventChannel&) = delete;
    VirtualEventChannel& operator=(const VirtualEventChannel&) = delete;

    Result<std::optional<EventReport>> readEvent(std::chrono::milliseconds timeout) override {
        return keyboard_->nextEvent(connection_, timeout);
    }

private:
    std::shared_ptr<VirtualKeyboard> keyboard_;
    std::uint64_t connection_;
};

}  // namespace

VirtualTransport::VirtualTransport(std::shared_ptr<VirtualKeyboard> keyboard) {
    keyboards_.push_back(std::move(keyboard));
}

void VirtualTransport::addKeyboard(std::shared_ptr<VirtualKeyboard> keyboard) {
    std::lock_guard lock(mutex_);
    keyboards_.push_back(std::move(keyboard));
}

void VirtualTransport::setAccessible(bool accessible) {
    std::lock_guard lock(mutex_);
    accessible_ = accessible;
}

std::vector<InterfaceInfo> VirtualTransport::enumerate() {
    std::lock_guard lock(mutex_);
    std::vector<InterfaceInfo> out;
    for (std::size_t i = 0; i < keyboards_.size(); ++i) {
        if (!keyboards_[i]->isPlugged()) continue;
        // The interface names carry the selectors a path-based lookup would search for.
        const std::string base = "virtual/keyboard-" + std::to_string(i + 1) + "/";
        out.push_back(InterfaceInfo{base + "mi_03", kVendorId, kProductId, kCommandInterface,
                                    ChannelRole::Command, accessible_});
        out.push_back(InterfaceInfo{base + "mi_01&col04", kVendorId, kProductId, kEventInterface,
                                    ChannelRole::Event, accessible_});
    }
    return out;
}

std::shared_ptr<VirtualKeyboard> VirtualTransport::firstPlugged(std::uint64_t& connection) const {
    for (const auto& kb : keyboards_) {
        if (auto c = kb->connection()) {
            connection = *c;
            return kb;
        }
    }
    return nullptr;
}

Result<std::unique_ptr<CommandChannel>> VirtualTransport::openCommand() {
    std::lock_guard lock(mutex_);
    std::uint64_t connection = 0;
    auto kb = firstPlugged(connection);
    if (!kb) return noKeyboard();
    if (!accessible_) return noAccess();
    if (auto taken = kb->attachCommandOpener(connection); !taken) return taken.error();
    return std::unique_ptr<CommandChannel>(
        std::make_unique<VirtualCommandChannel>(std::move(kb), connection));
}

Result<std::unique_ptr<EventChannel>> VirtualTransport::openEvent() {
    std::lock_guard lock(mutex_);
    std::uint64_t connection = 0;
    auto kb = firstPlugged(connection);
    if (!kb) return noKeyboard();
    if (!accessible_) return noAccess();
    return std::unique_ptr<EventChannel>(
        std::make_unique<VirtualEventChannel>(std::move(kb), connection));
}

VirtualHotplug::VirtualHotplug(std::vector<std::shared_ptr<VirtualKeyboard>> keyboards)
    : keyboards_(std::move(keyboards)) {}

VirtualHotplug::VirtualHotplug(std::shared_ptr<VirtualKeyboard> keyboard)
    : VirtualHotplug(std::vector<std::shared_ptr<VirtualKeyboard>>{std::move(keyboard)}) {}

VirtualHotplug::~VirtualHotplug() {
    stop();
}

Status VirtualHotplug::start(Callback callback) {
    if (thread_.joinable()) {
        return makeError(TR_TEXT("Device", "The plug monitor is already running."));
    }
    inbox_ = std::make_shared<Inbox>();
    for (const auto& kb : keyboards_) {
        subscriptions_.push_back(kb->subscribe([inbox = inbox_](PlugChange change) {
            {
                std::lock_guard lock(inbox->mutex);
                if (inbox->stopping) return;
                inbox->changes.push_back(change);
            }
            inbox->wake.notify_one();
        }));
    }
    thread_ = std::thread([inbox = inbox_, callback = std::move(callback)] {
        std::unique_lock lock(inbox->mutex);
        for (;;) {
            inbox->wake.wait(lock, [&] { return inbox->stopping || !inbox->changes.empty(); });
            if (inbox->stopping) return;
            const PlugChange change = inbox->changes.front();
            inbox->changes.pop_front();
            lock.unlock();
            callback(change);
            lock.lock();
        }
    });
    return {};
}

void VirtualHotplug::stop() {
    for (std::size_t i = 0; i < subscriptions_.size(); ++i) {
        keyboards_[i]->unsubscribe(subscriptions_[i]);
    }
    subscriptions_.clear();
    if (inbox_) {
        {
            std::lock_guard lock(inbox_->mutex);
            inbox_->stopping = true;
        }
        inbox_->wake.notify_all();
    }
    if (thread_.joinable()) {
        // Stopped from inside its own callback: the thread ends by itself once the callback
        // returns.
        if (thread_.get_id() == std::this_thread::get_id()) {
            thread_.detach();
        } else {
            thread_.join();
        }
    }
    inbox_.reset();
}

}  // namespace tessaron::device
