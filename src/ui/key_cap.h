#pragma once
// One key of the keyboard picture, drawn the same way by the image generator (plain and
// highlighted pictures) and by the main window over the picture (keys lit in DIY mode), so a
// lit key covers exactly the key under it, legend inside its top.

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

namespace tessaron::ui {

struct KeyCapColours {
    QColor sideTop, sideBottom;  // the cap's sides, seen around its top
    QColor faceTop, faceBottom;  // its top
    QColor border;               // the top's edge
    QColor legend;
};

KeyCapColours plainKeyCap();
KeyCapColours highlightedKeyCap();
// A key lit in one colour, its legend dark or light as the colour needs.
KeyCapColours litKeyCap(const QColor& light);

// outer: the key's rectangle in the picture (keys::keyRect). The top lies inside it.
QRectF keyCapTop(const QRectF& outer);

// Where and how the legend goes: the largest size up to 9 px at which it fits the key's top.
struct KeyLegend {
    QRectF area;
    int flags;
    QFont font;
};
KeyLegend keyLegend(const QRectF& outer, const QString& legend);
void drawKeyCap(QPainter& p, const QRectF& outer, const QString& legend,
                const KeyCapColours& colours);

}  // namespace tessaron::ui
