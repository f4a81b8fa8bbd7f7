// The undo history over the controller: random edits of every kind walked back and forth, Save at
// the saved point, and what clears the history.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include <fstream>
#include <iterator>
#include <random>

#include "controller_rig.h"
#include "keys/key_description.h"
#include "keys/keymap_file.h"
#include "keys/lighting.h"
#include "support/qt_wait.h"

namespace tessaron::app {
namespace {

namespace img = device::image;

using Rig = ControllerRig;

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Everything undo must bring back, the files included.
struct Everything {
    explicit Everything(const LiveConfig& live)
        : image(live.image), records(live.records), macros(live.committedMacros),
          keymap(fileBytes(live.keymapPath())), macroFile(fileBytes(live.macroFilePath())) {}
    device::DeviceImage image;
    keys::KeyRecordTable records;
    macros::MacroTable macros;
    std::string keymap;
    std::string macroFile;
    bool operator==(const Everything& o) const {
        return image == o.image && keys::asBytes(records).size() == keys::asBytes(o.records).size() &&
               std::ranges::equal(keys::asBytes(records), keys::asBytes(o.records)) &&
               macros == o.macros && keymap == o.keymap && macroFile == o.macroFile;
    }
};

keys::KeyIndex keyNamed(const std::string& name) {
    for (std::size_t k = 0; k < keys::kLayoutKeyCount; ++k) {
        const auto key = static_cast<keys::KeyIndex>(k);
        if (keys::pictureKeyName(key, Language::English) == name) return key;
    }
    ADD_FAILURE() << name;
    return 0;
}

// The key page's OK for one key; fill sets the choice.
void editKey(SettingsController& c, keys::KeyIndex key,
             const std::function<void(keys::PendingAssignment&)>& fill) {
    ASSERT_TRUE(c.beginKeyEdit(key));
    c.live().pending.clearChoice();
    fill(c.live().pending);
    c.finishKeyEdit();
}

void assign(keys::PendingAssignment& p, std::initializer_list<std::uint8_t> vks) {
    p.kind = vks.size() == 1 ? keys::kind::kSingle : keys::kind::kCombination;
    p.keyCount = static_cast<std::uint8_t>(vks.size());
    std::copy(vks.begin(), vks.end(), p.capturedKeys.begin());
}

void randomEdit(SettingsController& c, std::mt19937& rng) {
    const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const auto key = static_cast<keys::KeyIndex>(pick(static_cast<int>(keys::kRealKeyCount)));
    const bool editable = key != keys::kLeftWinKey && key != keys::kFnKey;
    switch (pick(8)) {
        case 0: {  // a slider drag: several moves, one step
            const int mergeKey = 1 + pick(3);
            for (int i = 0, n = 1 + pick(4); i < n; ++i) {
                const auto value = static_cast<std::uint8_t>(pick(5));
                c.edit([&](LiveConfig& l) { l.image[img::kBrightness] = value; }, {}, mergeKey);
            }
            break;
        }
        case 1:  // effect, direction, game mode, Win Lock, response time, report rate
            c.edit([&](LiveConfig& l) {
                const std::size_t bytes[] = {img::kEffect,    img::kDirection, img::kSpeed,
                                             img::kReportRate, img::kGameMode};
                l.image[bytes[pick(5)]] = static_cast<std::uint8_t>(pick(4));
            });
            break;
        case 2:
            c.edit([&](LiveConfig& l) { keys::lighting::toggleDiyLight(l.image, key); });
            break;
        case 3:
            if (editable) editKey(c, key, [&](auto& p) { assign(p, {static_cast<std::uint8_t>(0x41 + pick(26))}); });
            break;
        case 4:
            if (editable) editKey(c, key, [](auto& p) { assign(p, {0xA2, 0x5A}); });
            break;
        case 5:
            if (editable) editKey(c, key, [](auto& p) { p.enabled = false; });
            break;
        case 6:
            if (editable) editKey(c, key, [](auto& p) { p.keyCount = keys::kDefaultKeyCount; });
            break;
        default: {  // the macro manager's OK
            c.beginMacroEdit();
            macros::MacroRecord& m = c.live().committedMacros[static_cast<std::size_t>(pick(3))];
            m.setName(u"Macro_00" + std::u16string(1, static_cast<char16_t>(u'1' + pick(9))));
            macros::Stream s{};
            s[0] = 0x01;
            s[1] = static_cast<std::uint8_t>('A' + pick(26));
            s[2] = 0xFF;
            s[3] = s[1];
            m.setDeviceStream(s);
            c.macrosEdited();
            break;
        }
    }
}

TEST(SettingsHistory, UndoingEveryRandomEditGivesBackTheSettingsAndTheFilesByteForByte) {
    for (const unsigned seed : {1U, 42U}) {
        SCOPED_TRACE(seed);
        Rig rig;
        SettingsController& c = *rig.controller;
        const Everything start(*rig.live);
        std::mt19937 rng(seed);
        for (int i = 0; i < 40; ++i) randomEdit(c, rng);
        // A profile loaded in the panel: it rewrites the settings and keymap.bin itself.
        c.beginProfiles();
        rig.live->image[img::kBrightness] ^= 3;
        rig.live->records[5].kind = keys::kind::kCombination;
        ASSERT_TRUE(keys::writeKeymap(rig.live->keymapPath(), rig.live->image, rig.live->records));
        c.profilesClosed();
        c.refresh(false);  // what the window does after the panel: keymap.bin as the window shows
        const Everything end(*rig.live);
        ASSERT_FALSE(end == start);

        while (c.canUndo()) c.undo();
        EXPECT_TRUE(Everything(*rig.live) == start);
        EXPECT_FALSE(c.isDirty());
        while (c.canRedo()) c.redo();
        EXPECT_TRUE(Everything(*rig.live) == end);
    }
}

TEST(SettingsHistory, SaveAtTheSavedPointSendsNothingAndCancelGoesBackThere) {
    Rig rig;
    SettingsController& c = *rig.controller;
    const keys::KeyIndex caps = keyNamed("Caps Lock");
    editKey(c, caps, [](auto& p) { assign(p, {0xA2, 0x5A}); });
    c.save();
    ASSERT_TRUE(rig.idle());
    const Everything saved(*rig.live);
    const int savedAt = c.history().index();

    // A drag that ends where it began leaves no step.
    const int speed = rig.live->image[img::kSpeed];
    for (const int v : {speed + 1, speed + 2, speed}) {
        c.edit([v](LiveConfig& l) { l.image[img::kSpeed] = static_cast<std::uint8_t>(v); }, {}, 5);
    }
    EXPECT_EQ(c.history().index(), savedAt);
    EXPECT_EQ(c.history().count(), savedAt);

    // A slider drag, then one more key.
    for (const int v : {1, 2, 3}) {
        c.edit([v](LiveConfig& l) { l.image[img::kSpeed] = static_cast<std::uint8_t>(v); }, {}, 7);
    }
    editKey(c, caps, [](auto& p) { p.enabled = false; });
    EXPECT_EQ(c.history().index(), savedAt + 2);
    EXPECT_TRUE(c.isDirty());

    c.undo();
    c.undo();
    EXPECT_TRUE(c.history().isClean());
    EXPECT_TRUE(Everything(*rig.live) == saved);
    rig.keyboard->clearTraffic();
    c.save();
    ASSERT_TRUE(rig.idle());
    EXPECT_TRUE(rig.keyboard->traffic(device::TrafficKind::Frame).empty());
    EXPECT_TRUE(rig.keyboard->traffic(device::TrafficKind::PageIn).empty());

    // Cancel walks back to the saved point; the steps after it can still be redone.
    c.redo();
    c.redo();
    c.revert();
    EXPECT_TRUE(Everything(*rig.live) == saved);
    EXPECT_TRUE(c.canRedo());
}

TEST(SettingsHistory, StepsAreNamedInBothLanguages) {
    Rig rig;
    SettingsController& c = *rig.controller;
    editKey(c, keyNamed("Caps Lock"), [](auto& p) { assign(p, {0xA2, 0x5A}); });
    ASSERT_TRUE(c.undoName());
    EXPECT_EQ(c.undoName()->english, "Caps Lock → Left Ctrl + Z");
    editKey(c, keyNamed("F5"), [](auto& p) { p.enabled = false; });
    EXPECT_EQ(c.undoName()->english, "F5 → disabled");
    EXPECT_EQ(c.undoName()->text(Language::Chinese), "F5 → 已禁用");
    c.undo();
    EXPECT_EQ(c.redoName()->english, "F5 → disabled");
    EXPECT_EQ(c.undoName()->english, "Caps Lock → Left Ctrl + Z");
}

TEST(SettingsHistory, AResetOrSettingsFromOutsideClearTheHistoryAndSaySo) {
    Rig rig;
    SettingsController& c = *rig.controller;
    QSignalSpy cleared(&c, &SettingsController::historyCleared);
    const auto step = [&c] { c.edit([](LiveConfig& l) { l.image[img::kSpeed] ^= 1; }); };

    // A read that finds the keyboard as it was keeps the history.
    step();
    c.reloadFromKeyboard();
    ASSERT_TRUE(rig.idle());
    EXPECT_TRUE(c.canUndo());
    EXPECT_TRUE(cleared.empty());

    auto settings = rig.keyboard->settings();
    settings[img::kBrightness] ^= 1;
    rig.keyboard->setSettings(settings);
    c.reloadFromKeyboard();
    ASSERT_TRUE(rig.idle());
    EXPECT_FALSE(c.canUndo());
    ASSERT_EQ(cleared.size(), 1);

    step();
    c.factoryReset();
    ASSERT_TRUE(rig.idle());
    EXPECT_FALSE(c.canUndo());
    EXPECT_EQ(cleared.size(), 2);
    EXPECT_NE(cleared.last().at(0).value<Error>().text(Language::Chinese), "");
}

}  // namespace
}  // namespace tessaron::app
