#include "fake_keyboard.h"

#include <algorithm>

namespace tessaron::device::testing {
namespace {

// Offsets in the keyboard's settings memory, as plain numbers.
constexpr std::size_t kReportRate = 11;
constexpr std::size_t kKeyMap = 792;
constexpr std::size_t kKeyMapBytes = 512;
constexpr std::size_t kMacroSlot0 = 1304;
constexpr std::size_t kMacroSlotBytes = 192;
constexpr std::size_t kResponseTime = 7449;
constexpr std::size_t kEffect = 7450;
constexpr std::size_t kSpeed = 7451;
constexpr std::size_t kBrightness = 7452;
constexpr std::size_t kOption = 7453;
constexpr std::size_t kDirection = 7454;
constexpr std::size_t kLightingTable = 7455;
constexpr std::size_t kGameMode = 7476;
constexpr std::size_t kEnableBitmap = 7477;
constexpr std::size_t kEnableBitmapBytes = 18;
constexpr std::size_t kLightMap0 = 7496;
constexpr std::size_t kLightMapBytes = 512;
static_assert(kLightMap0 + 5 * kLightMapBytes == kKeyboardMemorySize);

}  // namespace

bool FakeKeyboard::failing() {
    return failAt && *failAt == log.size() - 1;
}

Status FakeKeyboard::sendFeature(const FrameBytes& frame) {
    log.push_back({OpKind::Send, frame, {}, clock_.now()});
    if (failing()) return verbatim("send failed");
    answer(frame);
    return {};
}

Result<FrameBytes> FakeKeyboard::getFeature() {
    log.push_back({OpKind::Fetch, reply_, {}, clock_.now()});
    if (failing()) return verbatim("fetch failed");
    return reply_;
}

Status FakeKeyboard::writePage(const Page& page) {
    log.push_back({OpKind::Write, {}, page, clock_.now()});
    if (failing()) return verbatim("write failed");
    const std::size_t n = std::min(writeRemaining_, kPageSize);
    std::copy_n(page.begin(), n, settings.begin() + static_cast<std::ptrdiff_t>(writeOffset_));
    writeOffset_ += n;
    writeRemaining_ -= n;
    return {};
}

Result<Page> FakeKeyboard::readPage(std::chrono::milliseconds) {
    Page page{};
    if (!outgoing_.empty()) {
        page = outgoing_.front();
        outgoing_.pop_front();
    }
    log.push_back({OpKind::Read, {}, page, clock_.now()});
    if (failing()) return verbatim("read failed");
    return page;
}

std::vector<FrameBytes> FakeKeyboard::sentFrames() const {
    std::vector<FrameBytes> frames;
    for (const auto& op : log) {
        if (op.kind == OpKind::Send) frames.push_back(op.frame);
    }
    return frames;
}

void FakeKeyboard::expectPages(std::size_t offset, std::size_t size) {
    outgoing_.clear();
    for (std::size_t at = 0; at < size; at += kPageSize) {
        Page page{};
        const std::size_t n = std::min(kPageSize, size - at);
        std::copy_n(settings.begin() + static_cast<std::ptrdiff_t>(offset + at), n, page.begin());
        outgoing_.push_back(page);
    }
}

void FakeKeyboard::answer(const FrameBytes& f) {
    reply_ = {};
    reply_[1] = f[1];
    auto& s = settings;
    switch (f[1]) {
        case 0x80:
            std::copy(firmware.begin(), firmware.end(), reply_.begin() + 1);
            break;
        case 0x81:
            reply_[2] = s[kReportRate];
            break;
        case 0x84:
            reply_[2] = s[kResponseTime];
            break;
        case 0x89:
            reply_[2] = s[kGameMode];
            break;
        case 0x88:
            reply_[3] = s[kEffect];
            reply_[4] = static_cast<std::uint8_t>(10 - s[kSpeed]);  // the wire carries 10 - speed
            reply_[5] = s[kBrightness];
            reply_[6] = s[kOption];
            reply_[7] = s[kDirection];
            break;
        case 0x94:
            std::copy_n(s.begin() + static_cast<std::ptrdiff_t>(kLightingTable + 3 * f[3]), 3,
                        reply_.begin() + 4);
            break;
        case 0x8D:
            expectPages(kKeyMap, kKeyMapBytes);
            break;
        case 0x8E:
            expectPages(kEnableBitmap, kEnableBitmapBytes);
            break;
        case 0x91:
            expectPages(kMacroSlot0 + kMacroSlotBytes * f[3], kMacroSlotBytes);
            break;
        case 0x92:
            expectPages(kLightMap0 + kLightMapBytes * f[3], kLightMapBytes);
            break;
        case 0x0D:
            writeOffset_ = kKeyMap;
            writeRemaining_ = kKeyMapBytes;
            break;
        case 0x0E:
            writeOffset_ = kEnableBitmap;
            writeRemaining_ = kEnableBitmapBytes;
            break;
        case 0x11:
            writeOffset_ = kMacroSlot0 + kMacroSlotBytes * f[3];
            writeRemaining_ = kMacroSlotBytes;
            break;
        case 0x12:
            writeOffset_ = kLightMap0 + kLightMapBytes * f[3];
            writeRemaining_ = kLightMapBytes;
            break;
        default:
            break;
    }
}

Result<std::optional<EventReport>> FakeEvents::readEvent(std::chrono::milliseconds timeout) {
    timeouts.push_back(timeout);
    if (queue.empty()) return std::optional<EventReport>{};
    auto next = std::move(queue.front());
    queue.pop_front();
    return next;
}

Result<std::optional<EventReport>> BlockingEvents::readEvent(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    ++reads;
    if (!cv_.wait_for(lock, timeout, [&] { return !queue_.empty(); })) {
        return std::optional<EventReport>{};
    }
    const EventReport report = queue_.front();
    queue_.pop_front();
    return std::optional<EventReport>(report);
}

void BlockingEvents::push(EventReport report) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(report);
    }
    cv_.notify_all();
}

}  // namespace tessaron::device::testing
