#include "cli/cli_support.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <iostream>
#include <optional>
#include <string>

#include <locale.h>

#include <unistd.h>
#include <nlohmann/json.hpp>

#include "cli/window_client.h"
#include "core/atomic_file.h"
#include "core/clock.h"
#include "core/data_folder.h"
#include "core/keyboard_lock.h"
#include "core/settings.h"
#include "core/stepped_clock.h"
#include "core/text.h"
#include "device/hid/hid_transport.h"
#include "device/performance.h"
#include "device/trace.h"
#include "device/virtual/demo_faults.h"
#include "device/virtual/keyboard_state_file.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "device/write_changes.h"
#include "keys/keymap_file.h"

namespace tessaron::cli {

namespace fs = std::filesystem;
using device::DeviceImage;

Language languageOf(const Context& ctx) {
    return resolveLanguage(ctx.options.language, settingsFile());
}

int failWith(const Context& ctx, const Error& error) {
    return fail(error.text(languageOf(ctx)));
}

int refuseWith(const Context& ctx, const Error& error) {
    return failUsage(error.text(languageOf(ctx)));
}

int usageError(const Context& ctx, const char* usage) {
    return refuseWith(
        ctx, makeError(TR_TEXT("Tessaronctl", "usage: tessaronctl %1"), std::string(usage)));
}

std::string onOffText(Language lang, bool on) {
    return translate(lang, on ? TR_TEXT("Tessaronctl", "on") : TR_TEXT("Tessaronctl", "off"));
}

std::string listText(Language lang, const std::vector<std::string>& items) {
    if (items.empty()) return translate(lang, TR_TEXT("Tessaronctl", "none"));
    std::vector<Error> shown;
    for (const auto& item : items) shown.push_back(verbatim(item));
    return joined(shown, TR_TEXT("Tessaronctl", "%1, %2")).text(lang);
}

namespace {

// Terminal columns of UTF-8 text, as the C library's UTF-8 locale counts them; one a character
// where that locale is missing.
std::size_t columnsOf(const std::string& text) {
    static const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    const locale_t previous = utf8 ? ::uselocale(utf8) : locale_t{};
    std::size_t columns = 0;
    std::mbstate_t state{};
    for (std::size_t at = 0; at < text.size();) {
        wchar_t ch = 0;
        const std::size_t used = std::mbrtowc(&ch, text.data() + at, text.size() - at, &state);
        if (used == 0 || used > text.size() - at) {  // a NUL, or a broken sequence: one a byte
            state = {};
            ++columns;
            ++at;
            continue;
        }
        const int width = utf8 ? ::wcwidth(ch) : 1;
        columns += width > 0 ? static_cast<std::size_t>(width) : 0;
        at += used;
    }
    if (utf8) ::uselocale(previous);
    return columns;
}

}  // namespace

std::string padded(std::string text, std::size_t columns) {
    const std::size_t shown = columnsOf(text);
    if (shown < columns) text.append(columns - shown, ' ');
    return text;
}

void printPerformance(const DeviceImage& img, Language lang) {
    namespace performance = device::performance;
    const auto hz = performance::reportRateHz(img);
    const std::string rate =
        hz ? std::to_string(*hz)
           : say(lang, TR_TEXT("Tessaronctl", "unknown (%1)"), img[device::image::kReportRate]);
    std::cout << say(lang, TR_TEXT("Tessaronctl", "Game mode: %1"),
                     onOffText(lang, performance::gameModeOn(img)))
              << "\n"
              << say(lang, TR_TEXT("Tessaronctl", "Win Lock: %1"),
                     onOffText(lang, performance::winLockOn(img)))
              << "\n"
              << say(lang, TR_TEXT("Tessaronctl", "Response time: %1 ms"),
                     performance::responseMs(img))
              << "\n"
              << say(lang, TR_TEXT("Tessaronctl", "Report rate: %1 reports per second"), rate)
              << "\n";
}

void printJson(const nlohmann::ordered_json& value) {
    std::cout << value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << "\n";
}

bool hasFlag(const Context& ctx, std::string_view flag) {
    return std::find(ctx.args.begin(), ctx.args.end(), flag) != ctx.args.end();
}

bool argsAllowed(const Context& ctx, std::initializer_list<std::string_view> flags,
                 std::size_t positional) {
    std::size_t seen = 0;
    for (const auto& a : ctx.args) {
        const bool known = std::find(flags.begin(), flags.end(), a) != flags.end();
        if (!known && (a.starts_with("-") || ++seen > positional)) return false;
    }
    return true;
}

namespace {
// One command per process: the lock, once taken, is kept to the end, also while the running
// window acts for the command (it writes the files on the command's behalf).
std::optional<DataFolderLock> heldFolder;

Status holdLock(const fs::path& folder) {
    if (heldFolder) return {};
    auto lock = DataFolderLock::acquire(folder);
    if (!lock) return lock.error();
    heldFolder.emplace(std::move(*lock));
    return {};
}
}  // namespace

Result<fs::path> openDataFolder(const Context& ctx) {
    auto folder = tessaron::openDataFolder(DataFolderInputs::fromProcess(ctx.options.dataDir));
    if (!folder) return folder;
    if (auto locked = holdLock(*folder); !locked) return locked.error();
    return folder;
}

Result<fs::path> chooseDataFolder(const Context& ctx) {
    auto folder = tessaron::chooseDataFolder(DataFolderInputs::fromProcess(ctx.options.dataDir));
    if (!folder) return folder;
    std::error_code ec;
    if (!fs::is_directory(*folder, ec)) return folder;
    if (auto locked = holdLock(*folder); !locked) return locked.error();
    return folder;
}

Result<std::string> readInput(const Context& ctx, const std::string& name, std::size_t limit) {
    if (name == "-") {
        return readBounded(STDIN_FILENO, limit,
                           say(languageOf(ctx), TR_TEXT("Tessaronctl", "standard input")));
    }
    auto bytes = readFilePrefix(name, limit + 1);
    if (!bytes) return bytes.error();
    if (bytes->size() > limit) {
        const std::string size = std::to_string(limit);
        return makeError(TR_TEXT("Tessaronctl", "%1 holds more than %2 bytes; it was not read."),
                         name, size);
    }
    return std::string(bytes->begin(), bytes->end());
}

void tellNotice(const Context& ctx, const std::optional<Error>& notice) {
    if (notice) std::cerr << "tessaronctl: " << notice->text(languageOf(ctx)) << "\n";
}

Session::Session() = default;
Session::~Session() = default;
Session::Session(Session&&) noexcept = default;
Session& Session::operator=(Session&&) noexcept = default;

fs::path Session::keymapPath() const {
    return dataFolder / std::string(keys::kKeymapFileName);
}

namespace {

// Held from the first command that talks to the keyboard until the process ends.
Status holdKeyboard(const Context& ctx, const fs::path& folder) {
    static std::optional<KeyboardLock> held;
    if (held) return {};
    auto lock = KeyboardLock::acquire(keyboardLockPath(folder, ctx.options.demo),
                                      kKeyboardLockPatience, SystemClock::instance());
    if (!lock) return lock.error();
    held.emplace(std::move(*lock));
    return {};
}

}  // namespace

Result<Session> openSession(const Context& ctx, Use use) {
    auto folder = openDataFolder(ctx);
    if (!folder) return folder.error();
    Session s;
    s.dataFolder = *folder;
    if (use == Use::Talk) {
        s.window = WindowClient::find(ctx.options.demo, *folder);
        if (s.window) return s;
        // Taken before the virtual keyboard loads its state, which another writer may change.
        if (auto held = holdKeyboard(ctx, *folder); !held) return held.error();
    }
    if (ctx.options.demo) {
        if (const char* time = std::getenv(device::kDemoTimeVariable);
            time != nullptr && std::string_view(time) == "stepped") {
            static SteppedClock stepped;
            s.clock = &stepped;
        }
        s.virtualKeyboard = std::make_shared<device::VirtualKeyboard>(*s.clock);
        s.persistence = std::make_unique<device::PersistentKeyboard>(
            s.virtualKeyboard, s.dataFolder / device::kVirtualKeyboardFileName);
        s.transport = std::make_unique<device::VirtualTransport>(s.virtualKeyboard);
        // A misbehaving demo keyboard, for trying the failure paths from outside.
        if (const char* list = std::getenv(device::kDemoFaultsVariable); list && *list) {
            auto faults = device::parseDemoFaults(list);
            if (!faults) return faults.error();
            s.transport =
                device::applyDemoFaults(*faults, s.virtualKeyboard, std::move(s.transport));
        }
    } else {
        device::ChannelSelection selection;
        selection.commandInterface = ctx.options.commandInterface;
        selection.eventInterface = ctx.options.eventInterface;
        s.transport = std::make_unique<device::hid::HidTransport>(selection);
    }
    return s;
}

Result<device::StartupRead> readKeyboard(device::DeviceLink& link, const DeviceImage& base) {
    if (auto opened = link.openCommand(); !opened) return opened.error();
    auto lease = link.acquire();
    if (!lease) return lease.error();
    return device::startupRead(lease->port(), base);
}

Result<device::StartupRead> readKeyboard(Session& session, const DeviceImage& base) {
    if (session.window) {
        auto img = session.window->image("Read");
        if (!img) return img.error();
        device::StartupRead read;
        read.image = *img;
        const std::string fw = session.window->firmware();
        if (fw.size() == 3 && fw[1] == '.') {
            read.firmware.payload[1] = static_cast<std::uint8_t>(fw[0] - '0');
            read.firmware.payload[2] = static_cast<std::uint8_t>(fw[2] - '0');
        }
        return read;
    }
    device::DeviceLink link(*session.transport, *session.clock, device::Trace::fromEnvironment());
    return readKeyboard(link, base);
}

bool neverRead(const DeviceImage& img) {
    const auto map = std::span(img).subspan(device::image::kKeyMap, device::image::kKeyMapSize);
    return std::all_of(map.begin(), map.end(), [](std::uint8_t b) { return b == 0; });
}

Result<Live> openLive(const Context& ctx) {
    auto session = openSession(ctx);
    if (!session) return session.error();
    Live live;
    live.folder = session->dataFolder;
    live.keymap = session->keymapPath();

    std::error_code ec;
    if (fs::exists(live.keymap, ec)) {
        auto loaded = keys::loadKeymap(live.keymap, live.image, *live.records);
        if (!loaded) return loaded.error();
        tellNotice(ctx, loaded->notice);
        if (!neverRead(live.image)) {
            keys::refreshModifiedMarks(live.keys());
            return live;
        }
    }

    auto read = readKeyboard(*session, DeviceImage{});
    if (!read) {
        const Error& why = read.error();
        return makeError(TR_TEXT("Tessaronctl",
                                 "There are no keyboard settings in %1 yet, and they cannot be "
                                 "read: %2 Connect the keyboard (or use --demo) and try again."),
                         live.keymap.string(), why);
    }
    live.image = read->image;
    keys::resetKeyRecords(*live.records);
    if (auto written = keys::writeKeymap(live.keymap, live.image, *live.records); !written) {
        return written.error();
    }
    std::cerr << say(languageOf(ctx),
                     TR_TEXT("Tessaronctl", "Read the keyboard's settings into %1."),
                     live.keymap.string())
              << "\n";
    keys::refreshModifiedMarks(live.keys());
    return live;
}

namespace {

constexpr Text kAlreadyHeld = TR_TEXT("Tessaronctl", "The keyboard already holds these settings.");

std::string sendingText(Language lang, const Error& step) {
    return say(lang, TR_TEXT("Tessaronctl", "sending: %1"), step);
}

// The window takes keymap.bin and MacroDefine.bin as they are now and sends them, so its
// picture and the keyboard agree with the files.
int sendThroughWindow(const Context& ctx, Session& session, const fs::path& source) {
    std::error_code ec;
    if (!fs::equivalent(source, session.keymapPath(), ec)) {
        return failWith(ctx,
                        makeError(TR_TEXT("Tessaronctl",
                                          "The Tessaron window holds the keyboard and sends only "
                                          "keymap.bin of its data folder: close it to apply %1."),
                                  source.string()));
    }
    auto steps = session.window->steps("ApplyDataFiles");
    if (!steps) return failWith(ctx, steps.error());
    const Language lang = languageOf(ctx);
    for (const auto& step : *steps) {
        const auto named = device::stepNamed(step);
        std::cout << sendingText(lang, named ? named->text() : verbatim(step)) << "\n";
    }
    if (steps->empty()) std::cout << translate(lang, kAlreadyHeld) << "\n";
    return 0;
}

}  // namespace

int sendImage(const Context& ctx, const fs::path& source) {
    auto session = openSession(ctx);
    if (!session) return failWith(ctx, session.error());
    auto bytes = readFilePrefix(source, device::image::kSize);
    if (!bytes) return failWith(ctx, bytes.error());
    if (bytes->size() < device::image::kSize) {
        const std::string size = std::to_string(device::image::kSize);
        return failWith(
            ctx, makeError(TR_TEXT("Tessaronctl", "%1 is shorter than a device image (%2 bytes)."),
                           source.string(), size));
    }
    DeviceImage img{};
    std::copy(bytes->begin(), bytes->end(), img.begin());
    if (session->window) return sendThroughWindow(ctx, *session, source);

    device::DeviceLink link(*session->transport, *session->clock, device::Trace::fromEnvironment());
    auto read = readKeyboard(link, img);
    if (!read) return failWith(ctx, read.error());
    DeviceImage committed = read->image;
    auto listening = link.openEvent();
    if (!listening) return failWith(ctx, listening.error());

    const Language lang = languageOf(ctx);
    auto out = link.save(img, committed, [&](const device::WriteStep& step) {
        std::cout << sendingText(lang, step.text()) << "\n";
    });
    if (!out) return failWith(ctx, out.error());
    if (out->steps.empty()) std::cout << translate(lang, kAlreadyHeld) << "\n";
    return 0;
}

int sendIfAsked(const Context& ctx, const Live& live) {
    if (hasFlag(ctx, "--apply")) return sendImage(ctx, live.keymap);
    std::cout << say(languageOf(ctx),
                     TR_TEXT("Tessaronctl",
                             "Written to %1; \"tessaronctl apply\" sends it to the keyboard."),
                     live.keymap.string())
              << "\n";
    return 0;
}

}  // namespace tessaron::cli
