#pragma once
// The interface language's translations for the application (QCoreApplication::translate) and
// for Qt's own texts (standard buttons, file dialogs), rather than the desktop's locale.

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

#include "core/language.h"
#include "ui/text.h"

namespace tessaron::ui {

// Installs (or, for English, removes) the application's translation and that of Qt's own
// texts. Returns false when Qt's Chinese translation is not installed; Qt's English texts then
// stay.
inline bool installQtTranslations(Language lang) {
    static std::unique_ptr<QTranslator> installed;
    static std::unique_ptr<QTranslator> own;
    for (auto* t : {&installed, &own}) {
        if (*t) {
            QCoreApplication::removeTranslator(t->get());
            t->reset();
        }
    }
    if (const QString name = translationName(lang); !name.isEmpty()) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(name, QStringLiteral(":/i18n"))) {
            QCoreApplication::installTranslator(translator.get());
            own = std::move(translator);
        }
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
