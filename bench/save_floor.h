#pragma once
// The waits the protocol mandates for a Save: the same Save on a fake clock, with the listener
// pumped inline so that no acknowledgement poll is counted, only the waits of the frames sent.

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "device/ack.h"
#include "device/command_port.h"
#include "device/listener.h"
#include "device/read_all.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "device/write_changes.h"
#include "support/fake_clock.h"

namespace tessaron::device::bench {

struct SaveFloor {
    double ms = 0;                 // the sleeps recorded
    std::vector<Traffic> traffic;  // what the keyboard saw of the Save
};

// `change` edits the image read from a fresh virtual keyboard; the Save sends the difference.
inline SaveFloor measureSaveFloor(const std::function<void(DeviceImage&)>& change) {
    auto fail = [](const std::string& what) { throw std::runtime_error(what); };
    FakeClock clock;
    auto kb = std::make_shared<VirtualKeyboard>(clock);
    VirtualTransport transport(kb);
    auto channel = std::move(transport.openCommand().value());
    auto events = std::move(transport.openEvent().value());
    CommandPort port(*channel, clock);
    DeviceImage committed{};
    if (auto read = readAll(port, committed); !read) {
        fail("read all on the fake clock: " + read.error().english);
    }
    DeviceImage img = committed;
    change(img);

    AckSignal acks;
    Listener listener(acks, clock);
    PollingAckWaiter waiter(acks, clock, [&] {
        while (listener.pollOnce(*events, std::chrono::milliseconds(0)) != PollResult::Nothing) {
        }
    });
    clock.clearSleeps();
    kb->clearTraffic();
    auto saved = writeChanges(port, img, committed, waiter);
    if (!saved) fail("save on the fake clock: " + saved.error().english);
    return {std::chrono::duration<double, std::milli>(clock.totalSlept()).count(), kb->traffic()};
}

}  // namespace tessaron::device::bench
