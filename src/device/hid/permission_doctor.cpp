#include "device/hid/permission_doctor.h"

#include <algorithm>

#include "device/hid/permission_doctor_rules.h"

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
        return makeError("Install the udev rule: " + command, "安装 udev 规则：" + command);
    }
    return makeError(std::string("Install the udev rule ") + kRuleFileName +
                         " (in the program's packaging folder) as " + target + ".",
                     std::string("将 udev 规则 ") + kRuleFileName +
                         "（位于程序的 packaging 文件夹）安装为 " + target + "。");
}

void addReloadSteps(Diagnosis& d) {
    d.steps.push_back(makeError("Reload udev's rules: sudo udevadm control --reload-rules",
                                "重新加载 udev 规则：sudo udevadm control --reload-rules"));
    d.steps.push_back(
        makeError("Unplug the keyboard and plug it in again (or: sudo udevadm trigger "
                  "--subsystem-match=hidraw --action=add).",
                  "拔下键盘后重新插入（或运行：sudo udevadm trigger --subsystem-match=hidraw "
                  "--action=add）。"));
}

void addTypingWarnings(const DoctorFacts& facts, Diagnosis& d) {
    std::vector<HidrawNodeIdentity> typing;
    for (const auto& n : facts.nodes) {
        if (n.role != ChannelRole::None) continue;
        typing.push_back(identityOf(n.path, n.interfaceNumber));
        if (n.accessible && !facts.root) {
            d.warnings.push_back(makeError(
                "Interface " + std::to_string(n.interfaceNumber) + " (" + n.path +
                    ") is open to you although Tessaron does not use it; if it carries typing, "
                    "any program you run can read your keystrokes.",
                "接口 " + std::to_string(n.interfaceNumber) + "（" + n.path +
                    "）对你开放，但 Tessaron "
                    "并不使用它；若它传送键入内容，你运行的任何程序都能读取你的按键。"));
        }
    }
    if (typing.empty()) typing.push_back(identityOf("", kTypingInterface));
    for (const auto& id : typing) {
        const Cover cover = coverOf(facts.activeRules, id);
        if (!cover.any) continue;
        d.warnings.push_back(makeError(
            "The rule at " + cover.where + " also opens interface " + id.interfaceNumber +
                ", which Tessaron does not need; restrict it with ATTRS{bInterfaceNumber} as " +
                kRuleFileName + " does.",
            "规则 " + cover.where + " 也开放了接口 " + id.interfaceNumber +
                "，而 Tessaron 并不需要它；请像 " + kRuleFileName +
                " 那样用 ATTRS{bInterfaceNumber} 加以限制。"));
    }
}

}  // namespace

Diagnosis diagnose(const DoctorFacts& facts) {
    Diagnosis d;
    if (facts.nodes.empty()) {
        d.verdict = Verdict::NotConnected;
        d.summary = makeError("The keyboard is not connected.", "键盘未连接。");
        d.steps.push_back(
            makeError("Plug the keyboard in; check its USB cable and try another port.",
                      "插入键盘；检查 USB 线缆或换一个接口。"));
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
        const std::string which = !command ? "configuration" : "event";
        const std::string whichZh = !command ? "配置" : "事件";
        d.summary =
            makeError("The keyboard is connected, but its " + which + " interface was not found.",
                      "键盘已连接，但未找到它的" + whichZh + "接口。");
        d.steps.push_back(makeError(
            "Run tessaronctl devices to see its interfaces; firmware that numbers them differently "
            "needs --command-interface N or --event-interface N.",
            "运行 tessaronctl devices 查看其接口；接口编号不同的固件需要 --command-interface N 或 "
            "--event-interface N。"));
        return d;
    }

    std::vector<const NodeFacts*> denied;
    std::copy_if(needed.begin(), needed.end(), std::back_inserter(denied),
                 [](const NodeFacts* n) { return !n->accessible; });
    if (denied.empty()) {
        d.verdict = Verdict::Ready;
        d.summary = makeError("The keyboard is connected and you may use it.",
                              "键盘已连接，你可以使用它。");
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
                makeError("The keyboard is connected, but the rule " + partial->string() +
                              " does not give you interface " + interfaceList(uncovered) + ".",
                          "键盘已连接，但规则 " + partial->string() + " 没有向你开放接口 " +
                              interfaceList(uncovered) + "。");
            d.steps.push_back(makeError("Replace it with " + std::string(kRuleFileName) + ".",
                                        "用 " + std::string(kRuleFileName) + " 替换它。"));
        } else {
            d.summary = makeError(
                "The keyboard is connected, but you have no permission to use "
                "interface " +
                    list + ": its udev rule is not installed.",
                "键盘已连接，但你没有权限使用接口 " + list + "：它的 udev 规则尚未安装。");
        }
        d.steps.push_back(installStep(facts));
        addReloadSteps(d);
        return d;
    }
    if (appliedEverywhere && byTagOnly) {
        d.verdict = Verdict::NotLocalSession;
        d.summary = makeError(
            "The udev rule is applied, but this login is not the active session at the computer "
            "(for example SSH or another user's desktop), so you get no access to interface " +
                list + ".",
            "udev 规则已生效，但当前登录不是这台电脑上的活动会话（例如 SSH 或其他用户的桌面），"
            "因此你无权访问接口 " +
                list + "。");
        d.steps.push_back(
            makeError("Run Tessaron from the desktop session you are logged in to "
                      "at the computer.",
                      "请在这台电脑上登录的桌面会话中运行 Tessaron。"));
        return d;
    }
    d.verdict = Verdict::RuleNotApplied;
    d.summary =
        makeError("The udev rule is installed, but not yet applied to interface " + list + ".",
                  "udev 规则已安装，但尚未应用到接口 " + list + "。");
    addReloadSteps(d);
    return d;
}

std::string formatDiagnosis(const Diagnosis& diagnosis, Language lang) {
    std::string out = diagnosis.summary.text(lang) + "\n";
    if (!diagnosis.steps.empty()) {
        out += lang == Language::Chinese ? "处理方法：\n" : "What to do:\n";
        int n = 0;
        for (const auto& step : diagnosis.steps) {
            out += "  " + std::to_string(++n) + ". " + step.text(lang) + "\n";
        }
    }
    for (const auto& warning : diagnosis.warnings) {
        out += lang == Language::Chinese ? "警告：" : "Warning: ";
        out += warning.text(lang) + "\n";
    }
    return out;
}

}  // namespace tessaron::device::hid
