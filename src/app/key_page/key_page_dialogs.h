#pragma once
// The file and folder choosers and the message box of the key page, behind an interface so
// tests can answer them without a desktop.

#include <QString>
#include <QStringList>

#include <optional>

#include "app/key_page/key_page_model.h"
#include "core/language.h"

class QWidget;

namespace tessaron::app {

class KeyPageDialogs {
public:
    virtual ~KeyPageDialogs() = default;
    // Runs the chooser. Nothing when the user cancelled; the chosen path otherwise, which for
    // the folder chooser may be empty.
    virtual std::optional<QString> choose(QWidget* parent, key_page::Chooser chooser,
                                          Language lang) = 0;
    virtual void message(QWidget* parent, const QString& text, Language lang) = 0;
};

// The name filters of a file chooser, in the interface language, the one shown first first:
// programs (executable files) then all files for Startup, the common audio types then all files
// for Play Sound, all files for Open File. No default suffix is set: Qt's dialog would append it
// to a typed folder name too, and the user could no longer type a way into a folder.
QStringList fileChooserFilters(key_page::Chooser chooser, Language lang);
// Whether the program filter shows this entry: a folder, or a file the user may execute.
bool isProgramOrFolder(const QString& path);

// Qt's own file dialogs, starting in the user's home folder.
class QtKeyPageDialogs final : public KeyPageDialogs {
public:
    std::optional<QString> choose(QWidget* parent, key_page::Chooser chooser,
                                  Language lang) override;
    void message(QWidget* parent, const QString& text, Language lang) override;
};

}  // namespace tessaron::app
