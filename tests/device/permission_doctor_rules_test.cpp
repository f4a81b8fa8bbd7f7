#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "device/hid/permission_doctor_rules.h"

namespace tessaron::device::hid {
namespace {

HidrawNodeIdentity keyboardInterface(const char* number) {
    return {"hidraw5", "04d9", "a1df", number};
}

std::string shippedRuleText() {
    std::ifstream in(TESSARON_RULE_FILE);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

RuleGrant grantOf(const ParsedRules& rules, const HidrawNodeIdentity& node) {
    RuleGrant total;
    for (const auto& line : rules.lines) {
        const auto g = ruleGrant(line, node);
        if (!g.namesDevice) continue;
        total.matches = total.namesDevice = true;
        total.uaccess = total.uaccess || g.uaccess;
        total.everyone = total.everyone || g.everyone;
    }
    return total;
}

// The rule the program ships: it parses cleanly, opens the configuration and event interfaces
// to the seat's user, and leaves the typing interface and other keyboards alone.
TEST(ShippedUdevRule, OpensOnlyTheConfigurationAndEventInterfaces) {
    const std::string text = shippedRuleText();
    ASSERT_FALSE(text.empty()) << TESSARON_RULE_FILE;
    const auto rules = parseUdevRules(text);
    for (const auto& p : rules.problems)
        ADD_FAILURE() << "line " << p.lineNumber << ": " << p.message;

    EXPECT_TRUE(grantOf(rules, keyboardInterface("03")).uaccess);
    EXPECT_TRUE(grantOf(rules, keyboardInterface("01")).uaccess);
    for (const char* other : {"00", "02", "04", "13"}) {
        EXPECT_FALSE(grantOf(rules, keyboardInterface(other)).matches) << other;
    }
    EXPECT_FALSE(grantOf(rules, {"hidraw5", "04d9", "a1de", "03"}).matches);
    EXPECT_FALSE(grantOf(rules, {"hidraw5", "046d", "a1df", "03"}).matches);
    // Never world-writable: only the logged-in user gets the nodes.
    EXPECT_FALSE(grantOf(rules, keyboardInterface("03")).everyone);
}

TEST(UdevRuleParser, ReadsItemsContinuationsAndComments) {
    const auto rules = parseUdevRules(
        "# comment\n"
        "\n"
        "  SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"04d9\", \\\n"
        "    ATTRS{idProduct}==\"a1df\",MODE=\"0666\"\n"
        "KERNEL==\"hidraw*\" TAG+=\"uaccess\"\n");
    ASSERT_TRUE(rules.problems.empty());
    ASSERT_EQ(rules.lines.size(), 2u);
    EXPECT_EQ(rules.lines[0].lineNumber, 3);
    ASSERT_EQ(rules.lines[0].items.size(), 4u);
    EXPECT_EQ(rules.lines[0].items[1].key, "ATTRS");
    EXPECT_EQ(rules.lines[0].items[1].attribute, "idVendor");
    EXPECT_EQ(rules.lines[0].items[1].op, "==");
    EXPECT_EQ(rules.lines[0].items[3].value, "0666");
    EXPECT_EQ(rules.lines[1].lineNumber, 5);

    const auto world = ruleGrant(rules.lines[0], keyboardInterface("00"));
    EXPECT_TRUE(world.namesDevice);
    EXPECT_TRUE(world.everyone);
    // A catch-all rule grants, but does not name this keyboard.
    const auto any = ruleGrant(rules.lines[1], keyboardInterface("03"));
    EXPECT_TRUE(any.uaccess);
    EXPECT_FALSE(any.namesDevice);
}

TEST(UdevRuleParser, ReportsLinesItCannotRead) {
    const auto rules = parseUdevRules(
        "SUBSYSTEM==hidraw, TAG+=\"uaccess\"\n"        // unquoted value
        "SUBSYTEM==\"hidraw\", TAG+=\"uaccess\"\n"     // misspelt key
        "ATTRS==\"04d9\"\n"                            // attribute missing
        "ATTRS{idVendor}\"04d9\"\n"                    // operator missing
        "ATTRS{idVendor}==\"04d9\n"                    // unterminated
        "ATTRS{idVendor}==\"04d9\"TAG+=\"uaccess\"\n"  // no separator
        "ATTRS{idVendor==\"04d9\"\n"                   // brace not closed
        "TAG+=\"uaccess\"\n");
    ASSERT_EQ(rules.problems.size(), 7u);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(rules.problems[i].lineNumber, i + 1);
    ASSERT_EQ(rules.lines.size(), 1u);
    EXPECT_EQ(rules.lines[0].lineNumber, 8);
}

TEST(UdevRuleParser, NegationsModesAndTagAssignments) {
    auto line = [](const char* text) { return parseUdevRules(text).lines.at(0); };
    const auto kb = keyboardInterface("03");
    EXPECT_FALSE(ruleGrant(line("ATTRS{idVendor}==\"04d9\", ATTRS{idProduct}==\"a1df\", "
                                "ATTRS{bInterfaceNumber}!=\"03\", TAG+=\"uaccess\""),
                           kb)
                     .matches);
    EXPECT_TRUE(ruleGrant(line("ATTRS{idVendor}==\"04d9\", ATTRS{idProduct}==\"a1df\", "
                               "SUBSYSTEM!=\"input\", TAG+=\"uaccess\""),
                          kb)
                    .uaccess);
    // Group-only modes and other tags grant nothing to this user.
    const auto group = ruleGrant(
        line("ATTRS{idVendor}==\"04d9\", ATTRS{idProduct}==\"a1df\", MODE=\"0660\", TAG+=\"seat\""),
        kb);
    EXPECT_TRUE(group.namesDevice);
    EXPECT_FALSE(group.everyone || group.uaccess);
    // A rule about another subsystem does not match a hidraw node.
    EXPECT_FALSE(ruleGrant(line("SUBSYSTEM==\"usb\", ATTRS{idVendor}==\"04d9\", "
                                "ATTRS{idProduct}==\"a1df\", MODE=\"0666\""),
                           kb)
                     .matches);
    EXPECT_TRUE(ruleGrant(line("SUBSYSTEMS==\"usb\", ENV{ID_VENDOR_ID}==\"04d9\", "
                               "ENV{ID_MODEL_ID}==\"a1df\", MODE:=\"0666\""),
                          kb)
                    .everyone);
}

TEST(UdevRuleParser, ValuesAreGlobsWithAlternatives) {
    EXPECT_TRUE(udevValueMatches("01|03", "03"));
    EXPECT_FALSE(udevValueMatches("01|03", "00"));
    EXPECT_TRUE(udevValueMatches("hidraw*", "hidraw12"));
    EXPECT_TRUE(udevValueMatches("0[13]", "01"));
    EXPECT_FALSE(udevValueMatches("04D9", "04d9"));  // case counts, as in udev
    EXPECT_TRUE(udevValueMatches("", ""));
    EXPECT_EQ(interfaceNumberText(3), "03");
    EXPECT_EQ(usbIdText(0xA1DF), "a1df");
}

}  // namespace
}  // namespace tessaron::device::hid
