#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "core/settings.h"

namespace tessaron {
namespace {

// VER.bin as the build writes it reads back, through the program's own reader, as the firmware
// version the build was configured with; the bytes around the digits are the documented ones.
TEST(ShippedVersionFile, ReadsAsTheConfiguredFirmwareVersion) {
    const std::string expected = TESSARON_EXPECTED_FIRMWARE;  // e.g. "1.5"
    ASSERT_EQ(expected.size(), 3u);
    const FileVersion version = readFileVersion(TESSARON_VER_BIN);
    EXPECT_EQ(version.major, expected[0] - '0');
    EXPECT_EQ(version.minor, expected[2] - '0');

    std::ifstream in(TESSARON_VER_BIN, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "Ver: " + expected + "\r\n\r\n");
}

}  // namespace
}  // namespace tessaron
