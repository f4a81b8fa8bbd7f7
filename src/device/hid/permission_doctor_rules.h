#pragma once
// Reads udev rule files well enough to tell whether one gives this user the keyboard's hidraw
// nodes. Rules are written by hand: a line that does not parse is reported, never guessed at.

#include <string>
#include <string_view>
#include <vector>

namespace tessaron::device::hid {

// One KEY{attribute} OP "value" item of a rule line.
struct RuleItem {
    std::string key;        // e.g. "ATTRS"
    std::string attribute;  // e.g. "idVendor"; empty when the key takes none
    std::string op;         // "==", "!=", "=", "+=", "-=" or ":="
    std::string value;
};

struct RuleLine {
    int lineNumber = 0;  // of the line's first physical line, from 1
    std::vector<RuleItem> items;
};

struct RuleProblem {
    int lineNumber = 0;
    std::string message;
};

struct ParsedRules {
    std::vector<RuleLine> lines;
    std::vector<RuleProblem> problems;
};

// Comments, blank lines and backslash continuations are handled as udev does.
ParsedRules parseUdevRules(std::string_view text);

// A hidraw node of the keyboard as a rule sees it.
struct HidrawNodeIdentity {
    std::string kernel = "hidraw0";  // the node's kernel name
    std::string vendor;              // idVendor as sysfs spells it, e.g. "04d9"
    std::string product;             // idProduct, e.g. "a1df"
    std::string interfaceNumber;     // bInterfaceNumber, e.g. "03"
};

// How a rule line opens a node it matches.
struct RuleGrant {
    bool matches = false;
    bool namesDevice = false;  // matches by both vendor and product id, not a catch-all
    bool uaccess = false;      // TAG+="uaccess": the logged-in local user
    bool everyone = false;     // MODE lets every user read and write
};

// Whether the line matches the node, and what it then grants. The USB identity is read from
// ATTRS{idVendor,idProduct,bInterfaceNumber} or from ENV{ID_VENDOR_ID,ID_MODEL_ID,
// ID_USB_INTERFACE_NUM}. Keys this reader cannot evaluate (DRIVERS, ACTION, ...) are taken to
// match; a caller that must not mistake a catch-all rule for one about the keyboard checks
// namesDevice. Each line is judged alone: GOTO and LABEL are not followed.
RuleGrant ruleGrant(const RuleLine& line, const HidrawNodeIdentity& node);

// A udev match value: shell glob patterns, alternatives separated by '|'.
bool udevValueMatches(std::string_view pattern, std::string_view value);

// "03" for interface 3: bInterfaceNumber's spelling.
std::string interfaceNumberText(int interfaceNumber);
// "04d9": idVendor's and idProduct's spelling.
std::string usbIdText(unsigned id);

}  // namespace tessaron::device::hid
