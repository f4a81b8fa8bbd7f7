// The macro manager's areas, described once for the paint, the clicks, screen readers and the
// keyboard. Its lists and the loop-count field are widgets of their own; the buttons and options
// are painted.

#include <QLineEdit>

#include <algorithm>

#include "app/macro_manager/macro_manager_dlg.h"
#include "ui/panel_painter.h"
#include "ui/text.h"
#include "ui/transparent_list_box.h"

namespace tessaron::app {

using macromgr::Button;

namespace {

constexpr int kMacroListArea = 101;
constexpr int kEventListArea = 102;
constexpr int kLoopFieldArea = 103;

enum Group {
    kTitleGroup,
    kMacroListGroup,
    kEventListGroup,
    kRecordGroup,
    kRecordDelayGroup,
    kLoopsGroup,
    kLoopFieldGroup,
    kEditGroup,
    kEndGroup,
    kNoticeGroup,
};

}  // namespace

std::vector<ui::WindowArea> CMacroRecordDlg::areaTable() const {
    using namespace macromgr;
    const Texts& t = texts();
    std::vector<ui::WindowArea> out;
    const auto add = [&](int id, int group, QAccessible::Role role, QString name, QRect rect) {
        return ui::addArea(out, id, group, role, std::move(name), rect);
    };
    // Read, never a stop for the keyboard or a click.
    const auto text = [&](int id, int group, QString name, QRect rect) {
        auto* a = add(id, group, QAccessible::StaticText, std::move(name), rect);
        a->activatable = false;
        a->focusable = false;
        a->hit = false;
        return a;
    };
    const auto widget = [&](int id, int group, QWidget* w, const QString& name,
                            QAccessible::Role role) {
        if (w->accessibleName() != name) w->setAccessibleName(name);
        auto* a = add(id, group, role, name, w->geometry());
        a->widget = w;
        a->activatable = false;
        a->hit = false;
        if (!w->isEnabled()) {
            // The loop field while Number of Loops is off: read, never a stop for Tab.
            a->state.disabled = true;
            a->focusable = false;
        }
    };
    // A button's picture lights up under the pointer; its name is painted centred on it.
    const auto button = [&](Button b, int group, const QString& name, const ui::Rect& r,
                            const char* picture, const char* hoverPicture) {
        auto* a = add(static_cast<int>(b), group, QAccessible::Button, name, r.toQRect());
        a->picture = picture;
        a->hoverPicture = hoverPicture;
        a->pictureAt = a->rect.topLeft();
        a->labelCentred = true;
        a->labelHeight = kButtonLabelSize;
        return a;
    };
    const auto option = [&](Button b, int group, const QString& name, const ui::Rect& r,
                            bool on) {
        auto* a = add(static_cast<int>(b), group, QAccessible::CheckBox, name, r.toQRect());
        a->state.checkable = true;
        a->state.checked = on;
        a->picture = on ? kOptionOnImage : kOptionOffImage;
        a->pictureAt = a->rect.topLeft();
        return a;
    };
    const auto label = [](ui::WindowArea* a, QPoint at, int height) {
        a->labelled = true;
        a->labelAt = at;
        a->labelHeight = height;
    };

    label(text(kTitleArea, kTitleGroup, t.title, QRect(kTitlePos, QSize(250, 22))), kTitlePos,
          kTitleSize);
    // Painted, not read: a text with the room it may take.
    const auto painted = [&](int id, const QString& name, QPoint at, int height, QRect room) {
        auto* a = text(id, kTitleGroup, name, room);
        a->readable = false;
        label(a, at, height);
        return a;
    };
    struct Heading {
        QString name;
        QPoint at;
        int left;
        int right;
    };
    const Heading headings[] = {
        {t.macroHeading, kMacroHeadingPos, kMacroPaneLeft, kMacroHeadingRight},
        {t.eventHeading, kEventHeadingPos, kEventPaneLeft, kEventHeadingRight},
        {t.optionsHeading, kOptionsHeadingPos, kOptionsPaneLeft, kOptionsHeadingRight}};
    for (int i = 0; i < 3; ++i) {
        const Heading& h = headings[i];
        // Clear of the pane's borders.
        painted(kHeadingArea + i, h.name, h.at, kHeadingSize,
                QRect(QPoint(h.left + 3, h.at.y()), QPoint(h.right - 1, h.at.y() + kHeadingSize)));
    }
    widget(kMacroListArea, kMacroListGroup, macroList_, t.macroHeading, QAccessible::List);
    widget(kEventListArea, kEventListGroup, eventList_, t.eventHeading, QAccessible::List);
    auto* record = button(Button::Record, kRecordGroup,
                          manager_.recording() ? t.stopRecording : t.startRecording, kRecordButton,
                          kRecordNormalImage, kRecordOverImage);
    if (manager_.recording() && keyboardRecording_) {
        record->description = ui::text(
            language_,
            TR_TEXT(
                "MacroManager",
                "every key is recorded; recording ends when no key has been pressed for a moment"));
    }
    QString delayName;
    for (const QString& part : t.recordDelay) {
        if (part.isEmpty()) continue;
        if (!delayName.isEmpty() && language_ != Language::Chinese) delayName += QLatin1Char(' ');
        delayName += part;
    }
    // The option's painted label is the lines of t.recordDelay, the middle one beside its box.
    option(Button::RecordDelay, kRecordDelayGroup, delayName, kRecordDelayBox,
           manager_.recordDelay());
    for (int i = 0; i < 3; ++i) {
        if (t.recordDelay[i].isEmpty()) continue;
        const QPoint at = kRecordDelayTextPos[i];
        const int right = i == 1 ? kRecordDelayBox.left - 2 : kOptionsRight;
        painted(kRecordDelayLine + i, t.recordDelay[i], at, kLabelSize,
                QRect(at, QPoint(right, at.y() + kLabelSize)));
    }
    auto* loops = option(Button::Loops, kLoopsGroup, t.loops, kLoopsBox, manager_.loopsOn());
    label(loops, kLoopsTextPos, kLabelSize);
    loops->labelRoom = QRect(kLoopsTextPos, QPoint(kOptionsRight, kLoopsTextPos.y() + kLabelSize));
    widget(kLoopFieldArea, kLoopFieldGroup, loopField_, t.loops, QAccessible::EditableText);
    button(Button::New, kEditGroup, t.newButton, kNewButton, kButtonNormalImage,
           kButtonOverImage);
    button(Button::Delete, kEditGroup, t.deleteButton, kDeleteButton, kButtonNormalImage,
           kButtonOverImage);
    button(Button::Ok, kEndGroup, t.ok, kOkButton, kButtonNormalImage, kButtonOverImage);
    button(Button::Cancel, kEndGroup, t.cancel, kCancelButton, kButtonNormalImage,
           kButtonOverImage);
    if (!notice_.isEmpty()) text(kNoticeArea, kNoticeGroup, notice_, QRect(20, 398, 252, 30));
    std::vector<ui::WindowArea*> lines;
    for (ui::WindowArea& a : out) {
        if (a.id >= kRecordDelayLine && a.id < kRecordDelayLine + 3) {
            lines.push_back(&a);
        } else if (a.labelled) {
            ui::fitLabel(a, 0, a.labelRoom.isEmpty() ? a.rect : a.labelRoom);
        }
    }
    // The lines of one sentence keep one size; what still runs over moves left.
    if (!ui::fitLabelGroup(lines, kLabelSize)) {
        for (ui::WindowArea* a : lines) ui::fitLabel(*a, 0, a->rect);
    }
    return out;
}

std::vector<ui::PaintedArea> CMacroRecordDlg::paintedAreas() const {
    return ui::readableAreas(areaTable());
}

Button CMacroRecordDlg::buttonAt(QPoint pos) const {
    const int id = ui::areaAt(areaTable(), pos);
    return id < 0 ? Button::None : static_cast<Button>(id);
}

void CMacroRecordDlg::activatePaintedArea(int id) {
    if (id < static_cast<int>(Button::Record) || id > static_cast<int>(Button::Cancel)) return;
    const auto button = static_cast<Button>(id);
    if (button == Button::Record) {
        // Started from the keyboard (or a reader): it ends by itself after a quiet moment.
        const bool starting = !manager_.recording();
        pressButton(button);
        keyboardRecording_ = starting && manager_.recording();
        recordingHeld_.clear();
        if (keyboardRecording_) {
            quietSince_ = quietClock_->now();
            quietTimer_.start();
        }
        update();
        return;
    }
    pressButton(button);
}

void CMacroRecordDlg::keyboardRecordingKey(qint64 vk, bool release) {
    if (!keyboardRecording_) return;
    if (!manager_.recording()) {
        keyboardRecording_ = false;
        return;
    }
    if (release) {
        recordingHeld_.erase(std::remove(recordingHeld_.begin(), recordingHeld_.end(), vk),
                             recordingHeld_.end());
    } else if (std::find(recordingHeld_.begin(), recordingHeld_.end(), vk) ==
               recordingHeld_.end()) {
        recordingHeld_.push_back(vk);
    }
    quietSince_ = quietClock_->now();
}

}  // namespace tessaron::app
