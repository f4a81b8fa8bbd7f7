#pragma once
// Start-up settings read from files: the interface language and the shipped firmware version.
//
// The language lives where a Qt program of organisation "Lumvex" keeps its settings:
// $XDG_CONFIG_HOME/Lumvex.conf (else ~/.config/Lumvex.conf), an INI file whose [General] section
// holds Language=chinese for Chinese; anything else is English. The program never writes it.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/language.h"

namespace tessaron {

inline constexpr const char* kSettingsOrganisation = "Lumvex";
inline constexpr const char* kLanguageKey = "Language";
inline constexpr const char* kVersionFileName = "VER.bin";

// The settings file for the given XDG_CONFIG_HOME and HOME values; empty when neither helps.
std::filesystem::path settingsFile(const std::optional<std::string>& xdgConfigHome,
                                   const std::optional<std::string>& home);
// The same for this process's environment.
std::filesystem::path settingsFile();

// A value of the INI text, "Section/Key" style as the settings store spells it: keys outside
// any section belong to [General]. Quoted values are unquoted.
std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key);

// The Language value of the settings file, if any.
std::optional<std::string> readLanguageValue(const std::filesystem::path& file);

// "english", "chinese" or "pseudo" (the test language), as --lang and Language= take them.
std::optional<Language> languageNamed(std::string_view name);

// "chinese" exactly selects Chinese, "pseudo" the test language; anything else, and no value,
// English.
Language languageFromValue(const std::optional<std::string>& value);

// The interface language of this run: the --lang option when given, else the settings file.
Language resolveLanguage(std::optional<Language> option, const std::filesystem::path& file);

// The firmware version shipped beside the program: ASCII digits at bytes 5 and 7 of VER.bin.
struct FileVersion {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
    friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

// 0.0 when the file is missing; a digit the file does not reach, or a byte that is not a digit,
// counts as 0.
FileVersion readFileVersion(const std::filesystem::path& file);

}  // namespace tessaron
