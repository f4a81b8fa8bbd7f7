#pragma once
// The macro manager window, CMacroRecordDlg: a modal, borderless window drawn from the images of
// its folder, with the macro list, the event list of the selected macro, the recording button,
// the two options and the loop count. The editing itself is done by macros::MacroManager; this
// window turns clicks, menu commands and hook messages into its calls, shows what it returns,
// and on OK copies the working table over the committed one.

#include <QDialog>
#include <QMenu>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QUndoStack>

#include <memory>
#include <optional>
#include <vector>

#include "app/macro_manager/macro_manager_dlg_layout.h"
#include "app/macro_manager/macro_manager_dlg_prompts.h"
#include "core/clock.h"
#include "core/language.h"
#include "macros/key_hook.h"
#include "macros/macro_manager.h"
#include "macros/macro_record.h"
#include "ui/accessible_areas.h"
#include "ui/accessible_keys.h"
#include "ui/window_drag.h"

class QLineEdit;

namespace tessaron::ui {
class CTransparentListBox;
}

namespace tessaron::app {

struct MacroManagerSetup {
    QString imageFolder;  // ".../png/<language>/MacroManagement/"
    Language language = Language::English;
    const Clock* clock = nullptr;  // null: the system clock
    // Null: the keyboard-hook library on this window, mode 1.
    macros::KeyHook* hook = nullptr;
    // Null: real message boxes.
    MacroManagerPrompts* prompts = nullptr;
};

class CMacroRecordDlg final : public QDialog, public ui::PaintedAreaSource {
    Q_OBJECT

public:
    // Opens on a working copy of `committed`, which is replaced by it only on OK.
    CMacroRecordDlg(macros::MacroTable& committed, MacroManagerSetup setup,
                    QWidget* parent = nullptr);
    ~CMacroRecordDlg() override;

    // --- Commands of the window, as its buttons and menus call them.
    void pressButton(macromgr::Button button);
    void startStopRecording();
    void newMacro();
    void deleteMacro();
    void toggleRecordDelay();
    void toggleLoops();
    void okPressed();
    void cancelPressed();
    // Cancel, or the window closed otherwise: the working table is dropped.
    void reject() override;
    // The event list's menu for the selected event line; its actions carry out the commands.
    std::unique_ptr<QMenu> eventMenu();

    // --- What the window holds (for the main window's wiring and for tests).
    [[nodiscard]] const macros::MacroManager& manager() const { return manager_; }
    [[nodiscard]] ui::CTransparentListBox* macroList() const { return macroList_; }
    [[nodiscard]] ui::CTransparentListBox* eventList() const { return eventList_; }
    [[nodiscard]] QLineEdit* loopField() const { return loopField_; }
    [[nodiscard]] macromgr::Button hoveredButton() const { return hovered_; }
    // A refusal shown in the window while the hook holds the keyboard; empty when none.
    [[nodiscard]] const QString& notice() const { return notice_; }
    // The interface language's texts of this window.
    [[nodiscard]] const macromgr::Texts& texts() const { return macromgr::texts(language_); }
    // Carries edited names into the records, as the 100 ms timer does.
    void carryNames();

    // ---- This window's own undo history, dropped with it (OK makes it one step of the main
    // window's). Refused while the hook holds the keyboard: Ctrl+Z is then a key of the macro.
    void undo();
    void redo();
    [[nodiscard]] const QUndoStack& history() const { return history_; }
    // Shows a table of an earlier moment with its selection (an undo step's).
    void restoreTable(const macros::MacroTable& table, std::optional<std::size_t> selected);

    // ---- Painted areas, for screen readers and the keyboard (macro_manager_accessible.cpp).
    // The window's areas (macro_manager_areas.cpp): one table that the paint, the clicks,
    // screen readers and the keyboard read.
    [[nodiscard]] std::vector<ui::WindowArea> areaTable() const;
    [[nodiscard]] std::vector<ui::PaintedArea> paintedAreas() const override;
    void activatePaintedArea(int id) override;
    [[nodiscard]] int focusedPaintedArea() const override { return keyboard_.current(); }
    // A recording started from the keyboard ends once no key has been down for this long: every
    // key goes into the macro, so no key could end it.
    static constexpr int kKeyboardRecordingQuietMs = 2500;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void customEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildControls();
    void showMacroList();
    // Refills the event list from the model and selects the given row (else the recorder's).
    void showEvents(std::optional<int> row);
    void showOptions();
    void selectMacroLine(int row);
    void eventListMenuAt(QPoint globalPos);
    [[nodiscard]] std::optional<std::size_t> selectedEventLine() const;
    void report(const Status& status, bool recordCaption = false);
    void macroRenamed(int row, const QString& oldText);
    void delayEdited(int line, int value);
    void setHovered(macromgr::Button button);
    // The button or option under a window point; None outside every one.
    [[nodiscard]] macromgr::Button buttonAt(QPoint pos) const;
    // A keystroke of a recording started from the keyboard: the quiet time starts over.
    void keyboardRecordingKey(qint64 vk, bool release);
    // What changed in the working table since the last step becomes a step named name; equal
    // non-zero mergeKeys of adjacent steps merge (digits typed into the loop field).
    void checkpoint(const QString& name, int mergeKey = 0);

    Language language_;
    QString folder_;
    macros::MacroTable& committed_;
    std::unique_ptr<macros::KeyHook> ownHook_;
    std::unique_ptr<MacroManagerPrompts> ownPrompts_;
    MacroManagerPrompts* prompts_;
    // Declared after the hook it holds on to, so that it lets go of it first.
    macros::MacroManager manager_;

    ui::CTransparentListBox* macroList_ = nullptr;
    ui::CTransparentListBox* eventList_ = nullptr;
    QLineEdit* loopField_ = nullptr;
    QTimer nameTimer_;

    macromgr::Button hovered_ = macromgr::Button::None;
    macromgr::Button pressed_ = macromgr::Button::None;
    ui::WindowDrag drag_;
    // A refusal met while the hook held the keyboard, shown in the window.
    QString notice_;
    bool showingMacros_ = false;  // the macro list is being refilled: ignore its row changes

    ui::AreaKeyboard keyboard_{this};
    bool keyboardRecording_ = false;
    std::vector<qint64> recordingHeld_;  // keys down during a keyboard recording
    // Looks on the setup's clock whether the quiet moment has passed since quietSince_.
    QTimer quietTimer_;
    const Clock* quietClock_ = nullptr;
    Clock::TimePoint quietSince_{};

    QUndoStack history_;
    macros::MacroTable shown_;  // the working table as of the last step
    std::optional<std::size_t> shownSelected_;
    bool restoring_ = false;
};

}  // namespace tessaron::app
