// The profiles panel's painted areas and its keyboard operation: the list is a widget of its
// own, the buttons are painted, and the profile menu opens with the context-menu key or
// Shift+F10 (keyPressEvent).

#include "app/profiles/profiles_dlg.h"
#include "ui/text.h"
#include "ui/transparent_list_box.h"

namespace tessaron::app {

namespace pd = profilesdlg;

namespace {

constexpr int kTitleArea = 10;
constexpr int kListArea = 11;

enum Group { kTitleGroup, kCloseGroup, kListGroup, kButtonGroup };

}  // namespace

std::vector<ui::PaintedArea> CConfigureDlg::paintedAreas() const {
    const pd::Texts& t = pd::texts(language_);
    std::vector<ui::PaintedArea> out;
    const auto add = [&](int id, int group, QAccessible::Role role, QString name, QRect rect) {
        return ui::addArea(out, id, group, role, std::move(name), rect);
    };
    auto* title = add(kTitleArea, kTitleGroup, QAccessible::StaticText, t.title,
                      QRect(pd::kTitleSpot, QSize(200, 18)));
    title->activatable = false;
    title->focusable = false;
    add(static_cast<int>(pd::Button::Close), kCloseGroup, QAccessible::Button,
        ui::text(language_, TR_TEXT("ProfilesPanel", "Close")), pd::kCloseArea.toQRect());
    if (list_->accessibleName() != t.title) list_->setAccessibleName(t.title);
    auto* list = add(kListArea, kListGroup, QAccessible::List, t.title, list_->geometry());
    list->widget = list_;
    list->activatable = false;
    list->state.hasPopup = true;  // the profile menu
    add(static_cast<int>(pd::Button::New), kButtonGroup, QAccessible::Button, t.newLabel,
        pd::kNewArea.toQRect());
    add(static_cast<int>(pd::Button::Delete), kButtonGroup, QAccessible::Button, t.deleteLabel,
        pd::kDeleteArea.toQRect());
    return out;
}

void CConfigureDlg::activatePaintedArea(int id) {
    switch (static_cast<pd::Button>(id)) {
        case pd::Button::Close:
            accept();
            break;
        case pd::Button::New:
            runCommand(pd::Command::New);
            break;
        case pd::Button::Delete:
            runCommand(pd::Command::Delete);
            break;
        case pd::Button::None:
            break;
    }
}

}  // namespace tessaron::app
