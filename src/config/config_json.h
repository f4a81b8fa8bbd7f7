#pragma once
// The configuration as a JSON text that people read, keep in their dotfiles and share:
//
//   {
//     "format": 1,
//     "lighting": {"effect": "Wave", "speed": 5, "brightness": 50, "direction": "left"},
//     "game_mode": false, "win_lock": false,
//     "response_time_ms": 4, "report_rate_hz": 1000,
//     "keys": {"Caps Lock": {"combo": ["LCtrl", "A"]}, "F1": {"function": "Mute"},
//              "F2": {"program": "/usr/bin/foot", "disabled": true}},
//     "diy": [["Esc", "W", "A", "S", "D"], [], [], [], []],
//     "macros": [{"name": "Greeting", "loops": 1, "events": ["H dn", "120 ms", "H up"]}],
//     "switching": {...}
//   }
//
// Keys are written by legend or name as "tessaronctl keys" lists them; keys in their factory
// state are left out. Speed and direction are written only for effects that have them, and read
// with the rules of "tessaronctl light". The writer puts keys and fields in one fixed order, so files diff well.
// The reader checks everything and refuses with the JSON path and the reason. "switching" holds
// the rules of automatic profile switching as rules.json does (switching/rules.h); it is left out
// when there are none, and format 1 files, which never had it, still read.

#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "config/configuration.h"
#include "core/result.h"
#include "keys/key_layout.h"

namespace tessaron::config {

inline constexpr int kFormatVersion = 2;
inline constexpr int kOldestFormatVersion = 1;
// More than any configuration needs; longer input is refused unread.
inline constexpr std::size_t kMaxTextBytes = 4u << 20;

std::string formatConfiguration(const Configuration& configuration);

// The same words for tessaronctl's --json answers, so a setting reads alike everywhere:
// {"lighting": ..., "game_mode": ..., "win_lock": ..., "response_time_ms": ...,
// "report_rate_hz": ...} of a configuration,
nlohmann::ordered_json settingsJson(const Configuration& configuration);
// {"single": "A"}, {"combo": [...]}, ..., with "disabled": true where the key is off,
nlohmann::ordered_json keySettingJson(const KeySetting& setting);
// {"name": ..., "loops": ..., "events": [...]},
nlohmann::ordered_json macroJson(const macros::MacroRecord& record);
// and the lit keys of the five DIY maps.
nlohmann::ordered_json diyJson(const std::array<std::vector<keys::KeyIndex>, kDiyMaps>& diy);

// Refusals read "keys."Caps Lock".combo: at most three keys".
Result<Configuration> parseConfiguration(std::string_view text);

// The word for a key that reads back as the same key: its legend, else its name, else "#N".
std::string keyWord(keys::KeyIndex key);
// The word for a captured key code; empty when no word reads back as this code.
std::string keyCodeWord(std::uint8_t vk);

}  // namespace tessaron::config
