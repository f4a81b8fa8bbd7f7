// The profiles panel's areas, described once for the paint, the clicks, screen readers and the
// keyboard: the list is a widget of its own, the buttons are painted, and the profile menu opens
// with the context-menu key or Shift+F10 (keyPressEvent).

#include "app/profiles/profiles_dlg.h"
#include "ui/panel_painter.h"
#include "ui/transparent_list_box.h"
#include "ui/text.h"

namespace tessaron::app {

namespace pd = profilesdlg;

namespace {

constexpr int kTitleArea = 10;
constexpr int kListArea = 11;

enum Group { kTitleGroup, kCloseGroup, kListGroup, kButtonGroup };

}  // namespace

std::vector<ui::WindowArea> CConfigureDlg::areaTable() const {
    const pd::Texts& t = pd::texts(language_);
    std::vector<ui::WindowArea> out;
    const auto add = [&](pd::Button id, int group, QString name, QRect rect,
                         const char* picture, QPoint pictureAt) {
        auto* a = ui::addArea(out, static_cast<int>(id), group, QAccessible::Button,
                              std::move(name), rect);
        a->picture = picture;
        a->pictureAt = pictureAt;
        return a;
    };
    const auto label = [](ui::WindowArea* a, QPoint at, int height) {
        a->labelled = true;
        a->labelAt = at;
        a->labelHeight = height;
        return a;
    };
    auto* title = label(add(pd::Button::None, kTitleGroup, t.title,
                            QRect(pd::kTitleSpot, QSize(200, 18)), nullptr, {}),
                        pd::kTitleSpot, pd::kTitleHeight);
    title->id = kTitleArea;
    title->role = QAccessible::StaticText;
    title->activatable = false;
    title->focusable = false;
    title->hit = false;
    add(pd::Button::Close, kCloseGroup,
        ui::text(language_, TR_TEXT("ProfilesPanel", "Close")),
        pd::kCloseArea.toQRect(), pd::kCloseImage, pd::kCloseSpot);
    if (list_->accessibleName() != t.title) list_->setAccessibleName(t.title);
    auto* list = add(pd::Button::None, kListGroup, t.title, list_->geometry(), nullptr, {});
    list->id = kListArea;
    list->role = QAccessible::List;
    list->widget = list_;
    list->activatable = false;
    list->hit = false;
    list->state.hasPopup = true;  // the profile menu
    label(add(pd::Button::New, kButtonGroup, t.newLabel, pd::kNewArea.toQRect(), pd::kNewImage,
              pd::kNewSpot),
          pd::kNewLabelSpot, pd::kLabelHeight);
    label(add(pd::Button::Delete, kButtonGroup, t.deleteLabel, pd::kDeleteArea.toQRect(),
              pd::kDeleteImage, pd::kDeleteSpot),
          pd::kDeleteLabelSpot, pd::kLabelHeight);
    for (ui::WindowArea& a : out) ui::fitLabel(a, 0, a.rect);
    return out;
}

std::vector<ui::PaintedArea> CConfigureDlg::paintedAreas() const {
    return ui::readableAreas(areaTable());
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
        default:
            break;
    }
}

}  // namespace tessaron::app
