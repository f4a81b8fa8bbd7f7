#include <gtest/gtest.h>

#include <sstream>

#include "device/command_port.h"
#include "device/frames.h"
#include "device/listener.h"
#include "fake_keyboard.h"
#include "support/fake_clock.h"

namespace tessaron::device {
namespace {

TEST(Trace, EveryReportBothWaysWithItsTime) {
    FakeClock clock;
    std::ostringstream out;
    Trace trace(out, clock);
    testing::FakeKeyboard kb(clock);
    CommandPort port(kb, clock, &trace);
    ASSERT_TRUE(port.send(frames::getFirmwareVersion()));
    port.wait(10);
    ASSERT_TRUE(port.fetch());
    Page page{};
    page[0] = 0xAB;
    ASSERT_TRUE(port.writePage(page));
    AckSignal acks;
    Listener listener(acks, clock, &trace);
    testing::FakeEvents events;
    events.queue.push_back(std::optional<EventReport>(EventReport{4, 0, 0}));
    (void)listener.pollOnce(events, {});

    std::istringstream lines(out.str());
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) all.push_back(line);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0], "[     0.000 ms] > frame: 00 80 00 00 00 00 00 00 7F");
    EXPECT_EQ(all[1], "[    10.000 ms] < reply: 00 01 02 05 00 00 00 00 00");
    EXPECT_EQ(all[2].substr(0, 26), "[    10.000 ms] > page: AB");
    EXPECT_EQ(all[2].size(), 16 + 8 + 64 * 3 - 1);
    EXPECT_EQ(all[3], "[    10.000 ms] < event: 04 04 00 00");
}

}  // namespace
}  // namespace tessaron::device
