#include "app/switching/rules_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>

#include <unistd.h>

#include <chrono>
#include <utility>

#include "app/switching/window_switching.h"
#include "core/clock.h"
#include "profiles/profile_store.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace tessaron::app {

using namespace switching;

namespace {

constexpr Field kFields[] = {Field::Program, Field::CommandLine, Field::Class, Field::Title};
constexpr Compare kTests[] = {Compare::Equals, Compare::Contains, Compare::StartsWith,
                              Compare::Regex};

QString fieldLabel(Field field, Language lang) {
    switch (field) {
        case Field::Program: return ui::text(lang, TR_TEXT("App", "&Program"));
        case Field::CommandLine:
            return ui::text(lang, TR_TEXT("App", "Co&mmand line"));
        case Field::Class:
            return ui::text(lang, TR_TEXT("App", "&Window class"));
        case Field::Title: break;
    }
    return ui::text(lang, TR_TEXT("App", "&Title"));
}

// A field's label without its mnemonic, also where a translation writes it as "(&W)" after the
// text, so it can be spoken and quoted in a sentence.
QString plainFieldLabel(Field field, Language lang) {
    static const QRegularExpression kTrailingMnemonic(QStringLiteral("\\s*\\(&[^)]\\)"));
    return fieldLabel(field, lang).remove(kTrailingMnemonic).remove(QLatin1Char('&'));
}

QString testLabel(Compare test, Language lang) {
    switch (test) {
        case Compare::Equals: return ui::text(lang, TR_TEXT("App", "equals"));
        case Compare::Contains: return ui::text(lang, TR_TEXT("App", "contains"));
        case Compare::StartsWith:
            return ui::text(lang, TR_TEXT("App", "starts with"));
        case Compare::Regex: break;
    }
    return ui::text(lang, TR_TEXT("App", "matches the expression"));
}

QString fromStd(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

// ---- One rule.

CRuleEditDlg::CRuleEditDlg(WindowSwitching& switching, const QStringList& profiles,
                           const Rule& rule, Language lang, QWidget* parent, Clock& clock)
    : QDialog(parent), switching_(switching), clock_(clock), lang_(lang), rule_(rule) {
    setWindowTitle(ui::text(lang_, TR_TEXT("App", "Switching Rule")));
    auto* intro = new QLabel(
        ui::text(lang_, TR_TEXT("App", "The rule holds when every ticked condition holds for the window in front.")),
        this);
    intro->setWordWrap(true);

    auto* grid = new QGridLayout;
    for (const Field field : kFields) {
        Row& r = rows_[static_cast<int>(field)];
        const int line = static_cast<int>(field);
        r.use = new QCheckBox(fieldLabel(field, lang), this);
        r.test = new QComboBox(this);
        for (const Compare test : kTests) r.test->addItem(testLabel(test, lang));
        r.text = new QLineEdit(this);
        r.negate = new QCheckBox(ui::text(lang_, TR_TEXT("App", "Not")), this);
        const QString name = plainFieldLabel(field, lang);
        r.test->setAccessibleName(name + ui::text(lang_, TR_TEXT("App", ": how to compare")));
        r.text->setAccessibleName(name + ui::text(lang_, TR_TEXT("App", ": text")));
        r.negate->setAccessibleName(name + ui::text(lang_, TR_TEXT("App", ": the opposite")));
        r.negate->setToolTip(ui::text(lang_, TR_TEXT("App", "The condition holds when the comparison does not.")));
        grid->addWidget(r.use, line, 0);
        grid->addWidget(r.test, line, 1);
        grid->addWidget(r.text, line, 2);
        grid->addWidget(r.negate, line, 3);
        // Typing a text ticks its condition.
        connect(r.text, &QLineEdit::textEdited, r.use, [use = r.use] { use->setChecked(true); });
    }
    grid->setColumnStretch(2, 1);
    for (const Condition& c : rule.conditions) {
        const Row& r = rows_[static_cast<int>(c.field())];
        r.use->setChecked(true);
        r.test->setCurrentIndex(static_cast<int>(c.test()));
        r.text->setText(fromStd(c.text()));
        r.negate->setChecked(c.negate());
    }
    caseSensitive_ = new QCheckBox(ui::text(lang_, TR_TEXT("App", "Case-&sensitive")), this);
    caseSensitive_->setChecked(std::any_of(rule.conditions.begin(), rule.conditions.end(),
                                           [](const Condition& c) { return c.caseSensitive(); }));

    auto* targetLabel = new QLabel(ui::text(lang_, TR_TEXT("App", "&Then:")), this);
    target_ = new QComboBox(this);
    target_->addItem(ui::text(lang_, TR_TEXT("App", "Leave the keyboard as it is")));
    for (const QString& p : profiles) {
        target_->addItem(ui::text(lang_, TR_TEXT("App", "Load the profile \"%1\"")).arg(p), p);
    }
    if (rule.profile) {
        int at = target_->findData(fromStd(*rule.profile));
        if (at < 0) {  // a profile gone since: kept, not silently changed
            target_->addItem(ui::text(lang_, TR_TEXT("App", "Load the profile \"%1\"")).arg(fromStd(*rule.profile)),
                             fromStd(*rule.profile));
            at = target_->count() - 1;
        }
        target_->setCurrentIndex(at);
    } else if (rule.conditions.empty() && target_->count() > 1) {
        target_->setCurrentIndex(1);  // a new rule: most want a profile
    }
    targetLabel->setBuddy(target_);
    enabled_ = new QCheckBox(ui::text(lang_, TR_TEXT("App", "Rule &in use")), this);
    enabled_->setChecked(rule.enabled);

    pick_ = new QPushButton(ui::text(lang_, TR_TEXT("App", "Pick the &Window in Front")), this);
    pickNote_ = new QLabel(this);
    pickNote_->setWordWrap(true);
    pickNote_->setAccessibleName(ui::text(lang_, TR_TEXT("App", "Picking the window")));
    pick_->setEnabled(!switching.unavailable());
    connect(pick_, &QPushButton::clicked, this, &CRuleEditDlg::startPick);
    pickTimer_ = new QTimer(this);
    // Often, so the seconds shown follow the clock closely.
    pickTimer_->setInterval(200);
    connect(pickTimer_, &QTimer::timeout, this, &CRuleEditDlg::countdown);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(ui::text(lang_, TR_TEXT("App", "OK")));
    buttons->button(QDialogButtonBox::Cancel)->setText(ui::text(lang_, TR_TEXT("App", "Cancel")));
    connect(buttons, &QDialogButtonBox::accepted, this, &CRuleEditDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(targetLabel);
    targetRow->addWidget(target_, 1);
    auto* pickRow = new QHBoxLayout;
    pickRow->addWidget(pick_);
    pickRow->addWidget(pickNote_, 1);
    auto* column = new QVBoxLayout(this);
    column->addWidget(intro);
    column->addLayout(grid);
    column->addWidget(caseSensitive_);
    column->addLayout(pickRow);
    column->addLayout(targetRow);
    column->addWidget(enabled_);
    column->addWidget(buttons);
    resize(sizeHint().width() + 160, sizeHint().height());
}

void CRuleEditDlg::startPick() {
    constexpr std::chrono::seconds kPickTime{3};
    pickEnds_ = clock_.now() + kPickTime;
    pick_->setEnabled(false);
    pickTimer_->start();
    countdown();
}

void CRuleEditDlg::countdown() {
    if (!pickEnds_) return;
    const auto left = *pickEnds_ - clock_.now();
    if (left > Clock::Ms(0)) {
        const auto seconds = std::chrono::ceil<std::chrono::seconds>(left).count();
        pickNote_->setText(ui::text(lang_, TR_TEXT("App", "Bring the window forward: %1 s"))
                               .arg(static_cast<qlonglong>(seconds)));
        return;
    }
    pickTimer_->stop();
    pickEnds_.reset();
    pick_->setEnabled(true);
    const auto& last = switching_.lastWindow();
    if (!last || isOwnWindow(*last, static_cast<int>(::getpid()))) {
        pickNote_->setText(ui::text(lang_, TR_TEXT("App", "No other window came to the front; try again.")));
        return;
    }
    fillFrom(*last);
    pickNote_->setText(ui::text(lang_, TR_TEXT("App", "Filled from \"%1\"."))
                           .arg(fromStd(last->title.empty() ? last->instance : last->title)));
}

void CRuleEditDlg::fillFrom(const WindowInfo& window) {
    // The program and class pick the window out; a title changes too often to be ticked.
    const auto set = [this](Field field, const std::string& text, Compare test, bool use) {
        const Row& r = rows_[static_cast<int>(field)];
        r.text->setText(fromStd(text));
        r.test->setCurrentIndex(static_cast<int>(test));
        r.negate->setChecked(false);
        r.use->setChecked(use && !text.empty());
    };
    set(Field::Program, window.program, Compare::Equals, true);
    set(Field::CommandLine, window.commandLine, Compare::Contains, false);
    set(Field::Class, window.windowClass.empty() ? window.instance : window.windowClass,
        Compare::Equals, true);
    set(Field::Title, window.title, Compare::Contains, window.program.empty() &&
                                                           window.instance.empty() &&
                                                           window.windowClass.empty());
}

void CRuleEditDlg::accept() {
    Rule edited;
    for (const Field field : kFields) {
        const Row& r = rows_[static_cast<int>(field)];
        if (!r.use->isChecked()) continue;
        auto c = Condition::make(field, kTests[r.test->currentIndex()],
                                 r.text->text().toStdString(), caseSensitive_->isChecked(),
                                 r.negate->isChecked());
        if (!c) {
            ui::runMessageBox(this, lang_, ui::BoxKind::Information, windowTitle(),
                              QString::fromStdString(c.error().text(lang_)));
            r.text->setFocus();
            return;
        }
        edited.conditions.push_back(std::move(*c));
    }
    if (edited.conditions.empty()) {
        ui::runMessageBox(this, lang_, ui::BoxKind::Information, windowTitle(),
                          ui::text(lang_, TR_TEXT("App", "Tick at least one condition.")));
        return;
    }
    const QVariant profile = target_->currentData();
    if (profile.isValid()) edited.profile = profile.toString().toStdString();
    edited.enabled = enabled_->isChecked();
    rule_ = std::move(edited);
    QDialog::accept();
}

// ---- The rules.

CRulesDlg::CRulesDlg(WindowSwitching& switching, const QStringList& profiles, Language lang,
                     QWidget* parent, Clock& clock)
    : QDialog(parent), switching_(switching), clock_(clock), profiles_(profiles), lang_(lang) {
    setWindowTitle(ui::text(lang_, TR_TEXT("App", "Automatic Profile Switching")));
    (void)switching_.reloadRules();  // tessaronctl may have changed them; a fault shows below

    enabled_ = new QCheckBox(ui::text(lang_, TR_TEXT("App", "&Switch profiles by the window in front")),
                             this);
    connect(enabled_, &QCheckBox::toggled, this, [this](bool on) {
        RuleSet rules = switching_.rules();
        rules.enabled = on;
        keep(rules);
    });
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    status_->setFocusPolicy(Qt::StrongFocus);  // the advice can be read and copied from the keyboard
    lastWindow_ = new QLabel(this);
    lastWindow_->setWordWrap(true);
    lastWindow_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    counter_ = new QLabel(this);
    counter_->setWordWrap(true);
    auto* note = new QLabel(ui::text(lang_, TR_TEXT("App", "Each switch that sends settings darkens the keyboard's lighting while they are sent, as every Save does. Nothing is sent while the window has unsaved changes or an editor open.")),
                            this);
    note->setWordWrap(true);

    auto* listLabel = new QLabel(ui::text(lang_, TR_TEXT("App", "&Rules, the first that holds decides:")),
                                 this);
    list_ = new QListWidget(this);
    list_->setAccessibleName(ui::text(lang_, TR_TEXT("App", "Rules")));
    listLabel->setBuddy(list_);
    auto* add = new QPushButton(ui::text(lang_, TR_TEXT("App", "&Add...")), this);
    edit_ = new QPushButton(ui::text(lang_, TR_TEXT("App", "&Edit...")), this);
    delete_ = new QPushButton(ui::text(lang_, TR_TEXT("App", "&Delete")), this);
    up_ = new QPushButton(ui::text(lang_, TR_TEXT("App", "Move &Up")), this);
    down_ = new QPushButton(ui::text(lang_, TR_TEXT("App", "Move Do&wn")), this);
    connect(add, &QPushButton::clicked, this, &CRulesDlg::addRule);
    connect(edit_, &QPushButton::clicked, this, &CRulesDlg::editRule);
    connect(delete_, &QPushButton::clicked, this, &CRulesDlg::deleteRule);
    connect(up_, &QPushButton::clicked, this, [this] { moveRule(-1); });
    connect(down_, &QPushButton::clicked, this, [this] { moveRule(1); });
    connect(list_, &QListWidget::itemActivated, this, &CRulesDlg::editRule);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        const int count = list_->count();
        edit_->setEnabled(row >= 0);
        delete_->setEnabled(row >= 0);
        up_->setEnabled(row > 0);
        down_->setEnabled(row >= 0 && row + 1 < count);
    });

    auto* otherwiseLabel = new QLabel(ui::text(lang_, TR_TEXT("App", "When &no rule holds:")), this);
    otherwise_ = new QComboBox(this);
    otherwise_->addItem(ui::text(lang_, TR_TEXT("App", "Go back to what the keyboard held before the first switch")));
    for (const QString& p : profiles_) {
        otherwise_->addItem(ui::text(lang_, TR_TEXT("App", "Load the profile \"%1\"")).arg(p), p);
    }
    otherwiseLabel->setBuddy(otherwise_);
    connect(otherwise_, &QComboBox::activated, this, [this](int index) {
        RuleSet rules = switching_.rules();
        const QVariant p = otherwise_->itemData(index);
        rules.otherwise = p.isValid() ? std::optional(p.toString().toStdString()) : std::nullopt;
        keep(rules);
    });

    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    close->button(QDialogButtonBox::Close)->setText(ui::text(lang_, TR_TEXT("App", "Close")));
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {add, edit_, delete_, up_, down_}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* rules = new QHBoxLayout;
    rules->addWidget(list_, 1);
    rules->addLayout(buttons);
    auto* otherwiseRow = new QHBoxLayout;
    otherwiseRow->addWidget(otherwiseLabel);
    otherwiseRow->addWidget(otherwise_, 1);
    auto* column = new QVBoxLayout(this);
    column->addWidget(enabled_);
    column->addWidget(status_);
    column->addWidget(lastWindow_);
    column->addWidget(counter_);
    column->addWidget(note);
    column->addWidget(listLabel);
    column->addLayout(rules, 1);
    column->addLayout(otherwiseRow);
    column->addWidget(close);
    resize(640, 520);

    connect(&switching_, &WindowSwitching::windowSeen, this, &CRulesDlg::showStatus);
    connect(&switching_, &WindowSwitching::switched, this, &CRulesDlg::showStatus);
    // Switches found already held are counted on the engine's thread, without a signal.
    auto* tick = new QTimer(this);
    connect(tick, &QTimer::timeout, this, &CRulesDlg::showStatus);
    tick->start(1000);
    showRules();
}

QString CRulesDlg::ruleText(const Rule& rule) const {
    QStringList parts;
    for (const Condition& c : rule.conditions) {
        QString part = plainFieldLabel(c.field(), lang_).toLower() +
                       QLatin1Char(' ');
        if (c.negate()) part += ui::text(lang_, TR_TEXT("App", "not "));
        part += testLabel(c.test(), lang_) + QStringLiteral(" \"") + fromStd(c.text()) +
                QLatin1Char('"');
        parts << part;
    }
    QString text = parts.join(ui::text(lang_, TR_TEXT("App", " and "))) + QStringLiteral(" → ") +
                   (rule.profile ? ui::text(lang_, TR_TEXT("App", "profile \"%1\"")).arg(fromStd(*rule.profile))
                                 : ui::text(lang_, TR_TEXT("App", "leave the keyboard as it is")));
    if (!rule.enabled) text += ui::text(lang_, TR_TEXT("App", " (not in use)"));
    return text;
}

void CRulesDlg::showRules() {
    const RuleSet rules = switching_.rules();
    const int row = list_->currentRow();
    {
        const QSignalBlocker block(enabled_);
        enabled_->setChecked(rules.enabled);
    }
    list_->clear();
    for (const Rule& r : rules.rules) list_->addItem(ruleText(r));
    list_->setCurrentRow(std::min(row, list_->count() - 1));
    if (list_->currentRow() < 0) emit list_->currentRowChanged(-1);
    int at = 0;
    if (rules.otherwise) {
        at = otherwise_->findData(fromStd(*rules.otherwise));
        if (at < 0) {
            otherwise_->addItem(ui::text(lang_, TR_TEXT("App", "Load the profile \"%1\""))
                                    .arg(fromStd(*rules.otherwise)),
                                fromStd(*rules.otherwise));
            at = otherwise_->count() - 1;
        }
    }
    otherwise_->setCurrentIndex(at);
    showStatus();
}

void CRulesDlg::showStatus() {
    const WatcherChoice& choice = switching_.choice();
    QString status;
    if (const auto& why = switching_.unavailable()) {
        status = QString::fromStdString(why->text(lang_));
    } else {
        status = ui::text(lang_, TR_TEXT("App", "The window in front is learned through: %1."))
                     .arg(ui::text(lang_, watcherName(choice.kind)));
    }
    if (const auto& problem = switching_.rulesProblem()) {
        status += QLatin1Char('\n') + QString::fromStdString(problem->text(lang_));
    }
    status_->setText(status);
    const auto& last = switching_.lastWindow();
    lastWindow_->setText(
        last ? ui::text(lang_, TR_TEXT("App", "Last window seen: %1 (class %2, program %3)"))
                   .arg(fromStd(last->title), fromStd(last->windowClass.empty() ? last->instance
                                                                                 : last->windowClass),
                        fromStd(last->program.empty() ? "?" : last->program))
             : ui::text(lang_, TR_TEXT("App", "No window seen yet.")));
    const EngineStatus s = switching_.status();
    QString counter = ui::text(lang_, TR_TEXT("App", "Switches in the last hour: %1 of at most %2."))
                          .arg(s.writesLastHour)
                          .arg(switching_.rules().writesPerHour);
    if (s.limited) counter += ui::text(lang_, TR_TEXT("App", " The limit is reached: the next switch waits."));
    if (switching_.held()) {
        counter += ui::text(lang_, TR_TEXT("App", " Switching waits: the window has unsaved changes or an editor open."));
    }
    if (s.lastError) counter += QLatin1Char(' ') + QString::fromStdString(s.lastError->text(lang_));
    counter_->setText(counter);
}

void CRulesDlg::keep(const RuleSet& rules, std::optional<int> select) {
    if (auto kept = switching_.setRules(rules); !kept) {
        ui::runMessageBox(this, lang_, ui::BoxKind::Information, windowTitle(),
                          QString::fromStdString(kept.error().text(lang_)));
    }
    showRules();
    if (select && *select >= 0 && *select < list_->count()) list_->setCurrentRow(*select);
}

std::optional<Rule> CRulesDlg::runEditor(const Rule& rule) {
    CRuleEditDlg editor(switching_, profiles_, rule, lang_, this, clock_);
    if (editor.exec() != QDialog::Accepted) return std::nullopt;
    return editor.rule();
}

void CRulesDlg::addRule() {
    auto added = runEditor(Rule{});
    if (!added) return;
    RuleSet rules = switching_.rules();
    // Below the one selected, so a new exception can go right before the rule it excepts from.
    const int row = list_->currentRow();
    const std::size_t at = row < 0 ? rules.rules.size() : static_cast<std::size_t>(row) + 1;
    rules.rules.insert(rules.rules.begin() + static_cast<std::ptrdiff_t>(at), std::move(*added));
    keep(rules, static_cast<int>(at));
}

void CRulesDlg::editRule() {
    const int row = list_->currentRow();
    RuleSet rules = switching_.rules();
    if (row < 0 || row >= static_cast<int>(rules.rules.size())) return;
    auto edited = runEditor(rules.rules[static_cast<std::size_t>(row)]);
    if (!edited) return;
    rules.rules[static_cast<std::size_t>(row)] = std::move(*edited);
    keep(rules, row);
}

void CRulesDlg::deleteRule() {
    const int row = list_->currentRow();
    RuleSet rules = switching_.rules();
    if (row < 0 || row >= static_cast<int>(rules.rules.size())) return;
    if (!ui::runMessageBox(this, lang_, ui::BoxKind::Question, windowTitle(),
                           ui::text(lang_, TR_TEXT("App", "Delete the rule \"%1\"?"))
                               .arg(ruleText(rules.rules[static_cast<std::size_t>(row)])),
                           true)) {
        return;
    }
    rules.rules.erase(rules.rules.begin() + row);
    keep(rules, std::min(row, static_cast<int>(rules.rules.size()) - 1));
}

void CRulesDlg::moveRule(int by) {
    const int row = list_->currentRow();
    RuleSet rules = switching_.rules();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= static_cast<int>(rules.rules.size())) return;
    std::swap(rules.rules[static_cast<std::size_t>(row)], rules.rules[static_cast<std::size_t>(to)]);
    keep(rules, to);
    list_->setFocus();
}

void runRulesDialog(WindowSwitching& switching, const std::filesystem::path& dataFolder,
                    Language lang, QWidget* parent) {
    profiles::ProfileStore store(dataFolder, lang, SystemClock::instance());
    store.rescan();
    QStringList names;
    for (const std::string& n : store.names()) names << QString::fromStdString(n);
    CRulesDlg dialog(switching, names, lang, parent);
    dialog.exec();
}

}  // namespace tessaron::app
