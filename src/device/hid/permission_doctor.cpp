#include "device/hid/permission_doctor.h"

#include <algorithm>

#include "device/hid/permission_doctor_rules.h"
#include "core/text.h"

namespace tessaron::device::hid {

namespace {

constexpr int kTypingInterface = 0;  // the boot keyboard: every keystroke travels on it

HidrawNodeIdentity identityOf(const std::string& path, int interfaceNumber) {
    HidrawNodeIdentity id;
    const auto name = std::filesystem::path(path).filename().string();
    if (name.starts_with("hidraw")) id.kernel = name;
    id.vendor = usbIdText(kVendorId);
    id.product = usbIdText(kProductId);
    if (interfaceNumber >= 0) id.interfaceNumber = interfaceNumberText(interfaceNumber);
    return id;
}

struct Cover {
    bool any = false;       // some rule names the keyboard and grants this node
    bool uaccess = false;   // ... by the uaccess tag
    bool everyone = false;  // ... by a mode open to every user
    std::string where;      // "file:line" of the first such rule
};

Cover coverOf(const std::vector<RuleFileFacts>& rules, const HidrawNodeIdentity& node) {
    Cover cover;
    for (const auto& file : rules) {
        for (const auto& line : parseUdevRules(file.text).lines) {
            const auto grant = ruleGrant(line, node);
            if (!grant.namesDevice || !(grant.uaccess || grant.everyone)) continue;
            if (!cover.any) {
                cover.where = file.path.string() + ":" + std::to_string(line.lineNumber);
            }
            cover.any = true;
            cover.uaccess = cover.uaccess || grant.uaccess;
            cover.everyone = cover.everyone || grant.everyone;
        }
    }
    return cover;
}

// A rule file that names the keyboard at all, whatever it grants.
std::optional<std::filesystem::path> ruleNamingKeyboard(const std::vector<RuleFileFacts>& rules) {
    const auto probe = identityOf("", -1);
    for (const auto& file : rules) {
        for (const auto& line : parseUdevRules(file.text).lines) {
            if (ruleGrant(line, probe).namesDevice) return file.path;
        }
    }
    return std::nullopt;
}

std::string interfaceList(const std::vector<const NodeFacts*>& nodes) {
    std::string list;
    for (const auto* n : nodes) {
        if (!list.empty()) list += ", ";
        list += std::to_string(n->interfaceNumber) + " (" + n->path + ")";
    }
    return list;
}

Error installStep(const DoctorFacts& facts) {
    const std::string target = std::string(kSystemRuleFolder) + "/" + kRuleFileName;
    if (!facts.shippedRule.empty()) {
        const std::string command =
            "sudo install -m 644 " + facts.shippedRule.string() + " " + target;
        return makeError(TR_TEXT("Device", "Install the udev rule: %1"), command);
    }
    return makeError(TR_TEXT("Device", "Install the udev rule %1 (in the program's packaging folder) as %2."), kRuleFileName, target);
}

void addReloadSteps(Diagnosis& d) {
    d.steps.push_back(makeError(TR_TEXT("Device", "Reload udev's rules: sudo udevadm control --reload-rules")));
    d.steps.push_back(
        makeError(TR_TEXT("Device", "Unplug the keyboard and plug it in again (or: sudo udevadm trigger --subsystem-match=hidraw --action=add).")));
}

void addTypingWarnings(const DoctorFacts& facts, Diagnosis& d) {
    std::vector<HidrawNodeIdentity> typing;
    for (const auto& n : facts.nodes) {
        if (n.role != ChannelRole::None) continue;
        typing.push_back(identityOf(n.path, n.interfaceNumber));
        if (n.accessible && !facts.root) {
            d.warnings.push_back(makeError(TR_TEXT("Device", "Interface %1 (%2) is open to you although Tessaron does not use it; if it carries typing, any program you run can read your keystrokes."), std::to_string(n.interfaceNumber), n.path));
        }
    }
    if (typing.empty()) typing.push_back(identityOf("", kTypingInterface));
    for (const auto& id : typing) {
        const Cover cover = coverOf(facts.activeRules, id);
        if (!cover.any) continue;
        d.warnings.push_back(makeError(TR_TEXT("Device", "The rule at %1 also opens interface %2, which Tessaron does not need; restrict it with ATTRS{bInterfaceNumber} as %3 does."), cover.where, id.interfaceNumber, kRuleFileName));
    }
}

}  // namespace

Diagnosis diagnose(const DoctorFacts& facts) {
    Diagnosis d;
    if (facts.nodes.empty()) {
        d.verdict = Verdict::NotConnected;
        d.summary = makeError(TR_TEXT("Device", "The keyboard is not connected."));
        d.steps.push_back(
            makeError(TR_TEXT("Device", "Plug the keyboard in; check its USB cable and try another port.")));
        return d;
    }
    addTypingWarnings(facts, d);

    std::vector<const NodeFacts*> needed;
    bool command = false;
    bool event = false;
    for (const auto& n : facts.nodes) {
        if (n.role == ChannelRole::None) continue;
        needed.push_back(&n);
        command = command || n.role == ChannelRole::Command;
        event = event || n.role == ChannelRole::Event;
    }
    if (!command || !event) {
        d.verdict = Verdict::ChannelMissing;
        d.summary = !command ? makeError(TR_TEXT("Device", "The keyboard is connected, but its configuration interface was not found."))
                             : makeError(TR_TEXT("Device", "The keyboard is connected, but its event interface was not found."));
        d.steps.push_back(makeError(TR_TEXT("Device", "Run tessaronctl devices to see its interfaces; firmware that numbers them differently needs --command-interface N or --event-interface N.")));
        return d;
    }

    std::vector<const NodeFacts*> denied;
    std::copy_if(needed.begin(), needed.end(), std::back_inserter(denied),
                 [](const NodeFacts* n) { return !n->accessible; });
    if (denied.empty()) {
        d.verdict = Verdict::Ready;
        d.summary = makeError(TR_TEXT("Device", "The keyboard is connected and you may use it."));
        return d;
    }

    std::vector<const NodeFacts*> uncovered;
    bool appliedEverywhere = true;  // every denied node carries the uaccess tag already
    bool byTagOnly = true;
    for (const auto* n : denied) {
        const Cover cover = coverOf(facts.activeRules, identityOf(n->path, n->interfaceNumber));
        if (!cover.any) uncovered.push_back(n);
        appliedEverywhere = appliedEverywhere && n->uaccessApplied.value_or(false);
        byTagOnly = byTagOnly && cover.uaccess && !cover.everyone;
    }
    const std::string list = interfaceList(denied);

    if (!uncovered.empty()) {
        d.verdict = Verdict::NoRule;
        const auto partial = ruleNamingKeyboard(facts.activeRules);
        if (partial) {
            d.summary =
                makeError(TR_TEXT("Device", "The keyboard is connected, but the rule %1 does not give you interface %2."), partial->string(), interfaceList(uncovered));
            d.steps.push_back(makeError(TR_TEXT("Device", "Replace it with %1."), std::string(kRuleFileName)));
        } else {
            d.summary = makeError(TR_TEXT("Device", "The keyboard is connected, but you have no permission to use interface %1: its udev rule is not installed."), list);
        }
        d.steps.push_back(installStep(facts));
        addReloadSteps(d);
        return d;
    }
    if (appliedEverywhere && byTagOnly) {
        d.verdict = Verdict::NotLocalSession;
        d.summary = makeError(TR_TEXT("Device", "The udev rule is applied, but this login is not the active session at the computer (for example SSH or another user's desktop), so you get no access to interface %1."), list);
        d.steps.push_back(
            makeError(TR_TEXT("Device", "Run Tessaron from the desktop session you are logged in to at the computer.")));
        return d;
    }
    d.verdict = Verdict::RuleNotApplied;
    d.summary =
        makeError(TR_TEXT("Device", "The udev rule is installed, but not yet applied to interface %1."), list);
    addReloadSteps(d);
    return d;
}

std::string formatDiagnosis(const Diagnosis& diagnosis, Language lang) {
    std::string out = diagnosis.summary.text(lang) + "\n";
    if (!diagnosis.steps.empty()) {
        out += translate(lang, TR_TEXT("Device", "What to do:\n"));
        int n = 0;
        for (const auto& step : diagnosis.steps) {
            out += "  " + std::to_string(++n) + ". " + step.text(lang) + "\n";
        }
    }
    for (const auto& warning : diagnosis.warnings) {
        out += translate(lang, TR_TEXT("Device", "Warning: "));
        out += warning.text(lang) + "\n";
    }
    return out;
}

}  // namespace tessaron::device::hid
