#pragma once
// Where everything of the macro manager sits (window pixels) and what it says in each language.
// The images are drawn for this geometry, so the numbers are part of the look.

#include <QPoint>
#include <QRect>
#include <QString>

#include "core/language.h"
#include "ui/geometry.h"

namespace tessaron::app::macromgr {

// --- Images of the window's image folder.
inline constexpr const char* kBackgroundImage = "MacroManagement.png";
inline constexpr const char* kRecordNormalImage = "Record-normal.png";
inline constexpr const char* kRecordOverImage = "Record-over.png";
inline constexpr const char* kOptionOffImage = "Pane.png";
inline constexpr const char* kOptionOnImage = "PaneMakingTick.png";
inline constexpr const char* kButtonNormalImage = "button-new-normal.png";
inline constexpr const char* kButtonOverImage = "button-new-over.png";

// --- Texts and their sizes.
inline constexpr QPoint kTitlePos{16, 9};
inline constexpr int kTitleSize = 18;
inline constexpr QPoint kMacroHeadingPos{39, 60};
inline constexpr QPoint kEventHeadingPos{151, 60};
inline constexpr QPoint kOptionsHeadingPos{311, 60};
inline constexpr int kHeadingSize = 15;
// Left and right edges of the panes under the headings (the pane pictures' own); a heading too
// long for its pane is drawn smaller, then further left.
inline constexpr int kMacroPaneLeft = 13;
inline constexpr int kEventPaneLeft = 143;
inline constexpr int kOptionsPaneLeft = 283;
inline constexpr int kMacroHeadingRight = 139;
inline constexpr int kEventHeadingRight = 268;
inline constexpr int kOptionsHeadingRight = 399;
// The options' labels end this far in, clear of the pane's border.
inline constexpr int kOptionsRight = kOptionsHeadingRight - 3;
inline constexpr int kLabelSize = 13;
inline constexpr int kButtonLabelSize = 13;
inline constexpr QPoint kRecordDelayTextPos[3] = {{290, 153}, {290, 168}, {290, 183}};
inline constexpr QPoint kLoopsTextPos{295, 300};

// --- Lists.
inline constexpr QRect kMacroListRect{20, 80, 113, 275};
inline constexpr QRect kEventListRect{150, 80, 113, 275};
inline constexpr int kListFontSize = 13;

// --- Areas (the window's area table places them).
inline constexpr ui::Rect kRecordButton{290, 100, 379, 124};
inline constexpr ui::Rect kRecordDelayBox{368, 168, 382, 182};
inline constexpr ui::Rect kLoopsBox{296, 315, 310, 329};
inline constexpr QRect kLoopField{296, 331, 84, 18};
inline constexpr ui::Rect kNewButton{20, 368, 77, 392};
inline constexpr ui::Rect kDeleteButton{80, 368, 137, 392};
inline constexpr ui::Rect kOkButton{280, 400, 337, 424};
inline constexpr ui::Rect kCancelButton{340, 400, 397, 424};

// The loop-count field takes this many digits.
inline constexpr int kLoopFieldDigits = 3;
// The timer that carries edited macro names into the records.
inline constexpr int kNameTimerMs = 100;

// Area ids of the buttons and options.
enum class Button { None, Record, RecordDelay, Loops, New, Delete, Ok, Cancel };
// Area ids of the texts.
inline constexpr int kTitleArea = 100;
inline constexpr int kNoticeArea = 104;
// Painted only (their panes are read by the lists' names, the lines by the option's).
inline constexpr int kHeadingArea = 110;     // + pane
inline constexpr int kRecordDelayLine = 120;  // + line

struct Texts {
    QString title;
    QString macroHeading;
    QString eventHeading;
    QString optionsHeading;
    QString startRecording;
    QString stopRecording;
    QString recordDelay[3];  // the Chinese label has two lines; the third is then empty
    QString loops;
    QString newButton;
    QString deleteButton;
    QString ok;
    QString cancel;
    // Context menu of the event list.
    QString insertBefore;
    QString insertAfter;
    QString insertMouseKey;
    QString left;
    QString right;
    QString middle;
    QString down;
    QString up;
    QString click;
    QString insertDelay;
    QString deleteEvent;
    // Names of undo steps.
    QString recorded;
    QString inserted;
    QString renamed;
    QString delayChanged;
};

const Texts& texts(Language lang);

}  // namespace tessaron::app::macromgr
