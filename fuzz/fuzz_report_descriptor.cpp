// Report descriptors are written by a device's firmware: the parser must stop at the end of any
// descriptor, and what it reports must agree with itself.

#include <algorithm>

#include "device/hid/report_descriptor.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaron::device::hid;
    const std::span<const std::uint8_t> d(data, size);
    const auto summary = summarizeDescriptor(d);
    const auto& ids = summary.inputReportIds;
    FUZZ_CHECK(std::is_sorted(ids.begin(), ids.end()));
    FUZZ_CHECK(std::adjacent_find(ids.begin(), ids.end()) == ids.end());
    for (unsigned id = 0; id < 256; ++id) {
        const bool listed =
            std::binary_search(ids.begin(), ids.end(), static_cast<std::uint8_t>(id));
        FUZZ_CHECK(declaresInputReport(d, static_cast<std::uint8_t>(id)) == listed);
    }
    // Cutting a descriptor short can never add an input report.
    if (size > 0) {
        const auto shorter = summarizeDescriptor(d.first(size - 1));
        for (auto id : shorter.inputReportIds) {
            FUZZ_CHECK(std::binary_search(ids.begin(), ids.end(), id));
        }
    }
    return 0;
}
