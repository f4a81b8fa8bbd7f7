#include "app/shell/autostart.h"

#include <cstdlib>
#include <string_view>
#include <system_error>

#include "core/atomic_file.h"
#include "core/text.h"

namespace tessaron::app {

namespace fs = std::filesystem;

namespace {

constexpr Text kComment =
    TR_TEXT("Shell", "Keeps the gaming keyboard's keys for programs, files and sounds working");

constexpr std::size_t kMaxEntrySize = 64 * 1024;

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    return std::string(value);
}

Error writeFailed(const fs::path& path) {
    return makeError(TR_TEXT("Shell", "The autostart entry %1 could not be written."),
                     path.string());
}

// The value of key in the [Desktop Entry] group; nullopt when absent.
std::optional<std::string> entryValue(const std::string& text, std::string_view key) {
    bool inGroup = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto end = std::min(text.find('\n', pos), text.size());
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with('[')) {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        if (!inGroup || !line.starts_with(key)) continue;
        auto rest = line.substr(key.size());
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        if (!rest.starts_with('=')) continue;
        rest.remove_prefix(1);
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        return std::string(rest);
    }
    return std::nullopt;
}

// An entry that exists and is not switched off.
std::optional<bool> entryActive(const fs::path& path) {
    std::error_code ec;
    if (path.empty() || !fs::exists(path, ec)) return std::nullopt;
    auto bytes = readFilePrefix(path, kMaxEntrySize);
    if (!bytes) return false;
    const std::string text(bytes->begin(), bytes->end());
    if (entryValue(text, "Hidden") == "true") return false;
    if (entryValue(text, "X-GNOME-Autostart-enabled") == "false") return false;
    return true;
}

Status writeEntry(const fs::path& path, const std::string& text) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!writeFileAtomically(path, std::span(data, text.size()))) return writeFailed(path);
    return {};
}

}  // namespace

AutostartPlaces AutostartPlaces::from(const std::optional<std::string>& xdgConfigHome,
                                      const std::optional<std::string>& home,
                                      const std::optional<std::string>& xdgConfigDirs) {
    AutostartPlaces places;
    // Relative XDG paths are invalid and ignored.
    if (xdgConfigHome && fs::path(*xdgConfigHome).is_absolute()) {
        places.userEntry = fs::path(*xdgConfigHome) / "autostart" / kAutostartFileName;
    } else if (home && !home->empty()) {
        places.userEntry = fs::path(*home) / ".config" / "autostart" / kAutostartFileName;
    }
    const std::string dirs = xdgConfigDirs.value_or("/etc/xdg");
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const auto colon = std::min(dirs.find(':', start), dirs.size());
        const fs::path dir(dirs.substr(start, colon - start));
        if (dir.is_absolute())
            places.systemEntries.push_back(dir / "autostart" / kAutostartFileName);
        start = colon + 1;
    }
    return places;
}

AutostartPlaces AutostartPlaces::fromProcess() {
    return from(variable("XDG_CONFIG_HOME"), variable("HOME"), variable("XDG_CONFIG_DIRS"));
}

std::string quoteExecArgument(const std::string& argument) {
    static constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    static constexpr std::string_view kEscapedInQuotes = "\"`$\\";
    std::string out;
    const bool quote = argument.empty() || argument.find_first_of(kReserved) != std::string::npos;
    if (quote) out += '"';
    for (const char c : argument) {
        if (quote && kEscapedInQuotes.find(c) != std::string_view::npos) out += '\\';
        out += c;
        if (c == '%') out += '%';  // a lone % would start a field code
    }
    if (quote) out += '"';
    return out;
}

Result<std::string> autostartEntryText(const fs::path& executable) {
    const std::string path = executable.string();
    for (const unsigned char c : path) {
        if (c < 0x20 || c == 0x7F) {
            return makeError(TR_TEXT(
                "Shell",
                "The program's path holds a control character and cannot be started at login."));
        }
    }
    // The value's own escapes come last: each backslash of the quoted command doubles.
    std::string exec;
    for (const char c : quoteExecArgument(path) + " " + kHiddenOption) {
        if (c == '\\') exec += '\\';
        exec += c;
    }
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tessaron\n"
           "Comment=" +
           std::string(kComment.source) + "\n" +
           "Comment[zh_CN]=" + translate(Language::Chinese, kComment) + "\n" + "Exec=" + exec +
           "\n"
           "Icon=tessaron\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool autostartEnabled(const AutostartPlaces& places) {
    if (auto user = entryActive(places.userEntry)) return *user;
    for (const auto& entry : places.systemEntries) {
        if (auto system = entryActive(entry)) return *system;
    }
    return false;
}

Status setAutostart(const AutostartPlaces& places, const fs::path& executable, bool enabled) {
    if (places.userEntry.empty()) {
        return makeError(
            TR_TEXT("Shell", "There is no home folder to keep the autostart entry in."));
    }
    if (enabled) {
        auto text = autostartEntryText(executable);
        if (!text) return text.error();
        return writeEntry(places.userEntry, *text);
    }
    bool systemWide = false;
    for (const auto& entry : places.systemEntries) {
        systemWide = systemWide || entryActive(entry).value_or(false);
    }
    if (systemWide) {
        return writeEntry(places.userEntry,
                          "[Desktop Entry]\nType=Application\nName=Tessaron\nHidden=true\n");
    }
    std::error_code ec;
    fs::remove(places.userEntry, ec);
    if (ec) return writeFailed(places.userEntry);
    return {};
}

}  // namespace tessaron::app
