#pragma once
// The About dialog: the program's icon, name and version; closes with OK.

#include <QDialog>

#include "core/language.h"

namespace tessaron::app {

inline constexpr const char* kProgramName = "Tessaron";

class CAboutDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(Language lang, QWidget* parent = nullptr);
};

}  // namespace tessaron::app
