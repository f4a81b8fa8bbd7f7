#include "macros/macro_text.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <vector>

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

Error lineError(std::size_t line, const std::string& english, const std::string& chinese) {
    const std::string n = std::to_string(line);
    return makeError("Line " + n + ": " + english, "第 " + n + " 行：" + chinese);
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
                return lineError(lineNo, "the name is longer than 254 characters.",
                                 "名称超过 254 个字符。");
            }
            record.setName(name);
            continue;
        }
        if (line.starts_with("loops:")) {
            const auto loops = number<std::uint16_t>(trim(line.substr(6)));
            if (!loops) {
                return lineError(lineNo, "the number of loops must be a whole number up to 65535.",
                                 "循环次数必须是不大于 65535 的整数。");
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
                return lineError(lineNo, "a delay must be 2 to 60000 ms.",
                                 "延时必须在 2 到 60000 毫秒之间。");
            }
            if (!anyEvent) {
                return lineError(lineNo, "a macro cannot start with a delay.",
                                 "宏不能以延时开始。");
            }
            if (pendingDelay) {
                return lineError(lineNo, "two delays follow each other.", "两个延时连在一起。");
            }
            pendingDelay = static_cast<std::uint16_t>(*ms);
            continue;
        }
        if (last != "dn" && last != "up") {
            return lineError(lineNo,
                             "expected \"KEY dn\", \"KEY up\", \"N ms\", \"name:\" or \"loops:\".",
                             "应为 \"按键 dn\"、\"按键 up\"、\"N ms\"、\"name:\" 或 \"loops:\"。");
        }
        const auto vk = keyCode(rest);
        if (!vk || *vk == 0) {
            return lineError(lineNo, "unknown key \"" + std::string(rest) + "\".",
                             "未知按键 \"" + std::string(rest) + "\"。");
        }
        if (keys::usageCode(*vk) == 0) {
            return lineError(lineNo,
                             "the keyboard cannot play the key \"" + std::string(rest) + "\".",
                             "键盘无法回放按键 \"" + std::string(rest) + "\"。");
        }
        const NewEvent ev{last == "up", *vk, keys::usageCode(*vk), pendingDelay};
        if (!insertEvent(streams, streamEnd(streams.host), ev)) {
            return lineError(lineNo, "the macro is longer than the 190 bytes a macro can hold.",
                             "宏超过了 190 字节的容量。");
        }
        anyDelay = anyDelay || (pendingDelay != 0);
        pendingDelay = 0;
        anyEvent = true;
    }
    if (pendingDelay) {
        return makeError("The macro ends with a delay that no event follows.",
                         "宏以延时结束，其后没有事件。");
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
