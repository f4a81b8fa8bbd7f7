// Read all, the start-up read, a one-key Save and a Save of all 32 macro slots against the
// virtual keyboard on the real clock. Each is mostly waits the protocol mandates, so each is
// reported as the ratio of its wall time to that floor: the sum of the sleeps the same operation
// records on a fake clock. Anything above 1 is our own overhead (frames, pages, waking the
// listener, sleeping too long). After the runs a table of all four is printed (goal <= 1.10).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/clock.h"
#include "device/ack.h"
#include "device/command_port.h"
#include "device/device_link.h"
#include "device/listener.h"
#include "device/read_all.h"
#include "device/virtual/pacing.h"
#include "device/virtual/virtual_transport.h"
#include "device/write_changes.h"
#include "save_floor.h"
#include "support/fake_clock.h"

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

using Read = std::function<Status(CommandPort&, DeviceImage&)>;

Status readAllInto(CommandPort& port, DeviceImage& img) {
    return readAll(port, img);
}

Status startupReadInto(CommandPort& port, DeviceImage& img) {
    auto read = startupRead(port, img);
    if (!read) return read.error();
    img = read->image;
    return {};
}

// A read on a fake clock: the sleeps it records are the waits the protocol demands.
Floor readFloor(const Read& read) {
    FakeClock clock;
    auto kb = std::make_shared<VirtualKeyboard>(clock);
    VirtualTransport transport(kb);
    auto channel = std::move(transport.openCommand().value());
    CommandPort port(*channel, clock);
    DeviceImage img{};
    check(read(port, img), "read on the fake clock");
    const auto traffic = kb->traffic();
    return {Ms(clock.totalSlept()).count(), checkPacing(traffic).size()};
}

// The changes a Save sends: one key swapped between A and B, or every macro slot given a new
// loop count.
using Change = std::function<void(DeviceImage&)>;

void swapKey(DeviceImage& img) {
    img[kKeyUsage] = img[kKeyUsage] == kUsageA ? kUsageB : kUsageA;
}

void touchEveryMacroSlot(DeviceImage& img) {
    for (std::size_t n = 0; n < image::kMacroSlotCount; ++n) {
        auto& loops = img[image::macroSlot(n) + 1];
        loops = static_cast<std::uint8_t>(loops + 1);
    }
}

// A Save's mandated waits, and whether its frames kept the pacing.
Floor saveFloor(const Change& change) {
    const auto floor = bench::measureSaveFloor(change);
    return {floor.ms, checkPacing(floor.traffic).size()};
}

// Figures kept for the table printed after the runs, by measurement name.
struct Row {
    double floorMs = 0;
    double wallMs = 0;
    std::size_t pacingViolations = 0;
};
std::map<std::string, Row>& table() {
    static std::map<std::string, Row> rows;
    return rows;
}

// The median run goes into the table: a machine busy with other work should not decide it.
void report(benchmark::State& state, const char* label, const Floor& floor,
            std::vector<double> wallMs) {
    double mean = 0;
    for (double ms : wallMs) mean += ms;
    mean /= static_cast<double>(wallMs.size());
    std::sort(wallMs.begin(), wallMs.end());
    const double median = wallMs[wallMs.size() / 2];
    state.counters["floor_ms"] = floor.ms;
    state.counters["wall_ms"] = mean;
    state.counters["median_ms"] = median;
    state.counters["ratio"] = median / floor.ms;
    state.counters["pacing_violations"] = static_cast<double>(floor.pacingViolations);
    table()[label] = {floor.ms, median, floor.pacingViolations};
}

void timedReads(benchmark::State& state, const char* label, const Read& read) {
    const Floor floor = readFloor(read);
    auto kb = std::make_shared<VirtualKeyboard>(SystemClock::instance());
    VirtualTransport transport(kb);
    DeviceLink link(transport, SystemClock::instance());
    check(link.openCommand(), "open the command channel");
    DeviceImage img{};
    std::vector<double> wallMs;
    for (auto _ : state) {
        auto lease = link.acquire();
        if (!lease) throw std::runtime_error(lease.error().english);
        const auto start = std::chrono::steady_clock::now();
        check(read(lease->port(), img), "read");
        const double ms = Ms(std::chrono::steady_clock::now() - start).count();
        wallMs.push_back(ms);
        state.SetIterationTime(ms / 1000.0);
    }
    // A read that is fast but wrong is no result.
    if (img != kb->settings()) throw std::runtime_error("read: image differs from the keyboard");
    report(state, label, floor, std::move(wallMs));
}

void timedSaves(benchmark::State& state, const char* label, const Change& change) {
    const Floor floor = saveFloor(change);
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
    std::vector<double> wallMs;
    for (auto _ : state) {
        change(img);
        const auto start = std::chrono::steady_clock::now();
        auto saved = link.save(img, committed);
        const double ms = Ms(std::chrono::steady_clock::now() - start).count();
        if (!saved) throw std::runtime_error("save: " + saved.error().english);
        // A save that is fast but incomplete is no result.
        if (kb->settings() != img) throw std::runtime_error("save: the keyboard differs");
        wallMs.push_back(ms);
        state.SetIterationTime(ms / 1000.0);
    }
    report(state, label, floor, std::move(wallMs));
}

void BM_ReadAll(benchmark::State& state) {
    timedReads(state, "Read all", readAllInto);
}
void BM_StartupRead(benchmark::State& state) {
    timedReads(state, "Start-up read", startupReadInto);
}
void BM_SaveOneKey(benchmark::State& state) {
    timedSaves(state, "One-key Save", swapKey);
}
void BM_SaveAllMacroSlots(benchmark::State& state) {
    timedSaves(state, "Save of all 32 macro slots", touchEveryMacroSlot);
}

BENCHMARK(BM_ReadAll)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupRead)->Iterations(8)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveOneKey)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAllMacroSlots)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void printTable() {
    static constexpr const char* kRows[] = {"Read all", "Start-up read", "One-key Save",
                                            "Save of all 32 macro slots"};
    constexpr double kGoal = 1.10;
    // The same columns as the other benchmarks' tables, so that `make bench` can join them.
    std::printf(
        "\n| Measurement | Reference | Measured | Ratio | Goal |\n"
        "|---|---|---|---|---|\n");
    for (const auto& r : kRows) {
        const auto found = table().find(r);
        if (found == table().end()) continue;
        const Row& row = found->second;
        const double ratio = row.wallMs / row.floorMs;
        std::printf("| %s | protocol floor %.1f ms | median %.1f ms | %.3f | <= %.2f %s |\n", r,
                    row.floorMs, row.wallMs, ratio, kGoal, ratio <= kGoal ? "met" : "missed");
        if (row.pacingViolations) {
            std::printf("|   (%zu waits cut short on the fake clock) | | | | |\n",
                        row.pacingViolations);
        }
    }
}

}  // namespace
}  // namespace tessaron::device

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    tessaron::device::printTable();
    benchmark::Shutdown();
    return 0;
}
