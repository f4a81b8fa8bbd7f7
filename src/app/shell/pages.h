#pragma once
// The modal pages the main window opens. Each is optional: until a page is given, the click
// that would open it does nothing.

#include <QRect>

#include <functional>

#include "app/shell/live_config.h"
#include "keys/key_layout.h"

class QWidget;

namespace tessaron::app {

struct Pages {
    // The key page for one key; the pending assignment of live is filled on OK. Returns true
    // on OK.
    std::function<bool(QWidget* parent, LiveConfig& live, keys::KeyIndex key)> keyPage;
    // The macro manager on live.committedMacros, replaced on OK. Returns true on OK.
    std::function<bool(QWidget* parent, LiveConfig& live)> macroManager;
    // The profiles panel; windowRect is the main window's screen rectangle.
    std::function<void(QWidget* parent, LiveConfig& live, const QRect& windowRect)> profiles;
};

}  // namespace tessaron::app
