// The device image's offsets as the documented layout gives them, written here as plain numbers:
// the image is also the first block of keymap.bin and of every profile file, so a moved field
// breaks every file written before. The host's named constants must agree with each of them.

#include <gtest/gtest.h>

#include "device/device_image.h"

namespace tessaron::device {
namespace {

struct Field {
    const char* name;
    std::size_t host;
    std::size_t documented;
};

TEST(DeviceImageLayout, OffsetsAndSizesAsDocumented) {
    const Field fields[] = {
        {"image size", image::kSize, 10056},
        {"report rate", image::kReportRate, 11},
        {"device key map", image::kKeyMap, 792},
        {"device key map size", image::kKeyMapSize, 512},
        {"key map row", image::kKeyMapRowBytes, 84},
        {"key map rows", image::kKeyMapRows, 6},
        {"key map columns", image::kKeyMapColumns, 21},
        {"key cell", image::kCellSize, 4},
        {"macro slots", image::kMacroSlots, 1304},
        {"macro slot size", image::kMacroSlotSize, 192},
        {"macro slot count", image::kMacroSlotCount, 32},
        {"unused byte after the macro slots", image::macroSlot(image::kMacroSlotCount), 7448},
        {"response time", image::kResponseTime, 7449},
        {"lighting block", image::kLighting, 7450},
        {"lighting block size", image::kLightingSize, 5},
        {"effect", image::kEffect, 7450},
        {"speed", image::kSpeed, 7451},
        {"brightness", image::kBrightness, 7452},
        {"option", image::kOption, 7453},
        {"direction", image::kDirection, 7454},
        {"lighting table", image::kLightingTable, 7455},
        {"lighting table entries", image::kLightingTableEntries, 7},
        {"lighting table entry size", image::kLightingTableEntrySize, 3},
        {"game mode", image::kGameMode, 7476},
        {"key enable bitmap", image::kEnableBitmap, 7477},
        {"key enable bitmap size", image::kEnableBitmapSize, 18},
        {"Win Lock flag", image::kWinLock, 7495},
        {"light maps", image::kLightMaps, 7496},
        {"light map size", image::kLightMapSize, 512},
        {"light map count", image::kLightMapCount, 5},
        // Indexed fields: first and last of each, and the corners of the key map.
        {"macro slot 1", image::macroSlot(1), 1496},
        {"macro slot 31", image::macroSlot(31), 7256},
        {"lighting table entry 1", image::lightingTableEntry(1), 7458},
        {"lighting table entry 6", image::lightingTableEntry(6), 7473},
        {"light map 1 (DIY2)", image::lightMap(1), 8008},
        {"light map 4 (DIY5)", image::lightMap(4), 9544},
        {"key cell column 0 row 0", image::keyCell(0, 0), 792},
        {"key cell column 1 row 0", image::keyCell(1, 0), 796},
        {"key cell column 0 row 1", image::keyCell(0, 1), 876},
        {"key cell column 20 row 5", image::keyCell(20, 5), 1292},
    };
    for (const Field& f : fields) EXPECT_EQ(f.host, f.documented) << f.name;
    EXPECT_EQ(sizeof(DeviceImage), 10056u);
    EXPECT_EQ(kWinLockBit, 0x02) << "bit 1 of byte 7477: grid position 1, the left Windows key";
}

}  // namespace
}  // namespace tessaron::device
