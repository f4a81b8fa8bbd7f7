#pragma once
// Just enough of a HID report descriptor parser to tell which input reports an interface
// declares. Descriptors come from the kernel but are written by firmware: every length is
// checked, and a malformed descriptor ends the parse without reading past its end.

#include <cstdint>
#include <span>
#include <vector>

namespace tessaron::device::hid {

struct DescriptorSummary {
    std::vector<std::uint8_t> inputReportIds;  // sorted, unique; 0 = unnumbered reports
    bool wellFormed = true;
};

DescriptorSummary summarizeDescriptor(std::span<const std::uint8_t> descriptor);

bool declaresInputReport(std::span<const std::uint8_t> descriptor, std::uint8_t reportId);

}  // namespace tessaron::device::hid
