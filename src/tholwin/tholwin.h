#pragma once
// The keyboard-hook library. While a hook is installed, every keystroke typed into any window of
// this program is taken away from that window and handed to the window given to the last
// installhook() as the WM_MACRO_KEY window message: a ui::WindowMessage (ui/messages.h) of type
// kMacroKeyEvent with
//
//   wParam()    Windows virtual-key code of the key, 1..255 (see virtual_keys.h)
//   lParam()    bit 31 (kReleaseFlag) set for a release, clear for a press; no other bit is used
//
// The message is sent synchronously when the window lives on the thread that receives the
// keystroke (the GUI thread) and posted to it otherwise, so it is always handled on the window's
// own thread and in keystroke order. Receivers handle it in QObject::customEvent() or event().
//
// Mode 0 delivers presses only; mode 1 delivers presses and releases. A held key gives one press
// and, when it is let go, one release, whatever the window system sends while it repeats: a
// press of a key already down is dropped, and a release is held back for up to
// kReleaseHoldBack to see whether the press of an X11 auto-repeat pair (same timestamp, not
// always flagged as auto-repeat by Qt) follows it. On X11 the hook also turns on XKB's
// detectable auto-repeat while installed, so the server sends no such pairs and releases need
// not wait. A release comes only for a key whose press was seen since the install; when the
// program loses the keyboard, the keys still down are released. Keys without a virtual-key
// code are swallowed but not delivered. Shortcuts, mnemonics and input-method composition are
// suppressed while the hook is installed, so typing never edits a field or triggers a button.
// Only keystrokes that reach this program are seen: there is no system-wide capture.
//
// Both functions must be called on the GUI thread after the QGuiApplication exists.

#include <QEvent>
#include <QObject>
#include <QtGlobal>
#include <chrono>

#include "tholwin/tholwin_export.h"
#include "ui/messages.h"

namespace tessaron::tholwin {

inline constexpr int kMacroKeyMessage = ui::WM_MACRO_KEY;
static_assert(kMacroKeyMessage == 0x06F3, "the hook's message number is fixed");
inline constexpr QEvent::Type kMacroKeyEvent = ui::eventType(kMacroKeyMessage);

inline constexpr qint64 kReleaseFlag = qint64{1} << 31;

// Longest wait for the press of a repeat pair before a release is taken as real.
inline constexpr std::chrono::milliseconds kReleaseHoldBack{30};

// Modes of installhook().
inline constexpr int kModePresses = 0;
inline constexpr int kModePressesAndReleases = 1;

inline bool isRelease(const ui::WindowMessage& message) {
    return (message.lParam() & kReleaseFlag) != 0;
}

// Starts delivering keystrokes to `window` in the given mode (0 or 1), replacing any earlier
// install. Returns false, and changes nothing, for a null window, an unknown mode, a call off the
// GUI thread or without an application object; no keystroke is then delivered to `window`.
// Delivery ends by itself when the window is destroyed.
TESSARON_THOLWIN_EXPORT bool installhook(QObject* window, int mode);

// Stops all delivery, a release still held back included; keystrokes reach the program's
// windows again. Safe to call at any time, also from inside the handler of a WM_MACRO_KEY
// message.
TESSARON_THOLWIN_EXPORT void removehook();

// Inside the handler of a WM_MACRO_KEY message: how long ago the keystroke really happened (a
// held-back release comes late). A receiver timing keystrokes subtracts it. Zero elsewhere, and
// for messages posted to another thread.
TESSARON_THOLWIN_EXPORT std::chrono::nanoseconds deliveryDelay();

// True while a hook delivers to a live window (for diagnostics and tests).
TESSARON_THOLWIN_EXPORT bool hookInstalled();

}  // namespace tessaron::tholwin
