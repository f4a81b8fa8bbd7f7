#pragma once
// Command codes and block shapes as the keyboard's firmware understands them. The firmware model
// keeps its own copy on purpose: it must not share mistakes with the host side.

#include <cstddef>
#include <cstdint>

#include "device/reports.h"
#include "device/virtual/firmware_memory.h"

namespace tessaron::device::fw {

// A write has its code below 0x80; the query for the same field has bit 7 set.
inline constexpr std::uint8_t kQueryBit = 0x80;

enum Code : std::uint8_t {
    kSetReportRate = 0x01,
    kSetResponseTime = 0x04,
    kSetLighting = 0x08,
    kSetGameMode = 0x09,  // also the opening frame of every full read, with argument 1
    kWriteKeyMap = 0x0D,
    kWriteEnableBitmap = 0x0E,
    kWriteMacroSlot = 0x11,
    kWriteLightMap = 0x12,
    kFactoryReset = 0x13,
    kSetLightingTableEntry = 0x14,
    kGetFirmwareVersion = 0x80,
    kGetReportRate = 0x81,
    kGetResponseTime = 0x84,
    kGetLighting = 0x88,
    kGetGameMode = 0x89,
    kReadKeyMap = 0x8D,
    kReadEnableBitmap = 0x8E,
    kReadMacroSlot = 0x91,
    kReadLightMap = 0x92,
    kGetLightingTableEntry = 0x94,
};

// Frame byte positions (byte 0 is the report ID, byte 8 the checksum).
inline constexpr std::size_t kCommandByte = 1;
inline constexpr std::size_t kArg2 = 2;
inline constexpr std::size_t kArg3 = 3;
inline constexpr std::size_t kArg4 = 4;
inline constexpr std::size_t kArg5 = 5;
inline constexpr std::size_t kArg6 = 6;
inline constexpr std::size_t kArg7 = 7;
inline constexpr std::size_t kChecksumByte = 8;
static_assert(kChecksumByte + 1 == kFrameSize);

// Argument values the firmware insists on.
inline constexpr std::uint8_t kLightingFormDark = 1;
inline constexpr std::uint8_t kLightingFormFull = 2;
inline constexpr std::uint8_t kOpeningArgument = 1;
inline constexpr std::uint8_t kFactoryResetArgument = 0xFF;

// Blocks moved in pages: where they live in the settings memory and how many pages they take.
struct BlockShape {
    std::size_t offset;
    std::size_t size;
    std::size_t pages;
    std::uint8_t countArgument;  // frame byte 4 of the write header
};

inline constexpr std::size_t pagesFor(std::size_t size) {
    return (size + kPageSize - 1) / kPageSize;
}

inline constexpr BlockShape kKeyMapBlock{mem::kCellMap, mem::kCellMapBytes,
                                         pagesFor(mem::kCellMapBytes), 8};
inline constexpr BlockShape kEnableBitmapBlock{mem::kKeyEnable, mem::kKeyEnableBytes,
                                               pagesFor(mem::kKeyEnableBytes),
                                               static_cast<std::uint8_t>(mem::kKeyEnableBytes)};
inline constexpr BlockShape macroSlotBlock(std::size_t n) {
    return {mem::macro(n), mem::kMacroBytes, pagesFor(mem::kMacroBytes), 3};
}
inline constexpr BlockShape lightMapBlock(std::size_t m) {
    return {mem::diyMap(m), mem::kDiyMapBytes, pagesFor(mem::kDiyMapBytes), 8};
}
static_assert(kKeyMapBlock.pages == kKeyMapBlock.countArgument);
static_assert(kEnableBitmapBlock.pages == 1 && kEnableBitmapBlock.countArgument == 0x12);
static_assert(macroSlotBlock(0).pages == macroSlotBlock(0).countArgument);
static_assert(lightMapBlock(0).pages == lightMapBlock(0).countArgument);

// Value ranges the firmware accepts (the performance and lighting settings).
inline constexpr std::uint8_t kReportRateMax = 3;     // 125, 250, 500, 1000 reports per second
inline constexpr std::uint8_t kResponseTimeMin = 1;   // 2 ms
inline constexpr std::uint8_t kResponseTimeMax = 10;  // 20 ms
inline constexpr std::uint8_t kWireSpeedMin = 1;      // fastest
inline constexpr std::uint8_t kWireSpeedMax = 10;     // slowest; the host keeps 10 - wire
inline constexpr std::uint8_t kBrightnessMax = 50;
inline constexpr std::uint8_t kOptionMin = 1;
inline constexpr std::uint8_t kOptionMax = 8;
inline constexpr std::uint8_t kDirectionMin = 1;
inline constexpr std::uint8_t kDirectionMax = 4;
inline constexpr std::uint8_t kFirstUserEffect = 51;  // DIY1..DIY5 are 51..55
inline constexpr std::uint8_t kLastUserEffect = 55;
inline constexpr std::uint8_t kLastBuiltInEffect = 16;

inline constexpr bool isKnownEffect(std::uint8_t effect) {
    return (effect >= 1 && effect <= kLastBuiltInEffect) ||
           (effect >= kFirstUserEffect && effect <= kLastUserEffect);
}

}  // namespace tessaron::device::fw
