#include "ui/text.h"

#include <QTranslator>

#include <map>
#include <memory>

namespace tessaron::ui {

namespace {

// One translator per language, loaded on first use and kept for the program's life.
const QTranslator* translatorFor(Language lang) {
    static std::map<Language, std::unique_ptr<QTranslator>> loaded;
    const auto found = loaded.find(lang);
    if (found != loaded.end()) return found->second.get();
    auto translator = std::make_unique<QTranslator>();
    const QString name = translationName(lang);
    if (name.isEmpty() || !translator->load(name, QStringLiteral(":/i18n"))) translator.reset();
    return loaded.emplace(lang, std::move(translator)).first->second.get();
}

}  // namespace

QString translationName(Language lang) {
    switch (lang) {
        case Language::Chinese:
            return QStringLiteral("tessaron_zh_CN");
        case Language::Pseudo:
            return QStringLiteral("tessaron_pseudo");
        case Language::English:
            break;
    }
    return {};
}

QString text(Language lang, const Text& text) {
    if (const QTranslator* translator = translatorFor(lang)) {
        QString translated = translator->translate(text.context, text.source, text.disambiguation);
        if (!translated.isEmpty()) return translated;
    }
    return QString::fromUtf8(text.source);
}

}  // namespace tessaron::ui
