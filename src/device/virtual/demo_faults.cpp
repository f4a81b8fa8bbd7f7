#include "device/virtual/demo_faults.h"
#include "core/text.h"

#include <atomic>
#include <charconv>
#include <string>

namespace tessaron::device {
namespace {

constexpr std::size_t kMaxCount = 1'000'000;

Error badFaults(std::string_view item) {
    const std::string text(item);
    return makeError(TR_TEXT("Device", "Unknown demo fault \"%1\"; use drop-acks[=N], ack-delay=MS, garble-replies, garble-pages or unplug-after=N."), text);
}

std::optional<std::size_t> count(std::string_view text) {
    std::size_t value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() || value > kMaxCount)
        return std::nullopt;
    return value;
}

// Shared by every command channel the transport opens, so the count spans reopenings.
struct UnplugCounter {
    std::shared_ptr<VirtualKeyboard> keyboard;
    std::size_t limit = 0;
    std::atomic<std::size_t> done{0};

    void tick() {
        if (done.fetch_add(1) == limit) keyboard->unplug();
    }
};

class CountingCommandChannel final : public CommandChannel {
public:
    CountingCommandChannel(std::unique_ptr<CommandChannel> inner,
                           std::shared_ptr<UnplugCounter> counter)
        : inner_(std::move(inner)), counter_(std::move(counter)) {}

    Status sendFeature(const FrameBytes& frame) override {
        counter_->tick();
        return inner_->sendFeature(frame);
    }
    Result<FrameBytes> getFeature() override {
        counter_->tick();
        return inner_->getFeature();
    }
    Status writePage(const Page& page) override {
        counter_->tick();
        return inner_->writePage(page);
    }
    Result<Page> readPage(std::chrono::milliseconds timeout) override {
        counter_->tick();
        return inner_->readPage(timeout);
    }

private:
    std::unique_ptr<CommandChannel> inner_;
    std::shared_ptr<UnplugCounter> counter_;
};

class UnpluggingTransport final : public Transport {
public:
    UnpluggingTransport(std::unique_ptr<Transport> inner, std::shared_ptr<UnplugCounter> counter)
        : inner_(std::move(inner)), counter_(std::move(counter)) {}

    std::vector<InterfaceInfo> enumerate() override { return inner_->enumerate(); }
    Result<std::unique_ptr<CommandChannel>> openCommand() override {
        auto opened = inner_->openCommand();
        if (!opened) return opened.error();
        return std::unique_ptr<CommandChannel>(
            std::make_unique<CountingCommandChannel>(std::move(*opened), counter_));
    }
    Result<std::unique_ptr<EventChannel>> openEvent() override { return inner_->openEvent(); }

private:
    std::unique_ptr<Transport> inner_;
    std::shared_ptr<UnplugCounter> counter_;
};

}  // namespace

Result<DemoFaults> parseDemoFaults(std::string_view list) {
    DemoFaults faults;
    while (!list.empty()) {
        const auto comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        const auto eq = item.find('=');
        const std::string_view name = item.substr(0, eq);
        const bool hasValue = eq != std::string_view::npos;
        std::size_t n = 0;
        if (hasValue) {
            const auto parsed = count(item.substr(eq + 1));
            if (!parsed) return badFaults(item);
            n = *parsed;
        }
        if (name == "drop-acks") {
            faults.switches.dropAllAcks = !hasValue;
            faults.switches.dropNextAcks = hasValue ? static_cast<int>(n) : 0;
        } else if (name == "ack-delay" && hasValue) {
            faults.switches.ackDelay = Clock::Ms(static_cast<Clock::Ms::rep>(n));
        } else if (name == "garble-replies" && !hasValue) {
            faults.switches.garbleReplies = true;
        } else if (name == "garble-pages" && !hasValue) {
            faults.switches.garblePages = true;
        } else if (name == "unplug-after" && hasValue) {
            faults.unplugAfter = n;
        } else if (!item.empty()) {
            return badFaults(item);
        }
    }
    return faults;
}

std::unique_ptr<Transport> applyDemoFaults(const DemoFaults& faults,
                                           std::shared_ptr<VirtualKeyboard> keyboard,
                                           std::unique_ptr<Transport> transport) {
    keyboard->setFaults(faults.switches);
    if (!faults.unplugAfter) return transport;
    auto counter = std::make_shared<UnplugCounter>();
    counter->keyboard = std::move(keyboard);
    counter->limit = *faults.unplugAfter;
    return std::make_unique<UnpluggingTransport>(std::move(transport), std::move(counter));
}

}  // namespace tessaron::device
