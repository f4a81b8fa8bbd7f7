#include "switching/desktop_bridge.h"
#include "core/text.h"

#include <systemd/sd-bus.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace tessaron::switching {
namespace {

constexpr const char* kKWin = "org.kde.KWin";
constexpr const char* kScripting = "/Scripting";
constexpr const char* kScriptingInterface = "org.kde.kwin.Scripting";

// Frees an sd-bus error and message when the scope ends.
struct Call {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    ~Call() {
        sd_bus_error_free(&error);
        sd_bus_message_unref(reply);
    }
    std::string why(int r) const {
        return error.message ? error.message : std::strerror(-r);
    }
};

void unloadScript(sd_bus* bus) {
    Call c;
    sd_bus_call_method(bus, kKWin, kScripting, kScriptingInterface, "unloadScript", &c.error,
                       &c.reply, "s", KWinScript::kPluginName);
}

}  // namespace

Result<std::unique_ptr<KWinScript>> KWinScript::load(const std::filesystem::path& mainScript,
                                                     sd_bus* bus) {
    const bool owned = bus == nullptr;
    if (owned && sd_bus_open_user(&bus) < 0)
        return makeError(TR_TEXT("Switching", "The session bus cannot be reached."));
    // A script left behind by a Tessaron that ended without unloading it keeps the name taken.
    unloadScript(bus);
    Call load;
    int r = sd_bus_call_method(bus, kKWin, kScripting, kScriptingInterface, "loadScript",
                               &load.error, &load.reply, "ss", mainScript.c_str(), kPluginName);
    std::int32_t id = -1;
    if (r >= 0) r = sd_bus_message_read(load.reply, "i", &id);
    if (r < 0 || id < 0) {
        if (owned) sd_bus_unref(bus);
        return makeError(TR_TEXT("Switching", "KWin did not load the script %1: %2"),
                         mainScript.string(), (r < 0 ? load.why(r) : std::string("refused")));
    }
    // Plasma 6 puts the loaded script under /Scripting, Plasma 5 at the root.
    for (const std::string& object :
         {"/Scripting/Script" + std::to_string(id), "/" + std::to_string(id)}) {
        Call run;
        if (sd_bus_call_method(bus, kKWin, object.c_str(), "org.kde.kwin.Script", "run",
                               &run.error, &run.reply, "") >= 0) {
            return std::unique_ptr<KWinScript>(new KWinScript(bus, owned, id));
        }
    }
    unloadScript(bus);
    if (owned) sd_bus_unref(bus);
    return makeError(TR_TEXT("Switching", "KWin loaded the script but did not run it."));
}

KWinScript::~KWinScript() {
    unloadScript(bus_);
    if (owned_) sd_bus_unref(bus_);
}

GnomeExtensionState gnomeExtensionState(std::optional<double> shellState) {
    if (!shellState) return GnomeExtensionState::NotInstalled;
    // GNOME Shell's ExtensionState: 1 enabled (ACTIVE since 46), 2 disabled, 3 error,
    // 4 out of date, 5 downloading, 6 initialized, 7 disabling, 8 enabling.
    switch (static_cast<int>(*shellState)) {
        case 1: return GnomeExtensionState::Enabled;
        case 2: case 6: case 7: return GnomeExtensionState::Disabled;
        case 3: case 4: return GnomeExtensionState::Failed;
        default: return GnomeExtensionState::Unknown;
    }
}

GnomeExtensionState queryGnomeExtension(sd_bus* bus) {
    const bool owned = bus == nullptr;
    if (owned && sd_bus_open_user(&bus) < 0) return GnomeExtensionState::Unknown;
    Call c;
    std::optional<double> state;
    bool known = false;
    // The Shell itself serves the interface at /org/gnome/Shell; the bus name of the same name
    // belongs to the Extensions app's helper, which serves another path and needs a display.
    int r = sd_bus_call_method(bus, "org.gnome.Shell", "/org/gnome/Shell",
                               "org.gnome.Shell.Extensions", "GetExtensionInfo", &c.error,
                               &c.reply, "s", kGnomeExtensionUuid);
    if (r >= 0 && sd_bus_message_enter_container(c.reply, 'a', "{sv}") >= 0) {
        known = true;  // an empty dictionary: the Shell has no such extension
        while (sd_bus_message_enter_container(c.reply, 'e', "sv") > 0) {
            const char* key = nullptr;
            if (sd_bus_message_read(c.reply, "s", &key) < 0) break;
            double value = 0;
            if (std::strcmp(key, "state") == 0 &&
                sd_bus_message_read(c.reply, "v", "d", &value) >= 0) {
                state = value;
            } else if (sd_bus_message_skip(c.reply, "v") < 0) {
                break;
            }
            sd_bus_message_exit_container(c.reply);
        }
    }
    if (owned) sd_bus_unref(bus);
    return known ? gnomeExtensionState(state) : GnomeExtensionState::Unknown;
}

std::optional<Error> gnomeExtensionAdvice(GnomeExtensionState state) {
    const std::string uuid = kGnomeExtensionUuid;
    const Error copy = makeError(
        TR_TEXT("Switching",
                "copy the folder %1 from share/tessaron/gnome-shell/gnome-45 of Tessaron's "
                "installation (gnome-43 for GNOME 43 and 44) into "
                "~/.local/share/gnome-shell/extensions/, log out and in, then run: "
                "gnome-extensions enable %1"),
        uuid);
    switch (state) {
        case GnomeExtensionState::Enabled: return std::nullopt;
        case GnomeExtensionState::Disabled:
            return makeError(TR_TEXT("Switching", "The GNOME Shell extension %1 is installed but "
                                                  "off; run: gnome-extensions enable %1"),
                             uuid);
        case GnomeExtensionState::NotInstalled:
            return makeError(TR_TEXT("Switching", "GNOME tells Tessaron the window in front only "
                                                  "through its extension %1: %2"),
                             uuid, copy);
        case GnomeExtensionState::Failed:
            return makeError(TR_TEXT("Switching", "The GNOME Shell extension %1 failed to start or "
                                                  "does not fit this GNOME version; see "
                                                  "gnome-extensions info %1"),
                             uuid);
        case GnomeExtensionState::Unknown: break;
    }
    return makeError(TR_TEXT("Switching", "GNOME Shell could not be asked about the extension %1; "
                                          "to follow the window in front, %2"),
                     uuid, copy);
}

}  // namespace tessaron::switching
