#include <gtest/gtest.h>

#include "device/hid/permission_doctor.h"

namespace tessaron::device::hid {
namespace {

constexpr const char* kOurRule =
    "SUBSYSTEM!=\"hidraw\", GOTO=\"end\"\n"
    "SUBSYSTEMS==\"usb\", IMPORT{builtin}=\"usb_id\"\n"
    "ENV{ID_VENDOR_ID}==\"04d9\", ENV{ID_MODEL_ID}==\"a1df\", "
    "ENV{ID_USB_INTERFACE_NUM}==\"01|03\", "
    "TAG+=\"uaccess\"\n"
    "LABEL=\"end\"\n";

// The keyboard as hidraw shows it: typing on 0, events on 1, configuration on 3.
DoctorFacts keyboard(bool accessible, std::optional<bool> tagged = false) {
    DoctorFacts f;
    f.nodes = {{"/dev/hidraw4", 0, ChannelRole::None, false, false},
               {"/dev/hidraw5", 1, ChannelRole::Event, accessible, tagged},
               {"/dev/hidraw7", 3, ChannelRole::Command, accessible, tagged}};
    return f;
}

bool mentions(const std::vector<Error>& texts, const std::string& part) {
    for (const auto& t : texts) {
        if (t.english.find(part) != std::string::npos) return true;
    }
    return false;
}

TEST(PermissionDoctor, NotConnectedAndMissingChannels) {
    const auto none = diagnose({});
    EXPECT_EQ(none.verdict, Verdict::NotConnected);
    EXPECT_FALSE(none.steps.empty());

    auto f = keyboard(true);
    f.nodes.pop_back();  // no configuration interface
    const auto missing = diagnose(f);
    EXPECT_EQ(missing.verdict, Verdict::ChannelMissing);
    EXPECT_NE(missing.summary.english.find("configuration"), std::string::npos);
    EXPECT_TRUE(mentions(missing.steps, "--command-interface"));
}

TEST(PermissionDoctor, ReadyWhenBothChannelsOpen) {
    auto f = keyboard(true);
    f.activeRules = {{"/etc/udev/rules.d/60-tessaron.rules", kOurRule}};
    const auto d = diagnose(f);
    EXPECT_EQ(d.verdict, Verdict::Ready);
    EXPECT_TRUE(d.steps.empty());
    EXPECT_TRUE(d.warnings.empty());
}

TEST(PermissionDoctor, NoRuleNamesTheInstallAndReloadSteps) {
    auto f = keyboard(false);
    // A catch-all rule for security tokens is not a rule for this keyboard.
    f.activeRules = {{"/usr/lib/udev/rules.d/70-uaccess.rules",
                      "SUBSYSTEM==\"hidraw\", ENV{ID_SECURITY_TOKEN}==\"1\", TAG+=\"uaccess\"\n"}};
    f.shippedRule = "/opt/tessaron/lib/udev/rules.d/60-tessaron.rules";
    const auto d = diagnose(f);
    EXPECT_EQ(d.verdict, Verdict::NoRule);
    EXPECT_NE(d.summary.english.find("/dev/hidraw5"), std::string::npos);
    EXPECT_NE(d.summary.english.find("/dev/hidraw7"), std::string::npos);
    EXPECT_EQ(d.summary.english.find("/dev/hidraw4"), std::string::npos);  // typing: not needed
    ASSERT_EQ(d.steps.size(), 3u);
    EXPECT_NE(d.steps[0].english.find("sudo install -m 644 /opt/tessaron/lib/udev/rules.d/"
                                      "60-tessaron.rules /etc/udev/rules.d/60-tessaron.rules"),
              std::string::npos);
    EXPECT_NE(d.steps[1].english.find("udevadm control --reload-rules"), std::string::npos);
    EXPECT_NE(d.steps[2].english.find("plug it in again"), std::string::npos);
    for (const auto& s : d.steps) EXPECT_NE(s.text(Language::Chinese), s.english);

    // A rule that opens only the configuration interface is named as the fault.
    f.activeRules = {{"/etc/udev/rules.d/99-mine.rules",
                      "ATTRS{idVendor}==\"04d9\", ATTRS{idProduct}==\"a1df\", "
                      "ATTRS{bInterfaceNumber}==\"03\", TAG+=\"uaccess\"\n"}};
    f.nodes[2].accessible = true;
    const auto partial = diagnose(f);
    EXPECT_EQ(partial.verdict, Verdict::NoRule);
    EXPECT_NE(partial.summary.english.find("99-mine.rules"), std::string::npos);
    EXPECT_NE(partial.summary.english.find("interface 1 "), std::string::npos);
}

TEST(PermissionDoctor, InstalledRuleNotYetAppliedOrNotThisSession) {
    auto f = keyboard(false, false);
    f.activeRules = {{"/etc/udev/rules.d/60-tessaron.rules", kOurRule}};
    const auto pending = diagnose(f);
    EXPECT_EQ(pending.verdict, Verdict::RuleNotApplied);
    EXPECT_TRUE(mentions(pending.steps, "--reload-rules"));
    EXPECT_FALSE(mentions(pending.steps, "sudo install"));

    f = keyboard(false, std::nullopt);  // udev could not say: assume not applied
    f.activeRules = {{"/etc/udev/rules.d/60-tessaron.rules", kOurRule}};
    EXPECT_EQ(diagnose(f).verdict, Verdict::RuleNotApplied);

    f = keyboard(false, true);  // tagged, yet no access: logind gave it to another session
    f.activeRules = {{"/etc/udev/rules.d/60-tessaron.rules", kOurRule}};
    const auto remote = diagnose(f);
    EXPECT_EQ(remote.verdict, Verdict::NotLocalSession);
    EXPECT_NE(remote.summary.english.find("SSH"), std::string::npos);

    // A world-writable rule does not depend on the session: still waiting to be applied.
    f.activeRules = {{"/etc/udev/rules.d/50-open.rules",
                      "ATTRS{idVendor}==\"04d9\", ATTRS{idProduct}==\"a1df\", MODE=\"0666\"\n"}};
    EXPECT_EQ(diagnose(f).verdict, Verdict::RuleNotApplied);
}

TEST(PermissionDoctor, WarnsWhenTheTypingInterfaceIsOpen) {
    auto f = keyboard(true);
    f.activeRules = {{"/etc/udev/rules.d/50-open.rules",
                      "ATTRS{idVendor}==\"04d9\", ATTRS{idProduct}==\"a1df\", MODE=\"0666\"\n"}};
    f.nodes[0].accessible = true;
    const auto d = diagnose(f);
    EXPECT_EQ(d.verdict, Verdict::Ready);
    EXPECT_TRUE(mentions(d.warnings, "50-open.rules:1"));
    EXPECT_TRUE(mentions(d.warnings, "/dev/hidraw4"));

    // root opens everything; that is no rule's doing.
    f.activeRules.clear();
    f.root = true;
    EXPECT_TRUE(diagnose(f).warnings.empty());
}

TEST(PermissionDoctor, FormatsStepsInTheInterfaceLanguage) {
    auto f = keyboard(false);
    const auto d = diagnose(f);
    const std::string en = formatDiagnosis(d, Language::English);
    EXPECT_EQ(en.rfind(d.summary.english + "\nWhat to do:\n  1. ", 0), 0u) << en;
    EXPECT_NE(en.find("\n  3. "), std::string::npos);
    const std::string zh = formatDiagnosis(d, Language::Chinese);
    EXPECT_EQ(zh.rfind(d.summary.text(Language::Chinese) + "\n处理方法：\n  1. ", 0), 0u) << zh;
}

}  // namespace
}  // namespace tessaron::device::hid
