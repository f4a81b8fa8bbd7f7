#include "device/commands.h"

namespace tessaron::device {

namespace {

// Reply frame byte positions.
constexpr std::size_t kReplyValue = 2;
constexpr std::size_t kReplyEffect = 3;
constexpr std::size_t kReplySpeed = 4;
constexpr std::size_t kReplyBrightness = 5;
constexpr std::size_t kReplyOption = 6;
constexpr std::size_t kReplyDirection = 7;
constexpr std::size_t kReplyEntry = 4;

Status sendAndWait(CommandPort& port, const FeatureFrame& frame, int waitMs) {
    auto sent = port.send(frame);
    if (!sent) return sent;
    port.wait(waitMs);
    return {};
}

// send, wait, fetch, wait.
Result<FrameBytes> query(CommandPort& port, const FeatureFrame& frame, int before, int after) {
    auto sent = port.send(frame);
    if (!sent) return sent.error();
    port.wait(before);
    auto reply = port.fetch();
    if (after > 0) port.wait(after);
    return reply;
}

}  // namespace

Status setReportRate(CommandPort& port, const DeviceImage& img) {
    return sendAndWait(port, frames::setReportRate(img[image::kReportRate]), 10);
}

Status getReportRate(CommandPort& port, DeviceImage& img) {
    auto r = query(port, frames::getReportRate(), 10, 10);
    if (!r) return r.error();
    img[image::kReportRate] = (*r)[kReplyValue];
    return {};
}

Status setResponseTime(CommandPort& port, const DeviceImage& img) {
    return sendAndWait(port, frames::setResponseTime(img[image::kResponseTime]), 10);
}

Status getResponseTime(CommandPort& port, DeviceImage& img) {
    auto r = query(port, frames::getResponseTime(), 10, 10);
    if (!r) return r.error();
    img[image::kResponseTime] = (*r)[kReplyValue];
    return {};
}

Status setLighting(CommandPort& port, const DeviceImage& img, LightingForm form) {
    return sendAndWait(port, frames::setLighting(form, img), 10);
}

Status getLighting(CommandPort& port, DeviceImage& img) {
    auto r = query(port, frames::getLighting(), 10, 0);
    if (!r) return r.error();
    const FrameBytes& f = *r;
    img[image::kEffect] = f[kReplyEffect];
    img[image::kSpeed] = speedFromWire(f[kReplySpeed]);
    img[image::kBrightness] = f[kReplyBrightness];
    img[image::kOption] = f[kReplyOption];
    img[image::kDirection] = f[kReplyDirection];
    return {};
}

Status setGameMode(CommandPort& port, DeviceImage& img) {
    auto sent = sendAndWait(port, frames::setGameMode(img[image::kGameMode]), 20);
    applyWinLockRule(img);
    return sent;
}

Status getGameMode(CommandPort& port, DeviceImage& img) {
    auto r = query(port, frames::getGameMode(), 5, 0);
    if (!r) return r.error();
    img[image::kGameMode] = (*r)[kReplyValue];
    return {};
}

Status sendOpeningFrame(CommandPort& port) {
    return sendAndWait(port, frames::opening(), 20);
}

Status setLightingEntry(CommandPort& port, const DeviceImage& img, std::size_t entry) {
    return sendAndWait(port, frames::setLightingEntry(entry, img), 20);
}

Status getLightingEntry(CommandPort& port, DeviceImage& img, std::size_t entry) {
    auto r = query(port, frames::getLightingEntry(entry), 1, 1);
    if (!r) return r.error();
    const std::size_t at = image::lightingTableEntry(entry);
    for (std::size_t i = 0; i < image::kLightingTableEntrySize; ++i) {
        img[at + i] = (*r)[kReplyEntry + i];
    }
    return {};
}

Result<FirmwareVersion> getFirmwareVersion(CommandPort& port) {
    auto r = query(port, frames::getFirmwareVersion(), 10, 10);
    if (!r) return r.error();
    FirmwareVersion fw;
    for (std::size_t i = 0; i < fw.payload.size(); ++i) fw.payload[i] = (*r)[1 + i];
    return fw;
}

Status factoryReset(CommandPort& port) {
    auto s = sendAndWait(port, frames::factoryReset(), 300);
    if (!s) return s;
    for (int i = 0; i < 2; ++i) {
        s = sendOpeningFrame(port);
        if (!s) return s;
        port.wait(300);
    }
    return {};
}

void applyWinLockRule(DeviceImage& img) {
    if (img[image::kWinLock] == 1) {
        img[image::kEnableBitmap] &= static_cast<std::uint8_t>(~kWinLockBit);
    } else {
        img[image::kEnableBitmap] |= kWinLockBit;
    }
}

std::uint8_t winLockFromBitmap(const DeviceImage& img) {
    return (img[image::kEnableBitmap] & kWinLockBit) ? 0 : 1;
}

}  // namespace tessaron::device
