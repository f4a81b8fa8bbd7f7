// tessaronctl names: the words other commands accept, one a line, for scripts and for the shell's
// completion. Every key name printed finds that same key again.

#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/command.h"
#include "keys/functions.h"
#include "keys/key_layout.h"
#include "keys/key_lookup.h"
#include "keys/key_names.h"
#include "keys/lighting.h"

namespace tessaron::cli {
namespace {

constexpr const char* kUsage = "names commands|keys|effects|functions";

std::string trimmed(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return std::string(s);
}

// The legend when it finds the key, else its key name, else "#N" (two keys share "Ent").
std::string keyWord(keys::KeyIndex k) {
    for (const std::string& word :
         {std::string(keys::legend(k)), trimmed(keys::keyName(keys::layoutVk(k)))}) {
        if (!word.empty() && keys::findKey(word) == k) return word;
    }
    return "#" + std::to_string(k);
}

int runNames(Context& ctx) {
    if (ctx.args.size() != 1) return usageError(ctx, kUsage);
    const std::string& what = ctx.args[0];
    const Language lang = languageOf(ctx);
    std::vector<std::string> words;
    if (what == "commands") {
        for (const auto& c : commands()) words.emplace_back(c.name);
        std::sort(words.begin(), words.end());
    } else if (what == "keys") {
        for (std::size_t i = 0; i < keys::kRealKeyCount; ++i) {
            words.push_back(keyWord(static_cast<keys::KeyIndex>(i)));
        }
    } else if (what == "effects") {
        for (const auto& e : keys::lighting::effects()) words.emplace_back(e.name(lang));
    } else if (what == "functions") {
        for (const auto& f : keys::functionTable()) words.emplace_back(f.name(lang));
    } else {
        return usageError(ctx, kUsage);
    }
    for (const auto& w : words) std::cout << w << "\n";
    return 0;
}

const Registrar names({"names", kUsage,
                       TR_TEXT("Tessaronctl", "Print the command, key, effect or function names the other commands "
                       "accept, one a line."),
                       runNames});

}  // namespace
}  // namespace tessaron::cli
