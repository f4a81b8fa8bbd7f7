#pragma once
// Painted windows to screen readers and to the keyboard alone. A window drawn from images
// lists the areas it reacts to (PaintedAreaSource); one accessible interface serves every such
// window, with one child per area, and the same list drives keyboard operation: Tab and
// Shift+Tab move between groups in list order, arrows within a group, Space activates.

#include <QAccessible>
#include <QRect>
#include <QString>

#include <utility>
#include <vector>

class QPainter;
class QWidget;

namespace tessaron::ui {

struct PaintedArea {
    int id = 0;     // stable for as long as the area exists
    int group = 0;  // areas of one group stand together in the list
    QAccessible::Role role = QAccessible::Button;
    QString name;
    QString description;
    QString value;
    QRect rect;  // window pixels
    QAccessible::State state;
    bool activatable = true;
    bool focusable = true;  // false: read, but passed over by the keyboard (a caption)
    // A child widget standing for the area: its own interface is the child, and the keyboard
    // focus goes into it (a list, a tree, a field).
    QWidget* widget = nullptr;
    // A widget the area speaks for (see speakFor): the reader's object for the widget is the
    // area, so the widget's own events (its focus, a slider's value) are the area's, while the
    // window keeps the keyboard.
    QWidget* speaksFor = nullptr;
    // The area this one lies inside (the rows of an open list), or -1: the window.
    int parent = -1;
    // The numbers a slider's positions stand for (the report rates in Hz); empty: the positions.
    std::vector<double> steps;
};

// One row of a painted window's area table: what a reader is told (the painted area), whether a
// click lands on it, and what the paint draws for it. The window's paint, its hit test and its
// accessible tree all read the one table.
struct WindowArea : PaintedArea {
    bool hit = true;       // false: its clicks go elsewhere (a child widget, a picture's keys)
    bool readable = true;  // false: only a click target, nothing to read
    const char* picture = nullptr;       // image of the window's folder drawn at pictureAt
    const char* hoverPicture = nullptr;  // ... while the pointer is over the area
    QPoint pictureAt;
    bool labelled = false;  // the paint writes its label at labelAt
    QPoint labelAt;
    int labelHeight = 0;  // pixel height of the label's font; 0: the window's usual one
    QString label;        // the painted text where it is not the name
    // The paint centres the name in the label's room instead, at labelHeight or smaller,
    // wrapped when it must be (ui::centredLabel); labelAlign may keep it to the room's left.
    bool labelCentred = false;
    Qt::Alignment labelAlign = Qt::AlignHCenter;
    // Where the label may reach when that is not its area's rect (a label beside its box);
    // empty: the rect when the label starts inside it, else the window.
    QRect labelRoom;
    [[nodiscard]] const QRect& centredRoom() const {
        return labelRoom.isEmpty() ? rect : labelRoom;
    }
    [[nodiscard]] const QString& paintedLabel() const { return label.isEmpty() ? name : label; }
};

// Appends an area; the pointer stays good until the next area is added.
inline WindowArea* addArea(std::vector<WindowArea>& out, int id, int group, QAccessible::Role role,
                           QString name, QRect rect) {
    WindowArea& a = out.emplace_back();
    a.id = id;
    a.group = group;
    a.role = role;
    a.name = std::move(name);
    a.rect = rect;
    return &a;
}

// The area with the id, or null.
const WindowArea* findArea(const std::vector<WindowArea>& areas, int id);
// The first area of the table a click at p lands on, or -1.
int areaAt(const std::vector<WindowArea>& areas, QPoint p);
// The areas a reader and the keyboard see, in table order.
std::vector<PaintedArea> readableAreas(std::vector<WindowArea> areas);

void installPaintedAccessibility();

// Marks a widget of a painted window as one an area speaks for, before a reader can ask for it.
void speakFor(QWidget* widget);

class PaintedAreaSource {
public:
    // Before the window can be asked for: an interface once made for it is kept.
    PaintedAreaSource();
    // From here on the window is no source (its QWidget part still lives a little longer).
    virtual ~PaintedAreaSource();
    PaintedAreaSource(const PaintedAreaSource&) = delete;
    PaintedAreaSource& operator=(const PaintedAreaSource&) = delete;
    // In reading order.
    [[nodiscard]] virtual std::vector<PaintedArea> paintedAreas() const = 0;
    // What a click on the area does.
    virtual void activatePaintedArea(int id) = 0;
    // The area holding the keyboard focus mark, or -1.
    [[nodiscard]] virtual int focusedPaintedArea() const = 0;
};

// ---- Keyboard movement over an area list (plain rules, no window needed).
enum class Move { NextGroup, PreviousGroup, Left, Right, Up, Down };

// The area a move lands on from `current` (an id, or -1 for none); -1 when there are no areas.
// Groups are entered on their checked or selected area, else their first; arrows go to the
// nearest area of the same group in that direction, and past the last in list order when no
// area lies that way; a move with nowhere to go stays.
int moveFocus(const std::vector<PaintedArea>& areas, int current, Move move);

// The area with the id, or null.
const PaintedArea* findArea(const std::vector<PaintedArea>& areas, int id);

// ---- The accessible side.

// Installs the factory that gives every QWidget that is a PaintedAreaSource its interface.
// Once per program; later calls do nothing.
void installPaintedAccessibility();

// Also hands every event the painted windows raise to an observer (tests: without a reader
// attached Qt drops them); null stops.
using AccessibleEventObserver = void (*)(QAccessibleEvent*);
void observeAccessibleEvents(AccessibleEventObserver observer);

// Raises the focus event for the area (when accessibility is active).
void announcePaintedFocus(QWidget* window, int areaId);
// Tells a reader that the area, a notice painted over the window (role AlertMessage), has just
// appeared, so that it is spoken without taking the focus.
void announcePaintedAlert(QWidget* window, int areaId);

// Gives a painted window the keyboard focus on the way to one of its areas, without telling a
// reader the window itself is the focus: the area's own focus event follows.
void focusWindowQuietly(QWidget* window);

// The focus mark of the theme around a window rectangle.
void drawFocusMark(QPainter& p, const QRect& rect);

}  // namespace tessaron::ui
