// The key page as a window on the offscreen platform: keystrokes through the hook, clicks at the
// page's coordinates, the controls of each tab, the choosers, and how each tab looks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItemIterator>

#include <cstring>
#include <deque>
#include <memory>

#include "app/key_page/key_page.h"
#include "app/key_page/key_page_dialogs.h"
#include "app/key_page/key_page_run.h"
#include "keys/key_layout.h"
#include "tholwin/tholwin.h"
#include "ui/image_folders.h"
#include "ui/vivid_tree.h"

namespace tessaron::app {
namespace {

namespace kind = keys::kind;
namespace button = key_page::button;
using key_page::SubItemRole;
using key_page::Tab;

constexpr keys::KeyIndex kKeyQ = 42;
constexpr std::uint8_t kLCtrl = 162, kA = 65;

class StubDialogs final : public KeyPageDialogs {
public:
    std::deque<std::optional<QString>> answers;
    std::vector<key_page::Chooser> asked;
    QStringList messages;
    bool hookWhileOpen = false;

    std::optional<QString> choose(QWidget*, key_page::Chooser chooser, Language) override {
        asked.push_back(chooser);
        hookWhileOpen = hookWhileOpen || tholwin::hookInstalled();
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void message(QWidget*, const QString& text, Language) override {
        messages << text;
        hookWhileOpen = hookWhileOpen || tholwin::hookInstalled();
    }
};

class KeyPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        records = std::make_unique<keys::KeyRecordTable>();
        keys::fillLayoutVks(*records);
        macros[0].setName(u"Combo");
        macros[1].setName(u"Reload");
        pending.selectedKey = kKeyQ;
        pending.selectedVk = keys::layoutVk(kKeyQ);
    }
    void TearDown() override { page.reset(); }

    keys::KeyRecord& record() { return (*records)[kKeyQ]; }

    CKeyMap& open(Language lang = Language::English, bool enabled = true) {
        page.reset();
        KeyPageSetup setup;
        setup.imageFolder =
            ui::imageFolder(QStringLiteral(TESSARON_TEST_SHARE_DIR), lang, ui::Panel::Custom);
        setup.language = lang;
        setup.pending = &pending;
        setup.records = records.get();
        setup.keyEnabled = enabled;
        setup.macros = &macros;
        setup.dialogs = &dialogs;
        page = std::make_unique<CKeyMap>(setup);
        page->show();
        page->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        return *page;
    }

    void clickAt(QPoint at) { QTest::mouseClick(page.get(), Qt::LeftButton, {}, at); }
    void clickButton(int b) { clickAt(key_page::kButtonRects[b].centre()); }
    void clickSubItem(int row, SubItemRole role) {
        clickAt(key_page::subItemRect(row, role).centre());
    }
    // A key event as X11 delivers it, addressed to whatever has the focus.
    void press(int qtKey, std::uint32_t keycode, std::uint32_t keysym) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : page.get();
        QKeyEvent down(QEvent::KeyPress, qtKey, Qt::NoModifier, keycode, keysym, 0);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, qtKey, Qt::NoModifier, keycode, keysym, 0);
        QApplication::sendEvent(target, &up);
    }
    void pressLCtrl() { press(Qt::Key_Control, 37, 0xffe3); }
    void pressA() { press(Qt::Key_A, 38, 0x61); }
    void pressC() { press(Qt::Key_C, 54, 0x63); }

    keys::PendingAssignment pending;
    std::unique_ptr<keys::KeyRecordTable> records;
    macros::MacroTable macros;
    StubDialogs dialogs;
    std::unique_ptr<CKeyMap> page;
};

TEST_F(KeyPageTest, StoredCombinationIsShownAndTypingStartsItAgain) {
    record().kind = kind::kCombination;
    record().keyCount = 2;
    record().bytes[0] = kLCtrl;
    record().bytes[1] = kA;
    open();
    ASSERT_TRUE(page->hookInstalled());
    EXPECT_EQ(page->combinationField()->text(), QStringLiteral("LCtrl + A "));
    EXPECT_TRUE(page->singleField()->text().isEmpty());

    pressC();
    pressLCtrl();
    EXPECT_EQ(page->combinationField()->text(), QStringLiteral("C + LCtrl "));
    clickButton(button::kSave);
    EXPECT_EQ(page->result(), QDialog::Accepted);
    EXPECT_FALSE(tholwin::hookInstalled()) << "the page removes its hook when it ends";
    EXPECT_EQ(pending.kind, kind::kCombination);
    EXPECT_EQ(pending.keyCount, 2);
    EXPECT_EQ(pending.capturedKeys[0], 67);
    EXPECT_EQ(pending.capturedKeys[1], kLCtrl);
}

TEST_F(KeyPageTest, ClickingAFieldChoosesSingleOrCombination) {
    open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    QTest::mouseClick(page->combinationField(), Qt::LeftButton);
    pressLCtrl();
    pressA();
    EXPECT_EQ(page->combinationField()->text(), QStringLiteral("LCtrl + A "));
    EXPECT_EQ(pending.kind, kind::kCombination);
    // A click on the face keeps the field's focus, so clicking the field again changes nothing.
    clickButton(button::kDisable);
    QTest::mouseClick(page->combinationField(), Qt::LeftButton);
    EXPECT_EQ(pending.keyCount, 2);
    clickButton(button::kDisable);

    QTest::mouseClick(page->singleField(), Qt::LeftButton);
    EXPECT_TRUE(page->combinationField()->text().isEmpty());
    pressC();
    EXPECT_EQ(page->singleField()->text(), QStringLiteral("C "));
    clickButton(button::kSave);
    EXPECT_EQ(page->result(), QDialog::Accepted);
    EXPECT_EQ(pending.kind, kind::kSingle);
    EXPECT_EQ(pending.keyCount, 1);
    EXPECT_EQ(pending.capturedKeys[0], 67);
}

TEST_F(KeyPageTest, EachTabShowsItsOwnControls) {
    open();
    EXPECT_TRUE(page->singleField()->isVisible());
    EXPECT_FALSE(page->macroList()->isVisible());
    clickButton(button::kTabMacro);
    EXPECT_TRUE(page->macroList()->isVisible());
    EXPECT_FALSE(page->singleField()->isVisible());
    EXPECT_EQ(page->macroList()->count(), 2);
    clickButton(button::kTabBasic);
    EXPECT_TRUE(page->functionTree()->isVisible());
    EXPECT_FALSE(page->macroList()->isVisible());
    EXPECT_EQ(page->functionTree()->currentItem()->text(0), QStringLiteral("Search"));
    clickButton(button::kTabAdvance);
    EXPECT_FALSE(page->functionTree()->isVisible());
    EXPECT_FALSE(page->singleField()->isVisible());
    EXPECT_TRUE(page->isVisible());
}

TEST_F(KeyPageTest, MacroAndFunctionChoicesComeFromTheirControls) {
    open();
    clickButton(button::kTabMacro);
    QListWidget* list = page->macroList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    clickButton(button::kSave);
    EXPECT_EQ(page->result(), QDialog::Accepted);
    EXPECT_EQ(pending.kind, kind::kMacro);
    EXPECT_EQ(pending.macroNumber, 1);

    open(Language::Chinese);
    clickButton(button::kTabBasic);
    ui::VividTree* tree = page->functionTree();
    QTreeWidgetItem* media = tree->topLevelItem(2);
    ASSERT_EQ(media->text(0), QStringLiteral("多媒体"));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(media).center());
    clickButton(button::kSave);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("请选择子项")});
    media->setExpanded(true);
    QTreeWidgetItem* mute = media->child(7);
    tree->scrollToItem(mute);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(mute).center());
    clickButton(button::kSave);
    EXPECT_EQ(page->result(), QDialog::Accepted);
    EXPECT_EQ(pending.functionName, "静音");
}

TEST_F(KeyPageTest, FunctionKeyOpensWithItsCategoryExpanded) {
    record().kind = kind::kFunction;
    record().bytes[0] = 0x00;
    record().bytes[1] = 0xE2;
    record().bytes[2] = 0x2C;
    record().bytes[3] = 0x11;  // Min
    open();
    ui::VividTree* tree = page->functionTree();
    EXPECT_TRUE(tree->isVisible());
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("Min"));
    EXPECT_TRUE(tree->currentItem()->parent()->isExpanded());
    EXPECT_FALSE(tree->topLevelItem(2)->isExpanded());
}

TEST_F(KeyPageTest, AdvanceRowsRunTheChoosers) {
    open();
    clickButton(button::kTabAdvance);
    dialogs.answers.push_back(QString());  // a folder chooser that gave no path
    clickSubItem(3, SubItemRole::Browse);
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("Please select a folder\n")});
    EXPECT_EQ(page->model().advanceRow(), key_page::kNoRow);

    dialogs.answers.push_back(QStringLiteral("/home/user/Music/track.mp3"));
    clickSubItem(0, SubItemRole::Browse);
    EXPECT_EQ(page->model().pathBox(), "../track.mp3");
    EXPECT_EQ(dialogs.asked, (std::vector<key_page::Chooser>{key_page::Chooser::Folder,
                                                             key_page::Chooser::Sound}));
    clickButton(button::kSave);
    EXPECT_EQ(page->result(), QDialog::Accepted);
    EXPECT_EQ(pending.kind, kind::kPlaySound);
    EXPECT_EQ(pending.hostPath, "/home/user/Music/track.mp3");
    // The record itself is written by the window's Apply; the page only ends its tab edits.
    EXPECT_EQ(record().kind, kind::kNone);
}

TEST_F(KeyPageTest, EnterAndEscapeNeverCloseThePage) {
    open();
    // With the hook the keys are captured like any other.
    press(Qt::Key_Escape, 9, 0xff1b);
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(page->singleField()->text(), QStringLiteral("Esc "));
    // Without it they reach the page, which keeps them from closing it.
    tholwin::removehook();
    press(Qt::Key_Escape, 9, 0xff1b);
    press(Qt::Key_Return, 36, 0xff0d);
    EXPECT_TRUE(page->isVisible());
}

TEST_F(KeyPageTest, DraggingFromAFreeSpotMovesThePageWithoutClicking) {
    open();
    clickButton(button::kTabAdvance);
    const QPoint origin = page->pos();
    const QPoint from(150, 235);  // below the rows, above the buttons
    const QPoint global = page->mapToGlobal(from);
    QMouseEvent down(QEvent::MouseButtonPress, from, global, Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(page.get(), &down);
    QMouseEvent move(QEvent::MouseMove, from + QPoint(30, 10), global + QPoint(30, 10),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page.get(), &move);
    QMouseEvent up(QEvent::MouseButtonRelease, from + QPoint(30, 10), global + QPoint(30, 10),
                   Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(page.get(), &up);
    EXPECT_EQ(page->pos(), origin + QPoint(30, 10));
    EXPECT_TRUE(page->isVisible());
}

TEST_F(KeyPageTest, AClickAfterADragWhoseReleaseTheWindowSystemKeptStillCounts) {
    open();
    const QPoint from(150, 235);  // a free spot
    QMouseEvent down(QEvent::MouseButtonPress, from, page->mapToGlobal(from), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(page.get(), &down);
    clickButton(button::kTabAdvance);
    EXPECT_EQ(page->model().tab(), Tab::Advance);
}

TEST_F(KeyPageTest, HoverShowsTheOverImages) {
    open();
    QTest::mouseMove(page.get(), key_page::kButtonRects[button::kSave].centre());
    EXPECT_EQ(page->hoveredButton(), button::kSave);
    const QImage hovered = page->grab().toImage();
    QTest::mouseMove(page.get(), QPoint(150, 235));
    EXPECT_EQ(page->hoveredButton(), -1);
    const QImage plain = page->grab().toImage();
    const QPoint inSave(267, 265);
    EXPECT_NE(hovered.pixel(inSave), plain.pixel(inSave));
}

TEST(KeyPageChoosers, FiltersAndPrograms) {
    using key_page::Chooser;
    // Programs first, any name; the common audio types; any file; Chinese wholly Chinese.
    EXPECT_EQ(fileChooserFilters(Chooser::Program, Language::English),
              (QStringList{QStringLiteral("Programs (*)"), QStringLiteral("All Files (*)")}));
    const QStringList sound = fileChooserFilters(Chooser::Sound, Language::English);
    for (const char* type : {"*.mp3", "*.ogg", "*.flac", "*.wav", "*.opus", "*.m4a"}) {
        EXPECT_TRUE(sound.first().contains(QLatin1String(type))) << type;
    }
    EXPECT_EQ(fileChooserFilters(Chooser::File, Language::English),
              QStringList{QStringLiteral("All Files (*)")});
    EXPECT_EQ(fileChooserFilters(Chooser::Program, Language::Chinese).first(),
              QStringLiteral("程序 (*)"));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto make = [&](const QString& name, bool executable) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        QFile::Permissions p = QFile::ReadOwner | QFile::WriteOwner;
        if (executable) p |= QFile::ExeOwner;
        file.setPermissions(p);
        return dir.filePath(name);
    };
    EXPECT_TRUE(isProgramOrFolder(make(QStringLiteral("game"), true)));
    EXPECT_TRUE(isProgramOrFolder(make(QStringLiteral("run.sh"), true)));
    EXPECT_FALSE(isProgramOrFolder(make(QStringLiteral("notes"), false)));
    EXPECT_TRUE(isProgramOrFolder(dir.path()));
}

TEST(KeyPageRun, LeftWindowsAndFnKeysNeverOpenThePage) {
    auto live = std::make_unique<LiveConfig>();
    EXPECT_FALSE(runKeyPage(nullptr, *live, keys::kLeftWinKey));
    EXPECT_FALSE(runKeyPage(nullptr, *live, keys::kFnKey));
    EXPECT_FALSE(runKeyPage(nullptr, *live, keys::kNoKey));
    EXPECT_EQ(live->pending.selectedKey, keys::kNoKey);
}

// Renders every tab in both languages; with TESSARON_SCREENSHOT_DIR set the pictures are kept.
TEST_F(KeyPageTest, EveryTabRendersInBothLanguages) {
    const QString keep = qEnvironmentVariable("TESSARON_SCREENSHOT_DIR");
    for (Language lang : {Language::English, Language::Chinese}) {
        const QString langName = lang == Language::Chinese ? "chinese" : "english";
        record() = keys::KeyRecord{};
        record().vk = keys::layoutVk(kKeyQ);
        record().kind = kind::kCombination;
        record().bytes[0] = kLCtrl;
        record().bytes[1] = kA;
        open(lang, false);
        std::vector<QImage> shots;
        const auto shoot = [&] {
            QCoreApplication::processEvents();
            shots.push_back(page->grab().toImage());
        };
        shoot();
        clickButton(button::kTabMacro);
        page->macroList()->setCurrentRow(1);
        shoot();
        clickButton(button::kTabBasic);
        page->functionTree()->topLevelItem(3)->setExpanded(true);  // Shortcut
        shoot();
        clickButton(button::kTabAdvance);
        dialogs.answers.push_back(QStringLiteral("/home/user/Games/launcher"));
        clickSubItem(1, SubItemRole::Browse);
        QTest::mouseMove(page.get(), key_page::subItemRect(2, SubItemRole::Browse).centre());
        shoot();
        const QSize size = page->size();
        for (std::size_t i = 0; i < shots.size(); ++i) {
            EXPECT_EQ(shots[i].size(), size);
            if (i > 0) {
                EXPECT_NE(shots[i], shots[i - 1]) << "tab " << i;
            }
            if (!keep.isEmpty()) {
                QDir().mkpath(keep);
                shots[i].save(keep + QStringLiteral("/keypage-%1-tab%2.png").arg(langName).arg(i));
            }
        }
    }
}

}  // namespace
}  // namespace tessaron::app
