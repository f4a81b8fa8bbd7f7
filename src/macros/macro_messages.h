#pragma once
// The texts the macro manager shows, in both interface languages. The window owns the message
// boxes; the operations return these as their errors.

#include "core/result.h"

namespace tessaron::macros::messages {

// Captions: Start Recording's message uses the first, every other message the second.
inline Error recordCaption() {
    return makeError(TR_TEXT("Macros", "Macro Manager"));
}
inline Error managerCaption() {
    return makeError(TR_TEXT3("Macros", "Macro Manager", "managerCaption"));
}

inline Error confirmDelete() {
    return makeError(TR_TEXT("Macros", "Confirm to delete?"));
}
inline Error selectToRecord() {
    return makeError(TR_TEXT("Macros", "Please select a Macro file to record \n"));
}
inline Error selectToDelete() {
    return makeError(TR_TEXT("Macros", "Please select a Macro file to delete\n"));
}
inline Error editCurrentDelay() {
    return makeError(TR_TEXT("Macros", "Please edit current delay\n"));
}

inline Error macroFull() {
    return makeError(TR_TEXT("Macros", "The macro is full: there is no room left for this event."));
}
inline Error keyNotPlayable() {
    return makeError(TR_TEXT("Macros", "This key cannot be played by the keyboard, so it is not recorded."));
}
inline Error emptyName() {
    return makeError(TR_TEXT("Macros", "A macro needs a name; the empty name was not taken."));
}
inline Error nameTooLong() {
    return makeError(TR_TEXT("Macros", "A macro name can be at most 254 characters long."));
}
inline Error noSuchLine() {
    return makeError(TR_TEXT("Macros", "The selected line is not part of this macro."));
}
inline Error badLoopCount() {
    return makeError(TR_TEXT("Macros", "The number of loops takes at most three digits."));
}
inline Error noMacroSelected() {
    return makeError(TR_TEXT("Macros", "Please select a macro first."));
}

}  // namespace tessaron::macros::messages
