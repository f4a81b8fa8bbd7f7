#pragma once
// Qt's own texts (standard buttons, file dialogs) in the interface language rather than the
// desktop's locale, from the distribution's Qt translations.

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

#include "core/language.h"

namespace tessaron::ui {

// Installs (or, for English, removes) the translation of Qt's own texts. Returns false when the
// Chinese translation is not installed; Qt's English texts then stay.
inline bool installQtTranslations(Language lang) {
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    if (lang != Language::Chinese) return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

}  // namespace tessaron::ui
