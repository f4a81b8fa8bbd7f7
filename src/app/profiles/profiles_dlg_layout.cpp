#include "app/profiles/profiles_dlg_layout.h"

#include "ui/text.h"

namespace tessaron::app::profilesdlg {

Texts texts(Language lang) {
    return Texts{
        ui::text(lang, TR_TEXT("ProfilesPanel", "Profile")),
        ui::text(lang, TR_TEXT("ProfilesPanel", "New")),
        ui::text(lang, TR_TEXT("ProfilesPanel", "Delete")),
        ui::text(lang, TR_TEXT("ProfilesPanel", "Copy")),
        ui::text(lang, TR_TEXT("ProfilesPanel", "Save")),
        ui::text(lang, TR_TEXT("ProfilesPanel", "Load")),
    };
}

QString commandLabel(Command command, Language lang) {
    const Texts t = texts(lang);
    switch (command) {
        case Command::New:
            return t.newLabel;
        case Command::Copy:
            return t.copyLabel;
        case Command::Save:
            return t.saveLabel;
        case Command::Load:
            return t.loadLabel;
        case Command::Delete:
            return t.deleteLabel;
    }
    return {};
}

}  // namespace tessaron::app::profilesdlg
