#pragma once
// The two desktops that report the window in front themselves, over D-Bus, to Tessaron's
// ReportActiveWindow method: KDE Plasma through a KWin script Tessaron loads into KWin for as long
// as it runs, GNOME through a Shell extension the user installs and enables once.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/result.h"

struct sd_bus;

namespace tessaron::switching {

// The KWin script of packaging/kwin, loaded into the session's KWin; unloaded when this goes.
class KWinScript {
public:
    static constexpr const char* kPluginName = "tessaron-follow";

    // Loads `mainScript` (contents/code/main.js) and runs it. `bus` is the session bus when
    // nullptr; otherwise that bus is used and not owned.
    static Result<std::unique_ptr<KWinScript>> load(const std::filesystem::path& mainScript,
                                                     sd_bus* bus = nullptr);
    ~KWinScript();
    KWinScript(const KWinScript&) = delete;
    KWinScript& operator=(const KWinScript&) = delete;

    int id() const { return id_; }

private:
    KWinScript(sd_bus* bus, bool owned, int id) : bus_(bus), owned_(owned), id_(id) {}
    sd_bus* bus_;
    bool owned_;
    int id_;
};

inline constexpr const char* kGnomeExtensionUuid = "follow@tessaron.org";

// The extension as GNOME Shell sees it.
enum class GnomeExtensionState { Enabled, Disabled, NotInstalled, Failed, Unknown };

// GNOME Shell's numeric state (org.gnome.Shell.Extensions GetExtensionInfo "state"); nullopt when
// the Shell does not know the extension.
GnomeExtensionState gnomeExtensionState(std::optional<double> shellState);
// Asks the running GNOME Shell over `bus` (nullptr: the session bus). Unknown when it cannot.
GnomeExtensionState queryGnomeExtension(sd_bus* bus = nullptr);
// What to tell the user; nothing when the extension is enabled.
std::optional<Error> gnomeExtensionAdvice(GnomeExtensionState state);

}  // namespace tessaron::switching
