#include "tholwin/detectable_repeat.h"

#include <QGuiApplication>
#include <QtGlobal>

#if defined(TESSARON_THOLWIN_XKB) && QT_CONFIG(xcb)
#include <X11/XKBlib.h>
#define TESSARON_HAVE_XKB 1
#endif

namespace tessaron::tholwin {

#if defined(TESSARON_HAVE_XKB)

namespace {

// Qt's own Xlib display, which shares its connection (the flag belongs to the connection).
Display* programDisplay() {
    auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (gui == nullptr) return nullptr;
    auto* x11 = gui->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->display() : nullptr;
}

}  // namespace

bool DetectableRepeat::enable() {
    if (qEnvironmentVariable("TESSARON_X11_REPEAT") == QLatin1String("pairs")) return false;
    Display* display = programDisplay();
    if (display == nullptr) return false;
    Bool supported = False;
    const Bool wasOn = XkbGetDetectableAutoRepeat(display, &supported);
    if (!supported) return false;
    if (wasOn) return true;
    const Bool isOn = XkbSetDetectableAutoRepeat(display, True, &supported);
    changed_ = isOn == True;
    return changed_;
}

void DetectableRepeat::restore() {
    if (!changed_) return;
    changed_ = false;
    if (Display* display = programDisplay()) {
        Bool supported = False;
        XkbSetDetectableAutoRepeat(display, False, &supported);
    }
}

#else

bool DetectableRepeat::enable() {
    return false;
}

void DetectableRepeat::restore() {}

#endif

}  // namespace tessaron::tholwin
