#pragma once
#include <cstdint>

namespace tessaron {

// The interface language code; every window picks its texts by testing for Chinese.
enum class Language : std::uint16_t { Chinese = 4, English = 9 };

// Picks the text of the interface language.
template <class T>
constexpr const T& pick(Language lang, const T& english, const T& chinese) {
    return lang == Language::Chinese ? chinese : english;
}

}  // namespace tessaron
