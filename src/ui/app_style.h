#pragma once
// One look for every window the program opens: the image-drawn panels and the standard ones
// (message boxes, file choosers, the About box, menus, tool tips) share the palette of theme.h.

#include <QString>

class QApplication;

namespace tessaron::ui {

// Sets the dark style, palette and style sheet for the whole application. `iconFolder` holds the
// message box icons the image generator draws ("icons/information.png", "warning", "critical",
// "question", each also at @2x); without them message boxes show no icon rather than one of
// another look.
void applyAppStyle(QApplication& app, const QString& iconFolder);

// The style sheet applied with it (for windows that set their own and must keep the look).
QString appStyleSheet();

}  // namespace tessaron::ui
