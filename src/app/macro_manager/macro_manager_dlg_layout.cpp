#include "app/macro_manager/macro_manager_dlg_layout.h"

#include <map>

#include <QStringList>

#include "ui/text.h"

namespace tessaron::app::macromgr {

namespace {

Texts makeTexts(Language lang) {
    const auto say = [lang](const Text& t) { return ui::text(lang, t); };
    Texts t;
    t.title = say(TR_TEXT("MacroManager", "Macro Manager"));
    t.macroHeading = say(TR_TEXT("MacroManager", "Select Macro"));
    t.eventHeading = say(TR_TEXT("MacroManager", "Keystrobe Sequence"));
    t.optionsHeading = say(TR_TEXT("MacroManager", "Options"));
    t.startRecording = say(TR_TEXT("MacroManager", "Start Recording"));
    t.stopRecording = say(TR_TEXT("MacroManager", "Stop Recording"));
    // One text of up to three lines (the Chinese label has two).
    const QStringList delay =
        say(TR_TEXT("MacroManager", "Record Delay\nbetween\nkeystrokes")).split(QLatin1Char('\n'));
    for (int i = 0; i < 3; ++i) t.recordDelay[i] = i < delay.size() ? delay[i] : QString();
    t.loops = say(TR_TEXT("MacroManager", "Number of Loops"));
    t.newButton = say(TR_TEXT("MacroManager", "New"));
    t.deleteButton = say(TR_TEXT("MacroManager", "Delete"));
    t.ok = say(TR_TEXT("MacroManager", "OK"));
    t.cancel = say(TR_TEXT("MacroManager", "Cancel"));
    t.insertBefore = say(TR_TEXT("MacroManager", "Insert Before"));
    t.insertAfter = say(TR_TEXT("MacroManager", "Insert After"));
    t.insertMouseKey = say(TR_TEXT("MacroManager", "Insert Mouse Key"));
    t.left = say(TR_TEXT("MacroManager", "Left"));
    t.right = say(TR_TEXT("MacroManager", "Right"));
    t.middle = say(TR_TEXT("MacroManager", "Middle"));
    t.down = say(TR_TEXT("MacroManager", "Down"));
    t.up = say(TR_TEXT("MacroManager", "Up"));
    t.click = say(TR_TEXT("MacroManager", "Click"));
    t.insertDelay = say(TR_TEXT("MacroManager", "Insert Delay"));
    t.deleteEvent = say(TR_TEXT("MacroManager", "Delete"));
    t.recorded = say(TR_TEXT("MacroManager", "Recording"));
    t.inserted = say(TR_TEXT("MacroManager", "Insert Key"));
    t.renamed = say(TR_TEXT("MacroManager", "Rename"));
    t.delayChanged = say(TR_TEXT("MacroManager", "Edit Delay"));
    return t;
}

}  // namespace

const Texts& texts(Language lang) {
    static std::map<Language, Texts> made;  // the translations do not change while running
    auto found = made.find(lang);
    if (found == made.end()) found = made.emplace(lang, makeTexts(lang)).first;
    return found->second;
}

}  // namespace tessaron::app::macromgr
