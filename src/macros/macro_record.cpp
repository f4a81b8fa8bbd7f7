#include "macros/macro_record.h"

#include <algorithm>

namespace tessaron::macros {

std::u16string MacroRecord::name() const {
    std::u16string out;
    for (std::size_t i = 0; i < record::kNameMaxUnits; ++i) {
        const auto lo = bytes_[record::kName + 2 * i];
        const auto hi = bytes_[record::kName + 2 * i + 1];
        const auto unit = static_cast<char16_t>(lo | (hi << 8));
        if (unit == 0) break;
        out.push_back(unit);
    }
    return out;
}

void MacroRecord::setName(std::u16string_view name) {
    std::fill_n(bytes_.begin() + record::kName, record::kNameBytes, std::uint8_t{0});
    const std::size_t n = std::min(name.size(), record::kNameMaxUnits);
    for (std::size_t i = 0; i < n; ++i) {
        bytes_[record::kName + 2 * i] = static_cast<std::uint8_t>(name[i] & 0xFF);
        bytes_[record::kName + 2 * i + 1] = static_cast<std::uint8_t>(name[i] >> 8);
    }
}

std::uint16_t MacroRecord::loopCount() const {
    return static_cast<std::uint16_t>(bytes_[record::kLoopCount] |
                                      (bytes_[record::kLoopCount + 1] << 8));
}

void MacroRecord::setLoopCount(std::uint16_t count) {
    bytes_[record::kLoopCount] = static_cast<std::uint8_t>(count & 0xFF);
    bytes_[record::kLoopCount + 1] = static_cast<std::uint8_t>(count >> 8);
}

Stream MacroRecord::stream(std::size_t offset) const {
    Stream s;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), s.size(), s.begin());
    return s;
}

void MacroRecord::setStream(std::size_t offset, const Stream& s) {
    std::copy(s.begin(), s.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::size_t MacroTable::countInUse() const {
    std::size_t n = 0;
    while (n < records_.size() && records_[n].inUse()) ++n;
    return n;
}

void MacroTable::assignPrefix(std::span<const std::uint8_t> bytes) {
    bytes = bytes.first(std::min(bytes.size(), kTableSize));
    for (std::size_t i = 0; i < records_.size() && !bytes.empty(); ++i) {
        const auto part = bytes.first(std::min(bytes.size(), record::kSize));
        std::copy(part.begin(), part.end(), records_[i].bytes().begin());
        bytes = bytes.subspan(part.size());
    }
}

std::vector<std::uint8_t> MacroTable::toBytes() const {
    std::vector<std::uint8_t> out;
    out.reserve(kTableSize);
    for (const auto& r : records_) out.insert(out.end(), r.bytes().begin(), r.bytes().end());
    return out;
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    std::size_t i = 0;
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    while (i < text.size()) {
        const unsigned char c = byte(i);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
        }
        if (len > 1) {
            bool valid = i + len <= text.size();
            char32_t value = c & (0x7F >> len);
            for (std::size_t k = 1; valid && k < len; ++k) {
                if ((byte(i + k) & 0xC0) != 0x80) valid = false;
                value = (value << 6) | (byte(i + k) & 0x3F);
            }
            static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
            if (valid && value >= kMin[len] && value <= 0x10FFFF &&
                !(value >= 0xD800 && value <= 0xDFFF)) {
                cp = value;
            } else {
                len = 1;
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::vector<RecordChange> changedRecords(const MacroTable& before, const MacroTable& after) {
    std::vector<RecordChange> changes;
    for (std::size_t i = 0; i < kTableRecords; ++i) {
        if (!(before[i] == after[i])) changes.push_back({i, before[i], after[i]});
    }
    return changes;
}

void applyChanges(MacroTable& table, const std::vector<RecordChange>& changes, bool forward) {
    for (const RecordChange& c : changes) table[c.index] = forward ? c.after : c.before;
}

}  // namespace tessaron::macros
