// tessaronctl's lighting and performance commands: light chooses the effect with its speed,
// brightness and direction, diy switches keys of a DIY light map, set changes game mode, Win Lock,
// response time and report rate. Each follows the window's rules, writes keymap.bin and sends it
// with --apply; every argument is checked before anything is read or written.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "cli/command.h"
#include "config/config_json.h"
#include "config/configuration.h"
#include "core/data_folder.h"
#include "core/text.h"
#include "device/performance.h"
#include "keys/key_layout.h"
#include "keys/key_lookup.h"
#include "keys/keymap_file.h"
#include "keys/lighting.h"

namespace tessaron::cli {
namespace {

namespace img = device::image;
namespace lighting = keys::lighting;
namespace performance = device::performance;
using device::DeviceImage;

constexpr const char* kLightUsage =
    "light [--json] | light [EFFECT] [--speed 0..9] [--brightness 0..50]\n"
    "                   [--direction up|down|left|right] [--apply]";
constexpr const char* kDiyUsage = "diy N on|off KEY... [--apply]";
constexpr const char* kSetUsage =
    "set game-mode on|off | win-lock on|off | response-time MS | report-rate HZ ... [--apply]";

std::string lowered(std::string_view s) {
    std::string out(s);
    for (auto& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return out;
}

std::optional<int> number(std::string_view text) {
    int value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string joined(const std::vector<std::string>& words, std::string_view between) {
    std::string out;
    for (const auto& w : words) out += (out.empty() ? "" : std::string(between)) + w;
    return out;
}

// ---- light ----

Error effectText(std::uint8_t code) {
    const auto row = lighting::effectRow(code);
    if (!row)
        return makeError(TR_TEXT("Tessaronctl", "code %1 (not in the list)"), std::to_string(code));
    return lighting::effects()[*row].text;
}

std::string effectText(std::uint8_t code, Language lang) {
    return effectText(code).text(lang);
}

// "a, b or c" (in Chinese "a、b、c").
Error eitherText(const std::vector<std::string>& words) {
    std::vector<Error> items;
    for (const auto& w : words) items.push_back(verbatim(w));
    if (items.size() < 2) return joined(items, TR_TEXT("Tessaronctl", "%1, %2"));
    const Error last = items.back();
    items.pop_back();
    return makeError(TR_TEXT("Tessaronctl", "%1 or %2"),
                     joined(items, TR_TEXT("Tessaronctl", "%1, %2")), last);
}

void printLighting(const DeviceImage& image, Language lang) {
    const std::uint8_t effect = image[img::kEffect];
    const auto word = lighting::directionWord(image[img::kDirection]);
    const std::string direction =
        word.empty() ? say(lang, TR_TEXT("Tessaronctl", "code %1"), image[img::kDirection])
                     : std::string(word);
    std::cout << say(lang, TR_TEXT("Tessaronctl", "Effect: %1"), effectText(effect, lang)) << "\n"
              << (lighting::offersSpeed(effect)
                      ? say(lang, TR_TEXT("Tessaronctl", "Speed: %1 (0 slow .. 9 fast)"),
                            image[img::kSpeed])
                      : say(lang, TR_TEXT("Tessaronctl", "Speed: %1 (not used by this effect)"),
                            image[img::kSpeed]))
              << "\n"
              << say(lang, TR_TEXT("Tessaronctl", "Brightness: %1 (0 .. 50)"),
                     image[img::kBrightness])
              << "\n"
              << (lighting::directionsOf(effect).empty()
                      ? say(lang, TR_TEXT("Tessaronctl", "Direction: %1 (not used by this effect)"),
                            direction)
                      : say(lang, TR_TEXT("Tessaronctl", "Direction: %1"), direction))
              << "\n"
              << say(lang, TR_TEXT("Tessaronctl", "Option: %1"), image[img::kOption]) << "\n";
    std::vector<std::string> counts;
    for (std::size_t map = 0; map < lighting::kDiyCount; ++map) {
        std::size_t lit = 0;
        for (std::size_t k = 0; k < keys::kRealKeyCount; ++k) {
            lit += lighting::diyLightOn(image, map, static_cast<keys::KeyIndex>(k));
        }
        counts.push_back(say(lang, TR_TEXT("Tessaronctl", "DIY%1 %2"), map + 1, lit));
    }
    std::cout << say(lang, TR_TEXT("Tessaronctl", "Lit keys: %1"), listText(lang, counts)) << "\n";
    if (lighting::isDiyEffect(effect) && effect - lighting::kFirstDiy < int(lighting::kDiyCount)) {
        const std::size_t map = effect - lighting::kFirstDiy;
        std::vector<std::string> lit;
        for (std::size_t k = 0; k < keys::kRealKeyCount; ++k) {
            const auto key = static_cast<keys::KeyIndex>(k);
            if (lighting::diyLightOn(image, map, key)) lit.emplace_back(keys::legend(key));
        }
        std::cout << say(lang, TR_TEXT("Tessaronctl", "Lit in DIY%1: %2"), map + 1,
                         listText(lang, lit))
                  << "\n";
    }
}

struct LightChoice {
    std::optional<std::size_t> row;  // no EFFECT: the current effect stays
    std::optional<std::uint8_t> speed;
    std::optional<std::uint8_t> brightness;
    std::optional<std::uint8_t> direction;
};

Error unknownEffect(const std::string& text) {
    std::vector<Error> names;
    for (const auto& e : lighting::effects()) names.emplace_back(e.text);
    return makeError(TR_TEXT("Tessaronctl", "No effect is called \"%1\". Effects: %2."), text,
                     joined(names, TR_TEXT("Tessaronctl", "%1, %2")));
}

// The options as the Light section allows them for the effect that will be shown.
// Without EFFECT the rules of the current effect apply; while that is not known yet (no
// keymap.bin) only the ranges are checked.
Result<LightChoice> parseLight(const std::vector<std::string>& args,
                               std::optional<std::uint8_t> currentEffect, bool& usage) {
    usage = false;
    LightChoice c;
    std::vector<std::string> words;
    std::optional<std::string> speed, brightness, direction;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--apply") continue;
        if (a == "--speed" || a == "--brightness" || a == "--direction") {
            if (i + 1 >= args.size()) {
                usage = true;
                return Error{};
            }
            (a == "--speed" ? speed : a == "--brightness" ? brightness : direction) = args[++i];
        } else if (a.starts_with("--")) {
            usage = true;
            return Error{};
        } else {
            words.push_back(a);
        }
    }
    if (!words.empty()) {
        const std::string name = joined(words, " ");  // "Running Water Run Mode" unquoted
        c.row = lighting::findEffect(name);
        if (!c.row) return unknownEffect(name);
    } else if (!speed && !brightness && !direction) {
        usage = true;
        return Error{};
    }
    if (c.row) currentEffect = lighting::effects()[*c.row].code;
    const bool known = currentEffect.has_value();
    const std::uint8_t effect = currentEffect.value_or(0);
    const Error effectName = effectText(effect);

    if (speed) {
        const auto n = number(*speed);
        if (!n || *n < 0 || *n > lighting::kMaxSpeed) {
            return makeError(
                TR_TEXT("Tessaronctl", "The speed is 0 (slow) to 9 (fast), not \"%1\"."), *speed);
        }
        if (known && !lighting::offersSpeed(effect)) {
            return makeError(
                TR_TEXT("Tessaronctl",
                        "%1 has no speed; every effect but Static and DIY1 to DIY5 has one."),
                effectName);
        }
        c.speed = static_cast<std::uint8_t>(*n);
    }
    if (brightness) {
        const auto n = number(*brightness);
        if (!n || *n < 0 || *n > lighting::kMaxBrightness) {
            return makeError(TR_TEXT("Tessaronctl", "The brightness is 0 to 50, not \"%1\"."),
                             *brightness);
        }
        c.brightness = static_cast<std::uint8_t>(*n);
    }
    if (direction) {
        static constexpr std::uint8_t kAll[] = {lighting::kUp, lighting::kDown, lighting::kRight,
                                                lighting::kLeft};
        const auto offered = known ? lighting::directionsOf(effect) : std::span(kAll);
        if (offered.empty()) {
            return makeError(TR_TEXT("Tessaronctl",
                                     "%1 has no direction; Wave takes up, down, right or left and "
                                     "Radar right or left."),
                             effectName);
        }
        std::vector<std::string> allowed;
        for (auto d : offered) {
            allowed.emplace_back(lighting::directionWord(d));
            if (allowed.back() == lowered(*direction)) c.direction = d;
        }
        if (!c.direction) {
            return known
                       ? makeError(TR_TEXT("Tessaronctl", "%1 takes the direction %2, not \"%3\"."),
                                   effectName, eitherText(allowed), *direction)
                       : makeError(TR_TEXT("Tessaronctl", "The direction is %1, not \"%2\"."),
                                   eitherText(allowed), *direction);
        }
    }
    return c;
}

// The lighting in the words of "config export", with the option byte and the DIY maps.
void printLightingJson(const DeviceImage& image) {
    const config::Configuration settings = config::settingsOf(image);
    std::array<std::vector<keys::KeyIndex>, config::kDiyMaps> maps;
    for (std::size_t map = 0; map < maps.size(); ++map) {
        for (std::size_t k = 0; k < keys::kRealKeyCount; ++k) {
            const auto key = static_cast<keys::KeyIndex>(k);
            if (lighting::diyLightOn(image, map, key)) maps[map].push_back(key);
        }
    }
    nlohmann::ordered_json doc = {{"lighting", config::settingsJson(settings)["lighting"]},
                                  {"lighting_option", image[img::kOption]},
                                  {"diy", config::diyJson(maps)}};
    printJson(doc);
}

int runLight(Context& ctx) {
    const bool onlyApply = std::all_of(ctx.args.begin(), ctx.args.end(),
                                       [](const std::string& a) { return a == "--apply"; });
    const bool json = ctx.args.size() == 1 && ctx.args[0] == "--json";
    if (ctx.args.empty() || onlyApply || json) {
        if (!ctx.args.empty() && !json) return usageError(ctx, kLightUsage);
        auto live = openLive(ctx);
        if (!live) return failWith(ctx, live.error());
        if (json) {
            printLightingJson(live->image);
        } else {
            printLighting(live->image, languageOf(ctx));
        }
        return 0;
    }
    // Checked against the effect keymap.bin holds when there is one; without one only a named
    // effect can be checked, and a missing EFFECT is checked again once the keyboard was read.
    std::optional<std::uint8_t> current;
    {
        auto folder = chooseDataFolder(ctx);
        if (!folder) return failWith(ctx, folder.error());
        Live probe;
        const auto path = *folder / std::string(keys::kKeymapFileName);
        std::error_code ec;
        if (std::filesystem::exists(path, ec) &&
            keys::loadKeymap(path, probe.image, *probe.records) && !neverRead(probe.image)) {
            current = probe.image[img::kEffect];
        }
    }
    bool usage = false;
    auto choice = parseLight(ctx.args, current, usage);
    if (usage) return usageError(ctx, kLightUsage);
    if (!choice) return refuseWith(ctx, choice.error());

    auto live = openLive(ctx);
    if (!live) return failWith(ctx, live.error());
    choice = parseLight(ctx.args, live->image[img::kEffect], usage);
    if (!choice) return refuseWith(ctx, choice.error());

    DeviceImage& image = live->image;
    if (choice->row) {
        lighting::chooseEffect(image, *choice->row);
        lighting::clampOption(image);  // as the section shows the new effect
    }
    if (choice->speed) image[img::kSpeed] = *choice->speed;
    if (choice->brightness) image[img::kBrightness] = *choice->brightness;
    if (choice->direction) image[img::kDirection] = *choice->direction;
    if (auto written = keys::writeKeymap(live->keymap, image, *live->records); !written) {
        return failWith(ctx, written.error());
    }
    printLighting(image, languageOf(ctx));
    return sendIfAsked(ctx, *live);
}

// ---- diy ----

struct DiyChoice {
    std::size_t map = 0;
    bool on = false;
    std::vector<keys::KeyIndex> keys;
};

Result<DiyChoice> parseDiy(const std::vector<std::string>& a, bool& usage) {
    usage = a.size() < 3;
    if (usage) return Error{};
    DiyChoice c;
    const auto n = number(a[0]);
    if (!n || *n < 1 || *n > int(lighting::kDiyCount)) {
        return makeError(TR_TEXT("Tessaronctl", "The DIY light maps are 1 to 5, not \"%1\"."),
                         a[0]);
    }
    c.map = static_cast<std::size_t>(*n - 1);
    const std::string state = lowered(a[1]);
    usage = state != "on" && state != "off";
    if (usage) return Error{};
    c.on = state == "on";
    for (std::size_t i = 2; i < a.size(); ++i) {
        // Every key of the picture lights, also the two that cannot be reassigned.
        const auto key = keys::findKey(a[i]);
        if (!key || *key >= keys::kRealKeyCount) {
            return makeError(TR_TEXT("Tessaronctl",
                                     "No key is called \"%1\"; use a legend or key name as "
                                     "\"tessaronctl keys\" lists them, or #N."),
                             a[i]);
        }
        c.keys.push_back(*key);
    }
    return c;
}

int runDiy(Context& ctx) {
    std::vector<std::string> args;
    for (const auto& a : ctx.args) {
        if (a.starts_with("--") && a != "--apply") return usageError(ctx, kDiyUsage);
        if (a != "--apply") args.push_back(a);
    }
    bool usage = false;
    auto choice = parseDiy(args, usage);
    if (usage) return usageError(ctx, kDiyUsage);
    if (!choice) return refuseWith(ctx, choice.error());

    auto live = openLive(ctx);
    if (!live) return failWith(ctx, live.error());
    for (auto key : choice->keys) lighting::setDiyLight(live->image, choice->map, key, choice->on);
    if (auto written = keys::writeKeymap(live->keymap, live->image, *live->records); !written) {
        return failWith(ctx, written.error());
    }
    const Language lang = languageOf(ctx);
    std::vector<std::string> names;
    for (auto key : choice->keys) names.emplace_back(keys::legend(key));
    std::cout << (choice->on ? say(lang, TR_TEXT("Tessaronctl", "DIY%1 lit: %2"), choice->map + 1,
                                   listText(lang, names))
                             : say(lang, TR_TEXT("Tessaronctl", "DIY%1 dark: %2"), choice->map + 1,
                                   listText(lang, names)))
              << "\n";
    if (live->image[img::kEffect] != lighting::kFirstDiy + choice->map) {
        std::cout << say(lang,
                         TR_TEXT("Tessaronctl",
                                 "The keyboard shows this map with \"tessaronctl light DIY%1\"."),
                         choice->map + 1)
                  << "\n";
    }
    return sendIfAsked(ctx, *live);
}

// ---- set ----

enum class Setting { GameMode, WinLock, ResponseTime, ReportRate };

struct SetChoice {
    Setting setting;
    int value;
};

Result<std::vector<SetChoice>> parseSet(const std::vector<std::string>& a, bool& usage) {
    usage = a.empty() || a.size() % 2 != 0;
    if (usage) return Error{};
    std::vector<SetChoice> out;
    for (std::size_t i = 0; i < a.size(); i += 2) {
        const std::string name = lowered(a[i]);
        const std::string& value = a[i + 1];
        if (name == "game-mode" || name == "win-lock") {
            const std::string word = lowered(value);
            if (word != "on" && word != "off") {
                return makeError(TR_TEXT("Tessaronctl", "%1 is on or off, not \"%2\"."), name,
                                 value);
            }
            out.push_back(
                {name == "game-mode" ? Setting::GameMode : Setting::WinLock, word == "on" ? 1 : 0});
        } else if (name == "response-time") {
            const auto ms = number(value);
            const auto byte = ms ? performance::responseByteForMs(*ms) : std::nullopt;
            if (!byte) {
                return makeError(TR_TEXT("Tessaronctl",
                                         "The response time is 2, 4, 6, 8, 10, 12, 14, 16, 18 or "
                                         "20 ms, not \"%1\"."),
                                 value);
            }
            out.push_back({Setting::ResponseTime, *byte});
        } else if (name == "report-rate") {
            const auto hz = number(value);
            const auto byte = hz ? performance::reportRateByteForHz(*hz) : std::nullopt;
            if (!byte) {
                return makeError(
                    TR_TEXT("Tessaronctl", "The report rate is 125, 250, 500 or 1000, not \"%1\"."),
                    value);
            }
            out.push_back({Setting::ReportRate, *byte});
        } else {
            return makeError(TR_TEXT("Tessaronctl",
                                     "No setting is called \"%1\". Settings: game-mode, win-lock, "
                                     "response-time, report-rate."),
                             a[i]);
        }
    }
    return out;
}

int runSet(Context& ctx) {
    std::vector<std::string> args;
    for (const auto& a : ctx.args) {
        if (a.starts_with("--") && a != "--apply") return usageError(ctx, kSetUsage);
        if (a != "--apply") args.push_back(a);
    }
    bool usage = false;
    auto choices = parseSet(args, usage);
    if (usage) return usageError(ctx, kSetUsage);
    if (!choices) return refuseWith(ctx, choices.error());

    auto live = openLive(ctx);
    if (!live) return failWith(ctx, live.error());
    DeviceImage& image = live->image;
    for (const auto& c : *choices) {
        const auto byte = static_cast<std::uint8_t>(c.value);
        switch (c.setting) {
            case Setting::GameMode:
                performance::setGameMode(image, c.value != 0);
                break;
            case Setting::WinLock:
                performance::setWinLock(image, c.value != 0);
                break;
            case Setting::ResponseTime:
                image[img::kResponseTime] = byte;
                break;
            case Setting::ReportRate:
                image[img::kReportRate] = byte;
                break;
        }
    }
    if (auto written = keys::writeKeymap(live->keymap, image, *live->records); !written) {
        return failWith(ctx, written.error());
    }
    printPerformance(image, languageOf(ctx));
    return sendIfAsked(ctx, *live);
}

const Registrar light({"light", kLightUsage,
                       TR_TEXT("Tessaronctl", "Print the lighting, or choose the effect, speed, brightness and direction "
                       "as the Light section does; writes keymap.bin."),
                       runLight});
const Registrar diy({"diy", kDiyUsage,
                     TR_TEXT("Tessaronctl", "Light (on) or darken (off) keys in DIY light map N (1..5) as a click in DIY "
                     "mode does; writes keymap.bin."),
                     runDiy});
const Registrar set({"set", kSetUsage,
                     TR_TEXT("Tessaronctl", "Set game mode, Win Lock, response time (2..20 ms) or report rate (125, 250, "
                     "500, 1000); writes keymap.bin."),
                     runSet});

}  // namespace
}  // namespace tessaron::cli
