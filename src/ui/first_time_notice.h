#pragma once
// Notices a user is told once: whether one was given is kept in a small settings file of the
// user's own (an INI file, section [Notices]), so it stays told across starts.

#include <QString>

namespace tessaron::ui {

// True the first time it is asked for this key with this settings file, false afterwards. The
// answer is written before it is returned; a file that cannot be written gives true each time
// (a notice too many is better than one never given).
bool firstTimeFor(const QString& settingsFile, const QString& key);

}  // namespace tessaron::ui
