#include "device/virtual/pacing.h"

#include <cstdio>
#include <optional>

#include "device/virtual/firmware_codes.h"

namespace tessaron::device {
namespace {

std::string hexByte(std::uint8_t b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", b);
    return buf;
}

std::string describe(std::uint8_t command, const char* where, std::chrono::milliseconds required,
                     std::chrono::microseconds actual) {
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.3f", static_cast<double>(actual.count()) / 1000.0);
    return "Frame " + hexByte(command) + ": " + ms + " ms " + where + ", at least " +
           std::to_string(required.count()) + " ms needed.";
}

}  // namespace

FramePacing pacingFor(std::uint8_t command) {
    switch (command) {
        case fw::kSetReportRate:
        case fw::kSetResponseTime:
        case fw::kSetLighting:
            return {10, 0, 0, 0, 0};
        case fw::kSetGameMode:
        case fw::kSetLightingTableEntry:
            return {20, 0, 0, 0, 0};
        case fw::kFactoryReset:
            return {300, 0, 0, 0, 0};
        case fw::kGetFirmwareVersion:
        case fw::kGetReportRate:
        case fw::kGetResponseTime:
            return {10, 10, 0, 0, 0};
        case fw::kGetLighting:
            return {10, 0, 0, 0, 0};
        case fw::kGetGameMode:
            return {5, 0, 0, 0, 0};
        case fw::kGetLightingTableEntry:
            return {1, 1, 0, 0, 0};
        case fw::kWriteKeyMap:
            return {50, 0, 0, 60, fw::kKeyMapBlock.pages};
        case fw::kWriteEnableBitmap:
            return {10, 0, 0, 0, fw::kEnableBitmapBlock.pages};
        case fw::kWriteMacroSlot:
            return {1, 0, 0, 0, fw::macroSlotBlock(0).pages};
        case fw::kWriteLightMap:
            return {5, 0, 5, 5, fw::lightMapBlock(0).pages};
        case fw::kReadKeyMap:
            return {0, 0, 0, 0, fw::kKeyMapBlock.pages};
        case fw::kReadEnableBitmap:
            return {0, 0, 0, 0, fw::kEnableBitmapBlock.pages};
        case fw::kReadMacroSlot:
            return {0, 0, 0, 0, fw::macroSlotBlock(0).pages};
        case fw::kReadLightMap:
            return {5, 5, 5, 5, fw::lightMapBlock(0).pages};
        default:
            return {};
    }
}

std::vector<PacingViolation> checkPacing(std::span<const Traffic> traffic) {
    std::vector<PacingViolation> out;
    std::optional<Clock::TimePoint> last;
    std::chrono::milliseconds required{0};
    const char* requiredBefore = "";
    std::uint8_t command = 0;
    FramePacing pace;
    std::size_t pagesSeen = 0;

    for (std::size_t i = 0; i < traffic.size(); ++i) {
        const Traffic& t = traffic[i];
        if (t.kind == TrafficKind::Event) continue;
        if (last) {
            const auto gap = std::chrono::duration_cast<std::chrono::microseconds>(t.at - *last);
            if (gap < required) {
                out.push_back(
                    {i, command, required, gap, describe(command, requiredBefore, required, gap)});
            }
        }
        last = t.at;
        switch (t.kind) {
            case TrafficKind::Frame: {
                const bool taken = t.outcome == Outcome::Accepted || t.outcome == Outcome::Ignored;
                command = t.command();
                pace = taken ? pacingFor(command) : FramePacing{};
                pagesSeen = 0;
                required = std::chrono::milliseconds(pace.afterFrame);
                requiredBefore = "after the frame";
                break;
            }
            case TrafficKind::Reply:
                required = std::chrono::milliseconds(pace.afterReply);
                requiredBefore = "after the reply";
                break;
            default:  // a page either way
                ++pagesSeen;
                const bool lastPage = pagesSeen >= pace.pages;
                required =
                    std::chrono::milliseconds(lastPage ? pace.afterLastPage : pace.betweenPages);
                requiredBefore = lastPage ? "after the last page" : "between pages";
                break;
        }
    }
    return out;
}

}  // namespace tessaron::device
