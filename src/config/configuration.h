#pragma once
// The whole configuration in the terms people use: lighting, performance settings, the keys that
// differ from their factory state, the DIY light maps and the macros. It is read from the files of
// a data folder (keymap.bin, MacroDefine.bin) and applied back to them; config_json.h gives it its
// text form.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"
#include "device/device_image.h"
#include "keys/key_layout.h"
#include "keys/key_record.h"
#include "macros/macro_record.h"
#include "switching/rules.h"

namespace tessaron::config {

// What one key does. kind is a record kind (keys::kind); kNone with disabled set is a key that
// keeps its factory assignment but is switched off.
struct KeySetting {
    keys::KeyIndex key = keys::kNoKey;
    std::uint8_t kind = keys::kind::kNone;
    std::vector<std::uint8_t> vks;  // single: one, combination: two or three
    std::size_t function = 0;       // row of keys::functionTable()
    std::uint8_t macro = 0;         // macro number
    std::string path;               // host actions, UTF-8
    bool disabled = false;

    friend bool operator==(const KeySetting&, const KeySetting&) = default;
};

// Speed and direction only where the effect has them (as the Light section shows them); an
// empty one leaves its byte as it is.
struct Lighting {
    std::uint8_t effect = 0;
    std::optional<std::uint8_t> speed;  // host form 0..9
    std::uint8_t brightness = 0;        // 0..50
    std::optional<std::uint8_t> direction;  // 1..4
    friend bool operator==(const Lighting&, const Lighting&) = default;
};

inline constexpr std::size_t kDiyMaps = device::image::kLightMapCount;

struct Configuration {
    Lighting lighting;
    bool gameMode = false;
    bool winLock = false;
    std::uint8_t responseTime = 1;  // image byte 1..10 (2..20 ms)
    std::uint8_t reportRate = 0;    // image byte 0..3 (125..1000 Hz)
    std::vector<KeySetting> keys;   // in key index order, factory keys left out
    std::array<std::vector<keys::KeyIndex>, kDiyMaps> diy;  // lit keys, in key index order
    std::vector<macros::MacroRecord> macros;                 // at most 32, all named
    // The rules of automatic switching; nullopt: none given (a file without them keeps ours).
    std::optional<switching::RuleSet> switching;

    friend bool operator==(const Configuration&, const Configuration&) = default;
};

// Keys that a configuration may name: the real keys that take assignments of their own.
bool isConfigurableKey(keys::KeyIndex k);

// Keys whose assignment no words describe (a cell set by some other program), and macros
// beyond the keyboard's 32 slots, are left out and named here.
struct Reading {
    Configuration configuration;
    std::vector<Error> leftOut;
};

// The lighting and performance settings of an image alone (no keys, DIY maps or macros).
Configuration settingsOf(const device::DeviceImage& image);

Reading readConfiguration(const device::DeviceImage& image, const keys::KeyRecordTable& records,
                          const macros::MacroTable& table);

// Applies a checked configuration as the window's Save of each key and the macro manager's OK
// would: keys named get their assignment and enable bit, keys not named go back to the factory
// assignment (a key already in its factory state is left byte for byte), the macro table is
// replaced and packed into the macro slots. Bytes the configuration does not decide (the
// lighting option byte and table, light map cells of colours already lit) keep what they held.
void applyConfiguration(const Configuration& configuration, device::DeviceImage& image,
                        keys::KeyRecordTable& records, macros::MacroTable& table);

}  // namespace tessaron::config
