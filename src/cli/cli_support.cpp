#include "cli/cli_support.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>
#include <unistd.h>

#include "core/atomic_file.h"
#include "core/clock.h"
#include "core/data_folder.h"
#include "core/settings.h"
#include "device/hid/hid_transport.h"
#include "device/trace.h"
#include "device/virtual/demo_faults.h"
#include "device/virtual/keyboard_state_file.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
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

int usageError(const char* usage) {
    return failUsage(std::string("usage: tessaronctl ") + usage);
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
// One command per process: the lock, once taken, is kept to the end.
Status holdLock(const fs::path& folder) {
    static std::optional<DataFolderLock> held;
    if (held) return {};
    auto lock = DataFolderLock::acquire(folder);
    if (!lock) return lock.error();
    held.emplace(std::move(*lock));
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

Result<std::string> readInput(const std::string& name, std::size_t limit) {
    if (name == "-") return readBounded(STDIN_FILENO, limit, "standard input");
    auto bytes = readFilePrefix(name, limit + 1);
    if (!bytes) return bytes.error();
    if (bytes->size() > limit) {
        const std::string size = std::to_string(limit);
        return makeError(name + " holds more than " + size + " bytes; it was not read.",
                         name + " 超过 " + size + " 字节；未读取。");
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

Result<Session> openSession(const Context& ctx) {
    auto folder = openDataFolder(ctx);
    if (!folder) return folder.error();
    Session s;
    s.dataFolder = *folder;
    if (ctx.options.demo) {
        s.virtualKeyboard = std::make_shared<device::VirtualKeyboard>();
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

    device::DeviceLink link(*session->transport, SystemClock::instance(),
                            device::Trace::fromEnvironment());
    auto read = readKeyboard(link, DeviceImage{});
    if (!read) {
        const Error& why = read.error();
        return makeError("There are no keyboard settings in " + live.keymap.string() +
                             " yet, and they cannot be read: " + why.english +
                             " Connect the keyboard (or use --demo) and try again.",
                         live.keymap.string() + " 中还没有键盘设置，也无法读取：" +
                             why.text(Language::Chinese) + " 请连接键盘（或使用 --demo）后重试。");
    }
    live.image = read->image;
    keys::resetKeyRecords(*live.records);
    if (auto written = keys::writeKeymap(live.keymap, live.image, *live.records); !written) {
        return written.error();
    }
    std::cerr << "Read the keyboard's settings into " << live.keymap.string() << ".\n";
    keys::refreshModifiedMarks(live.keys());
    return live;
}

int sendImage(const Context& ctx, const fs::path& source) {
    auto session = openSession(ctx);
    if (!session) return failWith(ctx, session.error());
    auto bytes = readFilePrefix(source, device::image::kSize);
    if (!bytes) return failWith(ctx, bytes.error());
    if (bytes->size() < device::image::kSize) {
        const std::string size = std::to_string(device::image::kSize);
        return failWith(ctx, makeError(source.string() + " is shorter than a device image (" +
                                           size + " bytes).",
                                       source.string() + " 比设备映像（" + size + " 字节）短。"));
    }
    DeviceImage img{};
    std::copy(bytes->begin(), bytes->end(), img.begin());

    device::DeviceLink link(*session->transport, SystemClock::instance(),
                            device::Trace::fromEnvironment());
    auto read = readKeyboard(link, img);
    if (!read) return failWith(ctx, read.error());
    DeviceImage committed = read->image;
    auto listening = link.openEvent();
    if (!listening) return failWith(ctx, listening.error());

    const Language lang = languageOf(ctx);
    auto out = link.save(img, committed, [&](const device::WriteStep& step) {
        std::cout << "sending: " << pick(lang, step.name(), step.chineseName()) << "\n";
    });
    if (!out) return failWith(ctx, out.error());
    if (out->steps.empty()) std::cout << "The keyboard already holds these settings.\n";
    return 0;
}

int sendIfAsked(const Context& ctx, const Live& live) {
    if (hasFlag(ctx, "--apply")) return sendImage(ctx, live.keymap);
    std::cout << "Written to " << live.keymap.string()
              << "; \"tessaronctl apply\" sends it to the keyboard.\n";
    return 0;
}

}  // namespace tessaron::cli
