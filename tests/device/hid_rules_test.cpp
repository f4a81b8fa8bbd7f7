#include <gtest/gtest.h>

#include <random>

#include "device/hid/hid_channels.h"
#include "device/hid/interface_rules.h"
#include "device/hid/report_descriptor.h"
#include "device/hid/udev_hotplug.h"

namespace tessaron::device::hid {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A vendor collection with feature report 4 only, then input reports 1 and 4, with a push/pop
// that must restore report ID 1 for the input after it.
const Bytes kVendorDescriptor = {
    0x06, 0x00, 0xFF,  // usage page (vendor)
    0x09, 0x01,        // usage
    0xA1, 0x01,        // collection (application)
    0x85, 0x01,        //   report ID 1
    0x95, 0x03,        //   report count 3
    0x75, 0x08,        //   report size 8
    0x81, 0x02,        //   input
    0xA4,              //   push
    0x85, 0x04,        //   report ID 4
    0x81, 0x02,        //   input
    0xB1, 0x02,        //   feature
    0xB4,              //   pop
    0x81, 0x02,        //   input (report 1 again)
    0xC0,              // end collection
};

TEST(ReportDescriptor, FindsInputReportsAcrossPushAndPop) {
    const auto summary = summarizeDescriptor(kVendorDescriptor);
    EXPECT_TRUE(summary.wellFormed);
    EXPECT_EQ(summary.inputReportIds, (std::vector<std::uint8_t>{1, 4}));
    EXPECT_TRUE(declaresInputReport(kVendorDescriptor, 4));
    EXPECT_FALSE(declaresInputReport(kVendorDescriptor, 2));
}

TEST(ReportDescriptor, FeatureOrOutputWithIdFourIsNotAnEventInterface) {
    const Bytes d = {0x85, 0x04, 0xB1, 0x02, 0x91, 0x02, 0x85, 0x02, 0x81, 0x02};
    EXPECT_FALSE(declaresInputReport(d, 4));
    // Unnumbered input reports count as report 0.
    EXPECT_EQ(summarizeDescriptor(Bytes{0x81, 0x02}).inputReportIds, Bytes{0});
}

TEST(ReportDescriptor, LongItemsAndFourByteDataAreSkipped) {
    const Bytes d = {0xFE, 0x02, 0x10, 0x85, 0x04,  // long item whose data looks like report 4
                     0x27, 0xFF, 0xFF, 0x00, 0x00,  // logical maximum, 4 bytes
                     0x85, 0x04, 0x81, 0x02};
    const auto summary = summarizeDescriptor(d);
    EXPECT_TRUE(summary.wellFormed);
    EXPECT_EQ(summary.inputReportIds, Bytes{4});
}

TEST(ReportDescriptor, MalformedInputEndsTheParseSafely) {
    const Bytes truncatedItem = {0x85, 0x04, 0x81, 0x02, 0x27, 0xFF};
    auto s = summarizeDescriptor(truncatedItem);
    EXPECT_FALSE(s.wellFormed);
    EXPECT_EQ(s.inputReportIds, Bytes{4});  // what came before still counts

    const Bytes truncatedLong = {0xFE, 0xFF, 0x00, 0x01};
    EXPECT_FALSE(summarizeDescriptor(truncatedLong).wellFormed);
    const Bytes popWithoutPush = {0xB4, 0x85, 0x04, 0x81, 0x02};
    s = summarizeDescriptor(popWithoutPush);
    EXPECT_FALSE(s.wellFormed);
    EXPECT_TRUE(s.inputReportIds.empty());
    const Bytes zeroId = {0x85, 0x00, 0x81, 0x02};
    EXPECT_FALSE(summarizeDescriptor(zeroId).wellFormed);
    Bytes deepPush(100, 0xA4);
    EXPECT_FALSE(summarizeDescriptor(deepPush).wellFormed);
    EXPECT_TRUE(summarizeDescriptor(Bytes{}).inputReportIds.empty());

    // Random bytes never read past the end (the sanitizer build checks this).
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        Bytes junk(rng() % 64);
        for (auto& b : junk) b = static_cast<std::uint8_t>(rng());
        (void)summarizeDescriptor(std::span<const std::uint8_t>(junk.data(), junk.size()));
    }
}

TEST(InterfaceRules, DefaultsAndOverrides) {
    const InterfaceFacts command{3, false};
    const InterfaceFacts events{1, true};
    const InterfaceFacts plain{0, false};
    const ChannelSelection none;
    EXPECT_EQ(roleOf(command, none), ChannelRole::Command);
    EXPECT_EQ(roleOf(events, none), ChannelRole::Event);
    EXPECT_EQ(roleOf(plain, none), ChannelRole::None);

    ChannelSelection moved;
    moved.commandInterface = 2;
    moved.eventInterface = 0;
    EXPECT_FALSE(servesCommand(command, moved));
    EXPECT_TRUE(servesCommand({2, false}, moved));
    EXPECT_FALSE(servesEvent(events, moved));  // the override replaces the descriptor rule
    EXPECT_TRUE(servesEvent(plain, moved));
}

TEST(InterfaceRules, WindowsPathSubstrings) {
    const std::string cmd = R"(\\?\hid#vid_04d9&pid_a1df&mi_03#8&1a2b&0&0000#{guid})";
    const std::string evt = R"(\\?\hid#vid_04d9&pid_a1df&mi_01&col04#8&2c&0&0003#{guid})";
    EXPECT_TRUE(windowsPathSelects(cmd, ChannelRole::Command));
    EXPECT_FALSE(windowsPathSelects(cmd, ChannelRole::Event));
    EXPECT_TRUE(windowsPathSelects(evt, ChannelRole::Event));
    EXPECT_FALSE(windowsPathSelects(evt, ChannelRole::Command));
    EXPECT_FALSE(windowsPathSelects("...&MI_03...", ChannelRole::Command));  // case-sensitive
}

TEST(EventReports, OnlyFourByteReportsWithIdFourCount) {
    const Bytes ack = {4, 4, 0, 0};
    const Bytes key = {4, 1, 0x3A, 0};
    ASSERT_TRUE(parseEventReport(ack));
    EXPECT_TRUE(parseEventReport(ack)->isAck());
    EXPECT_EQ(parseEventReport(key)->value, 0x3A);
    EXPECT_FALSE(parseEventReport(Bytes{1, 4, 0, 0}));     // another report ID
    EXPECT_FALSE(parseEventReport(Bytes{4, 4, 0}));        // too short
    EXPECT_FALSE(parseEventReport(Bytes{4, 4, 0, 0, 0}));  // too long
    EXPECT_FALSE(parseEventReport(Bytes{}));               // a timeout
}

TEST(Hotplug, OnlyThisKeyboardCounts) {
    EXPECT_EQ(classifyUsbEvent("add", "4d9/a1df/105"), PlugChange::Arrived);
    EXPECT_EQ(classifyUsbEvent("remove", "4d9/a1df/105"), PlugChange::Removed);
    EXPECT_EQ(classifyUsbEvent("add", "4D9/A1DF/1"), PlugChange::Arrived);
    EXPECT_FALSE(classifyUsbEvent("add", "46d/c52b/1211"));  // another device
    EXPECT_FALSE(classifyUsbEvent("add", "4d9/a1d0/105"));   // same maker, other product
    EXPECT_FALSE(classifyUsbEvent("bind", "4d9/a1df/105"));  // not a plug change
    EXPECT_FALSE(classifyUsbEvent("add", ""));
    EXPECT_FALSE(classifyUsbEvent("add", "4d9"));
    EXPECT_FALSE(classifyUsbEvent("add", "4d9x/a1df/1"));
}

}  // namespace
}  // namespace tessaron::device::hid

namespace tessaron::device::hid {
namespace {

TEST(Hotplug, MonitorStartsAndStopsPromptly) {
    UdevHotplugMonitor monitor;
    auto started = monitor.start([](PlugChange) {});
    if (!started) GTEST_SKIP() << "no udev netlink here: " << started.error().english;
    const auto t0 = std::chrono::steady_clock::now();
    monitor.stop();
    monitor.stop();  // a second stop is harmless
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
}

}  // namespace
}  // namespace tessaron::device::hid
