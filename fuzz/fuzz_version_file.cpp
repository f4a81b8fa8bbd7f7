// VER.bin and the settings file are read at start-up from outside the program: any content must
// give a version of two digits and a language, never more.

#include "core/settings.h"
#include "fuzz_support.h"

namespace {

using namespace tessaron;

std::uint8_t digit(std::span<const std::uint8_t> bytes, std::size_t at) {
    return at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9'
               ? static_cast<std::uint8_t>(bytes[at] - '0')
               : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    static const auto version = fuzz::scratchFolder() / kVersionFileName;
    static const auto settings = fuzz::scratchFolder() / "Lumvex.conf";

    fuzz::writeFile(version, bytes);
    const FileVersion v = readFileVersion(version);
    FUZZ_CHECK(v.major == digit(bytes, 5));
    FUZZ_CHECK(v.minor == digit(bytes, 7));

    fuzz::writeFile(settings, bytes);
    const auto value = readLanguageValue(settings);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(value == iniValue(text, "General", kLanguageKey));
    if (value) FUZZ_CHECK(value->size() <= size);
    const Language lang = resolveLanguage(std::nullopt, settings);
    const bool named = value && (*value == "chinese" || *value == "pseudo");
    FUZZ_CHECK(lang == (!named                 ? Language::English
                        : *value == "chinese" ? Language::Chinese
                                              : Language::Pseudo));
    return 0;
}
