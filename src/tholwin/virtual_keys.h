#pragma once
// Windows virtual-key codes and the translation of Qt key events into them. The code identifies
// the physical key the way the keyboard's tables do: left and right Shift, Ctrl, Alt and Windows
// keys are distinct, and the numeric keypad is distinct from the main block whatever the state of
// Num Lock. On X11 and Wayland the physical key comes from the native scan code (the XKB keycode,
// Linux input code + 8), so letters follow their position on a US board, like the usage codes the
// keyboard sends; the keysym and then the Qt key are used only when the scan code is unknown.

#include <QKeyEvent>
#include <cstdint>

#include "tholwin/tholwin_export.h"

namespace tessaron::tholwin {

namespace vk {
inline constexpr std::uint8_t kNone = 0x00;
inline constexpr std::uint8_t kBack = 0x08;
inline constexpr std::uint8_t kTab = 0x09;
inline constexpr std::uint8_t kClear = 0x0C;
inline constexpr std::uint8_t kReturn = 0x0D;
inline constexpr std::uint8_t kShift = 0x10;
inline constexpr std::uint8_t kControl = 0x11;
inline constexpr std::uint8_t kMenu = 0x12;
inline constexpr std::uint8_t kPause = 0x13;
inline constexpr std::uint8_t kCapital = 0x14;
inline constexpr std::uint8_t kEscape = 0x1B;
inline constexpr std::uint8_t kSpace = 0x20;
inline constexpr std::uint8_t kPrior = 0x21;
inline constexpr std::uint8_t kNext = 0x22;
inline constexpr std::uint8_t kEnd = 0x23;
inline constexpr std::uint8_t kHome = 0x24;
inline constexpr std::uint8_t kLeft = 0x25;
inline constexpr std::uint8_t kUp = 0x26;
inline constexpr std::uint8_t kRight = 0x27;
inline constexpr std::uint8_t kDown = 0x28;
inline constexpr std::uint8_t kSnapshot = 0x2C;
inline constexpr std::uint8_t kInsert = 0x2D;
inline constexpr std::uint8_t kDelete = 0x2E;
inline constexpr std::uint8_t kDigit0 = 0x30;   // '0'..'9' are 0x30..0x39
inline constexpr std::uint8_t kLetterA = 0x41;  // 'A'..'Z' are 0x41..0x5A
inline constexpr std::uint8_t kLWin = 0x5B;
inline constexpr std::uint8_t kRWin = 0x5C;
inline constexpr std::uint8_t kApps = 0x5D;
inline constexpr std::uint8_t kNumpad0 = 0x60;  // keypad digits are 0x60..0x69
inline constexpr std::uint8_t kMultiply = 0x6A;
inline constexpr std::uint8_t kAdd = 0x6B;
// The keyboard's tables name the keypad Enter with this code (VK_SEPARATOR).
inline constexpr std::uint8_t kKeypadEnter = 0x6C;
inline constexpr std::uint8_t kSubtract = 0x6D;
inline constexpr std::uint8_t kDecimal = 0x6E;
inline constexpr std::uint8_t kDivide = 0x6F;
inline constexpr std::uint8_t kF1 = 0x70;  // F1..F24 are 0x70..0x87
inline constexpr std::uint8_t kNumLock = 0x90;
inline constexpr std::uint8_t kScroll = 0x91;
inline constexpr std::uint8_t kLShift = 0xA0;
inline constexpr std::uint8_t kRShift = 0xA1;
inline constexpr std::uint8_t kLControl = 0xA2;
inline constexpr std::uint8_t kRControl = 0xA3;
inline constexpr std::uint8_t kLMenu = 0xA4;
inline constexpr std::uint8_t kRMenu = 0xA5;
inline constexpr std::uint8_t kVolumeMute = 0xAD;
inline constexpr std::uint8_t kVolumeDown = 0xAE;
inline constexpr std::uint8_t kVolumeUp = 0xAF;
inline constexpr std::uint8_t kMediaNext = 0xB0;
inline constexpr std::uint8_t kMediaPrev = 0xB1;
inline constexpr std::uint8_t kMediaStop = 0xB2;
inline constexpr std::uint8_t kMediaPlayPause = 0xB3;
inline constexpr std::uint8_t kLaunchMediaSelect = 0xB5;
inline constexpr std::uint8_t kOem1 = 0xBA;       // ; :
inline constexpr std::uint8_t kOemPlus = 0xBB;    // = +
inline constexpr std::uint8_t kOemComma = 0xBC;   // , <
inline constexpr std::uint8_t kOemMinus = 0xBD;   // - _
inline constexpr std::uint8_t kOemPeriod = 0xBE;  // . >
inline constexpr std::uint8_t kOem2 = 0xBF;       // / ?
inline constexpr std::uint8_t kOem3 = 0xC0;       // ` ~
inline constexpr std::uint8_t kOem4 = 0xDB;       // [ {
inline constexpr std::uint8_t kOem5 = 0xDC;       // \ |
inline constexpr std::uint8_t kOem6 = 0xDD;       // ] }
inline constexpr std::uint8_t kOem7 = 0xDE;       // ' "
inline constexpr std::uint8_t kOem102 = 0xE2;     // the extra key of ISO boards

constexpr std::uint8_t digit(int d) {
    return static_cast<std::uint8_t>(kDigit0 + d);
}
constexpr std::uint8_t letter(char upper) {
    return static_cast<std::uint8_t>(upper);
}
constexpr std::uint8_t numpad(int d) {
    return static_cast<std::uint8_t>(kNumpad0 + d);
}
constexpr std::uint8_t function(int n) {
    return static_cast<std::uint8_t>(kF1 + n - 1);
}
}  // namespace vk

// What the native fields of a QKeyEvent hold on the running platform.
enum class NativeKeys {
    Xkb,      // X11, Wayland, eglfs: scan code = XKB keycode, virtual key = keysym
    Windows,  // scan code with the extended bit 0x100, virtual key = generic VK
};

// Each returns vk::kNone when it does not know the key.
TESSARON_THOLWIN_EXPORT std::uint8_t vkFromXkbKeycode(std::uint32_t keycode);
TESSARON_THOLWIN_EXPORT std::uint8_t vkFromKeysym(std::uint32_t keysym);
TESSARON_THOLWIN_EXPORT std::uint8_t vkFromQtKey(int key, Qt::KeyboardModifiers modifiers);
TESSARON_THOLWIN_EXPORT std::uint8_t vkFromWindowsNative(std::uint32_t virtualKey,
                                                         std::uint32_t scanCode);

// The virtual-key code of a key event: native scan code first, then native virtual key, then
// the Qt key with Qt::KeypadModifier.
TESSARON_THOLWIN_EXPORT std::uint8_t virtualKeyOf(const QKeyEvent& event, NativeKeys natives);

// The native key convention of the running QGuiApplication.
TESSARON_THOLWIN_EXPORT NativeKeys platformNativeKeys();

}  // namespace tessaron::tholwin
