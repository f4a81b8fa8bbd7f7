#pragma once
// The windows' texts: from the translations compiled by lrelease (tessaron_<code>.qm, built into
// the program), in the language given, which is the window's own and not necessarily the one
// installed for the application.

#include <QString>

#include "core/language.h"
#include "core/text.h"

namespace tessaron::ui {

// The text in the language; the English source when the language has no translation for it.
QString text(Language lang, const Text& text);

// The file name of the language's translation without ".qm" (tessaron_zh_CN), empty for English.
QString translationName(Language lang);

}  // namespace tessaron::ui
