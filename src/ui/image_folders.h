#pragma once
// Where each window finds its images: <base>/png/<language>/<panel>/. The base folder is the
// program's data folder; it is handed to every window that draws from images.

#include <QString>

#include "core/language.h"

namespace tessaron::ui {

enum class Panel {
    Main,             // main window with its lighting and performance sections
    Config,           // profiles panel
    Custom,           // key customization page
    MacroManagement,  // macro manager
};

// "chinese" for Language::Chinese, "pseudo" for the test language, "english" otherwise.
QString languageFolderName(Language lang);
// The panel's subfolder name ("" for the main window).
QString panelFolderName(Panel panel);
// base + "png/<language>/" + panel prefix; always ends with '/'.
QString imageFolder(const QString& baseFolder, Language lang, Panel panel);
// base + "png/<language>/SplashScreen.png".
QString splashImagePath(const QString& baseFolder, Language lang);

}  // namespace tessaron::ui
