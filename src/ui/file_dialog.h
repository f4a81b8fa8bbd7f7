#pragma once
// Qt's own file dialog, sized so that its detail columns (size, type, date) show whole.

class QFileDialog;

namespace tessaron::ui {

// Call before exec(). Leaves a native dialog alone.
void fitFileDialog(QFileDialog& dialog);

}  // namespace tessaron::ui
