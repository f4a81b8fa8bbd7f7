// The rules window over the window's switching, and a window reported by the desktop reaching the
// keyboard through it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <fstream>

#include "app/switching/keyboard_rig.h"
#include "app/switching/rules_dlg.h"
#include "app/switching/window_switching.h"
#include "support/fake_clock.h"

namespace tessaron::app {
namespace {

namespace img = device::image;
using namespace switching;
using tessaron::testing::waitFor;

struct Rig : testing::KeyboardRig {
    Rig() {
        gamesBrightness = makeProfile();
        switching.start({WatcherKind::None, verbatim("no display to watch")}, {});
    }

    WindowSwitching switching{*controller, live->dataFolder};
    std::uint8_t gamesBrightness = 0;
};

// Answers the next modal window with `answer` once it is up.
void whenModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        QWidget* modal = nullptr;
        waitFor([&] { return (modal = QApplication::activeModalWidget()) != nullptr; }, 5000);
        if (modal) answer(modal);
    });
}

void addClassRule(CRulesDlg& dialog, const QString& windowClass, int target) {
    whenModal([&](QWidget* w) {
        auto* editor = qobject_cast<CRuleEditDlg*>(w);
        ASSERT_NE(editor, nullptr);
        editor->row(Field::Class).text->setText(windowClass);
        editor->row(Field::Class).use->setChecked(true);
        editor->target()->setCurrentIndex(target);
        editor->accept();
    });
    dialog.addRule();
}

TEST(RulesDialog, RulesAreEditedInOrderAndKeptInTheDataFolder) {
    Rig rig;
    CRulesDlg dialog(rig.switching, {QStringLiteral("Games")}, Language::English);
    EXPECT_TRUE(dialog.statusLabel()->text().contains(QStringLiteral("not available")));
    EXPECT_TRUE(dialog.counterLabel()->text().contains(QStringLiteral("0 of at most 60")));

    addClassRule(dialog, QStringLiteral("steam_app_1"), 1);  // profile "Games"
    dialog.list()->setCurrentRow(0);
    addClassRule(dialog, QStringLiteral("firefox"), 0);  // an exception, after the selected one
    ASSERT_EQ(dialog.list()->count(), 2);
    dialog.moveRule(-1);
    dialog.otherwise()->setCurrentIndex(1);
    emit dialog.otherwise()->activated(1);

    auto kept = loadRules(rig.live->dataFolder);
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->rules.size(), 2u);
    EXPECT_EQ(kept->rules[0].conditions[0].text(), "firefox");
    EXPECT_FALSE(kept->rules[0].profile.has_value());
    EXPECT_EQ(kept->rules[1].profile, std::optional<std::string>("Games"));
    EXPECT_EQ(kept->otherwise, std::optional<std::string>("Games"));

    // Delete asks first; off is kept too.
    dialog.list()->setCurrentRow(0);
    whenModal([](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) box->button(QMessageBox::Ok)->click();
    });
    dialog.deleteRule();
    dialog.enabled()->setChecked(false);
    kept = loadRules(rig.live->dataFolder);
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->rules.size(), 1u);
    EXPECT_EQ(kept->rules[0].conditions[0].text(), "steam_app_1");
    EXPECT_FALSE(kept->enabled);
}

TEST(RulesDialog, AnUnreadableRulesFileIsToldAndKeptAsideWhenReplaced) {
    Rig rig;
    const auto file = rulesFile(rig.live->dataFolder);
    std::ofstream(file) << "{\"rules\": [";
    CRulesDlg dialog(rig.switching, {}, Language::English);
    EXPECT_TRUE(dialog.statusLabel()->text().contains(QString::fromStdString(file.string())));
    dialog.enabled()->setChecked(false);
    std::ifstream kept(std::filesystem::path(file) += ".unreadable");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "{\"rules\": [");
    EXPECT_TRUE(loadRules(rig.live->dataFolder));
}

TEST(RulesDialog, PickFillsTheRuleFromTheWindowInFrontInEitherLanguage) {
    Rig rig;
    rig.switching.reportWindow("xterm", "XTerm", "The Game", 0);
    CRulesDlg dialog(rig.switching, {}, Language::Chinese);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("自动切换配置"));
    EXPECT_TRUE(dialog.statusLabel()->text().contains(QStringLiteral("此桌面不支持自动切换")));
    EXPECT_TRUE(dialog.lastWindowLabel()->text().contains(QStringLiteral("The Game")));
    // A rule is told without the field's "(&W)" mnemonic.
    addClassRule(dialog, QStringLiteral("steam"), 0);
    ASSERT_EQ(dialog.list()->count(), 1);
    EXPECT_TRUE(dialog.list()->item(0)->text().startsWith(QStringLiteral("窗口类 等于 \"steam\"")))
        << dialog.list()->item(0)->text().toStdString();

    // Pick, counted down on the clock: nothing is filled before its three seconds are over,
    // and the window brought forward meanwhile is the one taken into the rule kept.
    FakeClock clock;
    CRulesDlg picking(rig.switching, {}, Language::Chinese, nullptr, clock);
    whenModal([&](QWidget* w) {
        auto* editor = qobject_cast<CRuleEditDlg*>(w);
        ASSERT_NE(editor, nullptr);
        QLabel* note = nullptr;
        for (auto* label : editor->findChildren<QLabel*>()) {
            if (label->accessibleName() == QStringLiteral("选取窗口")) note = label;
        }
        ASSERT_NE(note, nullptr);
        editor->startPick();
        EXPECT_EQ(note->text(), QStringLiteral("请切换到该窗口：3 秒"));
        clock.advance(std::chrono::milliseconds(1500));
        editor->countdown();
        EXPECT_EQ(note->text(), QStringLiteral("请切换到该窗口：2 秒"));
        rig.switching.reportWindow("steam_app_9", "steam_app_9", "The Game", 0);
        EXPECT_TRUE(editor->row(Field::Class).text->text().isEmpty());
        clock.advance(std::chrono::milliseconds(1500));
        editor->countdown();
        EXPECT_EQ(note->text(), QStringLiteral("已按 \"The Game\" 填写。"));
        EXPECT_FALSE(editor->row(Field::Title).use->isChecked());
        EXPECT_EQ(editor->row(Field::Title).text->text(), QStringLiteral("The Game"));
        editor->accept();
    });
    picking.addRule();
    const auto kept = loadRules(rig.live->dataFolder);
    ASSERT_TRUE(kept);
    // After the "steam" rule added above.
    ASSERT_EQ(kept->rules.size(), 2u);
    ASSERT_EQ(kept->rules[1].conditions.size(), 1u);
    EXPECT_EQ(kept->rules[1].conditions[0].field(), Field::Class);
    EXPECT_EQ(kept->rules[1].conditions[0].text(), "steam_app_9");

    CRuleEditDlg editor(rig.switching, {}, Rule{}, Language::English);
    editor.fillFrom(*rig.switching.lastWindow());
    // A regular expression that does not compile keeps the editor open.
    editor.row(Field::Title).use->setChecked(true);
    editor.row(Field::Title).test->setCurrentIndex(static_cast<int>(Compare::Regex));
    editor.row(Field::Title).text->setText(QStringLiteral("(unclosed"));
    whenModal([](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w)) box->button(QMessageBox::Ok)->click();
    });
    editor.accept();
    EXPECT_NE(editor.result(), QDialog::Accepted);
}

TEST(RulesDialog, AWindowReportedByTheDesktopSwitchesTheKeyboard) {
    Rig rig;
    RuleSet rules;
    rules.dwell = std::chrono::milliseconds(10);
    rules.rules.push_back({{*Condition::make(Field::Class, Compare::Equals, "steam_app_9")},
                           "Games"});
    ASSERT_TRUE(rig.switching.setRules(rules));
    QSignalSpy switched(&rig.switching, &WindowSwitching::switched);
    rig.switching.reportWindow("steam_app_9", "steam_app_9", "The Game", 0);
    ASSERT_TRUE(waitFor([&] { return !switched.empty() && !rig.controller->isBusy(); }));
    EXPECT_EQ(rig.keyboard->settings()[img::kBrightness], rig.gamesBrightness);
    EXPECT_EQ(switched.front().front().toString(), QStringLiteral("Games"));

    // While the window has unsaved changes, another window's switch waits and is told once.
    QSignalSpy held(&rig.switching, &WindowSwitching::heldBack);
    rig.controller->edit([](LiveConfig& live) { live.image[img::kSpeed] ^= 1; });
    rig.switching.reportWindow("xterm", "XTerm", "shell", 0);
    rig.switching.reportWindow("foot", "foot", "shell", 0);
    EXPECT_EQ(held.size(), 1);
    EXPECT_EQ(rig.keyboard->settings()[img::kBrightness], rig.gamesBrightness);
}

}  // namespace
}  // namespace tessaron::app
