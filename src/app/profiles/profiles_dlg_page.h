#pragma once
// The profiles panel as the main window opens it (Pages::profiles): one panel, made on first
// use and kept, re-opened over the window at each click of the Profile button. The window
// itself waits and refreshes afterwards.

#include <QRect>

#include <functional>

#include "app/shell/live_config.h"
#include "app/profiles/profiles_dlg_prompts.h"
#include "core/clock.h"

class QWidget;

namespace tessaron::app {

using ProfilesPage =
    std::function<void(QWidget* parent, LiveConfig& live, const QRect& windowRect)>;

// prompts and clock: null for real boxes and choosers and the system clock; when given they
// must outlive the page. openRules: the menu entry for the switching rules (unset: none).
ProfilesPage profilesPage(ProfilesPrompts* prompts = nullptr, Clock* clock = nullptr,
                          std::function<void(QWidget* over)> openRules = {});

}  // namespace tessaron::app
