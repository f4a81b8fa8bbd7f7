#pragma once
// The dark pop-up menu of the panels, so every right-click menu looks like the windows it opens
// from.

class QMenu;

namespace tessaron::ui {

// Popups are windows of their own: fonts do not reach submenus from their parent menu, so each
// submenu is styled too.
void styleMenu(QMenu& menu);

}  // namespace tessaron::ui
