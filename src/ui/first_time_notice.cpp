#include "ui/first_time_notice.h"

#include <QSettings>

namespace tessaron::ui {

bool firstTimeFor(const QString& settingsFile, const QString& key) {
    QSettings settings(settingsFile, QSettings::IniFormat);
    const QString entry = QStringLiteral("Notices/") + key;
    if (settings.value(entry, false).toBool()) return false;
    settings.setValue(entry, true);
    settings.sync();
    return true;
}

}  // namespace tessaron::ui
