#include "app/macro_manager/macro_manager_dlg_page.h"

#include <QFile>

#include "app/macro_manager/macro_manager_dlg.h"
#include "ui/image_folders.h"

namespace tessaron::app {

MacroManagerPage macroManagerPage(MacroManagerPrompts* prompts, const Clock* clock,
                                  macros::KeyHook* hook) {
    return [prompts, clock, hook](QWidget* parent, LiveConfig& live) {
        MacroManagerSetup setup;
        const QString base = QFile::decodeName(QByteArray::fromStdString(live.imageBase.string()));
        setup.imageFolder = ui::imageFolder(base, live.language, ui::Panel::MacroManagement);
        setup.language = live.language;
        setup.clock = clock;
        setup.hook = hook;
        setup.prompts = prompts;
        CMacroRecordDlg dlg(live.committedMacros, setup, parent);
        return dlg.exec() == QDialog::Accepted;
    };
}

}  // namespace tessaron::app
