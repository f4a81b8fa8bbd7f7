// Read all and a one-key Save against the virtual keyboard on the real clock. Both are mostly
// waits the protocol mandates, so each is reported as the ratio of its wall time to that floor:
// the sum of the sleeps the same operation records on a fake clock. Anything above 1 is our own
// overhead (frames, pages, waking the listener, sleeping too long).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "core/clock.h"
#include "device/ack.h"
#include "device/command_port.h"
#include "device/device_link.h"
#include "device/listener.h"
#include "device/read_all.h"
#include "device/virtual/pacing.h"
#include "device/virtual/virtual_transport.h"
#include "device/write_changes.h"

namespace tessaron::device {
namespace {

using Ms = std::chrono::duration<double, std::milli>;

// The key that each Save changes: "A" at matrix column 1, row 2, swapped between A and B.
constexpr std::size_t kKeyUsage = image::keyCell(1, 2) + 2;
constexpr std::uint8_t kUsageA = 0x04;
constexpr std::uint8_t kUsageB = 0x05;

void check(const Status& s, const char* what) {
    if (!s) throw std::runtime_error(std::string(what) + ": " + s.error().english);
}

struct Floor {
    double ms = 0;
    std::size_t pacingViolations = 0;
};

// Read all on a fake clock: the sleeps it records are the waits the protocol demands.
Floor readAllFloor() {
    FakeClock clock;
    auto kb = std::make_shared<VirtualKeyboard>(clock);
    VirtualTransport transport(kb);
    auto channel = std::move(transport.openCommand().value());
    CommandPort port(*channel, clock);
    DeviceImage img{};
    check(readAll(port, img), "read all on the fake clock");
    const auto traffic = kb->traffic();
    return {Ms(clock.totalSlept()).count(), checkPacing(traffic).size()};
}

// A one-key Save on a fake clock, with the listener pumped inline so that no acknowledgement
// poll is counted: only the waits of the frames sent.
Floor saveFloor() {
    FakeClock clock;
    auto kb = std::make_shared<VirtualKeyboard>(clock);
    VirtualTransport transport(kb);
    auto channel = std::move(transport.openCommand().value());
    auto events = std::move(transport.openEvent().value());
    CommandPort port(*channel, clock);
    DeviceImage committed{};
    check(readAll(port, committed), "read all on the fake clock");
    DeviceImage img = committed;
    img[kKeyUsage] = kUsageB;

    AckSignal acks;
    Listener listener(acks, clock);
    PollingAckWaiter waiter(acks, clock, [&] {
        while (listener.pollOnce(*events, std::chrono::milliseconds(0)) != PollResult::Nothing) {
        }
    });
    clock.clearSleeps();
    kb->clearTraffic();
    auto saved = writeChanges(port, img, committed, waiter);
    if (!saved) throw std::runtime_error("save on the fake clock: " + saved.error().english);
    const auto traffic = kb->traffic();
    return {Ms(clock.totalSlept()).count(), checkPacing(traffic).size()};
}

void report(benchmark::State& state, const Floor& floor, double wallMs, int runs) {
    const double mean = wallMs / runs;
    state.counters["floor_ms"] = floor.ms;
    state.counters["wall_ms"] = mean;
    state.counters["ratio"] = mean / floor.ms;
    state.counters["pacing_violations"] = static_cast<double>(floor.pacingViolations);
}

void BM_ReadAll(benchmark::State& state) {
    const Floor floor = readAllFloor();
    auto kb = std::make_shared<VirtualKeyboard>(SystemClock::instance());
    VirtualTransport transport(kb);
    DeviceLink link(transport, SystemClock::instance());
    check(link.openCommand(), "open the command channel");
    DeviceImage img{};
    double wallMs = 0;
    int runs = 0;
    for (auto _ : state) {
        auto lease = link.acquire();
        if (!lease) throw std::runtime_error(lease.error().english);
        const auto start = std::chrono::steady_clock::now();
        check(readAll(lease->port(), img), "read all");
        wallMs += Ms(std::chrono::steady_clock::now() - start).count();
        ++runs;
        state.SetIterationTime(Ms(std::chrono::steady_clock::now() - start).count() / 1000.0);
    }
    // A read that is fast but wrong is no result.
    if (img != kb->settings())
        throw std::runtime_error("read all: image differs from the keyboard");
    report(state, floor, wallMs, runs);
}

void BM_SaveOneKey(benchmark::State& state) {
    const Floor floor = saveFloor();
    auto kb = std::make_shared<VirtualKeyboard>(SystemClock::instance());
    VirtualTransport transport(kb);
    DeviceLink link(transport, SystemClock::instance());
    check(link.openCommand(), "open the command channel");
    check(link.openEvent(), "open the event channel");
    DeviceImage committed{};
    {
        auto lease = link.acquire();
        if (!lease) throw std::runtime_error(lease.error().english);
        check(readAll(lease->port(), committed), "read all");
    }
    DeviceImage img = committed;
    double wallMs = 0;
    int runs = 0;
    for (auto _ : state) {
        img[kKeyUsage] = img[kKeyUsage] == kUsageA ? kUsageB : kUsageA;
        const auto start = std::chrono::steady_clock::now();
        auto saved = link.save(img, committed);
        const double ms = Ms(std::chrono::steady_clock::now() - start).count();
        if (!saved) throw std::runtime_error("save: " + saved.error().english);
        if (kb->settings()[kKeyUsage] != img[kKeyUsage]) {
            throw std::runtime_error("save: the key did not reach the keyboard");
        }
        wallMs += ms;
        ++runs;
        state.SetIterationTime(ms / 1000.0);
    }
    report(state, floor, wallMs, runs);
}

BENCHMARK(BM_ReadAll)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveOneKey)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessaron::device

BENCHMARK_MAIN();
