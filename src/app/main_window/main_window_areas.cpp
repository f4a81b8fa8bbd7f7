// The main window's areas, described once: where each lies, its role, name and state, whether a
// click lands on it and what the paint draws for it. The paint, the hit test, the screen reader
// and the keyboard all read this table.

#include <QAccessible>

#include "app/main_window/firmware_offer.h"
#include "app/main_window/lighting_panel.h"
#include "app/main_window/main_window.h"
#include "app/main_window/performance_panel.h"
#include "core/version.h"
#include "keys/key_description.h"
#include "keys/key_layout.h"
#include "ui/bit_slider.h"
#include "ui/panel_painter.h"
#include "ui/text.h"

namespace tessaron::app {

namespace img = device::image;

namespace {

// Groups in reading order.
enum Group {
    kTitleGroup,
    kHelpMenuGroup,
    kLightHeaderGroup,
    kEffectGroup,
    kEffectListGroup,
    kDirectionGroup,
    kBrightnessGroup,
    kSpeedGroup,
    kMacroGroup,
    kGameModeHeaderGroup,
    kGameModeGroup,
    kWinLockGroup,
    kResponseHeaderGroup,
    kResponseGroup,
    kResponseListGroup,
    kRateHeaderGroup,
    kRateGroup,
    kKeyboardGroup,
    kProfileGroup,
    kBottomGroup,
};

constexpr int kHelpRowHeight = 25;
constexpr ui::Rect kHelpMenuRect{830, 22, 996, 99};
constexpr int kListTextInset = 6;  // the rows of the lists start their texts this far inside
constexpr int kResponseTextX = 97;

constexpr ui::Rect header(int top) {
    return {kPanelX, top, kHeaderRight, top + kHeaderHeight};
}

QRect helpRowRect(int row) {
    const int top = kHelpMenuRect.top + kHelpRowHeight * row;
    return ui::Rect{kHelpMenuRect.left, top, kHelpMenuRect.right, top + kHelpRowHeight - 1}.toQRect();
}

QRect listRowRect(int left, int right, int top, int row) {
    const int y = top + row * lists::kRowHeight;
    return ui::Rect{left, y, right, y + lists::kRowHeight - 1}.toQRect();
}

QRect keyRectInWindow(keys::KeyIndex k) {
    const keys::KeyRect r = keys::keyRect(k);
    const auto o = keys::kKeyboardOrigin;
    return ui::Rect{r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y}.toQRect();
}

// The band over the bottom of the keys where the paint writes a notice.
QRect noticeRect() {
    QRect keysArea;
    for (std::size_t k = 0; k < keys::kRealKeyCount; ++k) {
        const auto key = static_cast<keys::KeyIndex>(k);
        if (!keys::keyRect(key).empty()) keysArea |= keyRectInWindow(key);
    }
    return {keysArea.left(), keysArea.bottom() - 32, keysArea.width(), 32};
}

// The list's rows ("2ms") and the field ("4 ms") write the unit differently, as they always did;
// both come from the catalogue, so a language may write the unit its own way.
QString responseRowText(Language lang, int row) {
    return ui::text(lang, TR_TEXT("MainWindow", "%1ms"))
        .arg(performance::kResponseMsStep * (row + 1));
}

QString responseFieldText(Language lang, const device::DeviceImage& image) {
    return ui::text(lang, TR_TEXT("MainWindow", "%1 ms")).arg(performance::responseMs(image));
}

}  // namespace

std::vector<WindowArea> CTessaronDlg::areaTable(bool withKeys) const {
    using namespace area;
    std::vector<WindowArea> out;
    const auto& image = live_.image;
    const SectionLayout l = layout();
    const auto add = [&](int id, int group, QAccessible::Role role, QString name, ui::Rect r) {
        return ui::addArea(out, id, group, role, std::move(name), r.toQRect());
    };
    const auto labelled = [](WindowArea* a, QPoint at) {
        a->labelled = true;
        a->labelAt = at;
        return a;
    };
    const auto button = [&](int id, int group, QString name, ui::Rect r) {
        return add(id, group, QAccessible::Button, std::move(name), r);
    };
    // A button drawn as a picture that lights up under the pointer.
    const auto pictureButton = [&](int id, int group, QString name, ui::Rect r,
                                   const char* picture, const char* hoverPicture, QPoint at) {
        auto* a = button(id, group, std::move(name), r);
        a->picture = picture;
        a->hoverPicture = hoverPicture;
        a->pictureAt = at;
        return a;
    };
    const auto radio = [&](int id, int group, QString name, ui::Rect r, bool on) {
        auto* a = add(id, group, QAccessible::RadioButton, std::move(name), r);
        a->state.checkable = true;
        a->state.checked = on;
        return a;
    };
    const auto sectionHeader = [&](int id, int group, QString name, int top, bool collapsed) {
        auto* a = labelled(button(id, group, std::move(name), header(top)), {kPanelX, top});
        a->state.expandable = true;
        a->state.expanded = !collapsed;
        a->state.collapsed = collapsed;
    };
    const auto comboBox = [&](int id, int group, QString name, ui::Rect r, QString value,
                              bool open) {
        auto* a = button(id, group, std::move(name), r);
        a->role = QAccessible::ComboBox;
        a->value = std::move(value);
        a->state.hasPopup = true;
        a->state.expandable = true;
        a->state.expanded = open;
        a->state.collapsed = !open;
        return a;
    };
    // Only a click target: nothing to read, nothing happens (it keeps the window from being
    // dragged there).
    const auto clickOnly = [&](int id, ui::Rect r) {
        auto* a = add(id, 0, QAccessible::Button, {}, r);
        a->readable = false;
    };
    const auto slider = [&](int id, int group, ui::CBitSlider* s, QString name, QString value) {
        if (s == nullptr || !s->isVisible()) return static_cast<WindowArea*>(nullptr);
        auto* a = add(id, group, QAccessible::Slider, std::move(name), {});
        a->rect = s->geometry();
        a->value = std::move(value);
        a->activatable = false;
        a->hit = false;  // the slider takes its own clicks
        a->speaksFor = s;
        return a;
    };
    // An open list or menu: a container over the window with its rows inside.
    const auto list = [&](int id, int group, QAccessible::Role role, QString name, QRect rect) {
        auto* a = add(id, group, role, std::move(name), {});
        a->rect = rect;
        a->activatable = false;
        a->focusable = false;
        a->hit = false;
        return id;
    };

    auto* help = pictureButton(kHelp, kTitleGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Help")), {936, 5, 952, 20},
                               "button-help-normal.png", "button-help-over.png", {936, 5});
    help->state.hasPopup = true;
    help->state.expandable = true;
    help->state.expanded = helpMenuOpen_;
    help->state.collapsed = !helpMenuOpen_;
    pictureButton(kHide, kTitleGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Minimize")), {957, 5, 973, 20},
                  "button-min-normal.png", "button-min-over.png", {957, 5});
    pictureButton(kClose, kTitleGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Close")), {978, 5, 994, 20},
                  "button-close-normal.png", "button-close-over.png", {978, 5});

    // Light.
    sectionHeader(kLightHeader, kLightHeaderGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Light")), l.lightTop,
                  sections_.light);
    if (!sections_.light) {
        const std::uint8_t effect = image[img::kEffect];
        auto* field = comboBox(
            kEffectField, kEffectGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Effect")), {28, 158, 248, 173},
            QString::fromStdString(lighting::effectName(effect, live_.language)).trimmed(),
            effectListOpen_);
        labelled(field, {28, 137});
        // The four direction buttons; a DIY effect shows the Keymap and DIY radios over the
        // first two instead.
        constexpr ui::Rect kDirections[] = {
            {29, 197, 64, 212}, {79, 197, 114, 212}, {129, 197, 164, 212}, {179, 197, 214, 212}};
        const auto directions = lighting::directionImages(effect, image[img::kDirection]);
        const bool diy = lighting::isDiyEffect(effect);
        if (diy) {
            labelled(radio(kKeymapRadio, kDirectionGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Keymap")),
                           {28, 200, 42, 214}, !live_.diyMode),
                     {45, 197});
            labelled(radio(kDiyRadio, kDirectionGroup, ui::text(live_.language, TR_TEXT("MainWindow", "DIY")),
                           {130, 200, 144, 214},
                           live_.diyMode),
                     {147, 197});
        }
        for (std::size_t i = 0; i < directions.size(); ++i) {
            const int id = kDirection1 + static_cast<int>(i);
            const auto& d = directions[i];
            if (diy || !d) {
                clickOnly(id, kDirections[i]);
            } else {
                QString name;
                switch (d->letter) {
                    case 'L':
                        name = ui::text(live_.language, TR_TEXT("MainWindow", "Direction left"));
                        break;
                    case 'R':
                        name = ui::text(live_.language, TR_TEXT("MainWindow", "Direction right"));
                        break;
                    case 'T':
                        name = ui::text(live_.language, TR_TEXT("MainWindow", "Direction up"));
                        break;
                    default:
                        name = ui::text(live_.language, TR_TEXT("MainWindow", "Direction down"));
                        break;
                }
                radio(id, kDirectionGroup, name, kDirections[i], d->enabled);
            }
        }
        slider(kBrightness, kBrightnessGroup, brightness_, ui::text(live_.language, TR_TEXT("MainWindow", "Brightness")),
               QString::number(brightness_->value()));
        slider(kSpeed, kSpeedGroup, speed_, ui::text(live_.language, TR_TEXT("MainWindow", "Speed")),
               QString::number(speed_->value()));
    }

    labelled(button(kMacroManagement, kMacroGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Macro Management")),
                    {kPanelX, l.macroButtonTop, 259, l.macroButtonTop + 18}),
             {27, l.macroButtonTop + 2});
    if (!sections_.light) {
        for (int k = 0; k < 8; ++k) {
            clickOnly(kColourSquare0 + k, {28 + 25 * k, 223, 48 + 25 * k, 243});
        }
    }

    // Game Mode and Win Lock.
    sectionHeader(kGameModeHeader, kGameModeHeaderGroup,
                  ui::text(live_.language, TR_TEXT("MainWindow", "Game Mode and Win Lock")), l.gameModeTop,
                  sections_.gameMode);
    if (!sections_.gameMode) {
        const int top = l.gameModeTop + 33;
        const int bottom = l.gameModeTop + 42;
        const bool game = image[img::kGameMode] != 0;
        const bool lock = image[img::kWinLock] != 0;
        radio(kGameModeOn, kGameModeGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Game Mode on")),
              {34, top, 44, bottom}, game);
        radio(kGameModeOff, kGameModeGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Game Mode off")),
              {88, top, 115, bottom}, !game);
        radio(kWinLockOn, kWinLockGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Win Lock on")),
              {164, top, 174, bottom}, lock);
        radio(kWinLockOff, kWinLockGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Win Lock off")),
              {218, top, 245, bottom}, !lock);
    }

    // Response Time.
    sectionHeader(kResponseHeader, kResponseHeaderGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Response Time")),
                  l.responseTop, sections_.responseTime);
    if (!sections_.responseTime) {
        comboBox(kResponseField, kResponseGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Response Time")),
                 {28, l.responseTop + 28, 248, l.responseTop + 44},
                 responseFieldText(live_.language, image), responseListOpen_);
    }

    // USB Report Rate.
    sectionHeader(kRateHeader, kRateHeaderGroup, ui::text(live_.language, TR_TEXT("MainWindow", "USB Report Rate")),
                  l.reportRateTop, sections_.reportRate);
    if (!sections_.reportRate) {
        const int v = std::clamp(reportRate_->value(), 0, performance::kReportRateMax);
        if (auto* a =
                slider(kReportRate, kRateGroup, reportRate_,
                       ui::text(live_.language, TR_TEXT("MainWindow", "USB Report Rate")),
                       ui::text(live_.language, TR_TEXT("MainWindow", "%1 Hz"))
                           .arg(performance::kReportRates[static_cast<std::size_t>(v)]))) {
            a->steps = {125, 250, 500, 1000};
        }
    }

    // The keyboard picture, by rows as the layout lists them; its clicks go to the picture.
    const auto macroName = [this](std::uint8_t n) -> std::string {
        if (n >= live_.committedMacros.countInUse()) return {};
        const std::u16string name = live_.committedMacros[n].name();
        return QString::fromStdU16String(name).toStdString();
    };
    for (std::size_t k = 0; withKeys && k < keys::kRealKeyCount; ++k) {
        const auto key = static_cast<keys::KeyIndex>(k);
        if (keys::keyRect(key).empty()) continue;
        auto* a = add(kKey + static_cast<int>(k), kKeyboardGroup, QAccessible::Button,
                      QString::fromStdString(keys::pictureKeyName(key, live_.language)), {});
        a->rect = keyRectInWindow(key);
        a->hit = false;
        a->description = QString::fromStdString(
            keys::describeKey(key, image, live_.records, live_.language, macroName));
        if (live_.diyMode) {
            // A click lights or darkens the key in the DIY map.
            a->role = QAccessible::CheckBox;
            a->state.checkable = true;
            a->state.checked = lighting::diyLightColour(image, key).has_value();
        } else if (const QPoint c = a->rect.center();
                   keys::keyAtPoint(c.x(), c.y(), false) != key) {
            // The picture does not take this key (the left Windows key, Fn).
            a->state.disabled = true;
            a->activatable = false;
        }
    }

    if (!historyNotice_.isEmpty()) {
        // Read, never focused nor clicked: the paint draws it as a band over the keys.
        auto* a = add(kNotice, kKeyboardGroup, QAccessible::AlertMessage, historyNotice_, {});
        a->rect = noticeRect();
        a->hit = false;
        a->focusable = false;
        a->activatable = false;
    }

    labelled(button(kProfile, kProfileGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Profile")), {19, 605, 101, 635}),
             {45, 610})
        ->state.hasPopup = true;
    constexpr const char* kBottomPicture = "button-cancel-normal.png";
    constexpr const char* kBottomHoverPicture = "button-cancel-over.png";
    labelled(pictureButton(kReturn, kBottomGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Return")), {800, 605, 857, 635},
                           kBottomPicture, kBottomHoverPicture, {800, 600}),
             {810, 607})
        ->description = ui::text(live_.language, TR_TEXT("MainWindow", "Restore the factory settings"));
    labelled(pictureButton(kCancel, kBottomGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Cancel")), {861, 605, 918, 635},
                           kBottomPicture, kBottomHoverPicture, {862, 600}),
             {872, 607});
    labelled(pictureButton(kSave, kBottomGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Save")), {923, 605, 980, 635},
                           kBottomPicture, kBottomHoverPicture, {924, 600}),
             {live_.language == Language::Chinese ? 934 : 937, 607});
    clickOnly(kLogo, {kPanelX, 32, kHeaderRight, 102});

    // An open list or menu takes every click and every key; the rest is still there to read.
    int open = -1;
    if (helpMenuOpen_) {
        open = list(kHelpMenu, kHelpMenuGroup, QAccessible::PopupMenu, ui::text(live_.language, TR_TEXT("MainWindow", "Help")),
                    kHelpMenuRect.toQRect());
        out.back().picture = "HelpWindow.png";
        out.back().pictureAt = kHelpMenuRect.toQRect().topLeft();
        const QString rows[] = {ui::text(live_.language, TR_TEXT("MainWindow", "Tessaron Guide")),
                                ui::text(live_.language, TR_TEXT("MainWindow", "Update Firmware")),
                                ui::text(live_.language, TR_TEXT("MainWindow", "Ver: %1"))
                                    .arg(QString::fromLatin1(kVersion))};
        for (int r = 0; r < 3; ++r) {
            auto* a = add(kHelpRow + r, kHelpMenuGroup, QAccessible::MenuItem, rows[r], {});
            a->rect = helpRowRect(r);
            labelled(a, a->rect.topLeft() + QPoint(20, 3));
            a->parent = open;
            a->activatable = r < 2;
            a->focusable = r < 2;
        }
    } else if (effectListOpen_) {
        const auto current = lighting::effectRow(image[img::kEffect]);
        const auto count = static_cast<int>(lighting::kEffectCount);
        open = list(
            kEffectList, kEffectListGroup, QAccessible::List, ui::text(live_.language, TR_TEXT("MainWindow", "Effect")),
            listRowRect(lists::kLeft, lists::kRight, lists::kEffectTop, 0)
                .united(listRowRect(lists::kLeft, lists::kRight, lists::kEffectTop, count - 1)));
        for (int r = 0; r < count; ++r) {
            const auto& e = lighting::effects()[static_cast<std::size_t>(r)];
            const QString label =
                QString::fromStdString(lighting::effectName(e.code, live_.language));
            auto* a = add(kEffectRow + r, kEffectListGroup, QAccessible::ListItem,
                          label.trimmed(), {});
            a->rect = listRowRect(lists::kLeft, lists::kRight, lists::kEffectTop, r);
            labelled(a, a->rect.topLeft() + QPoint(kListTextInset, 2))->label = label;
            a->parent = open;
            a->state.selectable = true;
            a->state.selected = current == static_cast<std::size_t>(r);
        }
    } else if (responseListOpen_) {
        const auto row = [&](int r) {
            return listRowRect(lists::kResponseLeft, lists::kResponseRight, l.responseListTop, r);
        };
        open = list(kResponseList, kResponseListGroup, QAccessible::List,
                    ui::text(live_.language, TR_TEXT("MainWindow", "Response Time")),
                    row(0).united(row(performance::kResponseRows - 1)));
        for (int r = 0; r < performance::kResponseRows; ++r) {
            auto* a = add(kResponseRow + r, kResponseListGroup, QAccessible::ListItem,
                          responseRowText(live_.language, r), {});
            a->rect = row(r);
            labelled(a, {kResponseTextX, a->rect.top() + 2});
            a->parent = open;
            a->state.selectable = true;
            a->state.selected = image[img::kResponseTime] == r + 1;
        }
    }
    for (WindowArea& a : out) {
        if (a.labelled && a.rect.contains(a.labelAt)) ui::fitLabel(a, kLabelHeight, a.rect);
    }
    if (open >= 0) {
        for (WindowArea& a : out) {
            if (a.parent == open || a.id == open) continue;
            a.focusable = false;
            a.activatable = false;
            // A list takes the clicks over the window; the help menu leaves the rest to the
            // pointer.
            if (open != kHelpMenu) a.hit = false;
        }
    }
    return out;
}

std::vector<ui::PaintedArea> CTessaronDlg::paintedAreas() const {
    return ui::readableAreas(areaTable(true));
}

int CTessaronDlg::areaAt(QPoint p) const {
    return ui::areaAt(areaTable(false), p);
}

int CTessaronDlg::listRowAt(QPoint p) const {
    for (const WindowArea& a : areaTable(false)) {
        // The row ids follow their list's.
        if (a.parent >= 0 && a.hit && a.rect.contains(p)) return a.id - a.parent - 1;
    }
    return -1;
}

void CTessaronDlg::activatePaintedArea(int id) {
    if (busy()) return;
    const auto areas = paintedAreas();
    const ui::PaintedArea* a = ui::findArea(areas, id);
    if (a == nullptr || !a->activatable || a->widget != nullptr) return;
    const bool keyboard = isVisible() && keyboard_.markVisible();
    // A row of an open list closes it: the focus goes back to the list's field first, so that
    // no reader is left on a row that is gone.
    int field = -1;
    using namespace area;
    if (id >= kHelpRow && id < kHelpRow + 3) {
        field = area::kHelp;
    } else if (id >= kEffectRow && id < kEffectRow + 100) {
        field = area::kEffectField;
    } else if (id >= kResponseRow && id < kResponseRow + 100) {
        field = area::kResponseField;
    }
    if (field >= 0 && keyboard) keyboard_.focusArea(field);
    // A click in the middle of the area does what the mouse does.
    click(a->rect.center());
    if (field >= 0 || !keyboard) return;
    // Into a list that opened.
    int next = id;
    if (id == area::kHelp && helpMenuOpen_) {
        next = kHelpRow;
    } else if (id == area::kEffectField && effectListOpen_) {
        next = kEffectRow +
               static_cast<int>(lighting::effectRow(live_.image[img::kEffect]).value_or(0));
    } else if (id == area::kResponseField && responseListOpen_) {
        next = kResponseRow + std::max(0, live_.image[img::kResponseTime] - 1);
    }
    keyboard_.focusArea(next);
}

}  // namespace tessaron::app
