#pragma once
// The window that edits the rules of automatic switching: the rules in order, what happens when
// none matches, on and off, and what the switching sees and does (the way the window in front is
// learned here, or why it is not; the last window; the switches of the last hour). Every change is
// kept in rules.json at once.

#include <QDialog>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>

#include "core/clock.h"
#include "core/language.h"
#include "switching/rules.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace tessaron::app {

class WindowSwitching;

// One rule: a condition on each of the window's fields that is ticked, and what it picks.
class CRuleEditDlg final : public QDialog {
    Q_OBJECT

public:
    // clock: what "Pick the window in front" counts its three seconds down on.
    CRuleEditDlg(WindowSwitching& switching, const QStringList& profiles,
                 const switching::Rule& rule, Language lang, QWidget* parent = nullptr,
                 Clock& clock = SystemClock::instance());

    // The rule as edited; valid once accepted.
    [[nodiscard]] const switching::Rule& rule() const { return rule_; }
    // Fills the fields from a window (what the countdown ends with).
    void fillFrom(const switching::WindowInfo& window);
    void startPick();
    // Shows the seconds left of the pick and ends it once they are over. Its timer calls it
    // several times a second; tests on a fake clock call it themselves.
    void countdown();

    struct Row {
        QCheckBox* use = nullptr;
        QComboBox* test = nullptr;
        QLineEdit* text = nullptr;
        QCheckBox* negate = nullptr;
    };
    [[nodiscard]] const Row& row(switching::Field field) const {
        return rows_[static_cast<int>(field)];
    }
    [[nodiscard]] QComboBox* target() const { return target_; }

    void accept() override;

private:
    WindowSwitching& switching_;
    Clock& clock_;
    Language lang_;
    switching::Rule rule_;
    Row rows_[4];
    QCheckBox* caseSensitive_ = nullptr;
    QCheckBox* enabled_ = nullptr;
    QComboBox* target_ = nullptr;
    QPushButton* pick_ = nullptr;
    QLabel* pickNote_ = nullptr;
    QTimer* pickTimer_ = nullptr;
    std::optional<Clock::TimePoint> pickEnds_;  // while the pick counts down
};

class CRulesDlg final : public QDialog {
    Q_OBJECT

public:
    // clock: the rule editors' (see CRuleEditDlg).
    CRulesDlg(WindowSwitching& switching, const QStringList& profiles, Language lang,
              QWidget* parent = nullptr, Clock& clock = SystemClock::instance());

    // The parts, for the tests and the screen reader's walk.
    [[nodiscard]] QListWidget* list() const { return list_; }
    [[nodiscard]] QComboBox* otherwise() const { return otherwise_; }
    [[nodiscard]] QCheckBox* enabled() const { return enabled_; }
    [[nodiscard]] QLabel* statusLabel() const { return status_; }
    [[nodiscard]] QLabel* lastWindowLabel() const { return lastWindow_; }
    [[nodiscard]] QLabel* counterLabel() const { return counter_; }

    // The buttons' actions; editing opens CRuleEditDlg.
    void addRule();
    void editRule();
    void deleteRule();
    void moveRule(int by);

private:
    [[nodiscard]] QString ruleText(const switching::Rule& rule) const;
    // Keeps the rules and shows them; says why when they could not be kept.
    void keep(const switching::RuleSet& rules, std::optional<int> select = std::nullopt);
    void showRules();
    void showStatus();
    // Opens the editor on `rule`; the edited rule when accepted.
    std::optional<switching::Rule> runEditor(const switching::Rule& rule);

    WindowSwitching& switching_;
    Clock& clock_;
    QStringList profiles_;
    Language lang_;
    QCheckBox* enabled_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* lastWindow_ = nullptr;
    QLabel* counter_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* up_ = nullptr;
    QPushButton* down_ = nullptr;
    QComboBox* otherwise_ = nullptr;
};

// The rules window over `parent`, with the profiles of the data folder to choose from.
void runRulesDialog(WindowSwitching& switching, const std::filesystem::path& dataFolder,
                    Language lang, QWidget* parent);

}  // namespace tessaron::app
