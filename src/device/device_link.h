#pragma once
// The link to the keyboard as the window sees it: both channels, the listener, the ack signal,
// Save, and the sequence that follows the keyboard being plugged in.

#include <chrono>
#include <optional>

#include "core/clock.h"
#include "core/result.h"
#include "device/ack.h"
#include "device/command_link.h"
#include "device/firmware.h"
#include "device/listener.h"
#include "device/trace.h"
#include "device/transport.h"
#include "device/write_changes.h"

namespace tessaron::device {

// A freshly plugged keyboard's device nodes may take a moment to become usable.
struct OpenRetry {
    int attempts = 1;
    std::chrono::milliseconds interval{250};
};
inline constexpr OpenRetry kArrivalRetry{8, std::chrono::milliseconds(250)};

class DeviceLink {
public:
    DeviceLink(Transport& transport, Clock& clock, Trace* trace = nullptr);
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Each is a no-op success when the channel is already open.
    Status openCommand(OpenRetry retry = {});
    // Opens the event channel and starts the listener on it.
    Status openEvent(OpenRetry retry = {}, Listener::KeyEventNotify notify = {});
    // Stops the listener, then closes the command and the event channel.
    void close();

    bool isConnected() const { return command_.connected(); }
    bool isListening() const { return listener_.running(); }

    // Exclusive use of the command channel; fails at once without a keyboard.
    Result<CommandLink::Lease> acquire() { return command_.acquire(); }

    // Save: Write changes with the listener's acknowledgements, bounded per step.
    Result<WriteOutcome> save(DeviceImage& img, DeviceImage& committed,
                              const StepObserver& observer = {});

    AckSignal& acks() { return acks_; }
    Listener& listener() { return listener_; }
    Clock& clock() { return clock_; }
    Trace* trace() { return trace_; }

private:
    Transport& transport_;
    Clock& clock_;
    Trace* trace_;
    CommandLink command_;
    AckSignal acks_;
    Listener listener_;
};

// What the window needs to do after the arrival sequence.
struct ArrivalResult {
    bool commandOpened = false;  // refresh: the image below holds the keyboard's settings
    bool eventOpened = false;    // refresh: the listener runs again
    std::optional<FirmwareVersion> firmware;
    std::optional<DeviceImage> image;  // current with the keyboard's settings read over it
    std::optional<Error> error;        // the first thing that failed, if anything did
};

inline constexpr std::chrono::milliseconds kArrivalSettle{2000};

// After the keyboard was plugged in: let it settle (unless the caller has), open what is closed,
// read it all over a copy of base, restart the listener. Blocks for seconds; run it off the
// window's thread. What to make of the read is the caller's business.
ArrivalResult runArrival(DeviceLink& link, const DeviceImage& base,
                         Listener::KeyEventNotify notify = {}, bool settled = false);

}  // namespace tessaron::device
