#pragma once
// Texts of the interface. The code writes each text in English, filed under a context; the
// translations live in translations/*.ts. lupdate finds TR_TEXT and TR_TEXT3 (registered as
// aliases of QT_TRANSLATE_NOOP and QT_TRANSLATE_NOOP3), so the layers without Qt mark their texts
// the same way the windows do.

#include <string>
#include <string_view>
#include <vector>

#include "core/language.h"

namespace tessaron {

struct Text {
    const char* context = "";
    const char* source = "";
    const char* disambiguation = nullptr;  // tells apart one English text translated two ways
};

// The text in the interface language, from the catalogue compiled from the .ts files; the
// English source when the language has no translation for it.
std::string translate(Language lang, const Text& text);

// Replaces %1 ... %9 by the arguments, in one pass (an argument holding "%2" stays as it is).
std::string substitute(std::string_view pattern, const std::vector<std::string>& args);

}  // namespace tessaron

#define TR_TEXT(context, source) (::tessaron::Text{context, source, nullptr})
#define TR_TEXT3(context, source, disambiguation) (::tessaron::Text{context, source, disambiguation})
