// The main window's painted areas: what a screen reader finds in it and what the keyboard moves
// over, read from the same tables the hit test and the paint use.

#include <QAccessible>

#include "app/main_window/firmware_offer.h"
#include "app/main_window/lighting_panel.h"
#include "app/main_window/main_window.h"
#include "app/main_window/performance_panel.h"
#include "keys/key_description.h"
#include "keys/key_layout.h"
#include "ui/bit_slider.h"
#include "ui/text.h"

namespace tessaron::app {

namespace img = device::image;

namespace {

// Area ids beyond the hit test's own numbers.
constexpr int kHelpRow = 100;      // + row 0..2
constexpr int kEffectRow = 200;    // + list row
constexpr int kResponseRow = 300;  // + list row
constexpr int kBrightnessArea = 400;
constexpr int kSpeedArea = 401;
constexpr int kReportRateArea = 402;
constexpr int kKeyArea = 1000;  // + key index

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
constexpr ui::Rect kHelpMenu{830, 22, 996, 99};

QString utf8(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QRect helpRowRect(int row) {
    const int top = kHelpMenu.top + kHelpRowHeight * row;
    return ui::Rect{kHelpMenu.left, top, kHelpMenu.right, top + kHelpRowHeight - 1}.toQRect();
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

constexpr const char* kReportRates[] = {"125 Hz", "250 Hz", "500 Hz", "1000 Hz"};

}  // namespace

std::vector<ui::PaintedArea> CTessaronDlg::paintedAreas() const {
    std::vector<ui::PaintedArea> out;
    const auto& image = live_.image;
    const SectionLayout l = layout();
    const ButtonTable table = buttonTable(l);
    const auto add = [&](int id, int group, QAccessible::Role role, QString name, QRect rect) {
        return ui::addArea(out, id, group, role, std::move(name), rect);
    };
    const auto button = [&](int id, int group, QString name) {
        return add(id, group, QAccessible::Button, std::move(name),
                   table[static_cast<std::size_t>(id)].toQRect());
    };
    const auto radio = [&](int id, int group, QString name, ui::Rect r, bool on) {
        auto* a = add(id, group, QAccessible::RadioButton, std::move(name), r.toQRect());
        a->state.checkable = true;
        a->state.checked = on;
    };
    const auto header = [&](int id, int group, QString name, bool collapsed) {
        auto* a = button(id, group, std::move(name));
        a->state.expandable = true;
        a->state.expanded = !collapsed;
        a->state.collapsed = collapsed;
    };
    const auto slider = [&](int id, int group, ui::CBitSlider* s, QString name, QString value) {
        if (s == nullptr || !s->isVisible()) return static_cast<ui::PaintedArea*>(nullptr);
        auto* a = add(id, group, QAccessible::Slider, std::move(name), s->geometry());
        a->value = std::move(value);
        a->activatable = false;
        a->speaksFor = s;
        return a;
    };
    // An open list or menu: a container over the window with its rows inside.
    const auto list = [&](int id, int group, QAccessible::Role role, QString name, QRect rect) {
        auto* a = add(id, group, role, std::move(name), rect);
        a->activatable = false;
        a->focusable = false;
        return id;
    };

    auto* help =
        button(area::kHelp, kTitleGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Help")));
    help->state.hasPopup = true;
    help->state.expandable = true;
    help->state.expanded = helpMenuOpen_;
    help->state.collapsed = !helpMenuOpen_;
    button(area::kHide, kTitleGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Minimize")));
    button(area::kClose, kTitleGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Close")));

    // Light.
    header(area::kLightHeader, kLightHeaderGroup,
           ui::text(live_.language, TR_TEXT("MainWindow", "Light")), sections_.light);
    if (!sections_.light) {
        const std::uint8_t effect = image[img::kEffect];
        auto* field = button(area::kEffectField, kEffectGroup,
                             ui::text(live_.language, TR_TEXT("MainWindow", "Effect")));
        field->role = QAccessible::ComboBox;
        field->value =
            QString::fromStdString(lighting::effectName(effect, live_.language)).trimmed();
        field->state.hasPopup = true;
        field->state.expandable = true;
        field->state.expanded = effectListOpen_;
        field->state.collapsed = !effectListOpen_;
        if (lighting::isDiyEffect(effect)) {
            radio(area::kKeymapRadio, kDirectionGroup,
                  ui::text(live_.language, TR_TEXT("MainWindow", "Keymap")), {28, 200, 42, 214},
                  !live_.diyMode);
            radio(area::kDiyRadio, kDirectionGroup, QStringLiteral("DIY"), {130, 200, 144, 214},
                  live_.diyMode);
        } else {
            const auto directions = lighting::directionImages(effect, image[img::kDirection]);
            for (std::size_t i = 0; i < directions.size(); ++i) {
                const auto& d = directions[i];
                if (!d) continue;
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
                const int id = area::kDirection1 + static_cast<int>(i);
                radio(id, kDirectionGroup, name, table[static_cast<std::size_t>(id)], d->enabled);
            }
        }
        slider(kBrightnessArea, kBrightnessGroup, brightness_,
               ui::text(live_.language, TR_TEXT("MainWindow", "Brightness")),
               QString::number(brightness_->value()));
        slider(kSpeedArea, kSpeedGroup, speed_,
               ui::text(live_.language, TR_TEXT("MainWindow", "Speed")),
               QString::number(speed_->value()));
    }

    button(area::kMacroManagement, kMacroGroup,
           ui::text(live_.language, TR_TEXT("MainWindow", "Macro Management")));

    // Game Mode and Win Lock.
    header(area::kGameModeHeader, kGameModeHeaderGroup,
           ui::text(live_.language, TR_TEXT("MainWindow", "Game Mode and Win Lock")),
           sections_.gameMode);
    if (!sections_.gameMode) {
        const int top = l.gameModeTop + 33;
        const int bottom = l.gameModeTop + 42;
        const bool game = image[img::kGameMode] != 0;
        const bool lock = image[img::kWinLock] != 0;
        radio(area::kGameModeOn, kGameModeGroup,
              ui::text(live_.language, TR_TEXT("MainWindow", "Game Mode on")),
              {34, top, 44, bottom}, game);
        radio(area::kGameModeOff, kGameModeGroup,
              ui::text(live_.language, TR_TEXT("MainWindow", "Game Mode off")),
              {88, top, 115, bottom}, !game);
        radio(area::kWinLockOn, kWinLockGroup,
              ui::text(live_.language, TR_TEXT("MainWindow", "Win Lock on")),
              {164, top, 174, bottom}, lock);
        radio(area::kWinLockOff, kWinLockGroup,
              ui::text(live_.language, TR_TEXT("MainWindow", "Win Lock off")),
              {218, top, 245, bottom}, !lock);
    }

    // Response Time.
    header(area::kResponseHeader, kResponseHeaderGroup,
           ui::text(live_.language, TR_TEXT("MainWindow", "Response Time")),
           sections_.responseTime);
    if (!sections_.responseTime) {
        auto* field = button(area::kResponseField, kResponseGroup,
                             ui::text(live_.language, TR_TEXT("MainWindow", "Response Time")));
        field->role = QAccessible::ComboBox;
        field->value = QString::fromStdString(performance::responseFieldText(image));
        field->state.hasPopup = true;
        field->state.expandable = true;
        field->state.expanded = responseListOpen_;
        field->state.collapsed = !responseListOpen_;
    }

    // USB Report Rate.
    header(area::kRateHeader, kRateHeaderGroup,
           ui::text(live_.language, TR_TEXT("MainWindow", "USB Report Rate")),
           sections_.reportRate);
    if (!sections_.reportRate) {
        const int v = std::clamp(reportRate_->value(), 0, performance::kReportRateMax);
        if (auto* a = slider(kReportRateArea, kRateGroup, reportRate_,
                             ui::text(live_.language, TR_TEXT("MainWindow", "USB Report Rate")),
                             QString::fromLatin1(kReportRates[v]))) {
            a->steps = {125, 250, 500, 1000};
        }
    }

    // The keyboard picture, by rows as the layout lists them.
    const auto macroName = [this](std::uint8_t n) -> std::string {
        if (n >= live_.committedMacros.countInUse()) return {};
        const std::u16string name = live_.committedMacros[n].name();
        return QString::fromStdU16String(name).toStdString();
    };
    for (std::size_t k = 0; k < keys::kRealKeyCount; ++k) {
        const auto key = static_cast<keys::KeyIndex>(k);
        if (keys::keyRect(key).empty()) continue;
        auto* a = add(kKeyArea + static_cast<int>(k), kKeyboardGroup, QAccessible::Button,
                      QString::fromStdString(keys::pictureKeyName(key, live_.language)),
                      keyRectInWindow(key));
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

    button(area::kProfile, kProfileGroup,
           ui::text(live_.language, TR_TEXT("MainWindow", "Profile")))
        ->state.hasPopup = true;
    button(area::kReturn, kBottomGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Return")))
        ->description =
        ui::text(live_.language, TR_TEXT("MainWindow", "Restore the factory settings"));
    button(area::kCancel, kBottomGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Cancel")));
    button(area::kSave, kBottomGroup, ui::text(live_.language, TR_TEXT("MainWindow", "Save")));

    // An open list or menu takes every click and every key; the rest is still there to read.
    int open = -1;
    if (helpMenuOpen_) {
        open = list(kHelpRow - 1, kHelpMenuGroup, QAccessible::PopupMenu,
                    ui::text(live_.language, TR_TEXT("MainWindow", "Help")), kHelpMenu.toQRect());
        const QString rows[] = {ui::text(live_.language, TR_TEXT("MainWindow", "Tessaron Guide")),
                                ui::text(live_.language, TR_TEXT("MainWindow", "Update Firmware")),
                                utf8(kVersionText)};
        for (int r = 0; r < 3; ++r) {
            auto* a =
                add(kHelpRow + r, kHelpMenuGroup, QAccessible::MenuItem, rows[r], helpRowRect(r));
            a->parent = open;
            a->activatable = r < 2;
            a->focusable = r < 2;
        }
    } else if (effectListOpen_) {
        const auto current = lighting::effectRow(image[img::kEffect]);
        const auto count = static_cast<int>(lighting::kEffectCount);
        open = list(
            kEffectRow - 1, kEffectListGroup, QAccessible::List,
            ui::text(live_.language, TR_TEXT("MainWindow", "Effect")),
            listRowRect(lists::kLeft, lists::kRight, lists::kEffectTop, 0)
                .united(listRowRect(lists::kLeft, lists::kRight, lists::kEffectTop, count - 1)));
        for (int r = 0; r < count; ++r) {
            const auto& e = lighting::effects()[static_cast<std::size_t>(r)];
            auto* a =
                add(kEffectRow + r, kEffectListGroup, QAccessible::ListItem,
                    QString::fromStdString(lighting::effectName(e.code, live_.language)).trimmed(),
                    listRowRect(lists::kLeft, lists::kRight, lists::kEffectTop, r));
            a->parent = open;
            a->state.selectable = true;
            a->state.selected = current == static_cast<std::size_t>(r);
        }
    } else if (responseListOpen_) {
        const auto row = [&](int r) {
            return listRowRect(lists::kResponseLeft, lists::kResponseRight, l.responseListTop, r);
        };
        open = list(kResponseRow - 1, kResponseListGroup, QAccessible::List,
                    ui::text(live_.language, TR_TEXT("MainWindow", "Response Time")),
                    row(0).united(row(performance::kResponseRows - 1)));
        for (int r = 0; r < performance::kResponseRows; ++r) {
            auto* a = add(kResponseRow + r, kResponseListGroup, QAccessible::ListItem,
                          QString::fromStdString(performance::responseRowText(r)), row(r));
            a->parent = open;
            a->state.selectable = true;
            a->state.selected = image[img::kResponseTime] == r + 1;
        }
    }
    if (open >= 0) {
        for (ui::PaintedArea& a : out) {
            if (a.parent == open || a.id == open) continue;
            a.focusable = false;
            a.activatable = false;
        }
    }
    return out;
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
