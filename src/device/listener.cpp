#include "device/listener.h"

namespace tessaron::device {

Listener::Listener(AckSignal& acks, Clock& clock, Trace* trace)
    : acks_(acks), clock_(clock), trace_(trace) {}

Listener::~Listener() {
    stop();
}

PollResult Listener::pollOnce(EventChannel& channel, std::chrono::milliseconds timeout) {
    auto read = channel.readEvent(timeout);
    if (!read) return PollResult::Error;
    if (!read->has_value()) return PollResult::Nothing;
    const EventReport report = **read;
    if (trace_) {
        const std::uint8_t bytes[] = {kEventReportId, report.kind, report.value, report.spare};
        trace_->report(TraceDirection::Received, "event", bytes);
    }
    if (report.isAck()) {
        acks_.set();
        return PollResult::Ack;
    }
    {
        std::lock_guard lock(queueMutex_);
        keyEvents_.push_back(report.value);
    }
    if (notify_) notify_();
    return PollResult::KeyEvent;
}

void Listener::start(std::unique_ptr<EventChannel> channel, KeyEventNotify notify) {
    if (running() || !channel) return;
    channel_ = std::move(channel);
    notify_ = std::move(notify);
    stop_.store(false);
    // A new thread for every plug-in keeps nothing: the C library hands an ended thread's
    // arena and stack to the next one (app_soak_bench: resident memory flat over 300 plugs).
    thread_ = std::thread([this] { run(); });
}

void Listener::stop() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
    channel_.reset();
}

void Listener::run() {
    while (!stop_.load()) {
        // A channel in error (keyboard pulled) is retried after one slice until told to stop.
        if (pollOnce(*channel_, kListenerSlice) == PollResult::Error) clock_.sleep(kListenerSlice);
    }
}

std::vector<std::uint8_t> Listener::takeKeyEvents() {
    std::lock_guard lock(queueMutex_);
    std::vector<std::uint8_t> events(keyEvents_.begin(), keyEvents_.end());
    keyEvents_.clear();
    return events;
}

}  // namespace tessaron::device
