#include "ui/image_folders.h"

namespace tessaron::ui {

namespace {

QString withSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/'))) return folder;
    return folder + QLatin1Char('/');
}

}  // namespace

QString languageFolderName(Language lang) {
    switch (lang) {
        case Language::Chinese:
            return QStringLiteral("chinese");
        case Language::Pseudo:
            return QStringLiteral("pseudo");
        case Language::English:
            break;
    }
    return QStringLiteral("english");
}

QString panelFolderName(Panel panel) {
    switch (panel) {
        case Panel::Config:
            return QStringLiteral("Config");
        case Panel::Custom:
            return QStringLiteral("Custom");
        case Panel::MacroManagement:
            return QStringLiteral("MacroManagement");
        case Panel::Main:
            break;
    }
    return {};
}

QString imageFolder(const QString& baseFolder, Language lang, Panel panel) {
    QString folder = withSlash(baseFolder) + QStringLiteral("png/") + languageFolderName(lang) +
                     QLatin1Char('/');
    const QString sub = panelFolderName(panel);
    if (!sub.isEmpty()) folder += sub + QLatin1Char('/');
    return folder;
}

QString splashImagePath(const QString& baseFolder, Language lang) {
    return imageFolder(baseFolder, lang, Panel::Main) + QStringLiteral("SplashScreen.png");
}

}  // namespace tessaron::ui
