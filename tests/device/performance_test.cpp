// The performance encodings at and past their limits, and the window's response time list.

#include <gtest/gtest.h>

#include "device/performance.h"

namespace tessaron::device::performance {
namespace {

namespace img = device::image;

TEST(Performance, ResponseTimeAndReportRateEncodings) {
    EXPECT_EQ(responseByteForMs(2), 1);
    EXPECT_EQ(responseByteForMs(10), 5);
    EXPECT_EQ(responseByteForMs(20), 10);
    for (int bad : {0, 1, 3, 19, 21, 22, -2}) EXPECT_FALSE(responseByteForMs(bad)) << bad;

    EXPECT_EQ(reportRateByteForHz(125), 0);
    EXPECT_EQ(reportRateByteForHz(1000), 3);
    for (int bad : {0, 124, 126, 750, 2000}) EXPECT_FALSE(reportRateByteForHz(bad)) << bad;

    DeviceImage image{};
    image[image::kReportRate] = 2;
    EXPECT_EQ(reportRateHz(image), 500);
    image[image::kReportRate] = 4;
    EXPECT_FALSE(reportRateHz(image));
    image[image::kResponseTime] = 0;
    EXPECT_EQ(responseMs(image), 0);  // a keyboard that reports 0 shows 0 ms
}

TEST(Performance, ResponseTimeRowsChooseTheByte) {
    device::DeviceImage image{};
    performance::chooseResponseRow(image, 9);
    EXPECT_EQ(image[img::kResponseTime], 10);
    EXPECT_EQ(responseMs(image), 20);
    performance::chooseResponseRow(image, -1);
    performance::chooseResponseRow(image, 10);
    EXPECT_EQ(image[img::kResponseTime], 10);
}

}  // namespace
}  // namespace tessaron::device::performance
