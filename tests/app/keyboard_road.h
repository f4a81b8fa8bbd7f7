#pragma once
// What the keyboard road tests share: typing into a window as a user would, finding where its
// keyboard mark is, and acting on a page from inside its modal loop.

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "tholwin/tholwin.h"
#include "ui/accessible_areas.h"

namespace tessaron::app::road {

// The name of the painted area that holds the keyboard mark.
inline QString focusedName(const ui::PaintedAreaSource& source) {
    const auto areas = source.paintedAreas();
    const ui::PaintedArea* a = ui::findArea(areas, source.focusedPaintedArea());
    return a == nullptr ? QString() : a->name;
}

// Where the window's keyboard focus is: the keys a user types go there.
inline QWidget* keyTarget(QWidget* window) {
    QWidget* f = window->window()->focusWidget();
    return f != nullptr ? f : window;
}

inline void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(w, k, modifiers);
    if (tholwin::hookInstalled()) {
        // The hook holds a release back for a moment to tell it from a repeat; a press of the
        // same key within that moment would be taken for one.
        QTest::qWait(static_cast<int>(3 * tholwin::kReleaseHoldBack.count()));
    } else {
        QCoreApplication::processEvents();
    }
}

// Tabs until the named area holds the mark; false after a round without it.
inline bool tabTo(QWidget* w, const ui::PaintedAreaSource& source, const QString& name) {
    for (int i = 0; i < 30 && focusedName(source) != name; ++i) key(keyTarget(w), Qt::Key_Tab);
    return focusedName(source) == name;
}

// Runs `onPage` on the Page once it is open (the modal one, unless `find` says where it is), from
// inside its loop; sets `ran`. A page still open afterwards is rejected, so that a failing check
// never leaves the window blocked.
template <class Page>
void whenOpen(std::function<void(Page&)> onPage, bool& ran,
              std::function<QWidget*()> find = QApplication::activeModalWidget) {
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [poll, onPage, find, &ran] {
        auto* page = qobject_cast<Page*>(find());
        if (page == nullptr || !page->isVisible()) {
            QTimer::singleShot(10, *poll);
            return;
        }
        *poll = nullptr;  // it holds the pointer to itself; the running copy goes on
        ran = true;
        onPage(*page);
        if (page->isVisible()) page->reject();
    };
    QTimer::singleShot(0, *poll);
}

}  // namespace tessaron::app::road
