#include "core/text.h"

#include <cstring>

#include "core/text_catalogue.h"

namespace tessaron {

namespace {

bool same(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return (a == nullptr || *a == '\0') && (b == nullptr || *b == '\0');
    return std::strcmp(a, b) == 0;
}

}  // namespace

std::string translate(Language lang, const Text& text) {
    const catalogue::Entry* found = catalogue::find(text.context, text.source);
    for (; found != nullptr && found < catalogue::end() && std::strcmp(found->context, text.context) == 0 &&
           std::strcmp(found->source, text.source) == 0;
         ++found) {
        if (!same(found->disambiguation, text.disambiguation)) continue;
        const char* translated = catalogue::translation(*found, lang);
        if (translated != nullptr && *translated != '\0') return translated;
        break;
    }
    return text.source;
}

std::string substitute(std::string_view pattern, const std::vector<std::string>& args) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += args[n];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace tessaron
