#pragma once
#include <cstdint>

namespace tessaron {

// The interface language code; the texts come from the catalogue of the language (core/text.h).
// Pseudo is the test language: every English text accented, lengthened and bracketed.
enum class Language : std::uint16_t { Chinese = 4, English = 9, Pseudo = 0x7F };
inline constexpr Language kLanguages[] = {Language::English, Language::Chinese, Language::Pseudo};

}  // namespace tessaron
