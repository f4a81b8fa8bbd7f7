#include "cli/window_client.h"

#include <systemd/sd-bus.h>

#include <cstdlib>
#include <cstring>

#include "core/clock.h"
#include "core/keyboard_lock.h"
#include "core/text.h"
#include "device/errors.h"

namespace tessaron::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kName = "org.tessaron.tessaron";
constexpr const char* kPath = "/org/tessaron/tessaron";
constexpr const char* kInterface = "org.tessaron.tessaron.Keyboard1";
// Calls wait in the window's queue behind others: far longer than the bus's 25 s default.
constexpr std::uint64_t kCallTimeoutUs = 180ULL * 1000 * 1000;

struct BusError {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ~BusError() { sd_bus_error_free(&error); }
};

struct Reply {
    sd_bus_message* message = nullptr;
    ~Reply() { sd_bus_message_unref(message); }
};

Error windowError(const sd_bus_error& e, int r) {
    if (sd_bus_error_has_name(&e, "org.tessaron.tessaron.Error.NoKeyboard")) {
        return device::errors::noKeyboard();
    }
    const std::string why = sd_bus_error_is_set(&e) && e.message ? e.message : std::strerror(-r);
    return makeError(TR_TEXT("Tessaronctl", "The Tessaron window answered: %1"), why);
}

fs::path settled(const fs::path& p) {
    std::error_code ec;
    const fs::path c = fs::weakly_canonical(p, ec);
    return ec ? p : c;
}

}  // namespace

std::unique_ptr<WindowClient> WindowClient::find(bool demo, const fs::path& dataFolder) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return nullptr;
    auto client = std::unique_ptr<WindowClient>(new WindowClient(bus));
    BusError e;
    Reply owner;
    int has = 0;
    if (sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "NameHasOwner", &e.error, &owner.message, "s",
                           kName) < 0 ||
        sd_bus_message_read(owner.message, "b", &has) < 0 || !has) {
        return nullptr;
    }
    int windowDemo = 0;
    char* folder = nullptr;
    if (sd_bus_get_property_trivial(bus, kName, kPath, kInterface, "Demo", &e.error, 'b',
                                    &windowDemo) < 0 ||
        sd_bus_get_property_string(bus, kName, kPath, kInterface, "DataFolder", &e.error,
                                   &folder) < 0) {
        return nullptr;
    }
    const fs::path windowFolder = folder;
    std::free(folder);
    // Another keyboard (real against --demo), or other data files than this command writes: the
    // command then opens the keyboard itself, once the window's lock lets it.
    if (bool(windowDemo) != demo || settled(windowFolder) != settled(dataFolder)) return nullptr;
    return client;
}

WindowClient::~WindowClient() { sd_bus_flush_close_unref(bus_); }

namespace {

// Calls method (with one string argument when given) and leaves the answer in reply. A window
// whose queue is full is asked again a while, as a second writer waits for the keyboard's lock.
int call(sd_bus* bus, const char* method, const std::optional<std::string>& argument,
         BusError& e, Reply& reply) {
    Clock& clock = SystemClock::instance();
    const auto deadline = clock.now() + kKeyboardLockPatience;
    for (;;) {
        sd_bus_message* m = nullptr;
        int r = sd_bus_message_new_method_call(bus, &m, kName, kPath, kInterface, method);
        if (r >= 0 && argument) r = sd_bus_message_append(m, "s", argument->c_str());
        if (r >= 0) r = sd_bus_call(bus, m, kCallTimeoutUs, &e.error, &reply.message);
        sd_bus_message_unref(m);
        if (r >= 0 || !sd_bus_error_has_name(&e.error, "org.tessaron.tessaron.Error.Busy") ||
            clock.now() >= deadline) {
            return r;
        }
        sd_bus_error_free(&e.error);
        clock.sleepMs(200);
    }
}

}  // namespace

Result<std::vector<std::string>> WindowClient::steps(const char* method,
                                                     const std::optional<std::string>& argument) {
    BusError e;
    Reply reply;
    const int r = call(bus_, method, argument, e, reply);
    if (r < 0) return windowError(e.error, r);
    std::vector<std::string> names;
    if (sd_bus_message_enter_container(reply.message, 'a', "s") < 0) {
        return windowError(e.error, -EBADMSG);
    }
    const char* name = nullptr;
    while (sd_bus_message_read(reply.message, "s", &name) > 0) names.emplace_back(name);
    return names;
}

Result<device::DeviceImage> WindowClient::image(const char* method) {
    BusError e;
    Reply reply;
    const int r = call(bus_, method, std::nullopt, e, reply);
    if (r < 0) return windowError(e.error, r);
    const void* bytes = nullptr;
    std::size_t size = 0;
    device::DeviceImage img{};
    if (sd_bus_message_read_array(reply.message, 'y', &bytes, &size) < 0 || size != img.size()) {
        return windowError(e.error, -EBADMSG);
    }
    std::memcpy(img.data(), bytes, size);
    return img;
}

std::string WindowClient::firmware() {
    BusError e;
    char* text = nullptr;
    if (sd_bus_get_property_string(bus_, kName, kPath, kInterface, "FirmwareVersion", &e.error,
                                   &text) < 0) {
        return {};
    }
    std::string version = text;
    std::free(text);
    return version;
}

}  // namespace tessaron::cli
