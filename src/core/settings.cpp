#include "core/settings.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/atomic_file.h"

namespace tessaron {
namespace {

namespace fs = std::filesystem;

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

// Undoes the settings store's quoting and backslash escapes of a plain string value.
std::string unquote(std::string_view raw) {
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && i + 1 < raw.size()) {
            const char n = raw[++i];
            out += n == 'n' ? '\n' : n == 't' ? '\t' : n == 'r' ? '\r' : n;
        } else if (c == ';' && !quoted) {
            break;  // a comment
        } else {
            out += c;
        }
    }
    return std::string(trim(out));
}

constexpr std::size_t kVersionMajorByte = 5;
constexpr std::size_t kVersionMinorByte = 7;
constexpr std::size_t kVersionReadSize = 12;

std::uint8_t digitAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    if (at >= bytes.size()) return 0;
    const std::uint8_t b = bytes[at];
    return (b >= '0' && b <= '9') ? static_cast<std::uint8_t>(b - '0') : 0;
}

}  // namespace

fs::path settingsFile(const std::optional<std::string>& xdgConfigHome,
                      const std::optional<std::string>& home) {
    const std::string name = std::string(kSettingsOrganisation) + ".conf";
    if (xdgConfigHome && !xdgConfigHome->empty() && fs::path(*xdgConfigHome).is_absolute()) {
        return fs::path(*xdgConfigHome) / name;
    }
    if (home && !home->empty()) return fs::path(*home) / ".config" / name;
    return {};
}

fs::path settingsFile() {
    return settingsFile(variable("XDG_CONFIG_HOME"), variable("HOME"));
}

std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
    std::string_view current = "General";
    std::optional<std::string> found;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = trim(line.substr(1, line.size() - 2));
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (current == section && trim(line.substr(0, eq)) == key) {
            found = unquote(trim(line.substr(eq + 1)));  // the last one wins
        }
    }
    return found;
}

std::optional<std::string> readLanguageValue(const fs::path& file) {
    if (file.empty()) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return iniValue(text.str(), "General", kLanguageKey);
}

std::optional<Language> languageNamed(std::string_view name) {
    if (name == "english") return Language::English;
    if (name == "chinese") return Language::Chinese;
    if (name == "pseudo") return Language::Pseudo;
    return std::nullopt;
}

Language languageFromValue(const std::optional<std::string>& value) {
    return (value ? languageNamed(*value) : std::nullopt).value_or(Language::English);
}

Language resolveLanguage(std::optional<Language> option, const fs::path& file) {
    if (option) return *option;
    return languageFromValue(readLanguageValue(file));
}

FileVersion readFileVersion(const fs::path& file) {
    const auto bytes = readFilePrefix(file, kVersionReadSize);
    if (!bytes) return {};
    return {digitAt(*bytes, kVersionMajorByte), digitAt(*bytes, kVersionMinorByte)};
}

}  // namespace tessaron
