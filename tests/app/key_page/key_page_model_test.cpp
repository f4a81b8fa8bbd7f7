// The key page's rules without a window: capture, focus, Save per tab, the Advance rows.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "app/key_page/key_page_model.h"
#include "keys/functions.h"
#include "keys/key_layout.h"

namespace tessaron::app::key_page {
namespace {

namespace kind = keys::kind;

constexpr std::uint8_t kA = 65, kB = 66, kC = 67, kD = 68, kLCtrl = 162;
constexpr keys::KeyIndex kKeyQ = 42;

// Centres of the page's buttons and Advance sub-items.
struct Point {
    int x, y;
};
Point centre(const ui::Rect& r) {
    return {r.centre().x(), r.centre().y()};
}
Point buttonPoint(int b) {
    return centre(kButtonRects[static_cast<std::size_t>(b)]);
}
Point subItemPoint(int row, SubItemRole role) {
    return centre(subItemRect(row, role));
}
constexpr Point kNowhere{160, 200};  // inside the tab body, on no button or sub-item

class ScriptedHost final : public PageHost {
public:
    std::deque<std::optional<std::string>> answers;
    std::vector<Chooser> asked;
    std::vector<std::string> messages;

    std::optional<std::string> choose(Chooser chooser) override {
        asked.push_back(chooser);
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showMessage(const std::string& text) override { messages.push_back(text); }
};

class KeyPageModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        pending.selectedKey = kKeyQ;
        pending.selectedVk = keys::layoutVk(kKeyQ);
        record.vk = pending.selectedVk;
    }

    KeyPageModel& open(bool enabled = true, Language lang = Language::English,
                       std::vector<std::string> macros = {"Combo", "Reload"}) {
        model.emplace(pending, record, lang, std::move(macros));
        model->open(enabled);
        model->setHookInstalled(true);
        return *model;
    }

    Outcome click(Point p) { return model->release(p.x, p.y, host); }
    Outcome clickButton(int b) { return click(buttonPoint(b)); }
    void type(std::initializer_list<std::uint8_t> vks) {
        for (auto vk : vks) model->keystroke(vk);
    }

    keys::PendingAssignment pending;
    keys::KeyRecord record;
    std::optional<KeyPageModel> model;
    ScriptedHost host;
};

TEST(KeyPageGeometry, HitTestsFollowTheButtonOrderAndTheWidenedDisableBox) {
    EXPECT_EQ(buttonAt(14, 246), button::kDisable);  // 5 beyond the picture's corner
    EXPECT_EQ(buttonAt(34, 265), button::kDisable);
    EXPECT_EQ(buttonAt(13, 246), std::nullopt);
    // The strip under the tabs loses to the tabs where they overlap, and shared edges go to
    // the lower button number.
    EXPECT_EQ(buttonAt(10, 33), button::kTabSingle);
    EXPECT_EQ(buttonAt(81, 40), button::kTabSingle);
    EXPECT_EQ(buttonAt(10, 30), button::kTabStrip);
    EXPECT_EQ(buttonAt(318, 17), button::kClose);
    EXPECT_EQ(buttonAt(305, 268), button::kSave);
    EXPECT_EQ(buttonAt(306, 268), std::nullopt);

    EXPECT_EQ(advanceSubItemAt(15, 72), (SubItem{0, SubItemRole::Radio}));
    EXPECT_EQ(advanceSubItemAt(302, 173), (SubItem{3, SubItemRole::Browse}));
    EXPECT_EQ(advanceSubItemAt(100, 128), (SubItem{2, SubItemRole::PathBox}));
    EXPECT_EQ(advanceSubItemAt(250, 75), std::nullopt);  // between path box and browse
}

TEST(KeyPageGeometry, PathBoxShortensLongPathsToTheirLastComponent) {
    EXPECT_EQ(pathBoxText("/home/a.mp3"), "/home/a.mp3");
    EXPECT_EQ(pathBoxText("/home/ab/x.mp"), "/home/ab/x.mp");  // 13 characters
    EXPECT_EQ(pathBoxText("/home/user/music/song.mp3"), "../song.mp3");
    // A trailing separator is not the one that counts.
    EXPECT_EQ(pathBoxText("/home/user/music/"), "../music/");
    EXPECT_EQ(pathBoxText("a_name_without_separators"), "");
    EXPECT_EQ(pathBoxText("C:\\Music\\Albums\\song.mp3", '\\'), "..\\song.mp3");
    // Characters, not bytes: 13 Chinese characters still fit.
    EXPECT_EQ(pathBoxText("/音乐/音乐音乐音乐音乐"), "/音乐/音乐音乐音乐音乐");
}

TEST(KeyPageGeometry, FunctionTreeGroupsTheTableUnderThreeCategories) {
    const auto items = functionTreeItems(Language::Chinese);
    ASSERT_EQ(items.size(), keys::kFunctionCount + 3);
    EXPECT_EQ(items[11].text, "快捷健");
    EXPECT_TRUE(items[11].category);
    EXPECT_EQ(items[21].text, "最小化");
    EXPECT_EQ(items[21].parent, 19);
    EXPECT_EQ(items.back().parent, -1);
}

TEST_F(KeyPageModelTest, SingleKeyCaptureAndRestoringAStoredKey) {
    record.kind = kind::kSingle;
    record.keyCount = 1;
    record.bytes[0] = kA;
    open();
    EXPECT_EQ(model->singleText(), "A ");
    EXPECT_TRUE(model->restoring());
    EXPECT_EQ(model->takeFocusRequest(), Field::Single);
    // The focus arriving with the window keeps the loaded key; Save counts it again.
    model->singleFieldFocused();
    EXPECT_FALSE(model->restoring());
    EXPECT_EQ(pending.capturedKeys[0], kA);
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.kind, kind::kSingle);
    EXPECT_EQ(pending.keyCount, 1);

    open();
    type({kB, kC});
    EXPECT_EQ(model->singleText(), "C ");
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.capturedKeys[0], kC);
    EXPECT_EQ(pending.capturedKeys[1], 0);
    EXPECT_EQ(pending.keyCount, 1);
}

TEST_F(KeyPageModelTest, CombinationCaptureStartsOverOnTheFourthKeyAndSkipsRepeats) {
    open();
    model->combinationFieldFocused();
    type({kLCtrl, kLCtrl, kLCtrl, kA});  // a held Ctrl repeats
    EXPECT_EQ(model->combinationText(), "LCtrl + A ");
    EXPECT_EQ(pending.keyCount, 2);
    type({kB, kD});
    EXPECT_EQ(model->combinationText(), "D ");
    EXPECT_EQ(pending.keyCount, 1);
    EXPECT_EQ(pending.capturedKeys[1], 0);
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.kind, kind::kCombination);
    EXPECT_EQ(pending.keyCount, 1);
}

TEST_F(KeyPageModelTest, StoredCombinationIsKeptBySaveAndReplacedByTyping) {
    record.kind = kind::kCombination;
    record.keyCount = 3;
    record.bytes[0] = kLCtrl;
    record.bytes[1] = kA;
    record.bytes[2] = kB;
    open();
    EXPECT_EQ(model->combinationText(), "LCtrl + A + B ");
    EXPECT_EQ(model->singleText(), "");
    EXPECT_EQ(pending.keyCount, 0);
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.kind, kind::kCombination);
    EXPECT_EQ(pending.keyCount, 3);

    open();
    type({kC});
    EXPECT_EQ(model->combinationText(), "C ");
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.keyCount, 1) << "what is saved is what the field shows";
    EXPECT_EQ(pending.capturedKeys[1], 0);

    // Clicking into the single field gives up the stored keys.
    open();
    model->singleFieldFocused();
    EXPECT_EQ(model->combinationText(), "");
    EXPECT_EQ(pending.kind, kind::kSingle);
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.kind, kind::kRestore);
}

TEST_F(KeyPageModelTest, KeystrokesAreIgnoredWithoutTheHookAndOnBasicAndAdvance) {
    open();
    model->setHookInstalled(false);
    type({kA});
    EXPECT_EQ(pending.keyCount, 0);
    model->setHookInstalled(true);
    clickButton(button::kTabBasic);
    type({kA});
    clickButton(button::kTabAdvance);
    type({kB});
    EXPECT_EQ(pending.capturedKeys[0], 0);
    // The Macro tab collects keys into the hidden combination; going back empties them.
    clickButton(button::kTabMacro);
    type({kA, kB});
    EXPECT_EQ(model->combinationText(), "A + B ");
    clickButton(button::kTabSingle);
    EXPECT_EQ(model->combinationText(), "");
    EXPECT_EQ(pending.capturedKeys[0], 0);
    EXPECT_EQ(pending.kind, kind::kSingle);
}

TEST_F(KeyPageModelTest, SaveWithoutAKeyRestoresAndDisableAppliesToEveryTab) {
    open();
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.kind, kind::kRestore);
    EXPECT_TRUE(pending.enabled);

    open();
    clickButton(button::kDisable);
    EXPECT_TRUE(model->disabled());
    type({kB});
    clickButton(button::kSave);
    EXPECT_FALSE(pending.enabled);

    // A disabled key opens with the box ticked; Default re-enables through Apply.
    open(false);
    EXPECT_TRUE(model->disabled());
    EXPECT_FALSE(pending.enabled);
    EXPECT_EQ(clickButton(button::kDefault), Outcome::Ok);
    EXPECT_EQ(pending.keyCount, keys::kDefaultKeyCount);
}

TEST_F(KeyPageModelTest, MacroTabSavesTheSelectionOrRestoresEnabled) {
    record.kind = kind::kMacro;
    record.bytes[0] = keys::cell::kMacro;
    record.bytes[1] = 1;
    record.bytes[2] = 1;
    open(false);
    EXPECT_EQ(model->tab(), Tab::Macro);
    EXPECT_EQ(model->macroSelection(), 1);
    EXPECT_EQ(model->takeFocusRequest(), Field::MacroList);
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.kind, kind::kMacro);
    EXPECT_EQ(pending.macroNumber, 1);
    EXPECT_FALSE(pending.enabled);

    open(false);
    model->selectMacro(-1);
    clickButton(button::kSave);
    EXPECT_EQ(pending.kind, kind::kRestore);
    EXPECT_TRUE(pending.enabled) << "a macro key saved without a macro stays usable";

    // A macro that no longer exists selects nothing.
    record.bytes[2] = 7;
    open();
    EXPECT_EQ(model->macroSelection(), -1);
}

TEST_F(KeyPageModelTest, BasicTabRefusesCategoriesInBothLanguages) {
    for (Language lang : {Language::English, Language::Chinese}) {
        open(true, lang);
        EXPECT_EQ(clickButton(button::kTabBasic), Outcome::Stay);
        EXPECT_EQ(model->treeSelection(), 0u);
        model->selectTreeItem(11);  // Shortcut / 快捷健
        EXPECT_EQ(clickButton(button::kSave), Outcome::Stay);
        ASSERT_FALSE(host.messages.empty());
        EXPECT_EQ(host.messages.back(),
                  lang == Language::Chinese ? "请选择子项" : "Please select Sub item");
        model->selectTreeItem(14);  // Copy / 复制
        EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
        EXPECT_EQ(pending.kind, kind::kFunction);
        EXPECT_EQ(pending.functionName, lang == Language::Chinese ? "复制" : "Copy");
    }
}

TEST_F(KeyPageModelTest, FunctionKeyOpensOnItsEntryAndAnUnknownCellOnNone) {
    record.kind = kind::kFunction;
    const keys::KeyCell vol = keys::functionTable()[7].cell;  // Vol+
    std::copy(vol.begin(), vol.end(), record.bytes.begin());
    open(true, Language::Chinese);
    EXPECT_EQ(model->tab(), Tab::Basic);
    ASSERT_TRUE(model->treeSelection());
    EXPECT_EQ(model->treeItems()[*model->treeSelection()].text, "音量+");
    EXPECT_EQ(model->expandedCategory(), 2u);

    record.bytes[0] = 0x7F;
    open();
    EXPECT_EQ(model->treeSelection(), std::nullopt);
    EXPECT_EQ(model->expandedCategory(), std::nullopt);
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.functionName, "");
}

TEST_F(KeyPageModelTest, AdvanceSaveWithoutARowRestores) {
    open();
    clickButton(button::kTabAdvance);
    EXPECT_EQ(model->tab(), Tab::Advance);
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.kind, kind::kRestore);
}

TEST_F(KeyPageModelTest, AdvanceBrowseAndRadioRules) {
    open();
    clickButton(button::kTabAdvance);

    // Cancelled Play Sound and Startup choosers still move the marker; the others do not.
    click(subItemPoint(1, SubItemRole::Browse));
    EXPECT_EQ(model->rowMarker(), 4);
    EXPECT_EQ(model->advanceRow(), kNoRow);
    click(subItemPoint(3, SubItemRole::Browse));
    EXPECT_EQ(model->rowMarker(), 4);
    EXPECT_EQ(host.asked, (std::vector<Chooser>{Chooser::Program, Chooser::Folder}));

    host.answers.push_back("/home/user/music/song.mp3");
    click(subItemPoint(0, SubItemRole::Browse));
    EXPECT_EQ(pending.kind, kind::kPlaySound);
    EXPECT_EQ(model->advanceRow(), 0);
    EXPECT_EQ(model->pathBox(), "../song.mp3");
    EXPECT_TRUE(model->rowLit(0));
    EXPECT_FALSE(model->rowLit(1));

    // The Startup radio empties the path but keeps Play Sound as the kind.
    click(subItemPoint(1, SubItemRole::Radio));
    EXPECT_EQ(model->advanceRow(), 1);
    EXPECT_EQ(pending.hostPath, "");
    EXPECT_EQ(pending.kind, kind::kPlaySound);
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.kind, kind::kPlaySound);

    open();
    clickButton(button::kTabAdvance);
    host.answers.push_back("/srv/share");
    click(subItemPoint(3, SubItemRole::Browse));
    EXPECT_EQ(pending.kind, kind::kOpenFolder);
    EXPECT_EQ(model->rowMarker(), 12);
    click(kNowhere);  // a row is chosen, so a click elsewhere changes nothing
    EXPECT_EQ(pending.kind, kind::kOpenFolder);
    clickButton(button::kDisable);
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.hostPath, "/srv/share");
    EXPECT_FALSE(pending.enabled);
}

TEST_F(KeyPageModelTest, PathsThatDoNotFitARecordAreRefused) {
    open();
    clickButton(button::kTabAdvance);
    host.answers.push_back("/" + std::string(255, 'x'));
    click(subItemPoint(2, SubItemRole::Browse));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("255"), std::string::npos);
    EXPECT_EQ(model->advanceRow(), kNoRow);
    EXPECT_EQ(pending.hostPath, "");

    host.answers.push_back("/" + std::string(254, 'x'));
    click(subItemPoint(2, SubItemRole::Browse));
    EXPECT_EQ(pending.kind, kind::kOpenFile);
    EXPECT_EQ(pending.hostPath.size(), 255u);
}

TEST_F(KeyPageModelTest, HostActionKeyOpensOnItsRow) {
    record.kind = kind::kStartup;
    ASSERT_TRUE(keys::setHostPath(record, "/usr/bin/game"));
    open();
    EXPECT_EQ(model->tab(), Tab::Advance);
    EXPECT_EQ(model->advanceRow(), 1);
    EXPECT_EQ(pending.hostPath, "/usr/bin/game");
    EXPECT_EQ(model->pathBox(), "/usr/bin/game");
    EXPECT_EQ(clickButton(button::kSave), Outcome::Ok);
    EXPECT_EQ(pending.kind, kind::kStartup);
}

TEST_F(KeyPageModelTest, TabChangesEditOnlyTheDraft) {
    record.kind = kind::kOpenFile;
    record.keyCount = 0;
    ASSERT_TRUE(keys::setHostPath(record, "/tmp/notes.txt"));
    const keys::KeyRecord before = record;
    open();
    clickButton(button::kTabSingle);
    EXPECT_EQ(model->draft().kind, kind::kSingle);
    clickButton(button::kTabAdvance);
    EXPECT_EQ(model->draft().kind, kind::kNone);
    EXPECT_EQ(clickButton(button::kCancel), Outcome::Cancel);
    EXPECT_EQ(pending.keyCount, 0);
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
    EXPECT_EQ(clickButton(button::kClose), Outcome::Cancel);
}

}  // namespace
}  // namespace tessaron::app::key_page
