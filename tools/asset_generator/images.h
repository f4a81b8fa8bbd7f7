#pragma once
// One renderer per window; each writes that window's files for one language into
// png/<language>/<panel>/.

#include <QImage>

#include "paint_kit.h"
#include "ui/image_layout.h"

namespace tessaron::assets {

void renderMainWindow(const Lang& lang, Output& out);
void renderKeyPage(const Lang& lang, Output& out);
void renderProfilesPanel(const Lang& lang, Output& out);
void renderMacroManager(const Lang& lang, Output& out);
void renderSplash(const Lang& lang, Output& out);
// Language-independent: png/icons/ (message box icons).
void renderMessageIcons(Output& out);

// The keyboard picture over `under` (the part of the window it covers): keys in their normal
// or their highlighted look. Every key lies at its layout rectangle.
QImage keyboardPicture(const QImage& under, bool highlighted);
inline constexpr int kKeyboardX = ui::layout::kKeyboard.x();
inline constexpr int kKeyboardY = ui::layout::kKeyboard.y();
inline constexpr int kKeyboardWidth = 660;
inline constexpr int kKeyboardHeight = 280;

// The key page's tab button and the strip under the tabs (the main window lists them too).
QImage tabButtonImage();
QImage tabStripImage();

// "english/", "chinese/" or "pseudo/" (with the trailing separator).
QString languageDir(const Lang& lang);

}  // namespace tessaron::assets
