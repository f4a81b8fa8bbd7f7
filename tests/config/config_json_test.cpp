// The configuration text: what it writes into the device image and records (expected bytes from
// the documented layout), that its own export reads back the same, and that every bad file is
// refused with the JSON path and the reason.

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "config/config_json.h"
#include "config/configuration.h"
#include "keys/assignment.h"
#include "keys/key_lookup.h"
#include "keys/key_names.h"
#include "keys/key_record.h"

namespace tessaron::config {
namespace {

using Json = nlohmann::ordered_json;

// A keyboard just read: factory key map, every key enabled, no macros.
struct Folder {
    device::DeviceImage image{};
    std::unique_ptr<keys::KeyRecordTable> records = std::make_unique<keys::KeyRecordTable>();
    macros::MacroTable macros;

    Folder() {
        keys::writeFactoryKeyMap(image);
        keys::enableAllKeys(image);
        keys::resetKeyRecords(*records);
    }
    void apply(const Configuration& c) { applyConfiguration(c, image, *records, macros); }
    std::string exported() const {
        return formatConfiguration(readConfiguration(image, *records, macros).configuration);
    }
};

// Written by hand in the writer's own order and layout: keys in key index order.
constexpr const char* kEverything = R"({
  "format": 2,
  "lighting": {
    "effect": "Radar",
    "speed": 7,
    "brightness": 20,
    "direction": "right"
  },
  "game_mode": true,
  "win_lock": true,
  "response_time_ms": 20,
  "report_rate_hz": 125,
  "keys": {
    "F1": {
      "function": "Mute"
    },
    "F2": {
      "macro": 0
    },
    "F3": {
      "program": "/usr/bin/foot"
    },
    "F4": {
      "disabled": true
    },
    "F5": {
      "single": "Vol+",
      "disabled": true
    },
    "Caps Lock": {
      "combo": [
        "Ctrl",
        "A"
      ]
    },
    "RCtrl": {
      "combo": [
        "Shift",
        "Alt",
        "Del"
      ]
    }
  },
  "diy": [
    [
      "Esc",
      "Fn"
    ],
    [],
    [],
    [],
    [
      "Space"
    ]
  ],
  "macros": [
    {
      "name": "Grüße",
      "loops": 300,
      "events": [
        "LShift dn",
        "H dn",
        "120 ms",
        "H up",
        "LShift up"
      ]
    }
  ]
}
)";

std::array<std::uint8_t, 4> bytesAt(const device::DeviceImage& img, std::size_t at) {
    return {img[at], img[at + 1], img[at + 2], img[at + 3]};
}

TEST(ConfigurationText, WritesTheDocumentedBytesAndReadsBackAsTheSameText) {
    const auto parsed = parseConfiguration(kEverything);
    ASSERT_TRUE(parsed) << parsed.error().english;
    Folder f;
    f.apply(*parsed);
    const auto& img = f.image;
    using Cell = std::array<std::uint8_t, 4>;

    EXPECT_EQ(img[7450], 13);   // Radar
    EXPECT_EQ(img[7451], 7);    // speed
    EXPECT_EQ(img[7452], 20);   // brightness
    EXPECT_EQ(img[7454], 2);    // right
    EXPECT_EQ(img[7476], 1);    // game mode
    EXPECT_EQ(img[7495], 1);    // Win Lock flag
    EXPECT_EQ(img[7449], 10);   // 20 ms
    EXPECT_EQ(img[11], 0);      // 125 reports per second

    // Key cells at 792 + row * 84 + column * 4.
    EXPECT_EQ(bytesAt(img, 1220), (Cell{0x03, 0x00, 0xE2, 0x00}));  // F1 (2, 5): Mute
    EXPECT_EQ(bytesAt(img, 1224), (Cell{0x04, 0x01, 0x00, 0x00}));  // F2 (3, 5): macro 0
    EXPECT_EQ(bytesAt(img, 1228), (Cell{0x0A, 0x00, 0x72, 0x00}));  // F3 (4, 5): host, VK 0x72
    EXPECT_EQ(bytesAt(img, 1232), (Cell{0x00, 0x00, 0x3D, 0x00}));  // F4 (5, 5): factory
    EXPECT_EQ(bytesAt(img, 1236), (Cell{0x03, 0x00, 0xE9, 0x00}));  // F5 (6, 5): Volume UP
    EXPECT_EQ(bytesAt(img, 960), (Cell{0x00, 0xE0, 0x04, 0x00}));   // Caps Lock (0, 2)
    EXPECT_EQ(bytesAt(img, 844), (Cell{0x00, 0xE1, 0xE2, 0x4C}));   // RCtrl (13, 0)
    // Enable bits: F4 grid 125 and F5 grid 126 are bits 5 and 6 of byte 7492.
    EXPECT_EQ(img[7492], 0xFF & ~0x20 & ~0x40);
    // Light maps at 7496 + 512 * m, a key at 4 * (column * 6 + row): DIY1 Esc (0, 5) at 20 and
    // Fn (10, 0) at 240; DIY5 Space (5, 0) at 120.
    EXPECT_EQ(bytesAt(img, 7496 + 20), (Cell{0x00, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(bytesAt(img, 7496 + 240), (Cell{0x00, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(bytesAt(img, 7496 + 4 * 512 + 120), (Cell{0x00, 0xFF, 0x00, 0x00}));
    // Macro slot 0 at 1304: the loop count big-endian, then the device stream.
    EXPECT_EQ(img[1304], 0x01);
    EXPECT_EQ(img[1305], 0x2C);
    EXPECT_NE(img[1306], 0);

    const keys::KeyRecord& f3 = (*f.records)[3];
    EXPECT_EQ(f3.kind, keys::kind::kStartup);
    EXPECT_EQ(keys::hostPath(f3), "/usr/bin/foot");
    EXPECT_EQ(macros::utf16ToUtf8(f.macros[0].name()), "Grüße");
    EXPECT_EQ(f.macros.countInUse(), 1u);

    EXPECT_EQ(f.exported(), kEverything);
}

// Files of format 1 had no switching rules and still read; rules given come back out as given.
TEST(ConfigurationText, SwitchingRulesAreOptionalAndRoundTrip) {
    Json doc = Json::parse(kEverything);
    doc["format"] = 1;
    auto old = parseConfiguration(doc.dump());
    ASSERT_TRUE(old) << old.error().english;
    EXPECT_FALSE(old->switching);

    doc["format"] = 2;
    doc["switching"] = Json::parse(R"({"format": 1, "otherwise": {"profile": "Desk"},
        "rules": [{"when": [{"field": "command_line", "test": "contains", "text": "game.exe",
                             "negate": true}], "profile": "Games"}]})");
    auto withRules = parseConfiguration(doc.dump());
    ASSERT_TRUE(withRules) << withRules.error().english;
    ASSERT_TRUE(withRules->switching);
    EXPECT_EQ(withRules->switching->otherwise, "Desk");
    EXPECT_TRUE(withRules->switching->rules.at(0).conditions.at(0).negate());
    const auto again = parseConfiguration(formatConfiguration(*withRules));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->switching, withRules->switching);
}

// A second import of the same text changes nothing, and a text without keys brings every key
// back to its factory cell and enable bit.
TEST(ConfigurationText, KeysLeftOutGoBackToTheirFactoryState) {
    Folder f;
    const auto everything = parseConfiguration(kEverything);
    ASSERT_TRUE(everything);
    f.apply(*everything);
    const auto image = f.image;
    f.apply(*everything);
    EXPECT_EQ(f.image, image);

    Json doc = Json::parse(kEverything);
    doc["keys"] = Json::object();
    doc["macros"] = Json::array();
    const auto bare = parseConfiguration(doc.dump());
    ASSERT_TRUE(bare) << bare.error().english;
    f.apply(*bare);
    Folder factory;
    for (std::size_t at = 792; at < 792 + 512; ++at) EXPECT_EQ(f.image[at], factory.image[at]) << at;
    for (std::size_t at = 7477; at < 7495; ++at) EXPECT_EQ(f.image[at], factory.image[at]) << at;
    EXPECT_EQ(f.macros.countInUse(), 0u);
    EXPECT_TRUE(readConfiguration(f.image, *f.records, f.macros).configuration.keys.empty());
}

// Keys whose record says nothing (a key map set up by another computer) are read from the cell.
TEST(ConfigurationText, KeysSetUpElsewhereAreReadFromTheirCells) {
    Folder f;
    const auto put = [&](std::size_t at, keys::KeyCell c) { keys::writeCell(f.image, at, c); };
    put(960, {0x00, 0xE1, 0x04, 0x00});   // Caps Lock: Shift + A
    put(1220, {0x03, 0x00, 0xE2, 0x00});  // F1: Mute
    put(1224, {0x00, 0x00, 0x05, 0x00});  // F2: B
    put(1228, {0x0A, 0x00, 0x72, 0x00});  // F3: a host action without a path
    put(1232, {0x04, 0x01, 0x03, 0x00});  // F4: macro 3, which the table does not hold
    const auto read = readConfiguration(f.image, *f.records, f.macros);
    const auto& keys = read.configuration.keys;
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].kind, keys::kind::kFunction);
    EXPECT_EQ(keys[1].kind, keys::kind::kSingle);
    EXPECT_EQ(keys[1].vks, std::vector<std::uint8_t>{'B'});
    EXPECT_EQ(keys[2].kind, keys::kind::kCombination);
    ASSERT_EQ(read.leftOut.size(), 2u);
    EXPECT_EQ(read.leftOut[0].english, "F3");
    EXPECT_EQ(read.leftOut[1].english, "F4 (macro 3)");

    // What was read writes the same cells into a fresh folder.
    Folder g;
    g.apply(read.configuration);
    for (std::size_t at : {960u, 1220u, 1224u}) EXPECT_EQ(bytesAt(g.image, at), bytesAt(f.image, at));
}

TEST(ConfigurationText, EveryKeyAndKeyCodeHasAWordThatReadsBack) {
    for (std::size_t i = 0; i < keys::kRealKeyCount; ++i) {
        const auto k = static_cast<keys::KeyIndex>(i);
        EXPECT_EQ(keys::findKey(keyWord(k)), k) << i << " " << keyWord(k);
    }
    for (int vk = 1; vk < 0xF0; ++vk) {
        if (keys::keyName(static_cast<std::uint8_t>(vk)).empty()) continue;
        const std::string word = keyCodeWord(static_cast<std::uint8_t>(vk));
        EXPECT_EQ(keys::findKeyCode(word), vk) << vk << " " << word;
    }
}

// A Chinese message says nothing in English; JSON paths, names and values stay as written.
void expectWhollyChinese(const std::string& chinese) {
    EXPECT_FALSE(chinese.empty());
    for (const char* word : {"must", "not ", "syntax", "string", "number", "expected", "error",
                             "object", "too ", "line", "column", "(top)", "characters"}) {
        EXPECT_EQ(chinese.find(word), std::string::npos) << word << " in " << chinese;
    }
}

struct Bad {
    const char* change;  // applied to the document as described below
    const char* message;
};

// Each case changes one thing of kEverything.
Json changed(const std::string& what) {
    Json d = Json::parse(kEverything);
    if (what == "combo4") d["keys"]["Caps Lock"]["combo"] = {"A", "B", "C", "D"};
    if (what == "combo1") d["keys"]["Caps Lock"]["combo"] = {"A"};
    if (what == "unknownKey") d["keys"]["Nokey"] = {{"single", "A"}};
    if (what == "sameKey") d["keys"]["#62"] = {{"single", "A"}};
    if (what == "fn") d["keys"]["Fn"] = {{"single", "A"}};
    if (what == "mouse") d["keys"]["F6"] = {{"single", "MsLB"}};
    if (what == "fraction") d["lighting"]["brightness"] = 5.5;
    if (what == "effect") d["lighting"]["effect"] = "Rainbow";
    if (what == "effectCode") d["lighting"]["effect"] = 20;
    if (what == "direction") d["lighting"]["direction"] = "north";
    if (what == "radarUp") d["lighting"]["direction"] = "up";
    if (what == "hugeSpeed") d["lighting"]["speed"] = 1e20;
    if (what == "nullRate") d["report_rate_hz"] = nullptr;
    if (what == "field") d["lighting"]["colour"] = "red";
    if (what == "top") d["profile"] = 1;
    if (what == "missing") d.erase("win_lock");
    if (what == "type") d["game_mode"] = "yes";
    if (what == "switching") {
        d["switching"] = Json::parse(R"({"format": 1, "rules": [{"profile": "A",
            "when": [{"field": "class", "test": "is", "text": "a"}]}]})");
    }
    if (what == "function") d["keys"]["F1"]["function"] = "Explode";
    if (what == "relative") d["keys"]["F3"]["program"] = "bin/sh";
    if (what == "twoWords") d["keys"]["F1"]["single"] = "A";
    if (what == "empty") d["keys"]["F6"] = Json::object();
    if (what == "diyCount") d["diy"].erase(4);
    if (what == "diyKey") d["diy"][1] = {"Esc", "Nokey"};
    if (what == "lineInside") d["macros"][0]["events"][1] = "H dn\nname: x";
    if (what == "noName") d["macros"][0]["name"] = "";
    if (what == "zeroInName") d["macros"][0]["name"] = std::string("a\0b", 3);
    if (what == "tooMany") {
        for (int i = 0; i < 32; ++i) d["macros"].push_back(d["macros"][0]);
    }
    return d;
}

TEST(ConfigurationText, RefusesEachMistakeWithItsPathAndReason) {
    const Bad cases[] = {
        {"combo4", "keys.\"Caps Lock\".combo: at most three keys"},
        {"combo1", "keys.\"Caps Lock\".combo: at least two keys"},
        {"unknownKey", "keys.Nokey: no key is called \"Nokey\""},
        {"sameKey", "keys.\"#62\": the same key as keys.\"Caps Lock\""},
        {"fn", "keys.Fn: this key cannot be reassigned"},
        {"mouse", "keys.F6.single: no key is called \"MsLB\""},
        {"fraction", "lighting.brightness: must be a whole number, not a number with a fraction"},
        {"effect", "lighting.effect: no effect is called \"Rainbow\""},
        {"effectCode", "lighting.effect: an effect is given by its name"},
        {"direction", "lighting.direction: Radar takes the direction \"right\" or \"left\", not \"north\""},
        {"radarUp", "lighting.direction: Radar takes the direction \"right\" or \"left\", not \"up\""},
        {"hugeSpeed", "lighting.speed: must be 0 to 9; this number is too big"},
        {"nullRate", "report_rate_hz: must be 125, 250, 500 or 1000 (reports per second), not null"},
        {"field", "lighting.colour: unknown field"},
        {"top", "profile: unknown field"},
        {"missing", "win_lock: is missing"},
        {"type", "game_mode: must be true or false, not text"},
        {"switching", "switching.rules[0].when[0].test: must be equals, contains"},
        {"function", "keys.F1.function: no function is called \"Explode\""},
        {"relative", "keys.F3.program: must be an absolute path"},
        {"twoWords", "keys.F1.single: a key takes one assignment, and \"function\" is already"},
        {"empty", "keys.F6: says nothing"},
        {"diyCount", "diy: must hold five lists"},
        {"diyKey", "diy[1][1]: no key is called \"Nokey\""},
        {"lineInside", "macros[0].events[1]: expected \"KEY dn\""},
        {"noName", "macros[0].name: a macro needs a name"},
        {"zeroInName", "macros[0].name: a name cannot hold the character U+0000"},
        {"tooMany", "macros: at most 32 macros"},
    };
    for (const auto& c : cases) {
        const auto parsed = parseConfiguration(changed(c.change).dump());
        ASSERT_FALSE(parsed) << c.change;
        EXPECT_NE(parsed.error().english.find(c.message), std::string::npos)
            << c.change << ": " << parsed.error().english;
        expectWhollyChinese(parsed.error().text(Language::Chinese));
    }
}

TEST(ConfigurationText, RefusesMalformedAndAmbiguousJson) {
    const Bad cases[] = {
        {"{\"format\": 1,\n \"keys\": [}", "line 2, column 11: not valid JSON"},
        {"{\"format\": 1, \"format\": 1}", "format: appears twice"},
        {"{\"keys\": {\"A\": {\"single\": \"B\", \"single\": \"C\"}}}", "keys.A.single: appears twice"},
        {"[1]", "(top): must be an object"},
        {"", "not valid JSON"},
        {"{\"format\": \"\xff\"}", "not valid JSON"},
        // Where a number too big to read stands, counted in characters.
        {"{\"format\": 1,\n \"macros\": [{\"name\": \"Grüße\", \"loops\": 1e400}]}",
         "line 2, column 40: the number 1e400 is too big"},
    };
    for (const auto& c : cases) {
        const auto parsed = parseConfiguration(c.change);
        ASSERT_FALSE(parsed) << c.change;
        EXPECT_NE(parsed.error().english.find(c.message), std::string::npos)
            << parsed.error().english;
        expectWhollyChinese(parsed.error().text(Language::Chinese));
    }
    const auto deep = parseConfiguration(std::string(100000, '['));
    ASSERT_FALSE(deep);
    EXPECT_NE(deep.error().english.find("nested deeper"), std::string::npos);
}

// Every number the text takes, at and past its limits: low - 1, low, high, high + 1 and a
// negative one. Refusals name the path and what is allowed.
TEST(ConfigurationText, EveryNumberAtAndPastItsLimits) {
    const struct {
        const char* pointer;  // into kEverything
        long long low, high;
        const char* refusal;
        bool asText = false;  // a macro delay, "N ms"
    } limits[] = {
        {"/format", 1, 2, "format: this file has format"},
        {"/lighting/speed", 0, 9, "lighting.speed: must be 0 to 9"},
        {"/lighting/brightness", 0, 50, "lighting.brightness: must be 0 to 50"},
        {"/response_time_ms", 2, 20,
         "response_time_ms: must be 2, 4, 6, 8, 10, 12, 14, 16, 18 or 20 (ms), not "},
        {"/report_rate_hz", 125, 1000,
         "report_rate_hz: must be 125, 250, 500 or 1000 (reports per second), not "},
        {"/keys/F2/macro", 0, 0, "keys.F2.macro: no macro "},
        {"/macros/0/loops", 0, 65535, "macros[0].loops: must be 0 to 65535"},
        {"/macros/0/events/2", 2, 60000, "macros[0].events[2]: ", true},
    };
    for (const auto& l : limits) {
        const struct {
            long long value;
            bool taken;
        } tries[] = {{l.low - 1, false}, {l.low, true}, {l.high, true}, {l.high + 1, false},
                     {-1 - l.high, false}};
        for (const auto& t : tries) {
            Json doc = Json::parse(kEverything);
            doc[Json::json_pointer(l.pointer)] =
                l.asText ? Json(std::to_string(t.value) + " ms") : Json(t.value);
            const auto parsed = parseConfiguration(doc.dump());
            const std::string what = std::string(l.pointer) + " = " + std::to_string(t.value);
            ASSERT_EQ(bool(parsed), t.taken) << what;
            if (t.taken) continue;
            const std::string& english = parsed.error().english;
            EXPECT_NE(english.find(l.refusal), std::string::npos) << what << ": " << english;
            if (std::string(l.refusal).find(" to ") != std::string::npos) {
                EXPECT_NE(english.find(t.value > l.high ? "is too big" : "is too small"),
                          std::string::npos)
                    << what << ": " << english;
            }
        }
    }
}

// A macro name holds 254 UTF-16 units; refusals count what people see, characters.
TEST(ConfigurationText, MacroNameLengthsAreToldInCharacters) {
    std::string han, emoji;
    for (int i = 0; i < 254; ++i) han += "键";
    for (int i = 0; i < 128; ++i) emoji += "\xF0\x9F\x8E\xB9";  // U+1F3B9, two units each
    const struct {
        std::string name;
        const char* refusal;  // empty: taken
    } names[] = {
        {han, ""},
        {han + "键", "macros[0].name: is 255 characters long; a name holds at most 254"},
        {emoji.substr(0, 127 * 4), ""},
        {emoji, "macros[0].name: is 128 characters long"},
    };
    for (const auto& n : names) {
        Json doc = Json::parse(kEverything);
        doc["macros"][0]["name"] = n.name;
        const auto parsed = parseConfiguration(doc.dump());
        ASSERT_EQ(bool(parsed), *n.refusal == 0) << n.refusal;
        if (!parsed) {
            EXPECT_NE(parsed.error().english.find(n.refusal), std::string::npos)
                << parsed.error().english;
        }
    }
}

// Backslash assigned to itself sends the cell of its own key code (usage 0x32), not its factory
// cell (0x31): an export says so, and an import into a fresh folder makes the same cell.
TEST(ConfigurationText, BackslashAssignedToItselfSurvivesExportAndImport) {
    constexpr std::size_t kBackslashCell = 792 + 3 * 84 + 13 * 4;  // column 13, row 3
    using Cell = std::array<std::uint8_t, 4>;
    Folder f;
    f.apply(*parseConfiguration(kEverything));  // settings an export can name
    keys::PendingAssignment p;
    p.clearChoice();
    p.selectedKey = *keys::findKey("\\");
    p.selectedVk = 220;
    p.kind = keys::kind::kSingle;
    p.capturedKeys[0] = 220;
    p.keyCount = 1;
    keys::ModifiedMarks marks{};
    ASSERT_TRUE(keys::applyAssignment(p, {f.image, *f.records, marks}, keys::ApplyContext{}));
    ASSERT_EQ(bytesAt(f.image, kBackslashCell), (Cell{0x00, 0x00, 0x32, 0x00}));

    const std::string text = f.exported();
    EXPECT_NE(text.find("\"\\\\\": {\n      \"single\": \"\\\\\"\n    }"), std::string::npos)
        << text;
    const auto parsed = parseConfiguration(text);
    ASSERT_TRUE(parsed) << parsed.error().english;
    Folder g;
    g.apply(*parsed);
    EXPECT_EQ(bytesAt(g.image, kBackslashCell), (Cell{0x00, 0x00, 0x32, 0x00}));
    EXPECT_EQ(g.exported(), text);

    // Left out, it goes back to its factory cell.
    Json doc = Json::parse(text);
    doc["keys"] = Json::object();
    g.apply(*parseConfiguration(doc.dump()));
    EXPECT_EQ(bytesAt(g.image, kBackslashCell), (Cell{0x00, 0x00, 0x31, 0x00}));
}

}  // namespace
}  // namespace tessaron::config
