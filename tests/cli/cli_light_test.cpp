// tessaronctl light, diy and set on the virtual keyboard: the bytes each command leaves in
// keymap.bin and, with --apply, on the keyboard, and every refused value changing no file.
// Offsets and values are the device image's documented layout, written out here on purpose.

#include <array>
#include <filesystem>
#include <string>

#include "cli_fixture.h"

namespace tessaron::testing {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Bytes5 = std::array<int, 5>;

constexpr std::size_t kReportRateAt = 11;
constexpr std::size_t kResponseAt = 7449;
constexpr std::size_t kLightingAt = 7450;  // effect, speed, brightness, option, direction
constexpr std::size_t kGameModeAt = 7476;
constexpr std::size_t kEnableBitmapAt = 7477;
constexpr std::size_t kWinLockAt = 7495;
constexpr std::size_t kLightMapsAt = 7496;
constexpr std::size_t kLightMapSize = 512;
// A key's cell within a light map is at its matrix offset, 4 * (column * 6 + row): column-major,
// unlike the row-major device key map.
constexpr std::size_t kEscCell = 4 * (0 * 6 + 5);        // Esc: column 0, row 5
constexpr std::size_t kCapsCellInMap = 4 * (0 * 6 + 2);  // Caps Lock: column 0, row 2
constexpr std::size_t kFnCell = 4 * (10 * 6 + 0);        // Fn: column 10, row 0
constexpr std::size_t kBracketCell = 4 * (11 * 6 + 3);   // "[": column 11, row 3

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

Bytes5 lightingOf(const device::DeviceImage& img) {
    Bytes5 out{};
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = img[kLightingAt + i];
    return out;
}

std::array<int, 4> lightCell(const device::DeviceImage& img, std::size_t map, std::size_t cell) {
    const std::size_t at = kLightMapsAt + kLightMapSize * map + cell;
    return {img[at], img[at + 1], img[at + 2], img[at + 3]};
}

constexpr std::array<int, 4> kLit{0, 0xFF, 0, 0};
constexpr std::array<int, 4> kDark{0, 0, 0, 0};

TEST_F(CliTest, LightChoosesEffectsWithTheWindowsRules) {
    ok({"pull"});
    const auto factory = keyboardSettings();
    ASSERT_EQ(lightingOf(factory), (Bytes5{3, 5, 50, 8, 1}));  // Wave, as the keyboard comes

    // Static takes the option byte from 8 to 1; the keyboard is not touched without --apply.
    ok({"light", "static"});
    EXPECT_EQ(lightingOf(keymapImage()), (Bytes5{1, 5, 50, 1, 1}));
    EXPECT_EQ(keyboardSettings(), factory);

    const struct {
        Args args;
        Bytes5 bytes;
    } steps[] = {
        {{"light", "Breathing", "--speed", "0", "--brightness", "0"}, {2, 0, 0, 1, 1}},
        {{"light", "running", "water", "run", "mode", "--speed", "9"}, {14, 9, 0, 1, 1}},
        {{"light", "--brightness", "50"}, {14, 9, 50, 1, 1}},        // the effect stays
        {{"light", "WAVE", "--direction", "up"}, {3, 9, 50, 8, 3}},  // Wave sets option 8
        {{"light", "wave", "--direction", "down"}, {3, 9, 50, 8, 4}},
        {{"light", "Radar", "--direction", "right"}, {13, 9, 50, 8, 2}},
        {{"light", "雷达", "--direction", "left"}, {13, 9, 50, 8, 1}},
        {{"light", "InstantOnMode"}, {7, 9, 50, 8, 1}},
        {{"light", "DIY5"}, {55, 9, 50, 8, 1}},
        {{"light", "Static"}, {1, 9, 50, 1, 1}},
    };
    for (const auto& s : steps) {
        ok(s.args);
        EXPECT_EQ(lightingOf(keymapImage()), s.bytes) << ::testing::PrintToString(s.args);
    }
    EXPECT_EQ(keyboardSettings(), factory);

    const auto sent = ok({"light", "radar", "--direction", "right", "--apply"});
    EXPECT_TRUE(contains(sent.out, "sending: restore the lighting"));
    EXPECT_EQ(lightingOf(keyboardSettings()), (Bytes5{13, 9, 50, 1, 2}));
    EXPECT_EQ(keyboardSettings(), keymapImage());

    const auto shown = ok({"light"}).out;
    EXPECT_TRUE(contains(shown, "Effect: Radar\n"));
    EXPECT_TRUE(contains(shown, "Direction: right\n"));
    EXPECT_TRUE(contains(ok({"--lang", "chinese", "light"}).out, "灯效：雷达\n"));
}

TEST_F(CliTest, LightRefusesValuesTheWindowDoesNotOfferAndChangesNothing) {
    // Refused before the keyboard is read into a new keymap.bin.
    expectUsageError({"light", "static", "--speed", "3"}, "Static has no speed");
    expectUsageError({"light", "--speed", "10"}, "0 (slow) to 9 (fast)");
    EXPECT_FALSE(fs::exists(keymap()));

    ok({"pull"});
    const struct {
        Args args;
        const char* message;
    } refused[] = {
        {{"light", "nope"},
         "No effect is called \"nope\". Effects: Static, Breathing, Wave, Reactive, Sidewinder, "
         "Ripple, Raindrop, Vortex, Spotlight, Radar, Running Water Run Mode, InstantOn Mode, "
         "DIY1, DIY2, DIY3, DIY4, DIY5."},
        {{"light", "DIY6"}, "No effect is called \"DIY6\""},
        {{"light", "wave", "--speed", "10"}, "The speed is 0 (slow) to 9 (fast), not \"10\""},
        {{"light", "wave", "--speed", "-1"}, "not \"-1\""},
        {{"light", "wave", "--speed", "5x"}, "not \"5x\""},
        {{"light", "static", "--speed", "0"}, "Static has no speed"},
        {{"light", "diy2", "--speed", "1"}, "DIY2 has no speed"},
        {{"light", "wave", "--brightness", "51"}, "The brightness is 0 to 50, not \"51\""},
        {{"light", "--brightness", "-1"}, "The brightness is 0 to 50"},
        {{"light", "breathing", "--direction", "up"},
         "Breathing has no direction; Wave takes up, down, right or left and Radar right or left"},
        {{"light", "radar", "--direction", "up"},
         "Radar takes the direction right or left, not \"up\""},
        {{"light", "wave", "--direction", "north"},
         "Wave takes the direction up, down, right or left, not \"north\""},
        {{"light", "--direction", "north"}, "Wave takes"},  // the current effect's directions
        {{"light", "wave", "--speed"}, "usage: tessaronctl light"},
        {{"light", "wave", "--fast"}, "usage: tessaronctl light"},
        {{"light", "--apply"}, "usage: tessaronctl light"},
        {{"--lang", "chinese", "light", "wave", "--brightness", "99"}, "亮度为 0 到 50"},
    };
    for (const auto& r : refused) expectUsageError(r.args, r.message);
}

TEST_F(CliTest, DiySwitchesKeysOfOneLightMap) {
    ok({"pull"});
    const auto lit = ok({"diy", "3", "on", "Esc", "Caps Lock", "Fn", "["});
    EXPECT_TRUE(contains(lit.out, "DIY3 lit: Esc, Caps Lock, Fn, ["));
    EXPECT_TRUE(contains(lit.out, "tessaronctl light DIY3"));
    auto img = keymapImage();
    EXPECT_EQ(lightCell(img, 2, kEscCell), kLit);
    EXPECT_EQ(lightCell(img, 2, kCapsCellInMap), kLit);
    EXPECT_EQ(lightCell(img, 2, kFnCell), kLit);  // lit although it cannot be reassigned
    EXPECT_EQ(lightCell(img, 2, kBracketCell), kLit);
    EXPECT_EQ(lightCell(img, 2, 5 * 84 + 0 * 4), kDark);  // not the row-major key map cell
    for (std::size_t map : {0u, 1u, 3u, 4u}) EXPECT_EQ(lightCell(img, map, kEscCell), kDark);
    EXPECT_EQ(lightingOf(img)[0], 3);  // the effect stays

    ok({"diy", "3", "off", "esc"});
    img = keymapImage();
    EXPECT_EQ(lightCell(img, 2, kEscCell), kDark);
    EXPECT_EQ(lightCell(img, 2, kCapsCellInMap), kLit);
    ok({"diy", "5", "on", "#0"});  // Esc by key index
    EXPECT_EQ(lightCell(keymapImage(), 4, kEscCell), kLit);

    const auto applied = ok({"light", "diy3", "--apply"});
    EXPECT_TRUE(contains(applied.out, "sending: light map 2"));
    EXPECT_TRUE(contains(applied.out, "sending: light map 4"));
    EXPECT_EQ(keyboardSettings(), keymapImage());
    EXPECT_TRUE(contains(ok({"light"}).out, "Lit in DIY3: [, Caps Lock, Fn\n"));

    const struct {
        Args args;
        const char* message;
    } refused[] = {
        {{"diy", "0", "on", "Esc"}, "The DIY light maps are 1 to 5, not \"0\""},
        {{"diy", "6", "on", "Esc"}, "The DIY light maps are 1 to 5, not \"6\""},
        {{"diy", "x", "on", "Esc"}, "The DIY light maps are 1 to 5"},
        {{"diy", "3", "on", "Esc", "Nokey"}, "No key is called \"Nokey\""},
        {{"diy", "3", "on", "#109"}, "No key is called \"#109\""},  // an absent position
        {{"diy", "3", "dim", "Esc"}, "usage: tessaronctl diy"},
        {{"diy", "3", "on"}, "usage: tessaronctl diy"},
        {{"diy", "3", "on", "Esc", "--now"}, "usage: tessaronctl diy"},
    };
    for (const auto& r : refused) expectUsageError(r.args, r.message);
}

// The key names completion offers: each finds a key of its own, so lighting them all lights all
// 108.
TEST_F(CliTest, EveryListedKeyNameFindsItsOwnKey) {
    ok({"pull"});
    Args args{"diy", "1", "on"};
    const std::string names = ok({"names", "keys"}).out;
    for (std::size_t at = 0, end; (end = names.find('\n', at)) != std::string::npos; at = end + 1) {
        args.push_back(names.substr(at, end - at));
    }
    ASSERT_EQ(args.size(), 3u + 108u);
    ok(args);
    EXPECT_TRUE(contains(ok({"light"}).out, "Lit keys: DIY1 108, DIY2 0"));
    expectUsageError({"names", "colours"}, "usage: tessaronctl names");
}

TEST_F(CliTest, SetChangesThePerformanceBytes) {
    ok({"pull"});
    const auto factory = keyboardSettings();
    const struct {
        Args args;
        std::size_t at;
        int value;
    } steps[] = {
        {{"set", "game-mode", "on"}, kGameModeAt, 1},
        {{"set", "game-mode", "OFF"}, kGameModeAt, 0},
        {{"set", "win-lock", "on"}, kWinLockAt, 1},
        {{"set", "response-time", "2"}, kResponseAt, 1},
        {{"set", "response-time", "20"}, kResponseAt, 10},
        {{"set", "report-rate", "125"}, kReportRateAt, 0},
        {{"set", "report-rate", "1000"}, kReportRateAt, 3},
    };
    for (const auto& s : steps) {
        ok(s.args);
        EXPECT_EQ(keymapImage()[s.at], s.value) << ::testing::PrintToString(s.args);
    }
    EXPECT_EQ(keyboardSettings(), factory);

    // Several at once, sent: Win Lock reaches the keyboard as bit 1 of the first enable byte.
    const auto sent = ok({"set", "game-mode", "on", "response-time", "10", "report-rate", "250",
                          "win-lock", "on", "--apply"});
    EXPECT_TRUE(contains(sent.out, "Response time: 10 ms"));
    auto kb = keyboardSettings();
    EXPECT_EQ(kb[kGameModeAt], 1);
    EXPECT_EQ(kb[kResponseAt], 5);
    EXPECT_EQ(kb[kReportRateAt], 1);
    EXPECT_EQ(kb[kEnableBitmapAt] & 0x02, 0);
    EXPECT_EQ(kb[kEnableBitmapAt] | 0x02, factory[kEnableBitmapAt]);
    ok({"set", "win-lock", "off", "--apply"});
    EXPECT_EQ(keyboardSettings()[kEnableBitmapAt], factory[kEnableBitmapAt]);

    const struct {
        Args args;
        const char* message;
    } refused[] = {
        {{"set", "response-time", "1"},
         "The response time is 2, 4, 6, 8, 10, 12, 14, 16, 18 or 20 ms, not \"1\""},
        {{"set", "response-time", "3"}, "not \"3\""},
        {{"set", "response-time", "22"}, "not \"22\""},
        {{"set", "response-time", "ms"}, "not \"ms\""},
        {{"set", "report-rate", "124"}, "The report rate is 125, 250, 500 or 1000, not \"124\""},
        {{"set", "report-rate", "2000"}, "not \"2000\""},
        {{"set", "game-mode", "yes"}, "game-mode is on or off, not \"yes\""},
        {{"set", "win-lock", "1"}, "win-lock is on or off"},
        {{"set", "backlight", "on"},
         "No setting is called \"backlight\". Settings: game-mode, win-lock, response-time, "
         "report-rate."},
        // One bad pair refuses the whole line.
        {{"set", "game-mode", "off", "report-rate", "9"}, "The report rate is"},
        {{"set"}, "usage: tessaronctl set"},
        {{"set", "game-mode"}, "usage: tessaronctl set"},
        {{"set", "game-mode", "on", "--force"}, "usage: tessaronctl set"},
    };
    for (const auto& r : refused) expectUsageError(r.args, r.message);
}

TEST_F(CliTest, ApplyOptionSendsAtOnceAndAFailedSendIsAFailure) {
    ok({"pull"});
    const auto assigned = ok({"assign", "Caps Lock", "single", "A", "--apply"});
    EXPECT_TRUE(contains(assigned.out, "sending: key assignments"));
    EXPECT_EQ(keyboardSettings()[kCapsCell + 2], 0x04);  // usage of A
    EXPECT_EQ(keyboardSettings(), keymapImage());

    // A keyboard that never acknowledges: keymap.bin is written, the send fails with status 1.
    ProcessOptions deaf;
    deaf.environment.push_back("TESSARON_DEMO_FAULTS=drop-acks");
    const auto r = ctl({"set", "game-mode", "on", "--apply"}, deaf);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    EXPECT_EQ(keymapImage()[kGameModeAt], 1);
}

}  // namespace
}  // namespace tessaron::testing
