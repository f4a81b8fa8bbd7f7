#include "device/device_link.h"

#include "device/commands.h"
#include "device/errors.h"
#include "device/read_all.h"

namespace tessaron::device {

namespace {

template <class Channel>
Result<std::unique_ptr<Channel>> openRetrying(Clock& clock, OpenRetry retry, auto open) {
    Result<std::unique_ptr<Channel>> opened = errors::noKeyboard();
    for (int attempt = 0; attempt < std::max(1, retry.attempts); ++attempt) {
        if (attempt > 0) clock.sleep(retry.interval);
        opened = open();
        if (opened) break;
    }
    return opened;
}

}  // namespace

DeviceLink::DeviceLink(Transport& transport, Clock& clock, Trace* trace)
    : transport_(transport),
      clock_(clock),
      trace_(trace),
      command_(clock, trace),
      listener_(acks_, clock, trace) {}

DeviceLink::~DeviceLink() {
    close();
}

Status DeviceLink::openCommand(OpenRetry retry) {
    if (isConnected()) return {};
    auto opened =
        openRetrying<CommandChannel>(clock_, retry, [&] { return transport_.openCommand(); });
    if (!opened) return opened.error();
    command_.attach(std::move(opened).value());
    return {};
}

Status DeviceLink::openEvent(OpenRetry retry, Listener::KeyEventNotify notify) {
    if (isListening()) return {};
    auto opened = openRetrying<EventChannel>(clock_, retry, [&] { return transport_.openEvent(); });
    if (!opened) return opened.error();
    listener_.start(std::move(opened).value(), std::move(notify));
    return {};
}

void DeviceLink::close() {
    listener_.stop();
    command_.detach();
}

Result<WriteOutcome> DeviceLink::save(DeviceImage& img, DeviceImage& committed,
                                      const StepObserver& observer) {
    auto lease = command_.acquire();
    if (!lease) return lease.error();
    DeviceImage preview = img;
    applyWinLockRule(preview);
    if (findChanges(preview, committed).anyBeyondLighting() && !isListening()) {
        return errors::eventChannelMissing();
    }
    PollingAckWaiter waiter(acks_, clock_);
    return writeChanges(lease->port(), img, committed, waiter, observer);
}

ArrivalResult runArrival(DeviceLink& link, const DeviceImage& base,
                         Listener::KeyEventNotify notify, bool settled) {
    ArrivalResult result;
    auto remember = [&](const Error& e) {
        if (!result.error) result.error = e;
    };
    if (!settled) link.clock().sleep(kArrivalSettle);

    if (!link.isConnected()) {
        auto opened = link.openCommand(kArrivalRetry);
        if (opened) {
            result.commandOpened = true;
            if (auto lease = link.acquire()) {
                auto& port = lease->port();
                DeviceImage img = base;
                auto fw = getFirmwareVersion(port);
                Status s = fw ? Status{} : Status{fw.error()};
                if (fw) result.firmware = *fw;
                if (s) s = readAll(port, img);
                if (s) s = readLightMaps(port, img);
                if (s) {
                    result.image = img;
                } else {
                    remember(s.error());
                }
            } else {
                remember(lease.error());
            }
        } else {
            remember(opened.error());
        }
    }
    if (!link.isListening()) {
        auto opened = link.openEvent(kArrivalRetry, std::move(notify));
        if (opened) {
            result.eventOpened = true;
        } else {
            remember(opened.error());
        }
    }
    return result;
}

}  // namespace tessaron::device
