#pragma once
// Why the keyboard cannot be used, and what to do about it without guessing: not connected,
// connected but this user may not open it (no udev rule), a rule installed but not applied to
// the nodes yet, or applied to a login that does not own the seat. It only looks; fixing needs
// root and is left to the user, with the exact commands.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/language.h"
#include "core/result.h"
#include "device/transport.h"

namespace tessaron::device::hid {

inline constexpr const char* kRuleFileName = "60-tessaron.rules";
inline constexpr const char* kSystemRuleFolder = "/etc/udev/rules.d";

// udev's rule folders, the one that wins first: a file there hides one of the same name below.
std::vector<std::filesystem::path> udevRuleFolders();

struct NodeFacts {
    std::string path;  // e.g. /dev/hidraw3
    int interfaceNumber = -1;
    ChannelRole role = ChannelRole::None;
    bool accessible = false;             // this user may open it for reading and writing
    std::optional<bool> uaccessApplied;  // udev tagged it "uaccess"; nullopt when unknown
};

struct RuleFileFacts {
    std::filesystem::path path;
    std::string text;
};

struct DoctorFacts {
    std::vector<NodeFacts> nodes;            // the keyboard's hidraw nodes
    std::vector<RuleFileFacts> activeRules;  // rule files udev reads (hidden ones left out)
    std::filesystem::path shippedRule;       // the rule that came with the program; may be empty
    bool root = false;
};

enum class Verdict {
    Ready,            // both channels can be opened
    NotConnected,     // no interface of the keyboard is present
    ChannelMissing,   // present, but an interface the program needs is not
    NoRule,           // present, but no rule gives this user the interfaces
    RuleNotApplied,   // a rule is installed, but the nodes were made before it was read
    NotLocalSession,  // the rule is applied, but this login is not the one at the seat
};

struct Diagnosis {
    Verdict verdict = Verdict::NotConnected;
    Error summary;                // one sentence: what the matter is
    std::vector<Error> steps;     // what to do, in order
    std::vector<Error> warnings;  // e.g. a rule that also opens the typing interface
};

Diagnosis diagnose(const DoctorFacts& facts);

// The summary, the numbered steps and the warnings, one per line.
std::string formatDiagnosis(const Diagnosis& diagnosis, Language lang);

// This machine's facts: the transport's interfaces, udev's tags and rule folders, and the rule
// shipped beside the executable (<prefix>/lib/udev/rules.d).
DoctorFacts gatherFacts(Transport& transport, const std::filesystem::path& executableFolder);

}  // namespace tessaron::device::hid
