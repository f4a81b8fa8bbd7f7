#include "app/key_page/key_page.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "app/key_page/key_page_dialogs.h"
#include "keys/key_description.h"
#include "keys/key_names.h"
#include "tholwin/tholwin.h"
#include "ui/dialog_keys.h"
#include "ui/messages.h"
#include "ui/panel_painter.h"
#include "ui/text.h"
#include "ui/theme.h"
#include "ui/vivid_tree.h"

namespace tessaron::app {

using key_page::Chooser;
using key_page::Field;
using key_page::Outcome;
using key_page::Tab;
namespace button = key_page::button;

namespace {

constexpr QColor kFieldGrey{109, 109, 109};
constexpr QColor kTabIdle{192, 192, 192};
constexpr QColor kCheckPatch{35, 35, 35};

constexpr QRect kTreeRect{10, 60, 295, 160};
constexpr QRect kSingleRect{20, 89, 280, 15};
constexpr QRect kCombinationRect{20, 139, 280, 15};
constexpr QRect kMacroListRect{20, 79, 280, 150};

constexpr int kTabMarkerX[key_page::kTabCount] = {35, 115, 200, 280};
constexpr int kTabStripY = 30;

constexpr QPoint kRowsBackgroundAt{15, 66};
constexpr int kRadioX = 15;
constexpr int kRadioY = 72;
constexpr int kPathBoxX = 85;
constexpr int kPathBoxY = 68;
constexpr int kPathTextY = 69;
constexpr int kPathBoxWidth = 160;
constexpr int kPathTextHeight = 12;  // the box is 16 pixels high
constexpr int kBrowseX = 256;

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// Thin scroll bars in the page's colours, over the given background.
QString scrollBarStyle(const QColor& background) {
    return QStringLiteral(
               "QScrollBar { background: %1; border: none; margin: 0; }"
               "QScrollBar:vertical { width: 8px; } QScrollBar:horizontal { height: 8px; }"
               "QScrollBar::handle { background: %2; border-radius: 3px; min-height: 18px;"
               " min-width: 18px; margin: 1px; }"
               "QScrollBar::handle:hover { background: %3; }"
               "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }"
               "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
        .arg(background.name(), ui::theme::kBorderLight.name(), ui::theme::kTextDim.name());
}

QString buttonImage(int b, bool hovered) {
    switch (b) {
        case button::kClose:
            return hovered ? QStringLiteral("button-close-over.png")
                           : QStringLiteral("button-close-normal.png");
        case button::kDefault:
        case button::kCancel:
            return hovered ? QStringLiteral("button-cancel-over.png")
                           : QStringLiteral("button-cancel-normal.png");
        case button::kSave:
            return hovered ? QStringLiteral("button-save-over.png")
                           : QStringLiteral("button-save-normal.png");
        default:
            return {};
    }
}

}  // namespace

// Runs the choosers and message boxes for the page's rules.
class CKeyMap::Host final : public key_page::PageHost {
public:
    explicit Host(CKeyMap& page) : page_(page) {}

    std::optional<std::string> choose(Chooser chooser) override {
        const HookPause pause(page_);
        const auto chosen = page_.dialogs_->choose(&page_, chooser, page_.setup_.language);
        if (!chosen) return std::nullopt;
        if (chosen->isEmpty()) {
            if (chooser == Chooser::Folder) {
                page_.dialogs_->message(
                    &page_,
                    ui::text(page_.setup_.language, TR_TEXT("KeyPage", "Please select a folder\n")),
                    page_.setup_.language);
            }
            return std::nullopt;
        }
        return chosen->toStdString();
    }

    void showMessage(const std::string& message) override {
        const HookPause pause(page_);
        page_.dialogs_->message(&page_, text(message), page_.setup_.language);
    }

private:
    // The hook takes every keystroke of the program; a chooser or message box opened by the
    // page must get its typing, so the hook rests while one is open.
    class HookPause {
    public:
        explicit HookPause(CKeyMap& page) : page_(page), paused_(page.model_.hookInstalled()) {
            if (paused_) tholwin::removehook();
        }
        ~HookPause() {
            if (paused_) {
                page_.model_.setHookInstalled(
                    tholwin::installhook(&page_, tholwin::kModePressesAndReleases));
            }
        }
        HookPause(const HookPause&) = delete;
        HookPause& operator=(const HookPause&) = delete;

    private:
        CKeyMap& page_;
        bool paused_;
    };

    CKeyMap& page_;
};

CKeyMap::CKeyMap(const KeyPageSetup& setup, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      setup_(setup),
      record_(&setup.records->at(setup.pending->selectedKey)),
      model_(*setup.pending, *record_, setup.language,
             setup.macros ? key_page::macroNamesInUse(*setup.macros) : std::vector<std::string>{}),
      host_(std::make_unique<Host>(*this)) {
    if (setup_.dialogs) {
        dialogs_ = setup_.dialogs;
    } else {
        ownDialogs_ = std::make_unique<QtKeyPageDialogs>();
        dialogs_ = ownDialogs_.get();
    }
    setModal(true);
    setMouseTracking(true);
    // Clicks on the face leave the focus where it is, as a field taking it again would start
    // its capture over.
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(ui::text(setup_.language, TR_TEXT("KeyPage", "Key Settings")));

    QSize size = ui::panelImageSize(setup_.imageFolder, QStringLiteral("Custom_BK.png"));
    // Without its background the page would be a 0 x 0 modal window the user cannot close.
    if (size.isEmpty()) size = kFallbackSize;
    setFixedSize(size);

    createControls();
    fillTree();
    model_.open(setup_.keyEnabled);
    if (const auto category = model_.expandedCategory()) {
        for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
            QTreeWidgetItem* top = tree_->topLevelItem(i);
            if (top->data(0, Qt::UserRole).toULongLong() == *category) top->setExpanded(true);
        }
    }
    model_.setHookInstalled(tholwin::installhook(this, tholwin::kModePressesAndReleases));
    syncControls();
    keyboard_.setCurrent(startArea());
}

CKeyMap::~CKeyMap() {
    removeHook();
}

void CKeyMap::removeHook() {
    if (!model_.hookInstalled()) return;
    tholwin::removehook();
    model_.setHookInstalled(false);
}

void CKeyMap::createControls() {
    const QString fieldStyle =
        QStringLiteral(
            "QLineEdit { background: %1; color: white; border: none; padding: 0;"
            " selection-background-color: %1; selection-color: white; }"
            "QLineEdit:focus { border: 1px solid %2; }")
            .arg(kFieldGrey.name(), ui::theme::kAccentBright.name());
    const QFont fieldFont = ui::panelFont(12);
    for (QLineEdit** field : {&single_, &combination_}) {
        auto* edit = new QLineEdit(this);  // owned by the page
        // The page's Single and Combine areas are what a reader finds for the fields.
        ui::speakFor(edit);
        edit->setAlignment(Qt::AlignCenter);
        // Keys are captured through the hook; typing must never put text in the field that
        // the captured keys do not hold.
        edit->setReadOnly(true);
        edit->setFont(fieldFont);
        edit->setStyleSheet(fieldStyle);
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        edit->installEventFilter(this);
        *field = edit;
    }
    single_->setGeometry(kSingleRect);
    combination_->setGeometry(kCombinationRect);

    macroList_ = new QListWidget(this);
    macroList_->setGeometry(kMacroListRect);
    macroList_->setFont(ui::panelFont(13));
    macroList_->setFrameShape(QFrame::NoFrame);
    macroList_->setSelectionMode(QAbstractItemView::SingleSelection);
    macroList_->setStyleSheet(
        QStringLiteral("QListWidget { background: %1; color: white; outline: none;"
                       " border: 2px solid %1; }"
                       "QListWidget:focus { border-color: %3; }"
                       "QListWidget::item:selected { background: %2; color: white; }")
            .arg(kFieldGrey.name(), ui::theme::kAccent.name(), ui::theme::kFocus.name()));
    for (const std::string& name : model_.macroNames()) macroList_->addItem(text(name));
    macroList_->verticalScrollBar()->setStyleSheet(scrollBarStyle(kFieldGrey));
    macroList_->hide();
    connect(macroList_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) model_.selectMacro(row);
    });

    tree_ = new ui::VividTree(this);
    tree_->setGeometry(kTreeRect);
    tree_->setShowSelectionAlways(true);
    tree_->setFont(ui::panelFont(13));
    tree_->setIndentation(16);
    tree_->verticalScrollBar()->setStyleSheet(scrollBarStyle(ui::theme::kTreeBackground));
    tree_->horizontalScrollBar()->setStyleSheet(scrollBarStyle(ui::theme::kTreeBackground));
    tree_->hide();
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (syncing_) return;
        if (!item) {
            model_.selectTreeItem(std::nullopt);
            return;
        }
        model_.selectTreeItem(static_cast<std::size_t>(item->data(0, Qt::UserRole).toULongLong()));
    });
}

void CKeyMap::fillTree() {
    const auto& items = model_.treeItems();
    std::vector<QTreeWidgetItem*> made(items.size(), nullptr);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto& entry = items[i];
        QTreeWidgetItem* item =
            entry.parent >= 0 ? new QTreeWidgetItem(made[static_cast<std::size_t>(entry.parent)])
                              : new QTreeWidgetItem(tree_);
        item->setText(0, text(entry.text));
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
        made[i] = item;
    }
}

namespace {
QTreeWidgetItem* findTreeItem(QTreeWidget* tree, std::size_t index) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toULongLong() == index) return *it;
    }
    return nullptr;
}
}  // namespace

void CKeyMap::syncControls() {
    syncing_ = true;
    single_->setText(text(model_.singleText()));
    single_->end(false);
    combination_->setText(text(model_.combinationText()));
    combination_->end(false);

    const Tab tab = model_.tab();
    const bool fields = tab == Tab::SingleCombine;
    const bool list = tab == Tab::Macro;
    const bool tree = tab == Tab::Basic;
    // Hiding a focused control would pass the focus on to a field, and a field taking the
    // focus changes the assignment; the page keeps it instead.
    const QWidget* focused = focusWidget();
    if ((!fields && (focused == single_ || focused == combination_)) ||
        (!list && focused == macroList_) || (!tree && focused == tree_)) {
        setFocus(Qt::OtherFocusReason);
    }
    single_->setVisible(fields);
    combination_->setVisible(fields);
    macroList_->setVisible(list);
    tree_->setVisible(tree);

    if (model_.macroSelection() >= 0 && model_.macroSelection() < macroList_->count()) {
        macroList_->setCurrentRow(model_.macroSelection());
    } else {
        macroList_->setCurrentRow(-1);
        macroList_->clearSelection();
    }
    if (const auto selected = model_.treeSelection()) {
        if (auto* item = findTreeItem(tree_, *selected)) {
            tree_->setCurrentItem(item);
            tree_->scrollToItem(item);
        }
    } else {
        tree_->setCurrentItem(nullptr);
        tree_->clearSelection();
    }

    if (const auto request = model_.takeFocusRequest()) {
        switch (*request) {
            case Field::Single:
                single_->setFocus(Qt::OtherFocusReason);
                break;
            case Field::Combination:
                combination_->setFocus(Qt::OtherFocusReason);
                break;
            case Field::MacroList:
                macroList_->setFocus(Qt::OtherFocusReason);
                break;
        }
    }
    syncing_ = false;
    update();
}

bool CKeyMap::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == single_ || watched == combination_)) {
        // Only the user's own move into a field counts; the focus coming back with the
        // window, or set by the page itself, must not throw away the captured keys.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool byUser = reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                            reason == Qt::BacktabFocusReason;
        if (byUser && !syncing_) {
            // A click into a field makes it listen (the dialog's own first focus is no click).
            if (reason == Qt::MouseFocusReason) {
                listening_ = true;
                capturedAny_ = false;
                capturing_.clear();
            }
            if (watched == single_) {
                model_.singleFieldFocused();
            } else {
                model_.combinationFieldFocused();
            }
            syncControls();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CKeyMap::customEvent(QEvent* event) {
    if (event->type() != tholwin::kMacroKeyEvent) {
        QDialog::customEvent(event);
        return;
    }
    const auto& message = static_cast<const ui::WindowMessage&>(*event);
    const qint64 vk = message.wParam();
    if (vk <= 0 || vk > 255) return;
    if (keyboardKey(static_cast<std::uint8_t>(vk), tholwin::isRelease(message))) return;
    model_.keystroke(static_cast<std::uint8_t>(vk));
    syncControls();
}

void CKeyMap::keyPressEvent(QKeyEvent* event) {
    // Only the page's buttons end it.
    if (ui::isEnterOrEscape(event->key())) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool CKeyMap::isFreeSpot(QPoint at) const {
    if (key_page::buttonAt(at.x(), at.y())) return false;
    return !(model_.tab() == Tab::Advance && key_page::advanceSubItemAt(at.x(), at.y()));
}

void CKeyMap::mousePressEvent(QMouseEvent* event) {
    keyboard_.hideMark();
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    // A free spot is the page's caption: the press drags the page and is no click.
    drag_.press(*this, *event, isFreeSpot(event->position().toPoint()));
}

void CKeyMap::mouseMoveEvent(QMouseEvent* event) {
    if (drag_.follow(*this, *event)) return;
    const QPoint at = event->position().toPoint();
    const int hovered = key_page::buttonAt(at.x(), at.y()).value_or(-1);
    int browse = -1;
    if (model_.tab() == Tab::Advance) {
        const auto item = key_page::advanceSubItemAt(at.x(), at.y());
        if (item && item->role == key_page::SubItemRole::Browse) browse = item->row;
    }
    if (hovered != hovered_ || browse != hoveredBrowse_) {
        hovered_ = hovered;
        hoveredBrowse_ = browse;
        update();
    }
}

void CKeyMap::leaveEvent(QEvent* event) {
    hovered_ = -1;
    hoveredBrowse_ = -1;
    update();
    QDialog::leaveEvent(event);
}

void CKeyMap::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    if (drag_.release()) return;
    const QPoint at = event->position().toPoint();
    const Outcome outcome = model_.release(at.x(), at.y(), *host_);
    syncControls();
    finish(outcome);
}

Outcome CKeyMap::releaseAt(QPoint at) {
    return model_.release(at.x(), at.y(), *host_);
}

void CKeyMap::finish(Outcome outcome) {
    switch (outcome) {
        case Outcome::Ok:
            *record_ = model_.draft();
            accept();
            break;
        case Outcome::Cancel:
            reject();
            break;
        case Outcome::Stay:
            break;
    }
}

void CKeyMap::done(int result) {
    removeHook();
    QDialog::done(result);
}

void CKeyMap::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    const QString& folder = setup_.imageFolder;
    if (!ui::drawPanelImage(p, folder, QStringLiteral("Custom_BK.png"), 0, 0)) {
        p.fillRect(rect(), ui::theme::kPanel);
    }

    // Tabs.
    const int tab = static_cast<int>(model_.tab());
    for (int t = 0; t < key_page::kTabCount; ++t) {
        const auto& r = key_page::kButtonRects[static_cast<std::size_t>(button::kTabSingle + t)];
        ui::drawPanelImage(p, folder, QStringLiteral("large_button.png"), r.left, r.top);
    }
    ui::drawPanelImage(p, folder, QStringLiteral("single_combine_option.png"), 0, kTabStripY);
    ui::drawPanelImage(p, folder, QStringLiteral("cursor.png"), kTabMarkerX[tab], kTabStripY);

    const auto& close = key_page::kButtonRects[button::kClose];
    ui::drawPanelImage(p, folder, buttonImage(button::kClose, hovered_ == button::kClose),
                       close.left, close.top);
    if (model_.tab() == Tab::Advance) paintAdvanceTab(p);

    const auto& box = key_page::kButtonRects[button::kDisable];
    ui::drawPanelImage(
        p, folder, model_.disabled() ? QStringLiteral("Enable.png") : QStringLiteral("Disable.png"),
        box.left, box.top);
    for (int b = button::kDefault; b <= button::kSave; ++b) {
        const auto& r = key_page::kButtonRects[static_cast<std::size_t>(b)];
        ui::drawPanelImage(p, folder, buttonImage(b, hovered_ == b), r.left, r.top);
    }

    // The labels, where the area table places them.
    for (const ui::WindowArea& a : areaTable()) {
        const bool idleTab = a.role == QAccessible::PageTab && !a.state.selected;
        const QColor colour = idleTab ? kTabIdle : QColor(Qt::white);
        if (a.id == button::kDisable) p.fillRect(a.labelRoom, kCheckPatch);
        if (a.labelCentred) {
            ui::drawCentredLabel(p, a.paintedLabel(), a.centredRoom(), a.labelHeight, colour,
                                 a.labelAlign);
        } else if (a.labelled) {
            ui::drawPanelText(p, a.paintedLabel(), a.labelAt.x(), a.labelAt.y(),
                              ui::panelFont(a.labelHeight), colour);
        }
    }
    if (const QRect mark = keyboard_.markRect(); !mark.isEmpty()) ui::drawFocusMark(p, mark);
}

void CKeyMap::paintAdvanceTab(QPainter& p) const {
    const QString& folder = setup_.imageFolder;
    ui::drawPanelImage(p, folder, QStringLiteral("Macro_BK.png"), kRowsBackgroundAt.x(),
                       kRowsBackgroundAt.y());
    for (int r = 0; r < key_page::kRowCount; ++r) {
        const int dy = key_page::kRowPitch * r;
        ui::drawPanelImage(
            p, folder,
            model_.rowLit(r) ? QStringLiteral("enable.png") : QStringLiteral("disable.png"),
            kRadioX, kRadioY + dy);
        ui::drawPanelImage(p, folder, QStringLiteral("Advanced.png"), kPathBoxX, kPathBoxY + dy);
        ui::drawPanelImage(
            p, folder,
            hoveredBrowse_ == r ? QStringLiteral("view02.png") : QStringLiteral("view.png"),
            kBrowseX, kPathBoxY + dy);
        if (r != model_.advanceRow()) continue;
        // A long last component still has to stay inside its box.
        const QFont font = ui::panelFont(kPathTextHeight);
        const QString shown = QFontMetrics(font).elidedText(text(model_.pathBox()), Qt::ElideRight,
                                                            kPathBoxWidth - 4);
        ui::drawPanelText(p, shown, kPathBoxX + 2, kPathTextY + dy, font, Qt::white);
    }
}

}  // namespace tessaron::app
