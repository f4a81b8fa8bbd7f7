// The key page's areas, described once (the paint writes their names), and its keyboard
// operation. The hook takes every keystroke of
// the program while the page is open, so the keys that move through the page arrive here as
// hook messages, not as key events: a navigation key moves, any other key is captured.

#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>
#include <array>
#include <functional>
#include <span>

#include "app/key_page/key_page.h"
#include "keys/key_description.h"
#include "keys/key_names.h"
#include "tholwin/virtual_keys.h"
#include "ui/panel_painter.h"
#include "ui/text.h"
#include "ui/vivid_tree.h"

namespace tessaron::app {

using key_page::Outcome;
using key_page::SubItemRole;
using key_page::Tab;
namespace button = key_page::button;
namespace vk = tholwin::vk;

namespace {

constexpr int kHeaderArea = key_page::area::kHeader;
constexpr int kSingleArea = key_page::area::kSingle;
constexpr int kCombinationArea = key_page::area::kCombination;
constexpr int kMacroListArea = key_page::area::kMacroList;
constexpr int kTreeArea = key_page::area::kTree;
constexpr int kRowArea = key_page::area::kRow;
constexpr int kBrowseArea = key_page::area::kBrowse;

// Where the page writes its labels, and how large.
constexpr int kTextHeight = 14;
constexpr QPoint kHeaderAt{10, 6};  // in the 29-pixel title bar, clear of the window's left edge
constexpr int kTabTextY = 39;
constexpr int kTabTextX[key_page::kTabCount] = {6, 115, 182, 259};
constexpr int kTabTextRoom = 2;       // between a tab's name and the next tab
constexpr int kTabMarkerBottom = 37;  // the open tab's marker reaches into the tabs' top
constexpr int kTabsBottom = 59;       // the page's frame starts below
constexpr QPoint kSingleLabelAt{20, 69};
constexpr QPoint kCombineLabelAt{20, 119};
constexpr int kRowLabelX = 30;
constexpr int kRowLabelY = 69;
constexpr int kRowTop = 66;  // the band behind the first Advance row
constexpr int kRowHeight = 24;
constexpr int kPathBoxX = 85;
constexpr QPoint kCheckLabelOffset{15, -2};
constexpr QSize kCheckPatchSize{100, 20};

enum Group {
    kHeaderGroup,
    kCloseGroup,
    kTabGroup,
    kSingleGroup,
    kCombinationGroup,
    kListGroup,
    kRowGroup,
    kBrowseGroup,
    kDisableGroup,
    kBottomGroup,
};

bool isModifier(std::uint8_t code) {
    switch (code) {
        case vk::kShift:
        case vk::kControl:
        case vk::kMenu:
        case vk::kLShift:
        case vk::kRShift:
        case vk::kLControl:
        case vk::kRControl:
        case vk::kLMenu:
        case vk::kRMenu:
        case vk::kLWin:
        case vk::kRWin:
            return true;
        default:
            return false;
    }
}

// The Qt key a navigation key stands for; 0 for keys that are captured. Enter is no navigation
// key here: the page keeps it for the capture, as it keeps Escape.
int navigationKey(std::uint8_t code) {
    switch (code) {
        case vk::kTab:
            return Qt::Key_Tab;
        case vk::kSpace:
            return Qt::Key_Space;
        case vk::kLeft:
            return Qt::Key_Left;
        case vk::kUp:
            return Qt::Key_Up;
        case vk::kRight:
            return Qt::Key_Right;
        case vk::kDown:
            return Qt::Key_Down;
        default:
            return 0;
    }
}

bool holds(const std::vector<std::uint8_t>& keys, std::uint8_t code) {
    return std::find(keys.begin(), keys.end(), code) != keys.end();
}

void drop(std::vector<std::uint8_t>& keys, std::uint8_t code) {
    keys.erase(std::remove(keys.begin(), keys.end(), code), keys.end());
}

}  // namespace

std::vector<ui::WindowArea> CKeyMap::areaTable() const {
    std::vector<ui::WindowArea> out;
    const Language lang = setup_.language;
    const auto add = [&](int id, int group, QAccessible::Role role, QString name, QRect rect) {
        return ui::addArea(out, id, group, role, std::move(name), rect);
    };
    const auto buttonRect = [](int b) {
        return key_page::kButtonRects[static_cast<std::size_t>(b)].toQRect();
    };

    auto* header = add(kHeaderArea, kHeaderGroup, QAccessible::StaticText,
                       ui::text(lang, TR_TEXT("KeyPage", "Current Key: ")) +
                           QString::fromStdString(keys::spokenKeyName(setup_.pending->selectedVk)),
                       QRect(2, 2, 280, 18));
    header->activatable = false;
    header->focusable = false;
    const auto label = [](ui::WindowArea* a, QPoint at, QRect room) {
        a->labelled = true;
        a->labelAt = at;
        a->labelRoom = room;
        a->labelHeight = kTextHeight;
    };
    // A group of labels too long for their rooms even at the smallest height is written
    // centred in the rooms (ui::centredLabel), wrapped where one needs it, all at that height
    // to look alike.
    const auto centreGroup = [](std::span<ui::WindowArea* const> group,
                                const std::function<QRect(const ui::WindowArea&)>& room) {
        for (ui::WindowArea* a : group) {
            a->labelled = false;
            a->labelCentred = true;
            a->labelRoom = room(*a);
        }
    };
    label(header, kHeaderAt,
          QRect(kHeaderAt, QPoint(buttonRect(button::kClose).left() - 4, header->rect.bottom())));
    ui::fitLabel(*header, kTextHeight, header->labelRoom);
    add(button::kClose, kCloseGroup, QAccessible::Button,
        ui::text(lang, TR_TEXT("KeyPage", "Close")), buttonRect(button::kClose));

    const QString tabNames[key_page::kTabCount] = {
        ui::text(lang, TR_TEXT("KeyPage", "Single/Combine")),
        ui::text(lang, TR_TEXT("KeyPage", "Macro")),
        ui::text(lang, TR_TEXT("KeyPage", "Basic")),
        ui::text(lang, TR_TEXT("KeyPage", "Advance")),
    };
    const Tab tab = model_.tab();
    std::array<ui::WindowArea*, key_page::kTabCount> tabs{};
    for (int t = 0; t < key_page::kTabCount; ++t) {
        const QRect r = buttonRect(button::kTabSingle + t);
        auto* a = add(button::kTabSingle + t, kTabGroup, QAccessible::PageTab, tabNames[t], r);
        a->state.selectable = true;
        a->state.selected = static_cast<int>(tab) == t;
        label(
            a, {kTabTextX[t], kTabTextY},
            QRect(QPoint(kTabTextX[t], r.top()), QPoint(r.right() - kTabTextRoom - 1, r.bottom())));
    }
    // Pointers into the table only once it has stopped growing here.
    for (int t = 0; t < key_page::kTabCount; ++t) {
        tabs[static_cast<std::size_t>(t)] = &out[out.size() - key_page::kTabCount + t];
    }
    if (!ui::fitLabelGroup(tabs, kTextHeight)) {
        // Below the marker of the open tab, down to the frame of the page.
        centreGroup(tabs, [](const ui::WindowArea& a) {
            return QRect(QPoint(a.rect.left(), kTabMarkerBottom),
                         QPoint(a.rect.right(), kTabsBottom));
        });
    }

    switch (tab) {
        case Tab::SingleCombine: {
            const auto field = [&](int id, int group, QString name, QLineEdit* edit, bool chosen,
                                   QPoint labelAt) {
                auto* a =
                    add(id, group, QAccessible::EditableText, std::move(name), edit->geometry());
                // The field's name above it, as wide as the field.
                label(a, labelAt,
                      QRect(labelAt, QPoint(edit->geometry().right(), edit->geometry().top() - 1)));
                ui::fitLabel(*a, kTextHeight, a->labelRoom);
                a->speaksFor = edit;
                a->value = edit->text().trimmed();
                a->state.readOnly = true;
                // The field the typed keys go to.
                a->state.selected = chosen;
                a->description =
                    listening_ && chosen
                        ? ui::text(lang, TR_TEXT("KeyPage", "listening: type the keys"))
                        : ui::text(lang, TR_TEXT("KeyPage", "press Space, then type the keys"));
            };
            const std::uint8_t kind = model_.pending().kind;
            field(kSingleArea, kSingleGroup, ui::text(lang, TR_TEXT("KeyPage", "Single")), single_,
                  kind == keys::kind::kSingle, kSingleLabelAt);
            field(kCombinationArea, kCombinationGroup,
                  ui::text(lang, TR_TEXT("KeyPage", "Combine")), combination_,
                  kind == keys::kind::kCombination, kCombineLabelAt);
            break;
        }
        case Tab::Macro: {
            auto* a = add(kMacroListArea, kListGroup, QAccessible::List, tabNames[1],
                          macroList_->geometry());
            a->widget = macroList_;
            a->activatable = false;
            if (macroList_->accessibleName() != tabNames[1])
                macroList_->setAccessibleName(tabNames[1]);
            break;
        }
        case Tab::Basic: {
            auto* a = add(kTreeArea, kListGroup, QAccessible::Tree, tabNames[2], tree_->geometry());
            a->widget = tree_;
            a->activatable = false;
            if (tree_->accessibleName() != tabNames[2]) {
                tree_->setAccessibleName(tabNames[2]);
                // The hidden header is still read out as the column's header: not "1".
                tree_->setHeaderLabel(tabNames[2]);
            }
            break;
        }
        case Tab::Advance: {
            const QString rows[key_page::kRowCount] = {
                ui::text(lang, TR_TEXT("KeyPage", "Play Sound")),
                ui::text(lang, TR_TEXT("KeyPage", "Startup")),
                ui::text(lang, TR_TEXT("KeyPage", "Open File")),
                ui::text(lang, TR_TEXT("KeyPage", "Open Folder")),
            };
            for (int r = 0; r < key_page::kRowCount; ++r) {
                auto* a = add(kRowArea + r, kRowGroup, QAccessible::RadioButton, rows[r],
                              key_page::subItemRect(r, SubItemRole::Radio).toQRect());
                a->state.checkable = true;
                a->state.checked = model_.rowLit(r);
                if (r == model_.advanceRow()) a->value = QString::fromStdString(model_.pathBox());
                // Between the radio and the path box, on the row's band.
                const int top = kRowTop + key_page::kRowPitch * r;
                label(a, {kRowLabelX, kRowLabelY + key_page::kRowPitch * r},
                      QRect(QPoint(kRowLabelX, top), QPoint(kPathBoxX - 3, top + kRowHeight - 1)));
            }
            std::array<ui::WindowArea*, key_page::kRowCount> rowAreas{};
            for (int r = 0; r < key_page::kRowCount; ++r) {
                rowAreas[static_cast<std::size_t>(r)] = &out[out.size() - key_page::kRowCount + r];
            }
            if (!ui::fitLabelGroup(rowAreas, kTextHeight)) {
                // Beside its radio as before, wrapped on the row's band.
                centreGroup(rowAreas, [](const ui::WindowArea& a) { return a.labelRoom; });
                for (ui::WindowArea* a : rowAreas) a->labelAlign = Qt::AlignLeft;
            }
            for (int r = 0; r < key_page::kRowCount; ++r) {
                add(kBrowseArea + r, kBrowseGroup, QAccessible::Button,
                    ui::text(lang, TR_TEXT("KeyPage", "Browse: ")) + rows[r],
                    key_page::subItemRect(r, SubItemRole::Browse).toQRect());
            }
            break;
        }
    }

    auto* disable =
        add(button::kDisable, kDisableGroup, QAccessible::CheckBox,
            ui::text(lang, TR_TEXT("KeyPage", "Disable")), buttonRect(button::kDisable));
    disable->state.checkable = true;
    disable->state.checked = model_.disabled();
    // The box's label is written on a dark patch of its own.
    const QPoint disableAt = disable->rect.topLeft() + kCheckLabelOffset;
    label(disable, disableAt, QRect(disableAt, kCheckPatchSize));
    ui::fitLabel(*disable, kTextHeight, disable->labelRoom);

    // Each name is centred on its button's picture, which may reach past the click area
    // towards the next button; the three share the largest height at which each fits.
    const QString bottomNames[] = {ui::text(lang, TR_TEXT("KeyPage", "Default")),
                                   ui::text(lang, TR_TEXT("KeyPage", "Cancel")),
                                   ui::text(lang, TR_TEXT("KeyPage", "Save"))};
    int bottomHeight = kTextHeight;
    for (int i = 0; i < 3; ++i) {
        const int b = button::kDefault + i;
        auto* a = add(b, kBottomGroup, QAccessible::Button, bottomNames[i], buttonRect(b));
        QSize face = ui::panelImageSize(
            setup_.imageFolder, b == button::kSave ? QStringLiteral("button-save-normal.png")
                                                   : QStringLiteral("button-cancel-normal.png"));
        if (face.isEmpty()) face = a->rect.size();
        a->labelCentred = true;
        a->labelRoom = QRect(a->rect.topLeft(), face);
        bottomHeight = std::min(
            bottomHeight, ui::centredLabel(a->name, a->labelRoom, kTextHeight).font.pixelSize());
    }
    for (std::size_t i = out.size() - 3; i < out.size(); ++i) out[i].labelHeight = bottomHeight;
    return out;
}

std::vector<ui::PaintedArea> CKeyMap::paintedAreas() const {
    return ui::readableAreas(areaTable());
}

QString CKeyMap::areaName(const std::vector<ui::WindowArea>& areas, int id) {
    const ui::WindowArea* a = ui::findArea(areas, id);
    return a != nullptr ? a->name : QString();
}

int CKeyMap::startArea() const {
    switch (model_.tab()) {
        case Tab::SingleCombine:
            return model_.pending().kind == keys::kind::kCombination ? kCombinationArea
                                                                     : kSingleArea;
        case Tab::Macro:
            return kMacroListArea;
        case Tab::Basic:
            return kTreeArea;
        case Tab::Advance:
            return kRowArea;
    }
    return kSingleArea;
}

void CKeyMap::activatePaintedArea(int id) {
    if (id == kSingleArea || id == kCombinationArea) {
        // As a click into the field: the typed keys go there from now on.
        QLineEdit* field = id == kSingleArea ? single_ : combination_;
        if (id == kSingleArea) {
            model_.singleFieldFocused();
        } else {
            model_.combinationFieldFocused();
        }
        listening_ = true;
        capturedAny_ = false;
        capturing_.clear();
        syncControls();
        syncing_ = true;  // the focus is the page's own doing: no second field rule
        field->setFocus(Qt::OtherFocusReason);
        syncing_ = false;
        update();
        return;
    }
    const auto areas = paintedAreas();
    const ui::PaintedArea* a = ui::findArea(areas, id);
    if (a == nullptr || !a->activatable) return;
    // What a click in the middle of the area does.
    const QPoint at = a->rect.center();
    const Outcome outcome = releaseAt(at);
    syncControls();
    if (id >= button::kTabSingle && id <= button::kTabAdvance && outcome == Outcome::Stay) {
        // A tab opened: the keyboard stays on the tab strip.
        keyboard_.setCurrent(id);
    }
    finish(outcome);
}

bool CKeyMap::stepInWidget(int qtKey) {
    // The area with the mark, whether or not its widget has the focus yet (the page opens
    // with the mark on the list or tree of the assignment shown).
    const int here = keyboard_.current();
    if (here == kMacroListArea && macroList_->isVisible()) {
        if (qtKey != Qt::Key_Up && qtKey != Qt::Key_Down) return true;
        const int row = std::clamp(macroList_->currentRow() + (qtKey == Qt::Key_Down ? 1 : -1), 0,
                                   macroList_->count() - 1);
        if (macroList_->count() > 0) macroList_->setCurrentRow(row);
        return true;
    }
    if (here == kTreeArea && tree_->isVisible()) {
        QTreeWidgetItem* item = tree_->currentItem();
        QTreeWidgetItem* next = nullptr;
        switch (qtKey) {
            case Qt::Key_Down:
                next = item != nullptr ? tree_->itemBelow(item) : tree_->topLevelItem(0);
                break;
            case Qt::Key_Up:
                next = item != nullptr ? tree_->itemAbove(item) : tree_->topLevelItem(0);
                break;
            case Qt::Key_Right:
                if (item != nullptr && item->childCount() > 0) item->setExpanded(true);
                break;
            case Qt::Key_Left:
                if (item != nullptr && item->isExpanded()) {
                    item->setExpanded(false);
                } else if (item != nullptr && item->parent() != nullptr) {
                    next = item->parent();
                }
                break;
            default:
                break;
        }
        if (next != nullptr) {
            tree_->setCurrentItem(next);
            tree_->scrollToItem(next);
        }
        return true;
    }
    return false;
}

bool CKeyMap::keyboardKey(std::uint8_t code, bool release) {
    if (release) {
        drop(held_, code);
        drop(deferred_, code);
        if (listening_ && holds(capturing_, code)) {
            drop(capturing_, code);
            allUpAt_ = clock().now();
            // A single key is complete once it is let go, and so is a full combination.
            const bool complete =
                model_.pending().kind != keys::kind::kCombination || model_.pending().keyCount >= 3;
            if (capturing_.empty() && complete) {
                listening_ = false;
                update();
            }
        }
        return true;  // the model counts presses only
    }
    if (!holds(held_, code)) held_.push_back(code);
    const bool captures = model_.tab() == Tab::SingleCombine;
    if (listening_ && capturing_.empty() && capturedAny_ &&
        clock().now() - allUpAt_ >= kCaptureQuiet) {
        // A combination typed one key after another ends after a quiet moment.
        listening_ = false;
    }
    if (listening_ && captures) {
        if (!holds(capturing_, code)) capturing_.push_back(code);
        capturedAny_ = true;
        return false;
    }
    if (isModifier(code)) {
        // Wait for the key that comes with it: Shift+Tab moves, Ctrl+Z is captured whole.
        if (!holds(deferred_, code)) deferred_.push_back(code);
        return true;
    }
    const bool shift =
        holds(held_, vk::kLShift) || holds(held_, vk::kRShift) || holds(held_, vk::kShift);
    const bool otherModifier = std::any_of(held_.begin(), held_.end(), [](std::uint8_t h) {
        return isModifier(h) && h != vk::kLShift && h != vk::kRShift && h != vk::kShift;
    });
    if (const int key = navigationKey(code); key != 0 && !otherModifier) {
        const bool arrow = key != Qt::Key_Tab && key != Qt::Key_Space;
        if (!(arrow && stepInWidget(key))) {
            keyboard_.key(key, shift ? Qt::ShiftModifier : Qt::NoModifier, false);
        }
        return true;
    }
    if (!captures) return false;  // the model decides what other tabs do with typed keys
    // Any other key starts a capture, with the modifiers held down before it.
    listening_ = true;
    capturedAny_ = true;
    capturing_.clear();
    for (const std::uint8_t m : deferred_) {
        if (!holds(held_, m)) continue;
        capturing_.push_back(m);
        model_.keystroke(m);
    }
    deferred_.clear();
    capturing_.push_back(code);
    return false;
}

}  // namespace tessaron::app
