#include "device/hid/report_descriptor.h"

#include <algorithm>

namespace tessaron::device::hid {

namespace {

constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr std::uint8_t kTypeMain = 0;
constexpr std::uint8_t kTypeGlobal = 1;
constexpr std::uint8_t kTagInput = 0x8;
constexpr std::uint8_t kTagReportId = 0x8;
constexpr std::uint8_t kTagPush = 0xA;
constexpr std::uint8_t kTagPop = 0xB;
constexpr std::size_t kMaxPushDepth = 32;

}  // namespace

DescriptorSummary summarizeDescriptor(std::span<const std::uint8_t> d) {
    DescriptorSummary summary;
    std::uint8_t reportId = 0;
    std::vector<std::uint8_t> pushed;
    std::size_t i = 0;
    while (i < d.size()) {
        const std::uint8_t prefix = d[i];
        if (prefix == kLongItemPrefix) {
            // Long item: prefix, data size, tag, data. No long items are defined; skip them.
            if (d.size() - i < 3 || d.size() - i - 3 < d[i + 1]) {
                summary.wellFormed = false;
                break;
            }
            i += 3 + d[i + 1];
            continue;
        }
        const std::size_t size = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
        const std::uint8_t type = (prefix >> 2) & 0x3;
        const std::uint8_t tag = prefix >> 4;
        if (d.size() - i - 1 < size) {
            summary.wellFormed = false;
            break;
        }
        const auto data = d.subspan(i + 1, size);
        if (type == kTypeGlobal && tag == kTagReportId) {
            // Report IDs are one byte; 0 is reserved.
            if (size != 1 || data[0] == 0) {
                summary.wellFormed = false;
                break;
            }
            reportId = data[0];
        } else if (type == kTypeGlobal && tag == kTagPush) {
            if (pushed.size() == kMaxPushDepth) {
                summary.wellFormed = false;
                break;
            }
            pushed.push_back(reportId);
        } else if (type == kTypeGlobal && tag == kTagPop) {
            if (pushed.empty()) {
                summary.wellFormed = false;
                break;
            }
            reportId = pushed.back();
            pushed.pop_back();
        } else if (type == kTypeMain && tag == kTagInput) {
            summary.inputReportIds.push_back(reportId);
        }
        i += 1 + size;
    }
    auto& ids = summary.inputReportIds;
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return summary;
}

bool declaresInputReport(std::span<const std::uint8_t> descriptor, std::uint8_t reportId) {
    const auto ids = summarizeDescriptor(descriptor).inputReportIds;
    return std::binary_search(ids.begin(), ids.end(), reportId);
}

}  // namespace tessaron::device::hid
