#pragma once
// Drawing helpers shared by every image-drawn window: images copied opaque at their natural
// size from the window's image folder, and white "Arial" texts placed by their top-left corner.
// Qt widgets paint through a back buffer already, so each paint is composed off screen.

#include <QFont>
#include <QSize>
#include <QString>

class QPainter;

namespace tessaron::ui {

// The interface font: "Arial" (Liberation Sans on Linux) with a CJK fallback, given pixel
// height and weight (300 = light, 700 = bold).
QFont panelFont(int pixelHeight, int weight = 300);

// folder + fileName copied opaque to (x, y) at its own size. A file that cannot be loaded draws
// nothing; returns whether something was drawn.
bool drawPanelImage(QPainter& painter, const QString& folder, const QString& fileName, int x,
                    int y);
// Size of folder + fileName, 0 x 0 when it cannot be loaded.
QSize panelImageSize(const QString& folder, const QString& fileName);

// White text in panelFont(pixelHeight) with its top-left corner at (x, y), no background.
void drawPanelText(QPainter& painter, const QString& text, int x, int y, int pixelHeight);
// The same with another colour and weight (tab labels, list rows).
void drawPanelText(QPainter& painter, const QString& text, int x, int y, const QFont& font,
                   const QColor& color);

}  // namespace tessaron::ui
