#include "app/profiles/profiles_dlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>

#include "app/profiles/profiles_dlg_page.h"
#include "keys/keymap_file.h"
#include "support/fake_clock.h"
#include "support/qt_wait.h"
#include "ui/edit_helper.h"
#include "ui/transparent_list_box.h"

// Readable failures for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace tessaron::app {
namespace {

namespace fs = std::filesystem;
namespace pd = profilesdlg;

struct StubPrompts final : ProfilesPrompts {
    void inform(const QString& caption, const QString& text) override {
        shown.push_back(caption + QLatin1Char('|') + text);
    }
    bool confirm(const QString& caption, const QString& text) override {
        asked.push_back(caption + QLatin1Char('|') + text);
        return answer;
    }
    std::optional<fs::path> chooseSaveFile(const fs::path& start) override {
        started.push_back(start);
        return chosen;
    }
    std::optional<fs::path> chooseOpenFile(const fs::path& start) override {
        started.push_back(start);
        return chosen;
    }
    QStringList shown;
    QStringList asked;
    std::vector<fs::path> started;
    bool answer = true;
    std::optional<fs::path> chosen;
};

class ProfilesPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.isValid());
        dir_ = fs::path(temp_.path().toStdString());
        fs::create_directories(folder());
        records_ = std::make_unique<keys::KeyRecordTable>();
    }

    CConfigureDlg& open(Language lang = Language::English,
                        const QString& imageBase = QStringLiteral(TESSARON_TEST_SHARE_DIR)) {
        panel_ = std::make_unique<CConfigureDlg>(
            profiles::LiveConfiguration{image_, *records_},
            ProfilesPanelSetup{imageBase, dir_, lang, &clock_, &prompts_, openRules_});
        panel_->prepare(QRect(100, 80, 1000, 640));
        panel_->show();
        return *panel_;
    }
    fs::path folder() const { return dir_ / "Configure"; }
    std::function<void(QWidget*)> openRules_;
    void file(const std::string& name, std::size_t size = 4, char fill = 'p') {
        std::ofstream(folder() / (name + ".bin"), std::ios::binary) << std::string(size, fill);
    }
    std::string contents(const std::string& name) const {
        std::ifstream in(folder() / (name + ".bin"), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    ui::CTransparentListBox& list() { return *panel_->list(); }
    QStringList listed() {
        QStringList out;
        for (int i = 0; i < list().count(); ++i) out << list().itemText(i);
        return out;
    }
    void select(const QString& name) {
        list().setCurrentRow(static_cast<int>(listed().indexOf(name)));
    }
    QString selected() { return list().itemText(list().selectedIndex()); }
    void releaseAt(int x, int y) {
        QTest::mouseClick(panel_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    }
    // Right-clicks the list at a row and picks a menu command; returns the menu's labels.
    QStringList menuAt(int row, std::optional<pd::Command> pick) {
        QStringList labels;
        panel_->setMenuRunner([&](QMenu& menu, const QPoint&) -> QAction* {
            QAction* chosen = nullptr;
            for (QAction* a : menu.actions()) {
                labels << a->text();
                if (pick && a->data().toInt() == static_cast<int>(*pick)) chosen = a;
            }
            return chosen;
        });
        const QRect r = list().visualItemRect(list().item(row));
        QTest::mouseClick(list().viewport(), Qt::RightButton, Qt::NoModifier, r.center());
        return labels;
    }
    // Types a new name into the in-place editor of a row and ends the edit with a key.
    void rename(const QString& from, const QString& to, Qt::Key key = Qt::Key_Return) {
        select(from);
        ASSERT_TRUE(list().beginEdit(list().selectedIndex()));
        ui::CEditHelper* editor = list().editor();
        ASSERT_NE(editor, nullptr);
        editor->setText(to);
        QTest::keyClick(editor, key);
        QCoreApplication::processEvents();
    }

    QTemporaryDir temp_;
    fs::path dir_;
    FakeClock clock_;
    StubPrompts prompts_;
    device::DeviceImage image_{};
    std::unique_ptr<keys::KeyRecordTable> records_;
    std::unique_ptr<CConfigureDlg> panel_;
};

TEST_F(ProfilesPanelTest, OpensOverTheOwnerAtTheBackgroundSize) {
    file("A");
    open();
    EXPECT_EQ(panel_->pos(), QPoint(99, 79));
    const QImage background(panel_->imageFolder() + QStringLiteral("Config.png"));
    ASSERT_FALSE(background.isNull());
    EXPECT_EQ(panel_->size(), background.size());
    EXPECT_EQ(list().geometry(), QRect(1, 34, 260, 540));
    EXPECT_EQ(list().editMode(), ui::CTransparentListBox::kProfileName);

    open(Language::Chinese);
    EXPECT_TRUE(panel_->imageFolder().endsWith(QStringLiteral("/png/chinese/Config/")));
    EXPECT_EQ(menuAt(0, std::nullopt), (QStringList{"新建", "复制", "保存", "加载", "删除"}));
}

TEST_F(ProfilesPanelTest, TheMenuOpensTheSwitchingRulesOverThePanelWhenGiven) {
    file("Games");
    QWidget* over = nullptr;
    openRules_ = [&](QWidget* w) { over = w; };
    open();
    const QStringList labels = menuAt(0, static_cast<pd::Command>(-1));
    EXPECT_EQ(labels.last(), QStringLiteral("Switching &Rules..."));
    EXPECT_EQ(over, panel_.get());
    EXPECT_EQ(contents("Games"), "pppp");  // no profile command ran
}

TEST_F(ProfilesPanelTest, WithoutItsBackgroundThePanelStillHasAUsableSize) {
    open(Language::English, temp_.path());  // no png folder here
    EXPECT_EQ(panel_->size(), QSize(pd::kFallbackWidth, pd::kFallbackHeight));
    EXPECT_FALSE(panel_->grab().isNull());
    releaseAt(14, 576);
    EXPECT_EQ(listed(), QStringList{"Profile_1"});
}

TEST_F(ProfilesPanelTest, EightFilesListSixAndNewAndCopyAreRefused) {
    for (const char* n : {"hotel", "Alpha", "delta", "charlie", "Bravo", "golf", "echo", "fox"}) {
        file(n);
    }
    open();
    EXPECT_EQ(listed(), (QStringList{"Alpha", "Bravo", "charlie", "delta", "echo", "fox"}));

    select("Bravo");
    releaseAt(14, 576);  // New
    EXPECT_EQ(prompts_.shown, QStringList{"Profile|Only Create Six Profile mostly\n"});
    EXPECT_EQ(selected(), "Bravo");  // refused before any rescan
    menuAt(1, pd::Command::Copy);    // refused without a word
    EXPECT_EQ(prompts_.shown.size(), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 8);
}

TEST_F(ProfilesPanelTest, NewTakesTheFirstFreeNumberAndCopyNamesCount) {
    file("Profile_1");
    file("Profile_3");
    file("Game", 10056, 'g');
    open();
    releaseAt(79, 624);  // far corner of the New area
    EXPECT_EQ(contents("Profile_2"), std::string(206916, '\0'));
    EXPECT_EQ(list().selectedIndex(), -1);

    select("Game");
    menuAt(0, pd::Command::Copy);
    select("Game");
    menuAt(0, pd::Command::Copy);
    // A source of the settings alone is copied whole and filled up with zero records.
    const std::string copied = std::string(10056, 'g') + std::string(206916 - 10056, '\0');
    EXPECT_EQ(contents("Copy of ? Game"), copied);
    EXPECT_EQ(contents("Copy of ? Game 1"), copied);
    EXPECT_TRUE(prompts_.shown.isEmpty());

    menuAt(0, pd::Command::Copy);  // nothing selected after the rescan
    EXPECT_EQ(prompts_.shown, QStringList{"Profile|Please select a profile to copy\n"});
}

TEST_F(ProfilesPanelTest, DeleteKeepsTheLastProfileAndAsksFirst) {
    file("Only");
    open();
    releaseAt(184, 576);
    EXPECT_EQ(prompts_.shown, QStringList{"Profile|Please keep a profile\n"});

    file("Second");
    open(Language::Chinese);
    releaseAt(249, 624);
    EXPECT_EQ(prompts_.shown.last(), "配置管理|请选择一个配置删除");
    select("Second");
    prompts_.answer = false;
    releaseAt(200, 600);
    EXPECT_EQ(prompts_.asked, QStringList{"配置管理|删除当前配置文件吗"});
    EXPECT_TRUE(fs::exists(folder() / "Second.bin"));
    EXPECT_EQ(list().selectedIndex(), -1);  // a cancelled delete still rescans

    select("Second");
    prompts_.answer = true;
    // The right click on another row leaves the selection; the menu acts on it.
    EXPECT_EQ(menuAt(0, pd::Command::Delete),
              (QStringList{"新建", "复制", "保存", "加载", "删除"}));
    EXPECT_FALSE(fs::exists(folder() / "Second.bin"));
    EXPECT_EQ(listed(), QStringList{"Only"});
}

TEST_F(ProfilesPanelTest, RenameInPlace) {
    file("Alpha", 4, 'a');
    file("Beta");
    open();
    rename("Alpha", "zeta");
    EXPECT_EQ(listed(), (QStringList{"Beta", "zeta"}));
    EXPECT_EQ(contents("zeta"), "aaaa");
    EXPECT_FALSE(fs::exists(folder() / "Alpha.bin"));
    EXPECT_EQ(clock_.sleeps(), (std::vector<Clock::Ms>{Clock::Ms(200), Clock::Ms(300)}));

    rename("zeta", "gamma.bin");  // no second extension
    EXPECT_EQ(listed(), (QStringList{"Beta", "gamma"}));
    EXPECT_TRUE(fs::exists(folder() / "gamma.bin"));

    rename("gamma", "Beta");  // taken: the old names come back
    EXPECT_EQ(listed(), (QStringList{"Beta", "gamma"}));
    EXPECT_EQ(prompts_.shown.size(), 1);
    EXPECT_EQ(contents("gamma"), "aaaa");

    for (const char* bad : {"../gamma", "a/b", ""}) {
        rename("gamma", QString::fromLatin1(bad));
        EXPECT_EQ(listed(), (QStringList{"Beta", "gamma"})) << bad;
    }
    EXPECT_EQ(prompts_.shown.size(), 4);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 2);
    EXPECT_TRUE(fs::exists(dir_ / "Configure" / "gamma.bin"));

    // Closing the panel with the editor open keeps what was typed.
    select("gamma");
    ASSERT_TRUE(list().beginEdit(list().selectedIndex()));
    list().editor()->setText("delta");
    releaseAt(250, 15);
    EXPECT_FALSE(panel_->isVisible());
    EXPECT_TRUE(fs::exists(folder() / "delta.bin"));
}

TEST_F(ProfilesPanelTest, ProfilesMadeOrRemovedByOthersAreListedWhileOpen) {
    file("Alpha");
    file("Beta");
    open();
    select("Beta");
    file("Gamma");  // tessaronctl profile new, the bus or a file manager
    fs::remove(folder() / "Alpha.bin");
    ASSERT_TRUE(tessaron::testing::waitFor(
        [&] { return listed() == QStringList{"Beta", "Gamma"}; }, 5000))
        << listed().join(',').toStdString();
    EXPECT_EQ(selected(), "Beta");

    // A rename being typed is not pulled from under the user.
    select("Gamma");
    ASSERT_TRUE(list().beginEdit(list().selectedIndex()));
    file("Delta");
    panel_->takeFolderChanges();
    EXPECT_EQ(listed(), (QStringList{"Beta", "Gamma"}));
    list().endEdit(false);
    panel_->takeFolderChanges();
    EXPECT_EQ(listed(), (QStringList{"Beta", "Delta", "Gamma"}));
}

TEST_F(ProfilesPanelTest, UnchangedOrCancelledEditsRenameNothing) {
    file("Alpha");
    open();
    rename("Alpha", "Alpha");
    rename("Alpha", "Omega", Qt::Key_Escape);
    EXPECT_EQ(listed(), QStringList{"Alpha"});
    EXPECT_TRUE(clock_.sleeps().empty());
    EXPECT_TRUE(prompts_.shown.isEmpty());
    EXPECT_TRUE(panel_->isVisible());  // the Escape went to the editor, not to the panel
}

TEST_F(ProfilesPanelTest, SaveAndLoadGoThroughTheChooser) {
    file("Work");
    open();
    menuAt(0, pd::Command::Save);
    EXPECT_EQ(prompts_.shown, QStringList{"Profile|Please select a profile to Save\n"});
    EXPECT_TRUE(prompts_.started.empty());  // no chooser without a selection

    image_[0] = 0x5A;
    (*records_)[3].hostPath[0] = 0x41;
    select("Work");
    menuAt(0, pd::Command::Save);  // chooser cancelled: the profile is still written
    EXPECT_EQ(prompts_.started, std::vector<fs::path>{dir_});
    const std::string saved = contents("Work");
    ASSERT_EQ(saved.size(), keys::kKeymapFileSize);
    EXPECT_EQ(saved[0], 0x5A);
    EXPECT_EQ(saved[device::image::kSize + 3 * keys::kKeyRecordSize +
                    offsetof(keys::KeyRecord, hostPath)],
              0x41);
    EXPECT_EQ(selected(), "Work");

    prompts_.chosen = dir_ / "export.bin";
    menuAt(0, pd::Command::Save);
    std::ifstream exported(dir_ / "export.bin", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(exported), {}), saved);

    // A file made by New holds no key cells: it is refused and changes nothing.
    std::ofstream(dir_ / "blank.bin", std::ios::binary) << std::string(10056, '\0');
    prompts_.chosen = dir_ / "blank.bin";
    menuAt(0, pd::Command::Load);
    EXPECT_EQ(image_[0], 0x5A);
    EXPECT_EQ(contents("Work"), saved);
    EXPECT_EQ(selected(), "Work");
    ASSERT_EQ(prompts_.shown.size(), 2);
    EXPECT_TRUE(prompts_.shown.back().contains("holds no keyboard settings"));

    // A file that reaches the key cells is loaded: the device image takes its bytes.
    std::string partial(10056, '\0');
    partial[device::image::kKeyMap + 2] = 0x29;
    std::ofstream(dir_ / "partial.bin", std::ios::binary) << partial;
    prompts_.chosen = dir_ / "partial.bin";
    menuAt(0, pd::Command::Load);
    EXPECT_EQ(image_[0], 0);
    EXPECT_EQ(image_[device::image::kKeyMap + 2], 0x29);
    EXPECT_EQ((*records_)[3].hostPath[0], 0x41);
    EXPECT_EQ(contents("Work")[0], 0);
    EXPECT_EQ(prompts_.shown.size(), 2);
}

// A profile from outside the data folder with a key that starts a program: one question names
// the key and the path; declined, nothing changes; the same keys again need no question.
TEST_F(ProfilesPanelTest, LoadFromOutsideAsksBeforeKeysThatRunSomething) {
    file("Work");
    open();
    select("Work");
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    std::string theirs(keys::kKeymapFileSize, '\0');
    theirs[device::image::kKeyMap + 2] = 0x29;
    const std::size_t f3 = device::image::kSize + 3 * keys::kKeyRecordSize;
    theirs[f3 + 1] = static_cast<char>(keys::kind::kStartup);
    const std::string path = "/usr/bin/foot";
    for (std::size_t i = 0; i < path.size(); ++i) {
        theirs[f3 + offsetof(keys::KeyRecord, hostPath) + 2 * i] = path[i];  // UTF-16LE
    }
    const fs::path shared = fs::path(elsewhere.path().toStdString()) / "shared.bin";
    std::ofstream(shared, std::ios::binary) << theirs;
    const std::string before = contents("Work");

    prompts_.chosen = shared;
    prompts_.answer = false;
    menuAt(0, pd::Command::Load);
    ASSERT_EQ(prompts_.asked.size(), 1);
    EXPECT_TRUE(prompts_.asked[0].contains("  F3: start the program /usr/bin/foot\n"));
    EXPECT_EQ(image_[device::image::kKeyMap + 2], 0);
    EXPECT_EQ((*records_)[3].kind, 0);
    EXPECT_EQ(contents("Work"), before);

    prompts_.answer = true;
    menuAt(0, pd::Command::Load);
    EXPECT_EQ(prompts_.asked.size(), 2);
    EXPECT_EQ((*records_)[3].kind, keys::kind::kStartup);
    EXPECT_EQ(image_[device::image::kKeyMap + 2], 0x29);
    menuAt(0, pd::Command::Load);
    EXPECT_EQ(prompts_.asked.size(), 2) << "held already";
}

TEST_F(ProfilesPanelTest, CloseAreaEdgesAndEnter) {
    open();
    releaseAt(247, 10);  // on the image, outside its click area
    releaseAt(248, 25);
    QTest::keyClick(panel_.get(), Qt::Key_Return);
    QTest::keyClick(&list(), Qt::Key_Enter);
    EXPECT_TRUE(panel_->isVisible());
    EXPECT_EQ(listed(), QStringList{});

    releaseAt(262, 24);
    EXPECT_FALSE(panel_->isVisible());
    EXPECT_EQ(panel_->result(), QDialog::Accepted);
    open();
    releaseAt(248, 11);
    EXPECT_FALSE(panel_->isVisible());
}

TEST_F(ProfilesPanelTest, ThePageKeepsOnePanelAndReopensItOverTheWindow) {
    file("Work");
    auto live = std::make_unique<LiveConfig>();
    live->dataFolder = dir_;
    live->imageBase = TESSARON_TEST_SHARE_DIR;
    const ProfilesPage page = profilesPage(&prompts_, &clock_);
    QWidget window;
    window.setGeometry(200, 150, 1000, 640);

    std::vector<CConfigureDlg*> seen;
    const auto openAndClose = [&](const QRect& where, int listed) {
        QTimer::singleShot(0, &window, [&] {
            auto* panel = window.findChild<CConfigureDlg*>();
            ASSERT_NE(panel, nullptr);
            seen.push_back(panel);
            EXPECT_EQ(panel->pos(), where.topLeft() - QPoint(1, 1));
            EXPECT_EQ(panel->list()->count(), listed);  // each opening lists the folder again
            QTest::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, QPoint(250, 15));
        });
        page(&window, *live, where);
    };
    openAndClose(QRect(200, 150, 1000, 640), 1);
    file("Home");
    openAndClose(QRect(40, 30, 1000, 640), 2);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(window.findChildren<CConfigureDlg*>().size(), 1);
}

}  // namespace
}  // namespace tessaron::app
