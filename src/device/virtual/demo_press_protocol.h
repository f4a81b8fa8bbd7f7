#pragma once
// Pressing a key of the virtual keyboard that a running `tessaron --demo` holds, from another
// process (tessaronctl --demo press KEY), so host actions can be tried without a keyboard.
//
// The same socket unplugs and plugs that keyboard in again, so a user can watch the window follow
// the cable.
//
// A local stream socket named kPressSocketName in the data folder takes one request line and
// answers one reply line:
//   request  "press <key index>\n" | "unplug\n" | "plug\n"
//   reply    "reported <code>\n"  the key reported its code on the event channel
//            "silent\n"           the keyboard holds no enabled host-action cell for the key
//            "unplugged\n"        the keyboard is (now) unplugged; a press reports nothing
//            "plugged\n"          the keyboard is (now) plugged in
//            "error <text>\n"     the request was not understood
// Plain C++ so both sides share it.

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/text.h"

namespace tessaron::device::press {

inline constexpr const char* kPressSocketName = "virtual-keyboard.press";
inline constexpr std::size_t kMaxLine = 256;

// The window's refusals travel in English; the asking end tells them in its own language.
inline constexpr Text kBadRequest =
    TR_TEXT("DemoPress", "expected: press <key index>, unplug or plug");
inline constexpr Text kNoSuchKey = TR_TEXT("DemoPress", "no such key index");
inline constexpr Text kUnheard =
    TR_TEXT("DemoPress",
            "the key was pressed, but no program reads the keyboard's events yet (it was just "
            "plugged in); nothing was reported, try again in a few seconds");

// An error reply's text in the interface language; a text this side does not know stays as sent.
inline std::string errorText(Language lang, const std::string& sent) {
    for (const Text& known : {kBadRequest, kNoSuchKey, kUnheard}) {
        if (sent == known.source) return translate(lang, known);
    }
    return sent;
}

inline std::string request(unsigned keyIndex) {
    return "press " + std::to_string(keyIndex) + "\n";
}

inline std::string plugRequest(bool plugIn) {
    return plugIn ? "plug\n" : "unplug\n";
}

namespace detail {
inline std::optional<unsigned> number(std::string_view text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}
inline std::string_view chomp(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    return line;
}
}  // namespace detail

// The key index of a request line, if it is one.
inline std::optional<unsigned> parseRequest(std::string_view line) {
    line = detail::chomp(line);
    constexpr std::string_view kVerb = "press ";
    if (!line.starts_with(kVerb)) return std::nullopt;
    return detail::number(line.substr(kVerb.size()));
}

// true for a plug request, false for an unplug request.
inline std::optional<bool> parsePlugRequest(std::string_view line) {
    line = detail::chomp(line);
    if (line == "plug") return true;
    if (line == "unplug") return false;
    return std::nullopt;
}

struct Reply {
    enum class Kind { Reported, Silent, Error, Unplugged, Plugged } kind = Kind::Error;
    std::uint8_t code = 0;  // Reported
    std::string text;       // Error
};

inline std::string formatReply(const Reply& reply) {
    switch (reply.kind) {
        case Reply::Kind::Reported:
            return "reported " + std::to_string(reply.code) + "\n";
        case Reply::Kind::Silent:
            return "silent\n";
        case Reply::Kind::Unplugged:
            return "unplugged\n";
        case Reply::Kind::Plugged:
            return "plugged\n";
        case Reply::Kind::Error:
            break;
    }
    return "error " + reply.text + "\n";
}

inline std::optional<Reply> parseReply(std::string_view line) {
    line = detail::chomp(line);
    if (line == "silent") return Reply{Reply::Kind::Silent, 0, {}};
    if (line == "unplugged") return Reply{Reply::Kind::Unplugged, 0, {}};
    if (line == "plugged") return Reply{Reply::Kind::Plugged, 0, {}};
    if (line.starts_with("reported ")) {
        const auto code = detail::number(line.substr(9));
        if (!code || *code > 255) return std::nullopt;
        return Reply{Reply::Kind::Reported, static_cast<std::uint8_t>(*code), {}};
    }
    if (line.starts_with("error "))
        return Reply{Reply::Kind::Error, 0, std::string(line.substr(6))};
    return std::nullopt;
}

}  // namespace tessaron::device::press
