#include "app/key_page/key_page_run.h"

#include <QFile>

#include "app/key_page/key_page.h"
#include "keys/key_record.h"
#include "ui/image_folders.h"

namespace tessaron::app {

KeyPageSetup keyPageSetup(LiveConfig& live, keys::KeyIndex key, KeyPageDialogs* dialogs,
                          Clock* clock) {
    KeyPageSetup setup;
    setup.imageFolder = ui::imageFolder(QFile::decodeName(live.imageBase.c_str()), live.language,
                                        ui::Panel::Custom);
    setup.language = live.language;
    setup.pending = &live.pending;
    setup.records = &live.records;
    setup.keyEnabled = keys::keyEnabled(live.image, key);
    setup.macros = &live.committedMacros;
    setup.dialogs = dialogs;
    setup.clock = clock;
    return setup;
}

bool runKeyPage(QWidget* parent, LiveConfig& live, keys::KeyIndex key, KeyPageDialogs* dialogs,
                Clock* clock) {
    if (key >= keys::kLayoutKeyCount || !keys::isAssignable(key)) return false;
    live.pending.selectedKey = key;
    live.pending.selectedVk = keys::layoutVk(key);
    CKeyMap page(keyPageSetup(live, key, dialogs, clock), parent);
    return page.exec() == QDialog::Accepted;
}

}  // namespace tessaron::app
