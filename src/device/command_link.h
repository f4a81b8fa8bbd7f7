#pragma once
// The command channel has one user at a time: a save and the start-up read never interleave
// their frames. Whoever holds a lease owns the channel until the lease ends.

#include <atomic>
#include <memory>
#include <mutex>

#include "core/clock.h"
#include "core/result.h"
#include "device/command_port.h"
#include "device/trace.h"
#include "device/transport.h"

namespace tessaron::device {

class CommandLink {
public:
    class Lease {
    public:
        CommandPort& port() { return port_; }
        Lease(Lease&&) = default;

    private:
        friend class CommandLink;
        Lease(std::unique_lock<std::mutex> lock, CommandChannel& channel, Clock& clock,
              Trace* trace)
            : lock_(std::move(lock)), port_(channel, clock, trace) {}
        std::unique_lock<std::mutex> lock_;
        CommandPort port_;
    };

    explicit CommandLink(Clock& clock, Trace* trace = nullptr) : clock_(clock), trace_(trace) {}

    // Takes over an opened channel, closing any earlier one (after its current user is done).
    void attach(std::unique_ptr<CommandChannel> channel);
    // Closes the channel once its current user is done.
    void detach();
    bool connected() const;

    // Waits for the channel to be free; fails at once when no keyboard is connected.
    Result<Lease> acquire();

private:
    Clock& clock_;
    Trace* trace_;
    std::mutex mutex_;
    std::unique_ptr<CommandChannel> channel_;
    std::atomic<bool> connected_{false};  // readable while a lease is held
};

}  // namespace tessaron::device
