#include "keys/key_record.h"
#include "core/text.h"

#include <optional>
#include <vector>

namespace tessaron::keys {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Strict UTF-8 to UTF-16; nullopt for malformed input (overlongs, surrogates, truncation).
std::optional<std::vector<char16_t>> toUtf16(std::string_view text) {
    std::vector<char16_t> units;
    for (std::size_t i = 0; i < text.size();) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        std::size_t len = 0;
        char32_t cp = 0;
        if (b0 < 0x80) {
            len = 1;
            cp = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            len = 2;
            cp = b0 & 0x1F;
        } else if ((b0 & 0xF0) == 0xE0) {
            len = 3;
            cp = b0 & 0x0F;
        } else if ((b0 & 0xF8) == 0xF0) {
            len = 4;
            cp = b0 & 0x07;
        } else {
            return std::nullopt;
        }
        if (i + len > text.size()) return std::nullopt;
        for (std::size_t k = 1; k < len; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80) return std::nullopt;
            cp = (cp << 6) | (b & 0x3F);
        }
        constexpr char32_t kMinForLength[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMinForLength[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return std::nullopt;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return units;
}

}  // namespace

void fillLayoutVks(KeyRecordTable& table) {
    for (std::size_t i = 0; i < kLayoutKeyCount; ++i) {
        table[i].vk = layoutVk(static_cast<KeyIndex>(i));
    }
}

void resetKeyRecords(KeyRecordTable& table) {
    table.fill(KeyRecord{});
    fillLayoutVks(table);
}

std::string hostPath(const KeyRecord& record) {
    std::vector<char16_t> units;
    for (std::size_t i = 0; i + 1 < kHostPathBytes; i += 2) {
        const auto u = static_cast<char16_t>(record.hostPath[i] | (record.hostPath[i + 1] << 8));
        if (u == 0) break;
        units.push_back(u);
    }
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

Status validateHostPath(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) {
        return makeError(TR_TEXT("Keys", "The path contains a zero character."));
    }
    const auto units = toUtf16(path);
    if (!units) {
        return makeError(TR_TEXT("Keys", "The path is not valid UTF-8 text and cannot be stored for a key."));
    }
    if (units->size() > kMaxHostPathUnits) {
        return makeError(TR_TEXT("Keys", "The path is longer than 255 characters; a key can only hold shorter paths."));
    }
    return {};
}

Status setHostPath(KeyRecord& record, std::string_view path) {
    if (auto status = validateHostPath(path); !status) return status;
    const auto units = *toUtf16(path);
    record.hostPath.fill(0);
    for (std::size_t i = 0; i < units.size(); ++i) {
        record.hostPath[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFF);
        record.hostPath[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
    }
    return {};
}

bool keyEnabled(const device::DeviceImage& image, KeyIndex index) {
    const std::uint8_t g = gridPosition(index);
    return (image[device::image::kEnableBitmap + g / 8] >> (g % 8)) & 1;
}

void setKeyEnabled(device::DeviceImage& image, KeyIndex index, bool enabled) {
    const std::uint8_t g = gridPosition(index);
    auto& byte = image[device::image::kEnableBitmap + g / 8];
    const auto bit = static_cast<std::uint8_t>(1u << (g % 8));
    byte = static_cast<std::uint8_t>(enabled ? (byte | bit) : (byte & ~bit));
}

void enableAllKeys(device::DeviceImage& image) {
    for (std::size_t i = 0; i < device::image::kEnableBitmapSize; ++i) {
        image[device::image::kEnableBitmap + i] = 0xFF;
    }
}

}  // namespace tessaron::keys
