#pragma once
// For timing a start from outside: with TESSARON_REPORT_FIRST_PAINT set in the environment, the
// line "first paint" goes to standard output once a window has been painted for the first time
// (after its paint event and the flush to the screen that ends it). `make bench` reads it with
// its own clock, for the program and for an empty Qt window program alike.

class QWidget;

namespace tessaron::ui {

inline constexpr const char* kReportFirstPaintVariable = "TESSARON_REPORT_FIRST_PAINT";

// Watches `window` when the variable is set; does nothing otherwise.
void reportFirstPaint(QWidget& window);

}  // namespace tessaron::ui
