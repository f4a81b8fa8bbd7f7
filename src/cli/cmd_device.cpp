// tessaronctl's keyboard commands: devices, show, pull, apply, reset.

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "cli/cli_support.h"
#include "cli/command.h"
#include "cli/window_client.h"
#include "config/config_json.h"
#include "config/configuration.h"
#include "core/atomic_file.h"
#include "core/data_folder.h"
#include "core/settings.h"
#include "core/text.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "device/errors.h"
#include "device/hid/hid_transport.h"
#include "device/hid/permission_doctor.h"
#include "device/performance.h"
#include "device/read_all.h"
#include "device/trace.h"
#include "device/virtual/keyboard_state_file.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "keys/key_layout.h"
#include "keys/key_record.h"
#include "keys/keymap_file.h"
#include "keys/lighting.h"

namespace tessaron::cli {
namespace {

using device::DeviceImage;
namespace image = device::image;
namespace lighting = keys::lighting;

std::string hexBytes(std::span<const std::uint8_t> bytes, bool spaced) {
    std::string text = device::toHex(bytes);
    if (!spaced) std::erase(text, ' ');
    return text;
}

// ---- devices ----

Text roleName(device::ChannelRole role) {
    switch (role) {
        case device::ChannelRole::Command:
            return TR_TEXT("Tessaronctl", "command channel");
        case device::ChannelRole::Event:
            return TR_TEXT("Tessaronctl", "event channel");
        case device::ChannelRole::None:
            break;
    }
    return TR_TEXT("Tessaronctl", "unused");
}

int runDevices(Context& ctx) {
    if (!argsAllowed(ctx, {}, 0)) return usageError(ctx, "devices");
    auto session = openSession(ctx, Use::Look);
    if (!session) return failWith(ctx, session.error());
    const Language lang = languageOf(ctx);
    const auto found = session->transport->enumerate();
    for (const auto& i : found) {
        char ids[16];
        std::snprintf(ids, sizeof ids, "%04x:%04x", i.vendorId, i.productId);
        std::cout << i.path << "  " << ids << "  "
                  << say(lang, TR_TEXT("Tessaronctl", "interface %1"), i.interfaceNumber) << "  "
                  << translate(lang, roleName(i.role))
                  << (i.accessible ? ""
                                   : "  " + say(lang, TR_TEXT("Tessaronctl", "(no permission)")))
                  << "\n";
    }
    // The same diagnosis as `doctor`, so a missing permission is explained where it shows.
    const auto facts = device::hid::gatherFacts(*session->transport, runningExecutableFolder());
    const auto diagnosis = device::hid::diagnose(facts);
    if (found.empty()) {
        std::cerr << device::hid::formatDiagnosis(diagnosis, lang);
        return 1;
    }
    if (diagnosis.verdict != device::hid::Verdict::Ready) {
        std::cout << "\n" << device::hid::formatDiagnosis(diagnosis, lang);
    }
    return 0;
}

// ---- show ----

// Reads the keyboard with the start-up read.

std::vector<std::size_t> macroSlotsInUse(const DeviceImage& img) {
    std::vector<std::size_t> slots;
    for (std::size_t n = 0; n < image::kMacroSlotCount; ++n) {
        const auto slot = std::span(img).subspan(image::macroSlot(n), image::kMacroSlotSize);
        if (std::any_of(slot.begin(), slot.end(), [](std::uint8_t b) { return b != 0; })) {
            slots.push_back(n);
        }
    }
    return slots;
}

// One cell of the device key map that differs from the factory key map.
struct ChangedCell {
    std::size_t column;
    std::size_t row;
    std::string key;  // the layout key's legend; empty for a cell no key uses
    keys::KeyCell cell;
    keys::KeyCell factory;
};

std::vector<ChangedCell> cellsChangedFromFactory(const DeviceImage& img) {
    const auto& factory = keys::factoryKeyMap();  // column-major
    std::vector<ChangedCell> changed;
    for (std::size_t row = 0; row < image::kKeyMapRows; ++row) {
        for (std::size_t column = 0; column < image::kKeyMapColumns; ++column) {
            const auto cell = keys::readCell(img, image::keyCell(column, row));
            keys::KeyCell expected{};
            const std::size_t at = keys::kCellSize * (column * image::kKeyMapRows + row);
            std::copy_n(factory.begin() + static_cast<std::ptrdiff_t>(at), keys::kCellSize,
                        expected.begin());
            if (cell == expected) continue;
            std::string key;
            for (const auto& entry : keys::keyLayout()) {
                if (entry.column == column && entry.row == row) key = std::string(entry.legend);
            }
            changed.push_back({column, row, key, cell, expected});
        }
    }
    return changed;
}

// Keys switched off in the enable bitmap, by the words "config export" uses.
std::vector<std::string> disabledKeys(const DeviceImage& img) {
    std::vector<std::string> off;
    for (std::size_t i = 0; i < keys::kRealKeyCount; ++i) {
        const auto k = static_cast<keys::KeyIndex>(i);
        if (!keys::keyEnabled(img, k)) off.push_back(config::keyWord(k));
    }
    return off;
}

void printText(const device::StartupRead& r, Language lang) {
    const auto& img = r.image;
    const auto row = lighting::effectRow(img[image::kEffect]);
    const std::string effect = row ? std::string(lighting::effects()[*row].name(lang)) : "";
    const std::string direction(lighting::directionWord(img[image::kDirection]));
    auto code = [&](std::uint8_t byte) {
        return say(lang, TR_TEXT("Tessaronctl", "code %1"), byte);
    };
    std::cout << say(lang, TR_TEXT("Tessaronctl", "Firmware version: %1"),
                     std::to_string(r.firmware.major()) + "." + std::to_string(r.firmware.minor()))
              << "\n"
              << say(lang, TR_TEXT("Tessaronctl", "Effect: %1"),
                     effect.empty() ? code(img[image::kEffect]) : effect)
              << "\n"
              << say(lang, TR_TEXT("Tessaronctl", "Speed: %1"), img[image::kSpeed]) << "\n"
              << say(lang, TR_TEXT("Tessaronctl", "Brightness: %1"), img[image::kBrightness])
              << "\n"
              << say(lang, TR_TEXT("Tessaronctl", "Option: %1"), img[image::kOption]) << "\n"
              << say(lang, TR_TEXT("Tessaronctl", "Direction: %1"),
                     direction.empty() ? code(img[image::kDirection]) : direction)
              << "\n";
    printPerformance(img, lang);
    std::string slots;
    for (auto n : macroSlotsInUse(img)) slots += (slots.empty() ? "" : " ") + std::to_string(n);
    std::cout << say(lang, TR_TEXT("Tessaronctl", "Macro slots in use: %1"),
                     slots.empty() ? translate(lang, TR_TEXT("Tessaronctl", "none")) : slots)
              << "\n"
              << say(lang, TR_TEXT("Tessaronctl", "Disabled keys: %1"),
                     listText(lang, disabledKeys(img)))
              << "\n";
    const auto changed = cellsChangedFromFactory(img);
    std::cout << (changed.empty()
                      ? say(lang,
                            TR_TEXT("Tessaronctl", "Key cells that differ from factory: none"))
                      : say(lang, TR_TEXT("Tessaronctl", "Key cells that differ from factory:")))
              << "\n";
    for (const auto& c : changed) {
        const std::string cell = hexBytes(c.cell, true);
        const std::string factory = hexBytes(c.factory, true);
        std::cout << "  "
                  << (c.key.empty()
                          ? say(lang, TR_TEXT("Tessaronctl", "column %1, row %2: %3 (factory %4)"),
                                c.column, c.row, cell, factory)
                          : say(lang,
                                TR_TEXT("Tessaronctl", "column %1, row %2 (%3): %4 (factory %5)"),
                                c.column, c.row, c.key, cell, factory))
                  << "\n";
    }
}

// The settings in the words and values of "config export"; what only the keyboard shows
// (firmware, option byte, macro slots, cells) after them.
void printJson(const device::StartupRead& r) {
    using Json = nlohmann::ordered_json;
    const auto& img = r.image;
    Json doc = {{"firmware", std::to_string(r.firmware.major()) + "." +
                                 std::to_string(r.firmware.minor())}};
    doc.update(config::settingsJson(config::settingsOf(img)));
    doc["lighting_option"] = img[image::kOption];
    doc["macro_slots"] = macroSlotsInUse(img);
    doc["disabled_keys"] = disabledKeys(img);
    Json changed = Json::array();
    for (const auto& c : cellsChangedFromFactory(img)) {
        changed.push_back({{"column", c.column},
                           {"row", c.row},
                           {"key", c.key.empty() ? Json(nullptr) : Json(c.key)},
                           {"cell", hexBytes(c.cell, false)},
                           {"factory", hexBytes(c.factory, false)}});
    }
    doc["changed_cells"] = std::move(changed);
    doc["image"] = hexBytes(img, false);
    cli::printJson(doc);
}

int runShow(Context& ctx) {
    if (!argsAllowed(ctx, {"--json"}, 0)) return usageError(ctx, "show [--json]");
    auto session = openSession(ctx);
    if (!session) return failWith(ctx, session.error());
    auto read = readKeyboard(*session, DeviceImage{});
    if (!read) return failWith(ctx, read.error());
    if (hasFlag(ctx, "--json")) {
        printJson(*read);
    } else {
        printText(*read, languageOf(ctx));
    }
    return 0;
}

// ---- pull ----

// keymap.bin as it is; when it is missing, nothing is created until the keyboard has been read
// (a file holding an image never read from a keyboard must not exist: apply would send it).
Result<Live> loadExisting(const std::filesystem::path& path) {
    Live live;
    live.keymap = path;
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        auto loaded = keys::loadKeymap(path, live.image, *live.records);
        if (!loaded) return loaded.error();
    } else {
        keys::resetKeyRecords(*live.records);
    }
    return live;
}

int runPull(Context& ctx) {
    if (!argsAllowed(ctx, {}, 0)) return usageError(ctx, "pull");
    auto session = openSession(ctx);
    if (!session) return failWith(ctx, session.error());
    const auto path = session->keymapPath();
    auto live = loadExisting(path);
    if (!live) return failWith(ctx, live.error());
    auto read = readKeyboard(*session, live->image);
    if (!read) return failWith(ctx, read.error());
    live->image = read->image;
    auto written = keys::writeKeymap(path, live->image, *live->records);
    if (!written) return failWith(ctx, written.error());
    std::cout << say(languageOf(ctx),
                     TR_TEXT("Tessaronctl", "Read the keyboard (firmware %1) into %2"),
                     std::to_string(read->firmware.major()) + "." +
                         std::to_string(read->firmware.minor()),
                     path.string())
              << "\n";
    return 0;
}

// ---- apply ----

int runApply(Context& ctx) {
    if (!argsAllowed(ctx, {}, 1)) return usageError(ctx, "apply [FILE]");
    if (!ctx.args.empty()) return sendImage(ctx, ctx.args[0]);
    auto session = openSession(ctx);
    if (!session) return failWith(ctx, session.error());
    return sendImage(ctx, session->keymapPath());
}

// ---- reset ----

bool confirmed(const Context& ctx) {
    const Language lang = languageOf(ctx);
    // The question goes to standard error, so a script's output stays its own.
    std::cerr << Error(TR_TEXT("Tessaronctl", "Confirm to return Factory Setting?")).text(lang)
              << " [y/N] " << std::flush;
    // One short line at most: endless input without a line break is no answer.
    std::string answer;
    for (int c = std::cin.get(); c != EOF && c != '\n'; c = std::cin.get()) {
        if (answer.size() > 16) return false;
        answer += static_cast<char>(c);
    }
    return answer == "y" || answer == "Y" || answer == "yes";
}

int runReset(Context& ctx) {
    if (!argsAllowed(ctx, {"--yes"}, 0)) return usageError(ctx, "reset [--yes]");
    auto session = openSession(ctx);
    if (!session) return failWith(ctx, session.error());
    if (!hasFlag(ctx, "--yes") && !confirmed(ctx)) {
        if (!::isatty(STDIN_FILENO)) std::cerr << "\n";  // no Enter was echoed after the question
        return refuseWith(
            ctx,
            makeError(TR_TEXT(
                "Tessaronctl",
                "Nothing was changed: the reset was not confirmed (answer y, or give --yes).")));
    }
    const auto path = session->keymapPath();
    if (session->window) {
        // The window resets the keyboard and rewrites keymap.bin itself.
        auto reset = session->window->image("FactoryReset");
        if (!reset) return failWith(ctx, reset.error());
        std::cout << say(languageOf(ctx),
                         TR_TEXT("Tessaronctl",
                                 "The keyboard is back to its factory settings; the "
                                 "Tessaron window rewrote %1."),
                         path.string())
                  << "\n";
        return 0;
    }
    auto live = loadExisting(path);
    if (!live) return failWith(ctx, live.error());

    device::DeviceLink link(*session->transport, *session->clock,
                            device::Trace::fromEnvironment());
    auto opened = link.openCommand();
    if (!opened) return failWith(ctx, opened.error());
    {
        auto lease = link.acquire();
        if (!lease) return failWith(ctx, lease.error());
        auto s = device::factoryReset(lease->port());
        if (s) s = device::readAll(lease->port(), live->image);
        if (!s) return failWith(ctx, s.error());
    }
    // Every key enabled and every key record back to its factory state, whatever was read.
    keys::enableAllKeys(live->image);
    keys::resetKeyRecords(*live->records);
    auto written = keys::writeKeymap(path, live->image, *live->records);
    if (!written) return failWith(ctx, written.error());
    std::cout << say(languageOf(ctx),
                     TR_TEXT("Tessaronctl",
                             "The keyboard is back to its factory settings; %1 was rewritten."),
                     path.string())
              << "\n";
    return 0;
}

const Registrar devices({"devices", "devices",
                         TR_TEXT("Tessaronctl", "List the keyboard's HID interfaces and the channel each would serve."),
                         runDevices});
const Registrar show({"show", "show [--json]",
                      TR_TEXT("Tessaronctl", "Read the keyboard and print its settings (writes nothing)."), runShow});
const Registrar pull({"pull", "pull",
                      TR_TEXT("Tessaronctl", "Read the keyboard into the device image of keymap.bin in the data folder."),
                      runPull});
const Registrar apply({"apply", "apply [FILE]",
                       TR_TEXT("Tessaronctl", "Send what differs between FILE (default keymap.bin) and the keyboard."),
                       runApply});
const Registrar reset({"reset", "reset [--yes]",
                       TR_TEXT("Tessaronctl", "Restore the keyboard's factory settings and rewrite keymap.bin."),
                       runReset});

}  // namespace
}  // namespace tessaron::cli
