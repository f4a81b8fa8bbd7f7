#include "ui/menu_style.h"

#include <QMenu>

#include "ui/panel_painter.h"
#include "ui/theme.h"

namespace tessaron::ui {

void styleMenu(QMenu& menu) {
    menu.setFont(panelFont(13, 400));
    menu.setStyleSheet(
        QStringLiteral("QMenu { background: %1; color: %2; border: 1px solid %3; padding: 3px; }"
                       "QMenu::item { padding: 4px 18px 4px 12px; }"
                       "QMenu::item:selected { background: %4; }")
            .arg(theme::kPanel.name(), theme::kText.name(), theme::kBorderLight.name(),
                 theme::kAccent.name()));
}

}  // namespace tessaron::ui
