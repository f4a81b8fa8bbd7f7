#pragma once
// Every FeatureFrame of the keyboard's command set. Writes have codes below 0x80; the query
// for the same field has bit 7 set.

#include <array>
#include <cstddef>
#include <cstdint>

#include "device/device_image.h"
#include "device/reports.h"

namespace tessaron::device {

namespace code {
inline constexpr std::uint8_t kQueryBit = 0x80;
inline constexpr std::uint8_t kReportRate = 0x01;
inline constexpr std::uint8_t kResponseTime = 0x04;
inline constexpr std::uint8_t kLighting = 0x08;
inline constexpr std::uint8_t kGameMode = 0x09;
inline constexpr std::uint8_t kKeyMap = 0x0D;
inline constexpr std::uint8_t kEnableBitmap = 0x0E;
inline constexpr std::uint8_t kMacroSlot = 0x11;
inline constexpr std::uint8_t kLightMap = 0x12;
inline constexpr std::uint8_t kFactoryReset = 0x13;
inline constexpr std::uint8_t kLightingEntry = 0x14;
inline constexpr std::uint8_t kFirmwareVersion = 0x80;
constexpr std::uint8_t query(std::uint8_t write) {
    return write | kQueryBit;
}
}  // namespace code

// Page counts the bulk headers announce.
inline constexpr std::size_t kKeyMapPages = image::kKeyMapSize / kPageSize;
inline constexpr std::size_t kMacroSlotPages = image::kMacroSlotSize / kPageSize;
inline constexpr std::size_t kLightMapPages = image::kLightMapSize / kPageSize;
static_assert(kKeyMapPages * kPageSize == image::kKeyMapSize);
static_assert(kMacroSlotPages * kPageSize == image::kMacroSlotSize);
static_assert(kLightMapPages * kPageSize == image::kLightMapSize);
static_assert(image::kEnableBitmapSize <= kPageSize);

// The lighting frame's two forms: dark (brightness 0, for the duration of a save) and full.
enum class LightingForm : std::uint8_t { Dark = 1, Full = 2 };

// Speed is kept as 0 (slow) .. 9 (fast); the wire carries 10 - speed.
inline constexpr std::uint8_t kSpeedWireBase = 10;
constexpr std::uint8_t speedToWire(std::uint8_t speed) {
    return static_cast<std::uint8_t>(kSpeedWireBase - speed);
}
constexpr std::uint8_t speedFromWire(std::uint8_t wire) {
    return static_cast<std::uint8_t>(kSpeedWireBase - wire);
}

inline constexpr std::uint8_t kOpeningArgument = 1;
inline constexpr std::uint8_t kFactoryResetArgument = 0xFF;

namespace frames {

// Frame from its command code and bytes 2..7.
constexpr FeatureFrame make(std::uint8_t command, std::array<std::uint8_t, kFrameArgs> args = {}) {
    FeatureFrame f;
    f.command = command;
    f.args = args;
    return f;
}

constexpr std::uint8_t u8(std::size_t v) {
    return static_cast<std::uint8_t>(v);
}

constexpr FeatureFrame setReportRate(std::uint8_t rate) {
    return make(code::kReportRate, {rate});
}
constexpr FeatureFrame getReportRate() {
    return make(code::query(code::kReportRate));
}
constexpr FeatureFrame setResponseTime(std::uint8_t value) {
    return make(code::kResponseTime, {value});
}
constexpr FeatureFrame getResponseTime() {
    return make(code::query(code::kResponseTime));
}

constexpr FeatureFrame setLighting(LightingForm form, const DeviceImage& img) {
    const std::uint8_t brightness =
        form == LightingForm::Full ? img[image::kBrightness] : std::uint8_t{0};
    return make(code::kLighting, {static_cast<std::uint8_t>(form), img[image::kEffect],
                                  speedToWire(img[image::kSpeed]), brightness, img[image::kOption],
                                  img[image::kDirection]});
}
constexpr FeatureFrame getLighting() {
    return make(code::query(code::kLighting));
}

constexpr FeatureFrame setGameMode(std::uint8_t value) {
    return make(code::kGameMode, {value});
}
// Starts every full read; shares its code with set game mode.
constexpr FeatureFrame opening() {
    return make(code::kGameMode, {kOpeningArgument});
}
constexpr FeatureFrame getGameMode() {
    return make(code::query(code::kGameMode));
}

constexpr FeatureFrame writeKeyMap() {
    return make(code::kKeyMap, {0, 0, u8(kKeyMapPages)});
}
constexpr FeatureFrame readKeyMap() {
    return make(code::query(code::kKeyMap));
}
constexpr FeatureFrame writeEnableBitmap() {
    return make(code::kEnableBitmap, {0, 0, u8(image::kEnableBitmapSize)});
}
constexpr FeatureFrame readEnableBitmap() {
    return make(code::query(code::kEnableBitmap), {0, 0, u8(image::kEnableBitmapSize)});
}
constexpr FeatureFrame writeMacroSlot(std::size_t slot) {
    return make(code::kMacroSlot, {0, u8(slot), u8(kMacroSlotPages)});
}
constexpr FeatureFrame readMacroSlot(std::size_t slot) {
    return make(code::query(code::kMacroSlot), {0, u8(slot)});
}
constexpr FeatureFrame writeLightMap(std::size_t map) {
    return make(code::kLightMap, {0, u8(map), u8(kLightMapPages)});
}
constexpr FeatureFrame readLightMap(std::size_t map) {
    return make(code::query(code::kLightMap), {0, u8(map), u8(kLightMapPages)});
}
constexpr FeatureFrame factoryReset() {
    return make(code::kFactoryReset, {kFactoryResetArgument});
}
constexpr FeatureFrame setLightingEntry(std::size_t entry, const DeviceImage& img) {
    const std::size_t at = image::lightingTableEntry(entry);
    return make(code::kLightingEntry, {0, u8(entry), img[at], img[at + 1], img[at + 2]});
}
constexpr FeatureFrame getLightingEntry(std::size_t entry) {
    return make(code::query(code::kLightingEntry), {0, u8(entry)});
}
constexpr FeatureFrame getFirmwareVersion() {
    return make(code::kFirmwareVersion);
}

}  // namespace frames
}  // namespace tessaron::device
