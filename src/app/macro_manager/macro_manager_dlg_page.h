#pragma once
// The macro manager as the main window opens it (Pages::macroManager): modal over the window,
// on a working copy of live.committedMacros that replaces it on OK. Packing the slots and
// writing the files after OK is the window's part.

#include <functional>

#include "app/shell/live_config.h"
#include "app/macro_manager/macro_manager_dlg_prompts.h"
#include "core/clock.h"
#include "macros/key_hook.h"

class QWidget;

namespace tessaron::app {

using MacroManagerPage = std::function<bool(QWidget* parent, LiveConfig& live)>;

// Null arguments: real message boxes, the system clock and the keyboard-hook library. When
// given they must outlive the page.
MacroManagerPage macroManagerPage(MacroManagerPrompts* prompts = nullptr,
                                  const Clock* clock = nullptr, macros::KeyHook* hook = nullptr);

}  // namespace tessaron::app
