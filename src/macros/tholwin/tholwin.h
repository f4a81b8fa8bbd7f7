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
// Mode 0 delivers presses only; mode 1 delivers presses and releases. Auto-repeat presses of a
// held key are delivered as further presses (the platform's synthetic auto-repeat releases are
// dropped). Keys without a virtual-key code are swallowed but not delivered. Shortcuts, mnemonics
// and input-method composition are suppressed while the hook is installed, so typing never edits
// a field or triggers a button. Only keystrokes that reach this program are seen: there is no
// system-wide capture.
//
// Both functions must be called on the GUI thread after the QGuiApplication exists.

#include <QEvent>
#include <QObject>
#include <QtGlobal>

#include "macros/tholwin/tholwin_export.h"
#include "ui/messages.h"

namespace tessaron::tholwin {

inline constexpr int kMacroKeyMessage = ui::WM_MACRO_KEY;
static_assert(kMacroKeyMessage == 0x06F3, "the hook's message number is fixed");
inline constexpr QEvent::Type kMacroKeyEvent = ui::eventType(kMacroKeyMessage);

inline constexpr qint64 kReleaseFlag = qint64{1} << 31;

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

// Stops all delivery; keystrokes reach the program's windows again. Safe to call at any time,
// also from inside the handler of a WM_MACRO_KEY message.
TESSARON_THOLWIN_EXPORT void removehook();

// True while a hook delivers to a live window (for diagnostics and tests).
TESSARON_THOLWIN_EXPORT bool hookInstalled();

}  // namespace tessaron::tholwin
