#include "ui/app_style.h"

#include <QApplication>
#include <QIcon>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>

#include "ui/theme.h"

namespace tessaron::ui {

namespace {

// Fusion draws every control from the palette, so it takes the dark colours whole; the desktop's
// style would mix its own light pieces in. Icons come from the generated set, none from the
// desktop's icon theme.
class AppStyle final : public QProxyStyle {
public:
    explicit AppStyle(QString iconFolder)
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))),
          iconFolder_(std::move(iconFolder)) {}

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        switch (icon) {
            case SP_MessageBoxInformation:
                return generated(QStringLiteral("information"));
            case SP_MessageBoxWarning:
                return generated(QStringLiteral("warning"));
            case SP_MessageBoxCritical:
                return generated(QStringLiteral("critical"));
            case SP_MessageBoxQuestion:
                return generated(QStringLiteral("question"));
            case SP_DialogOkButton:
            case SP_DialogCancelButton:
            case SP_DialogHelpButton:
            case SP_DialogOpenButton:
            case SP_DialogSaveButton:
            case SP_DialogCloseButton:
            case SP_DialogApplyButton:
            case SP_DialogResetButton:
            case SP_DialogDiscardButton:
            case SP_DialogYesButton:
            case SP_DialogNoButton:
            case SP_DialogAbortButton:
            case SP_DialogRetryButton:
            case SP_DialogIgnoreButton:
            case SP_DialogYesToAllButton:
            case SP_DialogNoToAllButton:
            case SP_DialogSaveAllButton:
                return {};
            default:
                return QProxyStyle::standardIcon(icon, option, widget);
        }
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QIcon generated(const QString& name) const {
        if (iconFolder_.isEmpty()) return {};
        // QIcon picks "name@2x.png" beside the file by itself on dense screens.
        const QString path = iconFolder_ + name + QStringLiteral(".png");
        QIcon icon(path);
        return icon.availableSizes().isEmpty() ? QIcon() : icon;
    }

    QString iconFolder_;
};

QPalette darkPalette() {
    QPalette p;
    const QColor disabledText = theme::kTextDim.darker(140);
    p.setColor(QPalette::Window, theme::kPanel);
    p.setColor(QPalette::WindowText, theme::kText);
    p.setColor(QPalette::Base, theme::kPanelSunken);
    p.setColor(QPalette::AlternateBase, theme::kCard);
    p.setColor(QPalette::ToolTipBase, theme::kPanelRaised);
    p.setColor(QPalette::ToolTipText, theme::kText);
    p.setColor(QPalette::PlaceholderText, theme::kTextDim);
    p.setColor(QPalette::Text, theme::kText);
    p.setColor(QPalette::Button, theme::kPanelRaised);
    p.setColor(QPalette::ButtonText, theme::kText);
    p.setColor(QPalette::BrightText, theme::kAccentBright);
    p.setColor(QPalette::Light, theme::kBorderLight);
    p.setColor(QPalette::Midlight, theme::kBorder);
    p.setColor(QPalette::Mid, theme::kBorder);
    p.setColor(QPalette::Dark, theme::kPanelSunken);
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, theme::kAccent);
    p.setColor(QPalette::HighlightedText, theme::kText);
    p.setColor(QPalette::Link, theme::kAccentBright);
    p.setColor(QPalette::LinkVisited, theme::kAccent);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, disabledText);
    }
    p.setColor(QPalette::Disabled, QPalette::Highlight, theme::kBorder);
    return p;
}

}  // namespace

QString appStyleSheet() {
    return QStringLiteral(
               "QMenu { background: %1; color: %2; border: 1px solid %3; padding: 3px; }"
               "QMenu::item { padding: 4px 18px 4px 12px; }"
               "QMenu::item:selected { background: %4; }"
               "QMenu::separator { height: 1px; background: %5; margin: 3px 6px; }"
               "QToolTip { background: %6; color: %2; border: 1px solid %3; padding: 2px; }"
               // The tray's own balloon (where the desktop shows no notifications) fixes a pale
               // yellow of its own; its texts would take the white of the rest.
               "QBalloonTip { background-color: %6; color: %2; }"
               "QBalloonTip QLabel { color: %2; background: transparent; }")
        .arg(theme::kPanel.name(), theme::kText.name(), theme::kBorderLight.name(),
             theme::kAccent.name(), theme::kBorder.name(), theme::kPanelRaised.name());
}

void applyAppStyle(QApplication& app, const QString& iconFolder) {
    QApplication::setStyle(new AppStyle(iconFolder));  // the application owns it
    QApplication::setPalette(darkPalette());
    app.setStyleSheet(appStyleSheet());
}

}  // namespace tessaron::ui
