#include "device/hid/permission_doctor_rules.h"

#include <fnmatch.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>

namespace tessaron::device::hid {

namespace {

constexpr std::array<std::string_view, 30> kKnownKeys = {
    "ACTION", "DEVPATH",  "KERNEL",  "KERNELS", "NAME",   "SYMLINK",     "SUBSYSTEM", "SUBSYSTEMS",
    "DRIVER", "DRIVERS",  "ATTR",    "ATTRS",   "SYSCTL", "ENV",         "CONST",     "TAG",
    "TAGS",   "TEST",     "PROGRAM", "RESULT",  "IMPORT", "OPTIONS",     "OWNER",     "GROUP",
    "MODE",   "SECLABEL", "RUN",     "LABEL",   "GOTO",   "CURRENT_TAGS"};

constexpr std::array<std::string_view, 6> kKeysWithAttribute = {"ATTR", "ATTRS",    "SYSCTL",
                                                                "ENV",  "SECLABEL", "CONST"};

bool isMatchOp(std::string_view op) {
    return op == "==" || op == "!=";
}

bool known(std::string_view key) {
    return std::find(kKnownKeys.begin(), kKnownKeys.end(), key) != kKnownKeys.end();
}

class LineParser {
public:
    explicit LineParser(std::string_view text) : text_(text) {}

    // The items, or the reason the line does not parse.
    std::optional<std::vector<RuleItem>> parse(std::string& problem) {
        std::vector<RuleItem> items;
        while (true) {
            skip(" \t,");
            if (at_ >= text_.size()) break;
            RuleItem item;
            if (!readKey(item, problem) || !readOp(item, problem) || !readValue(item, problem)) {
                return std::nullopt;
            }
            if (at_ < text_.size() && text_[at_] != ',' && text_[at_] != ' ' &&
                text_[at_] != '\t') {
                problem = "expected a comma after the value of " + item.key;
                return std::nullopt;
            }
            items.push_back(std::move(item));
        }
        if (items.empty()) problem = "empty rule";
        if (items.empty()) return std::nullopt;
        return items;
    }

private:
    void skip(std::string_view chars) {
        while (at_ < text_.size() && chars.find(text_[at_]) != std::string_view::npos) ++at_;
    }

    bool readKey(RuleItem& item, std::string& problem) {
        const std::size_t start = at_;
        while (at_ < text_.size() &&
               (std::isupper(static_cast<unsigned char>(text_[at_])) || text_[at_] == '_')) {
            ++at_;
        }
        item.key = std::string(text_.substr(start, at_ - start));
        if (item.key.empty() || !known(item.key)) {
            problem =
                "unknown key \"" +
                std::string(text_.substr(start, std::min<std::size_t>(16, text_.size() - start))) +
                "\"";
            return false;
        }
        if (at_ < text_.size() && text_[at_] == '{') {
            const auto close = text_.find('}', at_);
            if (close == std::string_view::npos) {
                problem = "unclosed { after " + item.key;
                return false;
            }
            item.attribute = std::string(text_.substr(at_ + 1, close - at_ - 1));
            at_ = close + 1;
        }
        const bool needsAttribute = std::find(kKeysWithAttribute.begin(), kKeysWithAttribute.end(),
                                              item.key) != kKeysWithAttribute.end();
        if (needsAttribute && item.attribute.empty()) {
            problem = item.key + " needs an attribute in braces";
            return false;
        }
        return true;
    }

    bool readOp(RuleItem& item, std::string& problem) {
        skip(" \t");
        for (std::string_view op : {"==", "!=", "+=", "-=", ":=", "="}) {
            if (text_.substr(at_, op.size()) == op) {
                item.op = std::string(op);
                at_ += op.size();
                return true;
            }
        }
        problem = "missing operator after " + item.key;
        return false;
    }

    bool readValue(RuleItem& item, std::string& problem) {
        skip(" \t");
        if (at_ < text_.size() && text_[at_] == 'e') ++at_;  // e"..." takes C escapes
        if (at_ >= text_.size() || text_[at_] != '"') {
            problem = "the value of " + item.key + " must be in double quotes";
            return false;
        }
        ++at_;
        std::string value;
        while (at_ < text_.size() && text_[at_] != '"') {
            if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
            value += text_[at_++];
        }
        if (at_ >= text_.size()) {
            problem = "unterminated value of " + item.key;
            return false;
        }
        ++at_;
        item.value = std::move(value);
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

enum class Field { None, Vendor, Product, Interface };

// The USB identity a match item looks at: sysfs attributes of the parents, or the properties the
// usb_id builtin imports onto the node itself.
Field identityField(const RuleItem& item) {
    if (item.key == "ATTRS") {
        if (item.attribute == "idVendor") return Field::Vendor;
        if (item.attribute == "idProduct") return Field::Product;
        if (item.attribute == "bInterfaceNumber") return Field::Interface;
    } else if (item.key == "ENV") {
        if (item.attribute == "ID_VENDOR_ID") return Field::Vendor;
        if (item.attribute == "ID_MODEL_ID") return Field::Product;
        if (item.attribute == "ID_USB_INTERFACE_NUM") return Field::Interface;
    }
    return Field::None;
}

// The node's value for a match key; nullopt when this reader cannot know it.
std::optional<std::vector<std::string>> actualValues(const RuleItem& item,
                                                     const HidrawNodeIdentity& node) {
    using Values = std::vector<std::string>;
    auto known = [](const std::string& v) -> std::optional<Values> {
        if (v.empty()) return std::nullopt;
        return Values{v};
    };
    if (item.key == "SUBSYSTEM") return Values{"hidraw"};
    if (item.key == "SUBSYSTEMS") return Values{"hidraw", "hid", "usb"};
    if (item.key == "KERNEL") return known(node.kernel);
    switch (identityField(item)) {
        case Field::Vendor:
            return known(node.vendor);
        case Field::Product:
            return known(node.product);
        case Field::Interface:
            return known(node.interfaceNumber);
        case Field::None:
            break;
    }
    return std::nullopt;
}

}  // namespace

ParsedRules parseUdevRules(std::string_view text) {
    ParsedRules parsed;
    std::string logical;
    int logicalStart = 0;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const auto end = std::min(text.find('\n', pos), text.size());
        std::string_view line = trimmed(text.substr(pos, end - pos));
        pos = end + 1;
        ++lineNumber;
        if (logical.empty()) logicalStart = lineNumber;
        if (logical.empty() && (line.empty() || line.front() == '#')) {
            if (end == text.size()) break;
            continue;
        }
        const bool continues = !line.empty() && line.back() == '\\';
        if (continues) line.remove_suffix(1);
        logical += line;
        if (continues && end != text.size()) {
            logical += ' ';
            continue;
        }
        std::string problem;
        if (auto items = LineParser(logical).parse(problem)) {
            parsed.lines.push_back({logicalStart, std::move(*items)});
        } else {
            parsed.problems.push_back({logicalStart, problem});
        }
        logical.clear();
        if (end == text.size()) break;
    }
    return parsed;
}

bool udevValueMatches(std::string_view pattern, std::string_view value) {
    const std::string subject(value);
    std::size_t start = 0;
    while (true) {
        const auto bar = pattern.find('|', start);
        const std::string alternative(pattern.substr(
            start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (fnmatch(alternative.c_str(), subject.c_str(), 0) == 0) return true;
        if (bar == std::string_view::npos) return false;
        start = bar + 1;
    }
}

RuleGrant ruleGrant(const RuleLine& line, const HidrawNodeIdentity& node) {
    RuleGrant grant;
    grant.matches = true;
    bool vendorNamed = false;
    bool productNamed = false;
    for (const auto& item : line.items) {
        if (isMatchOp(item.op)) {
            const auto actual = actualValues(item, node);
            if (!actual) continue;
            const bool any = std::any_of(actual->begin(), actual->end(), [&](const auto& v) {
                return udevValueMatches(item.value, v);
            });
            if (any != (item.op == "==")) grant.matches = false;
            if (item.op == "==") {
                vendorNamed = vendorNamed || identityField(item) == Field::Vendor;
                productNamed = productNamed || identityField(item) == Field::Product;
            }
        } else if (item.key == "TAG" && (item.op == "+=" || item.op == "=")) {
            grant.uaccess = grant.uaccess || item.value == "uaccess";
        } else if (item.key == "MODE" && (item.op == "=" || item.op == ":=")) {
            unsigned mode = 0;
            if (std::sscanf(item.value.c_str(), "%o", &mode) == 1) {
                grant.everyone = (mode & 06U) == 06U;
            }
        }
    }
    grant.namesDevice = grant.matches && vendorNamed && productNamed;
    if (!grant.matches) grant.uaccess = grant.everyone = false;
    return grant;
}

std::string interfaceNumberText(int interfaceNumber) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x", static_cast<unsigned>(interfaceNumber) & 0xFFU);
    return text;
}

std::string usbIdText(unsigned id) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", id & 0xFFFFU);
    return text;
}

}  // namespace tessaron::device::hid
