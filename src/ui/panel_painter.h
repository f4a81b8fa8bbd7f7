#pragma once
// Drawing helpers shared by every image-drawn window: images copied opaque at their natural
// size from the window's image folder, and white "Arial" texts placed by their top-left corner.
// Qt widgets paint through a back buffer already, so each paint is composed off screen.

#include <QFont>
#include <QSize>
#include <QString>

#include <span>

class QPainter;
class QRect;

namespace tessaron::ui {

struct WindowArea;

// The smallest pixel height a label may shrink to and still be read with ease.
inline constexpr int kSmallestTextHeight = 9;

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

// Gives a label too long for its room (a longer language) what room there is: its height
// shrinks a step at a time down to kSmallestTextHeight, then it moves left inside the room.
// A label that fits is left as it is; usualHeight is the window's height when the area
// names none.
void fitLabel(WindowArea& area, int usualHeight, const QRect& room);

// Labels that should look alike (tabs, rows) get the one height, from usualHeight down to
// kSmallestTextHeight, at which each ends inside its room (its labelRoom, else its rect); each
// keeps the middle of its line. False when one still runs past its room at the smallest.
bool fitLabelGroup(std::span<WindowArea* const> group, int usualHeight);

// How a name centred on a button (4 pixels spare each side) is painted: the largest height
// from pixelHeight down to kSmallestTextHeight at which it fits on one line, else the
// smallest, wrapped at spaces (inside a word too long for a line). fits: whether that fits
// the button. Aligned left, the name has the whole room and starts at its left edge.
struct CentredLabel {
    QFont font;
    int flags = 0;
    bool fits = false;
};
CentredLabel centredLabel(const QString& text, const QRect& button, int pixelHeight,
                          Qt::Alignment horizontal = Qt::AlignHCenter);
// Paints a name as centredLabel places it.
void drawCentredLabel(QPainter& painter, const QString& text, const QRect& button, int pixelHeight,
                      const QColor& color, Qt::Alignment horizontal = Qt::AlignHCenter);

}  // namespace tessaron::ui
