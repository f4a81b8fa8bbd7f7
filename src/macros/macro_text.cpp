#include "macros/macro_text.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

#include "core/text.h"
#include "macros/event_lines.h"
#include "macros/event_stream.h"
#include "keys/key_lookup.h"
#include "keys/key_names.h"

namespace tessaron::macros {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

template <class T>
std::optional<T> number(std::string_view text, int base = 10) {
    T value{};
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

constexpr Text kLineError = TR_TEXT("Macros", "Line %1: %2");

Error lineError(std::size_t line, const Error& why) {
    return makeError(kLineError, std::to_string(line), why);
}

std::optional<std::uint8_t> keyCode(std::string_view word) {
    if (word.size() == 4 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        return number<std::uint8_t>(word.substr(2), 16);
    }
    return keys::findKeyCode(word);
}

// The key's name when it reads back as the same key, else its code.
std::string keyWord(std::uint8_t vk) {
    const std::string_view name = trim(keys::keyName(vk));
    if (!name.empty() && keys::findKeyCode(name) == vk) return std::string(name);
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", vk);
    return buffer;
}

}  // namespace

std::optional<std::size_t> errorLine(const Error& e) {
    if (e.source != kLineError.source || e.context != kLineError.context || e.args.size() != 2) {
        return std::nullopt;
    }
    return number<std::size_t>(e.args[0].source);
}

Result<MacroRecord> parseMacroText(std::string_view text) {
    MacroRecord record;
    record.setLoopCount(1);
    StreamPair streams;
    std::uint16_t pendingDelay = 0;  // 0 = none; delays are 2..60000 ms
    bool anyEvent = false;
    bool anyDelay = false;

    std::size_t lineNo = 0;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        std::string_view line = trim(text.substr(0, newline));
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        ++lineNo;
        if (line.empty() || line.front() == '#') continue;

        if (line.starts_with("name:")) {
            const auto name = utf8ToUtf16(trim(line.substr(5)));
            if (name.size() > record::kNameMaxUnits) {
                return lineError(lineNo,
                                 TR_TEXT("Macros", "the name is longer than 254 characters."));
            }
            record.setName(name);
            continue;
        }
        if (line.starts_with("loops:")) {
            const auto loops = number<std::uint16_t>(trim(line.substr(6)));
            if (!loops) {
                return lineError(
                    lineNo,
                    TR_TEXT("Macros", "the number of loops must be a whole number up to 65535."));
            }
            record.setLoopCount(*loops);
            continue;
        }

        const auto space = line.find_last_of(" \t");
        const std::string_view last =
            space == std::string_view::npos ? line : line.substr(space + 1);
        const std::string_view rest =
            space == std::string_view::npos ? "" : trim(line.substr(0, space));
        if (last == "ms") {
            const auto ms = number<unsigned>(rest);
            if (!ms || *ms < event::kMinDelayMs || *ms > event::kMaxDelayMs) {
                return lineError(lineNo, TR_TEXT("Macros", "a delay must be 2 to 60000 ms."));
            }
            if (!anyEvent) {
                return lineError(lineNo, TR_TEXT("Macros", "a macro cannot start with a delay."));
            }
            if (pendingDelay) {
                return lineError(lineNo, TR_TEXT("Macros", "two delays follow each other."));
            }
            pendingDelay = static_cast<std::uint16_t>(*ms);
            continue;
        }
        if (last != "dn" && last != "up") {
            return lineError(
                lineNo,
                TR_TEXT("Macros",
                        "expected \"KEY dn\", \"KEY up\", \"N ms\", \"name:\" or \"loops:\"."));
        }
        const auto vk = keyCode(rest);
        if (!vk || *vk == 0) {
            return lineError(
                lineNo, makeError(TR_TEXT("Macros", "unknown key \"%1\"."), std::string(rest)));
        }
        if (keys::usageCode(*vk) == 0) {
            return lineError(lineNo,
                             makeError(TR_TEXT("Macros", "the keyboard cannot play the key \"%1\"."), std::string(rest)));
        }
        const NewEvent ev{last == "up", *vk, keys::usageCode(*vk), pendingDelay};
        if (!insertEvent(streams, streamEnd(streams.host), ev)) {
            return lineError(
                lineNo,
                TR_TEXT("Macros", "the macro is longer than the 190 bytes a macro can hold."));
        }
        anyDelay = anyDelay || (pendingDelay != 0);
        pendingDelay = 0;
        anyEvent = true;
    }
    if (pendingDelay) {
        return makeError(TR_TEXT("Macros", "The macro ends with a delay that no event follows."));
    }
    record.setHostStream(streams.host);
    record.setDeviceStream(streams.device);
    record.setDelayFlag(anyDelay);
    return record;
}

std::string formatMacroText(const MacroRecord& record) {
    std::string name = utf16ToUtf8(record.name());
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';  // one line per field
    }
    std::string out = "name: " + name + "\n";
    out += "loops: " + std::to_string(record.loopCount()) + "\n";
    for (const auto& e : decodeEvents(record.hostStream())) {
        if (e.offset != 0 && e.delayCode() > event::kNoDelay) out += delayLine(e.delayMs()) + "\n";
        out += keyWord(e.code) + (e.release() ? " up" : " dn") + "\n";
    }
    return out;
}

}  // namespace tessaron::macros
