#pragma once
// The catalogue generated at build time from translations/*.ts (tools/i18n/ts_catalogue.py), for
// the code that runs without Qt: tessaronctl and the layers below the windows.

#include <cstddef>

#include "core/language.h"

namespace tessaron::catalogue {

struct Entry {
    const char* context;
    const char* source;
    const char* disambiguation;  // "" when none
    const char* const* translations;  // one per translated language, "" when not translated
};

// The first entry of the context and source (the table is sorted), or nullptr.
const Entry* find(const char* context, const char* source);
const Entry* end();
// The translation of the entry into the language, nullptr when the language is the source's.
const char* translation(const Entry& entry, Language lang);

}  // namespace tessaron::catalogue
