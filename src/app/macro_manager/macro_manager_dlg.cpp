#include "app/macro_manager/macro_manager_dlg.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

#include "app/macro_manager/macro_manager_dlg_hook.h"
#include "keys/key_names.h"
#include "macros/macro_messages.h"
#include "tholwin/tholwin.h"
#include "ui/dialog_keys.h"
#include "ui/edit_helper.h"
#include "ui/menu_style.h"
#include "ui/messages.h"
#include "ui/panel_painter.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/transparent_list_box.h"

Q_LOGGING_CATEGORY(lcMacroManager, "tessaron.macromgr", QtWarningMsg)

namespace tessaron::app {

namespace {

namespace theme = ui::theme;
using macromgr::Button;

// The window's natural size, used only when its background image cannot be loaded, so that
// the window stays usable.
constexpr QSize kFallbackSize{412, 436};
constexpr int kNoticeSize = 11;

const Clock& clockOf(const MacroManagerSetup& setup) {
    return setup.clock != nullptr ? *setup.clock : SystemClock::instance();
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

// One step of the window's history: the records it changed and the macro selected around it.
class MacroStep final : public QUndoCommand {
public:
    MacroStep(CMacroRecordDlg& dlg, std::vector<macros::RecordChange> changes,
              std::optional<std::size_t> selectedBefore, std::optional<std::size_t> selectedAfter,
              const QString& name, int mergeKey)
        : QUndoCommand(name), dlg_(dlg), changes_(std::move(changes)), before_(selectedBefore),
          after_(selectedAfter), mergeKey_(mergeKey) {}

    void undo() override { move(false); }
    void redo() override {
        if (!std::exchange(pushed_, false)) move(true);
    }
    [[nodiscard]] int id() const override { return mergeKey_ == 0 ? -1 : mergeKey_; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* later = dynamic_cast<const MacroStep*>(other);
        if (later == nullptr) return false;
        for (const macros::RecordChange& c : later->changes_) {
            auto it = std::find_if(changes_.begin(), changes_.end(),
                                   [&c](const auto& mine) { return mine.index == c.index; });
            if (it == changes_.end()) {
                changes_.push_back(c);
            } else {
                it->after = c.after;
            }
        }
        after_ = later->after_;
        return true;
    }

private:
    void move(bool forward) {
        macros::MacroTable table = dlg_.manager().workingTable();
        macros::applyChanges(table, changes_, forward);
        dlg_.restoreTable(table, forward ? after_ : before_);
    }

    CMacroRecordDlg& dlg_;
    std::vector<macros::RecordChange> changes_;
    std::optional<std::size_t> before_;
    std::optional<std::size_t> after_;
    int mergeKey_;
    bool pushed_ = true;  // made after its edit: the first redo has nothing to do
};

constexpr int kLoopFieldMerge = 1;

}  // namespace

CMacroRecordDlg::CMacroRecordDlg(macros::MacroTable& committed, MacroManagerSetup setup,
                                 QWidget* parent)
    : QDialog(parent),
      language_(setup.language),
      folder_(setup.imageFolder),
      committed_(committed),
      ownHook_(setup.hook != nullptr ? nullptr : std::make_unique<TholwinMacroHook>(this)),
      ownPrompts_(setup.prompts != nullptr
                      ? nullptr
                      : std::make_unique<MessageBoxPrompts>(this, setup.language)),
      prompts_(setup.prompts != nullptr ? setup.prompts : ownPrompts_.get()),
      manager_(committed, setup.hook != nullptr ? *setup.hook : *ownHook_, clockOf(setup)) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setWindowTitle(texts().title);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    QSize size = ui::panelImageSize(folder_, QString::fromLatin1(macromgr::kBackgroundImage));
    if (size.isEmpty()) size = kFallbackSize;
    setFixedSize(size);

    restoring_ = true;  // what filling the controls stores is no step
    buildControls();
    showMacroList();
    showOptions();
    showEvents(std::nullopt);

    quietClock_ = &clockOf(setup);
    quietTimer_.setInterval(100);
    connect(&quietTimer_, &QTimer::timeout, this, [this] {
        if (!keyboardRecording_ || !manager_.recording()) {
            quietTimer_.stop();
        } else if (recordingHeld_.empty() &&
                   quietClock_->now() - quietSince_ >=
                       std::chrono::milliseconds(kKeyboardRecordingQuietMs)) {
            quietTimer_.stop();
            startStopRecording();
        }
    });
    nameTimer_.setInterval(macromgr::kNameTimerMs);
    connect(&nameTimer_, &QTimer::timeout, this, &CMacroRecordDlg::carryNames);
    nameTimer_.start();
    restoring_ = false;
    shown_ = manager_.workingTable();
    shownSelected_ = manager_.selectedMacro();
}

CMacroRecordDlg::~CMacroRecordDlg() {
    nameTimer_.stop();
}

void CMacroRecordDlg::buildControls() {
    const auto makeList = [this](const QRect& rect, int mode) {
        auto* list = new ui::CTransparentListBox(this);  // owned by the window
        list->setEditMode(mode);
        list->setGeometry(rect);
        list->setLook(QStringLiteral("Arial"), macromgr::kListFontSize, theme::kText,
                      theme::kAccentBright, false, Qt::black, 0);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->verticalScrollBar()->setStyleSheet(QStringLiteral(
            "QScrollBar:vertical { background: #0c0d10; width: 7px; margin: 0; border: none; }"
            "QScrollBar::handle:vertical { background: #444a57; min-height: 18px;"
            " border-radius: 3px; }"
            "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
            "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
        return list;
    };
    macroList_ = makeList(macromgr::kMacroListRect, ui::CTransparentListBox::kPlainText);
    macroList_->setNotify(true);  // renames arrive as itemTextChanged
    eventList_ = makeList(macromgr::kEventListRect, ui::CTransparentListBox::kDelay);
    for (auto* list : {macroList_, eventList_}) {
        connect(list, &ui::CTransparentListBox::editBegins, this, [this] {
            manager_.editBegins();
            update();
        });
    }
    connect(eventList_, &ui::CTransparentListBox::delayEdited, this,
            &CMacroRecordDlg::delayEdited);
    connect(macroList_, &ui::CTransparentListBox::itemTextChanged, this,
            &CMacroRecordDlg::macroRenamed);
    macroList_->setEditorName(ui::text(language_, TR_TEXT("MacroManager", "Macro name")));
    eventList_->setEditorName(ui::text(language_, TR_TEXT("MacroManager", "Delay (ms)")));
    eventList_->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(macroList_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!showingMacros_) selectMacroLine(row);
    });
    connect(eventList_, &QWidget::customContextMenuRequested, this,
            [this](QPoint pos) { eventListMenuAt(eventList_->viewport()->mapToGlobal(pos)); });

    loopField_ = new QLineEdit(this);  // owned by the window
    loopField_->setGeometry(macromgr::kLoopField);
    loopField_->setMaxLength(macromgr::kLoopFieldDigits);
    loopField_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,3}")), loopField_));
    loopField_->setFont(ui::panelFont(12, 400));
    loopField_->setStyleSheet(
        QStringLiteral("QLineEdit { background: #0c0d10; color: #ffffff; border: 1px solid #444a57;"
                       " padding: 0 3px; selection-background-color: #e0253a; }"
                       "QLineEdit:disabled { color: #5a606b; border-color: #2e333d; }"));
    connect(loopField_, &QLineEdit::textChanged, this,
            [this](const QString& text) {
                report(manager_.setLoopCountText(text.toStdString()));
                checkpoint(texts().loops, kLoopFieldMerge);
            });
}

// --- What the window shows ---------------------------------------------------------------

void CMacroRecordDlg::showMacroList() {
    showingMacros_ = true;
    macroList_->clear();
    for (const auto& name : manager_.macroNames()) macroList_->addString(qs(name));
    const auto selected = manager_.selectedMacro();
    macroList_->setCurrentRow(selected ? static_cast<int>(*selected) : -1);
    if (!selected) macroList_->clearSelection();
    showingMacros_ = false;
}

void CMacroRecordDlg::showEvents(std::optional<int> row) {
    eventList_->setUpdatesEnabled(false);
    eventList_->clear();
    // The item's own text is the notation the list reads; shown and spoken are translated.
    const QString shownDelay = ui::text(language_, TR_TEXT("MacroManager", "%1 ms"));
    const QString spokenDelay = ui::text(language_, TR_TEXT("MacroManager", "Wait %1 ms"));
    const QString released = ui::text(language_, TR_TEXT("MacroManager", "%1 released"));
    const QString pressed = ui::text(language_, TR_TEXT("MacroManager", "%1 pressed"));
    for (const auto& line : manager_.lines()) {
        QListWidgetItem* item = eventList_->item(eventList_->addString(qs(line.text)));
        if (line.isDelay) {
            item->setData(ui::CTransparentListBox::kShownTextRole, shownDelay.arg(line.delayMs));
            item->setData(Qt::AccessibleTextRole, spokenDelay.arg(line.delayMs));
        } else {
            const QString key = qs(std::string(keys::keyName(line.vk))).trimmed();
            item->setData(Qt::AccessibleTextRole, (line.release ? released : pressed).arg(key));
        }
    }
    if (!row && manager_.selectedLine()) row = static_cast<int>(*manager_.selectedLine());
    if (row && *row >= 0 && *row < eventList_->count()) {
        eventList_->setCurrentRow(*row);
        eventList_->scrollToItem(eventList_->item(*row));
    }
    eventList_->setUpdatesEnabled(true);
    eventList_->viewport()->update();
}

void CMacroRecordDlg::showOptions() {
    const QSignalBlocker block(loopField_);
    loopField_->setText(qs(manager_.loopCountText()));
    loopField_->setEnabled(manager_.loopsOn());
    update();
}

std::optional<std::size_t> CMacroRecordDlg::selectedEventLine() const {
    const int row = eventList_->selectedIndex();
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
}

// Errors met while the hook holds the keyboard are shown in the window: a message box could
// not be answered from the keyboard, and its keys would be taken for the macro.
void CMacroRecordDlg::report(const Status& status, bool recordCaption) {
    if (status) return;
    if (manager_.hookInstalled()) {
        notice_ = qs(status.error().text(language_)).trimmed();
        update();
        return;
    }
    prompts_->inform(
        recordCaption ? macros::messages::recordCaption() : macros::messages::managerCaption(),
        status.error());
}

// --- Commands ----------------------------------------------------------------------------

void CMacroRecordDlg::pressButton(Button button) {
    switch (button) {
        case Button::Record:
            startStopRecording();
            break;
        case Button::RecordDelay:
            toggleRecordDelay();
            break;
        case Button::Loops:
            toggleLoops();
            break;
        case Button::New:
            newMacro();
            break;
        case Button::Delete:
            deleteMacro();
            break;
        case Button::Ok:
            okPressed();
            break;
        case Button::Cancel:
            cancelPressed();
            break;
        case Button::None:
            break;
    }
}

void CMacroRecordDlg::startStopRecording() {
    notice_.clear();
    const Status status = manager_.toggleRecording();
    if (status) showEvents(std::nullopt);
    report(status, true);
    if (!manager_.recording()) checkpoint(texts().recorded);
    update();
}

void CMacroRecordDlg::newMacro() {
    notice_.clear();
    macroList_->endEdit(true);
    carryNames();
    checkpoint(texts().recorded);  // what a recording New stops was recorded before it
    manager_.newMacro();
    showMacroList();
    showOptions();
    showEvents(std::nullopt);
    checkpoint(texts().newButton);
}

void CMacroRecordDlg::deleteMacro() {
    notice_.clear();
    // Deleting stops recording anyway; stopping first keeps keys typed at the question out of
    // the macro, and lets the question be answered from the keyboard.
    if (manager_.hookInstalled()) {
        manager_.editBegins();
        update();
    }
    if (!prompts_->confirm(macros::messages::managerCaption(), macros::messages::confirmDelete())) {
        return;
    }
    macroList_->endEdit(false);
    carryNames();
    checkpoint(texts().recorded);
    const Status status = manager_.deleteMacro();
    showMacroList();
    showOptions();
    showEvents(std::nullopt);
    report(status);
    checkpoint(texts().deleteButton);
}

void CMacroRecordDlg::toggleRecordDelay() {
    manager_.toggleRecordDelay();
    qCDebug(lcMacroManager) << (manager_.recordDelay() ? "has delay time" : "No delay time");
    const macromgr::Texts& t = texts();
    // The label's lines, joined (the Chinese one is a single phrase over two lines).
    checkpoint(language_ == Language::Chinese
                   ? t.recordDelay[0] + t.recordDelay[1]
                   : t.recordDelay[0] + QLatin1Char(' ') + t.recordDelay[1] + QLatin1Char(' ') +
                         t.recordDelay[2]);
    update();
}

void CMacroRecordDlg::toggleLoops() {
    manager_.toggleLoops();
    restoring_ = true;  // the field's text follows; the switch itself is the step
    showOptions();
    restoring_ = false;
    checkpoint(texts().loops);
}

void CMacroRecordDlg::okPressed() {
    // A name still being typed counts, as if its editor had lost the focus.
    macroList_->endEdit(true);
    eventList_->endEdit(true);
    carryNames();
    committed_ = manager_.accept();
    accept();
}

void CMacroRecordDlg::cancelPressed() {
    reject();
}

void CMacroRecordDlg::reject() {
    // The keyboard goes back to the other windows at once, not only when this one is destroyed.
    manager_.editBegins();
    QDialog::reject();
}

void CMacroRecordDlg::selectMacroLine(int row) {
    if (row < 0) return;  // the list never drops its selection by itself
    const auto index = static_cast<std::size_t>(row);
    if (manager_.selectedMacro() == index) return;
    // A rename takes the line out and puts it back; the rows seen meanwhile are not choices.
    if (static_cast<std::size_t>(macroList_->count()) != manager_.macroNames().size()) return;
    manager_.select(index);
    qCDebug(lcMacroManager) << (manager_.recordDelay() ? "Has  delay time" : "Has No delay time");
    // Choosing a macro is no step, whatever showing its loop count stores.
    restoring_ = true;
    showOptions();
    restoring_ = false;
    shownSelected_ = manager_.selectedMacro();  // where an undo of the next edit comes back to
    showEvents(std::nullopt);
}

void CMacroRecordDlg::carryNames() {
    const auto names = manager_.macroNames();
    const int rows = std::min(macroList_->count(), static_cast<int>(names.size()));
    for (int i = 0; i < rows; ++i) {
        const QString text = macroList_->itemText(i);
        if (text == qs(names[static_cast<std::size_t>(i)])) continue;
        // A refused name stays out of the record; the rename handler puts the old one back.
        (void)manager_.rename(static_cast<std::size_t>(i), text.toStdString());
        checkpoint(texts().renamed);
    }
}

void CMacroRecordDlg::macroRenamed(int row, const QString& oldText) {
    if (row < 0 || row >= macroList_->count()) return;
    const Status status =
        manager_.rename(static_cast<std::size_t>(row), macroList_->itemText(row).toStdString());
    if (!status) {
        macroList_->item(row)->setText(oldText);
        report(status);
    }
    checkpoint(texts().renamed);
}

void CMacroRecordDlg::delayEdited(int line, int value) {
    if (line < 0) return;
    const Status status = manager_.editDelay(static_cast<std::size_t>(line), value);
    // The list is refilled from the streams, so a refused edit shows the delay that stayed.
    showEvents(static_cast<int>(line));
    report(status);
    checkpoint(texts().delayChanged);
}

// --- Undo ---------------------------------------------------------------------------------

void CMacroRecordDlg::checkpoint(const QString& name, int mergeKey) {
    if (restoring_) return;
    auto changes = macros::changedRecords(shown_, manager_.workingTable());
    if (changes.empty()) return;
    const std::optional<std::size_t> before = shownSelected_;
    shown_ = manager_.workingTable();
    shownSelected_ = manager_.selectedMacro();
    history_.push(new MacroStep(*this, std::move(changes), before, shownSelected_,
                                name, mergeKey));
}

void CMacroRecordDlg::undo() {
    if (manager_.hookInstalled()) return;
    // A name still being typed is a step of its own first.
    macroList_->endEdit(true);
    carryNames();
    history_.undo();
}

void CMacroRecordDlg::redo() {
    if (manager_.hookInstalled()) return;
    history_.redo();
}

void CMacroRecordDlg::restoreTable(const macros::MacroTable& table,
                                   std::optional<std::size_t> selected) {
    if (!manager_.restore(table, selected)) return;
    restoring_ = true;
    shown_ = table;
    shownSelected_ = manager_.selectedMacro();
    notice_.clear();
    showMacroList();
    showOptions();
    showEvents(std::nullopt);
    restoring_ = false;
    update();
}

// --- The event list's menu ----------------------------------------------------------------

std::unique_ptr<QMenu> CMacroRecordDlg::eventMenu() {
    const macromgr::Texts& t = texts();
    auto menu = std::make_unique<QMenu>(this);
    ui::styleMenu(*menu);
    const std::optional<std::size_t> line = selectedEventLine();

    // Each command needs a selected event line; without one it does nothing.
    const auto command = [this, line](const QString& name, auto&& operation) {
        return [this, line, name, operation]() {
            if (!line) return;
            notice_.clear();
            checkpoint(texts().recorded);
            operation(*line);
            checkpoint(name);
            update();
        };
    };
    connect(menu->addAction(t.insertBefore), &QAction::triggered, this,
            command(t.insertBefore, [this](std::size_t s) { report(manager_.insertBefore(s)); }));
    connect(menu->addAction(t.insertAfter), &QAction::triggered, this,
            command(t.insertAfter, [this](std::size_t s) { report(manager_.insertAfter(s)); }));

    QMenu* mouse = menu->addMenu(t.insertMouseKey);
    ui::styleMenu(*mouse);
    const std::pair<const QString*, macros::MouseButton> buttons[] = {
        {&t.left, macros::MouseButton::Left},
        {&t.right, macros::MouseButton::Right},
        {&t.middle, macros::MouseButton::Middle},
    };
    const std::pair<const QString*, macros::MouseAction> actions[] = {
        {&t.down, macros::MouseAction::Down},
        {&t.up, macros::MouseAction::Up},
        {&t.click, macros::MouseAction::Click},
    };
    for (const auto& [buttonText, button] : buttons) {
        QMenu* sub = mouse->addMenu(*buttonText);
        ui::styleMenu(*sub);
        for (const auto& [actionText, action] : actions) {
            connect(sub->addAction(*actionText), &QAction::triggered, this,
                    command(t.insertMouseKey, [this, button, action](std::size_t s) {
                        const Status status = manager_.insertMouseKey(s, button, action);
                        showEvents(static_cast<int>(s));
                        report(status);
                    }));
        }
    }
    connect(menu->addAction(t.insertDelay), &QAction::triggered, this,
            command(t.insertDelay, [this](std::size_t s) {
                const Status status = manager_.insertDelay(s);
                showEvents(std::nullopt);
                report(status);
            }));
    connect(menu->addAction(t.deleteEvent), &QAction::triggered, this,
            command(t.deleteEvent, [this](std::size_t s) {
                const Status status = manager_.deleteLine(s);
                showEvents(std::nullopt);
                report(status);
            }));
    return menu;
}

void CMacroRecordDlg::eventListMenuAt(QPoint globalPos) {
    const std::unique_ptr<QMenu> menu = eventMenu();
    menu->exec(globalPos);
}

// --- Messages from the hook -------------------------------------------------

void CMacroRecordDlg::customEvent(QEvent* event) {
    const int type = event->type();
    if (type == ui::WM_MACRO_KEY) {
        const auto& m = static_cast<const ui::WindowMessage&>(*event);
        if (m.wParam() < 0 || m.wParam() > 0xFF) return;
        const bool release = (m.lParam() & (qint64{1} << 31)) != 0;
        keyboardRecordingKey(m.wParam(), release);
        const bool inserting = manager_.insertMode();
        const std::size_t insertLine = manager_.insertLine();
        // A release may come a moment after it happened; it is timed when it happened.
        const Status status =
            manager_.keystroke(static_cast<std::uint8_t>(m.wParam()),
                               release ? macros::KeyAction::Release : macros::KeyAction::Press,
                               tholwin::deliveryDelay());
        // An inserted keystroke lands on the insert line as it was before it.
        showEvents(inserting ? std::optional<int>(static_cast<int>(insertLine)) : std::nullopt);
        if (status && !notice_.isEmpty() && !inserting) notice_.clear();
        report(status);
        // Keys recorded become a step when the recording stops; an inserted key is one now.
        if (!manager_.recording()) checkpoint(texts().inserted);
        update();
        return;
    }
    QDialog::customEvent(event);
}

// --- Painting and the mouse ---------------------------------------------------------------

void CMacroRecordDlg::paintEvent(QPaintEvent* /*event*/) {
    using namespace macromgr;
    QPainter p(this);
    p.fillRect(rect(), theme::kPanel);
    ui::drawPanelImage(p, folder_, QString::fromLatin1(kBackgroundImage), 0, 0);

    const std::vector<ui::WindowArea> areas = areaTable();
    const auto label = [&](const ui::WindowArea& a) {
        if (a.labelled) {
            ui::drawPanelText(p, a.paintedLabel(), a.labelAt.x(), a.labelAt.y(), a.labelHeight);
        }
    };
    const auto picture = [&](const ui::WindowArea& a) {
        const bool over = a.hoverPicture != nullptr && static_cast<int>(hovered_) == a.id;
        ui::drawPanelImage(p, folder_, QString::fromLatin1(over ? a.hoverPicture : a.picture),
                           a.pictureAt.x(), a.pictureAt.y());
    };
    for (const ui::WindowArea& a : areas) {
        if (a.role == QAccessible::StaticText && a.labelled) {
            label(a);  // the title, the panes' headings, the lines of Record Delay
        } else if (a.id == kNoticeArea) {
            p.setFont(ui::panelFont(kNoticeSize, 400));
            p.setPen(theme::kAccentBright);
            p.drawText(a.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, a.name);
        } else if (a.picture == nullptr) {
            continue;  // a widget of its own
        } else if (a.role == QAccessible::Button) {
            picture(a);
            ui::drawCentredLabel(p, a.name, a.centredRoom(), a.labelHeight, theme::kText);
        } else {
            // An option: its label, then its box.
            label(a);
            picture(a);
        }
    }
    if (const QRect mark = keyboard_.markRect(); !mark.isEmpty()) ui::drawFocusMark(p, mark);
}

void CMacroRecordDlg::setHovered(Button button) {
    if (hovered_ == button) return;
    hovered_ = button;
    update();
}

void CMacroRecordDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QDialog::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    keyboard_.hideMark();
    pressed_ = buttonAt(pos);
    drag_.press(*this, *event, pressed_ == Button::None);
}

void CMacroRecordDlg::mouseMoveEvent(QMouseEvent* event) {
    if (drag_.follow(*this, *event)) return;
    setHovered(buttonAt(event->position().toPoint()));
}

void CMacroRecordDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QDialog::mouseReleaseEvent(event);
    pressed_ = Button::None;
    if (drag_.release()) return;
    pressButton(buttonAt(event->position().toPoint()));
}

void CMacroRecordDlg::leaveEvent(QEvent* event) {
    setHovered(Button::None);
    QDialog::leaveEvent(event);
}

void CMacroRecordDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape belong to the macro being recorded, never to the window.
    if (ui::isEnterOrEscape(event->key())) {
        event->accept();
        return;
    }
    // Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo, unless the hook takes them for the macro.
    const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier |
                                            Qt::AltModifier | Qt::MetaModifier);
    if (!manager_.hookInstalled() && (event->key() == Qt::Key_Z || event->key() == Qt::Key_Y) &&
        (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))) {
        if (event->key() == Qt::Key_Z && mods == Qt::ControlModifier) {
            undo();
        } else {
            redo();
        }
        event->accept();
        return;
    }
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    if ((event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && shift)) &&
        focusWidget() == eventList_) {
        // The event list's menu, at its current line.
        QListWidgetItem* item = eventList_->currentItem();
        const QPoint at = item != nullptr ? eventList_->visualItemRect(item).center()
                                          : QPoint(eventList_->width() / 2, 10);
        eventListMenuAt(eventList_->viewport()->mapToGlobal(at));
        event->accept();
        return;
    }
    if (keyboard_.key(event->key(), event->modifiers(), false)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CMacroRecordDlg::focusNextPrevChild(bool next) {
    // Tab and Shift+Tab go through the painted areas and the lists in reading order.
    keyboard_.key(next ? Qt::Key_Tab : Qt::Key_Backtab, {}, false);
    return true;
}

}  // namespace tessaron::app
