#pragma once
// Runs the key page for one key of the live configuration: the page step of Edit key. The
// window selects the key and reloads the key records before, and applies the result after.

#include "app/shell/live_config.h"
#include "core/clock.h"
#include "keys/key_layout.h"

class QWidget;

namespace tessaron::app {

class KeyPageDialogs;

// The page's setup for the key, read from the live configuration.
struct KeyPageSetup;
KeyPageSetup keyPageSetup(LiveConfig& live, keys::KeyIndex key, KeyPageDialogs* dialogs,
                          Clock* clock = nullptr);

// Runs the page modally; true when it ended with OK (the pending assignment then holds the
// choice). The left Windows key and the Fn key never open it.
bool runKeyPage(QWidget* parent, LiveConfig& live, keys::KeyIndex key,
                KeyPageDialogs* dialogs = nullptr, Clock* clock = nullptr);

}  // namespace tessaron::app
