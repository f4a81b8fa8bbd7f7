#include "device/hid/hid_channels.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <array>

#include "device/errors.h"

namespace tessaron::device::hid {

namespace {

// Reads from the event interface carry the report ID first; the buffer leaves room for any
// longer report, which is then ignored.
constexpr std::size_t kEventReadBuffer = 64;
// More input reports than any block has pages: whatever is queued beyond is not stale.
constexpr std::size_t kMaxStaleReports = 16;

Status checkCount(int result, std::size_t expected, const char* what) {
    if (result < 0) return errors::transferFailed(what);
    if (static_cast<std::size_t>(result) < expected) {
        return errors::shortTransfer(what, static_cast<std::size_t>(result), expected);
    }
    return {};
}

int toMs(std::chrono::milliseconds timeout) {
    return static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, 60000));
}

}  // namespace

void HidCloser::operator()(hid_device_* device) const {
    if (device) hid_close(device);
}

Status HidCommandChannel::sendFeature(const FrameBytes& frame) {
    // Pages left over from an abandoned read would be taken for the answer to this frame.
    std::array<std::uint8_t, kPageReportSize> stale{};
    for (std::size_t i = 0; i < kMaxStaleReports; ++i) {
        if (hid_read_timeout(device_.get(), stale.data(), stale.size(), 0) <= 0) break;
    }
    return checkCount(hid_send_feature_report(device_.get(), frame.data(), frame.size()),
                      kFrameSize, "feature report sent");
}

Result<FrameBytes> HidCommandChannel::getFeature() {
    FrameBytes reply{};
    reply[0] = 0;  // report ID 0
    auto s = checkCount(hid_get_feature_report(device_.get(), reply.data(), reply.size()),
                        kFrameSize, "feature report fetched");
    if (!s) return s.error();
    return reply;
}

Status HidCommandChannel::writePage(const Page& page) {
    std::array<std::uint8_t, kPageReportSize> report{};
    report[0] = 0;  // report ID 0
    std::copy(page.begin(), page.end(), report.begin() + 1);
    return checkCount(hid_write(device_.get(), report.data(), report.size()), kPageReportSize,
                      "page written");
}

Result<Page> HidCommandChannel::readPage(std::chrono::milliseconds timeout) {
    // The command interface's input reports are unnumbered: the page comes without an ID byte.
    std::array<std::uint8_t, kPageReportSize> buffer{};
    const int n = hid_read_timeout(device_.get(), buffer.data(), buffer.size(), toMs(timeout));
    if (n == 0) return errors::transferFailed("no page arrived in time");
    auto s = checkCount(n, kPageSize, "page read");
    if (!s) return s.error();
    if (static_cast<std::size_t>(n) != kPageSize) {
        return errors::shortTransfer("page read", static_cast<std::size_t>(n), kPageSize);
    }
    Page page{};
    std::copy_n(buffer.begin(), kPageSize, page.begin());
    return page;
}

std::optional<EventReport> parseEventReport(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kEventReportSize || bytes[0] != kEventReportId) return std::nullopt;
    return EventReport{bytes[1], bytes[2], bytes[3]};
}

Result<std::optional<EventReport>> HidEventChannel::readEvent(std::chrono::milliseconds timeout) {
    std::array<std::uint8_t, kEventReadBuffer> buffer{};
    const int n = hid_read_timeout(device_.get(), buffer.data(), buffer.size(), toMs(timeout));
    if (n < 0) return errors::transferFailed("event read");
    return parseEventReport(std::span(buffer).first(static_cast<std::size_t>(n)));
}

}  // namespace tessaron::device::hid
