// The macro manager's painted areas and its keyboard operation. Its lists and the loop-count
// field are widgets of their own; the buttons and options are painted.

#include <QLineEdit>

#include <algorithm>

#include "app/macro_manager/macro_manager_dlg.h"
#include "ui/text.h"
#include "ui/transparent_list_box.h"

namespace tessaron::app {

using macromgr::Button;

namespace {

constexpr int kTitleArea = 100;
constexpr int kMacroListArea = 101;
constexpr int kEventListArea = 102;
constexpr int kLoopFieldArea = 103;
constexpr int kNoticeArea = 104;

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

std::vector<ui::PaintedArea> CMacroRecordDlg::paintedAreas() const {
    const macromgr::Texts& t = texts();
    std::vector<ui::PaintedArea> out;
    const auto add = [&](int id, int group, QAccessible::Role role, QString name, QRect rect) {
        return ui::addArea(out, id, group, role, std::move(name), rect);
    };
    const auto widget = [&](int id, int group, QWidget* w, const QString& name,
                            QAccessible::Role role) {
        if (w->accessibleName() != name) w->setAccessibleName(name);
        auto* a = add(id, group, role, name, w->geometry());
        a->widget = w;
        a->activatable = false;
        if (!w->isEnabled()) {
            // The loop field while Number of Loops is off: read, never a stop for Tab.
            a->state.disabled = true;
            a->focusable = false;
        }
    };
    const auto button = [&](Button b, int group, const QString& name) {
        return add(static_cast<int>(b), group, QAccessible::Button, name, macromgr::buttonRect(b));
    };
    const auto option = [&](Button b, int group, const QString& name, bool on) {
        auto* a =
            add(static_cast<int>(b), group, QAccessible::CheckBox, name, macromgr::buttonRect(b));
        a->state.checkable = true;
        a->state.checked = on;
    };

    auto* title = add(kTitleArea, kTitleGroup, QAccessible::StaticText, t.title,
                      QRect(macromgr::kTitlePos, QSize(250, 22)));
    title->activatable = false;
    title->focusable = false;
    widget(kMacroListArea, kMacroListGroup, macroList_, t.macroHeading, QAccessible::List);
    widget(kEventListArea, kEventListGroup, eventList_, t.eventHeading, QAccessible::List);
    auto* record = button(Button::Record, kRecordGroup,
                          manager_.recording() ? t.stopRecording : t.startRecording);
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
    option(Button::RecordDelay, kRecordDelayGroup, delayName, manager_.recordDelay());
    option(Button::Loops, kLoopsGroup, t.loops, manager_.loopsOn());
    widget(kLoopFieldArea, kLoopFieldGroup, loopField_, t.loops, QAccessible::EditableText);
    button(Button::New, kEditGroup, t.newButton);
    button(Button::Delete, kEditGroup, t.deleteButton);
    button(Button::Ok, kEndGroup, t.ok);
    button(Button::Cancel, kEndGroup, t.cancel);
    if (!notice_.isEmpty()) {
        auto* notice = add(kNoticeArea, kNoticeGroup, QAccessible::StaticText, notice_,
                           QRect(20, 398, 252, 30));
        notice->activatable = false;
        notice->focusable = false;
    }
    return out;
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
