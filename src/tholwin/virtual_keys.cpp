#include "tholwin/virtual_keys.h"

#include <linux/input-event-codes.h>

#include <QGuiApplication>
#include <array>
#include <utility>

namespace tessaron::tholwin {
namespace {

using Pair = std::pair<std::uint32_t, std::uint8_t>;

// XKB keycodes are the Linux input codes shifted past the 8 codes X11 reserves.
constexpr std::uint32_t kXkbKeycodeOffset = 8;

// Linux input code of a physical key -> virtual-key code.
constexpr Pair kInputCodes[] = {
    {KEY_ESC, vk::kEscape},
    {KEY_1, vk::digit(1)},
    {KEY_2, vk::digit(2)},
    {KEY_3, vk::digit(3)},
    {KEY_4, vk::digit(4)},
    {KEY_5, vk::digit(5)},
    {KEY_6, vk::digit(6)},
    {KEY_7, vk::digit(7)},
    {KEY_8, vk::digit(8)},
    {KEY_9, vk::digit(9)},
    {KEY_0, vk::digit(0)},
    {KEY_MINUS, vk::kOemMinus},
    {KEY_EQUAL, vk::kOemPlus},
    {KEY_BACKSPACE, vk::kBack},
    {KEY_TAB, vk::kTab},
    {KEY_Q, vk::letter('Q')},
    {KEY_W, vk::letter('W')},
    {KEY_E, vk::letter('E')},
    {KEY_R, vk::letter('R')},
    {KEY_T, vk::letter('T')},
    {KEY_Y, vk::letter('Y')},
    {KEY_U, vk::letter('U')},
    {KEY_I, vk::letter('I')},
    {KEY_O, vk::letter('O')},
    {KEY_P, vk::letter('P')},
    {KEY_LEFTBRACE, vk::kOem4},
    {KEY_RIGHTBRACE, vk::kOem6},
    {KEY_ENTER, vk::kReturn},
    {KEY_LEFTCTRL, vk::kLControl},
    {KEY_A, vk::letter('A')},
    {KEY_S, vk::letter('S')},
    {KEY_D, vk::letter('D')},
    {KEY_F, vk::letter('F')},
    {KEY_G, vk::letter('G')},
    {KEY_H, vk::letter('H')},
    {KEY_J, vk::letter('J')},
    {KEY_K, vk::letter('K')},
    {KEY_L, vk::letter('L')},
    {KEY_SEMICOLON, vk::kOem1},
    {KEY_APOSTROPHE, vk::kOem7},
    {KEY_GRAVE, vk::kOem3},
    {KEY_LEFTSHIFT, vk::kLShift},
    {KEY_BACKSLASH, vk::kOem5},
    {KEY_Z, vk::letter('Z')},
    {KEY_X, vk::letter('X')},
    {KEY_C, vk::letter('C')},
    {KEY_V, vk::letter('V')},
    {KEY_B, vk::letter('B')},
    {KEY_N, vk::letter('N')},
    {KEY_M, vk::letter('M')},
    {KEY_COMMA, vk::kOemComma},
    {KEY_DOT, vk::kOemPeriod},
    {KEY_SLASH, vk::kOem2},
    {KEY_RIGHTSHIFT, vk::kRShift},
    {KEY_KPASTERISK, vk::kMultiply},
    {KEY_LEFTALT, vk::kLMenu},
    {KEY_SPACE, vk::kSpace},
    {KEY_CAPSLOCK, vk::kCapital},
    {KEY_F1, vk::function(1)},
    {KEY_F2, vk::function(2)},
    {KEY_F3, vk::function(3)},
    {KEY_F4, vk::function(4)},
    {KEY_F5, vk::function(5)},
    {KEY_F6, vk::function(6)},
    {KEY_F7, vk::function(7)},
    {KEY_F8, vk::function(8)},
    {KEY_F9, vk::function(9)},
    {KEY_F10, vk::function(10)},
    {KEY_NUMLOCK, vk::kNumLock},
    {KEY_SCROLLLOCK, vk::kScroll},
    {KEY_KP7, vk::numpad(7)},
    {KEY_KP8, vk::numpad(8)},
    {KEY_KP9, vk::numpad(9)},
    {KEY_KPMINUS, vk::kSubtract},
    {KEY_KP4, vk::numpad(4)},
    {KEY_KP5, vk::numpad(5)},
    {KEY_KP6, vk::numpad(6)},
    {KEY_KPPLUS, vk::kAdd},
    {KEY_KP1, vk::numpad(1)},
    {KEY_KP2, vk::numpad(2)},
    {KEY_KP3, vk::numpad(3)},
    {KEY_KP0, vk::numpad(0)},
    {KEY_KPDOT, vk::kDecimal},
    {KEY_102ND, vk::kOem102},
    {KEY_F11, vk::function(11)},
    {KEY_F12, vk::function(12)},
    {KEY_KPENTER, vk::kKeypadEnter},
    {KEY_RIGHTCTRL, vk::kRControl},
    {KEY_KPSLASH, vk::kDivide},
    {KEY_SYSRQ, vk::kSnapshot},
    {KEY_RIGHTALT, vk::kRMenu},
    {KEY_HOME, vk::kHome},
    {KEY_UP, vk::kUp},
    {KEY_PAGEUP, vk::kPrior},
    {KEY_LEFT, vk::kLeft},
    {KEY_RIGHT, vk::kRight},
    {KEY_END, vk::kEnd},
    {KEY_DOWN, vk::kDown},
    {KEY_PAGEDOWN, vk::kNext},
    {KEY_INSERT, vk::kInsert},
    {KEY_DELETE, vk::kDelete},
    {KEY_MUTE, vk::kVolumeMute},
    {KEY_VOLUMEDOWN, vk::kVolumeDown},
    {KEY_VOLUMEUP, vk::kVolumeUp},
    {KEY_PAUSE, vk::kPause},
    {KEY_KPCOMMA, vk::kDecimal},
    {KEY_LEFTMETA, vk::kLWin},
    {KEY_RIGHTMETA, vk::kRWin},
    {KEY_COMPOSE, vk::kApps},
    // The keyboard's "Media" key sends consumer usage 0x183, which Linux reports as KEY_CONFIG.
    {KEY_CONFIG, vk::kLaunchMediaSelect},
    {KEY_MEDIA, vk::kLaunchMediaSelect},
    {KEY_NEXTSONG, vk::kMediaNext},
    {KEY_PLAYPAUSE, vk::kMediaPlayPause},
    {KEY_PREVIOUSSONG, vk::kMediaPrev},
    {KEY_STOPCD, vk::kMediaStop},
    {KEY_PLAYCD, vk::kMediaPlayPause},
    {KEY_PAUSECD, vk::kMediaPlayPause},
    {KEY_F13, vk::function(13)},
    {KEY_F14, vk::function(14)},
    {KEY_F15, vk::function(15)},
    {KEY_F16, vk::function(16)},
    {KEY_F17, vk::function(17)},
    {KEY_F18, vk::function(18)},
    {KEY_F19, vk::function(19)},
    {KEY_F20, vk::function(20)},
    {KEY_F21, vk::function(21)},
    {KEY_F22, vk::function(22)},
    {KEY_F23, vk::function(23)},
    {KEY_F24, vk::function(24)},
};

constexpr std::uint32_t kMaxXkbKeycode = 255;

constexpr std::array<std::uint8_t, kMaxXkbKeycode + 1> makeKeycodeTable() {
    std::array<std::uint8_t, kMaxXkbKeycode + 1> table{};
    for (const auto& [code, key] : kInputCodes) table[code + kXkbKeycodeOffset] = key;
    return table;
}
constexpr auto kKeycodeTable = makeKeycodeTable();

// X11 keysyms (values from the X protocol's keysym list) -> virtual-key code. Shifted symbols
// map to the key that carries them on a US board.
constexpr Pair kKeysyms[] = {
    {0x0020, vk::kSpace},  // space
    {0x0021, vk::digit(1)},
    {0x0040, vk::digit(2)},
    {0x0023, vk::digit(3)},
    {0x0024, vk::digit(4)},
    {0x0025, vk::digit(5)},
    {0x005e, vk::digit(6)},
    {0x0026, vk::digit(7)},
    {0x002a, vk::digit(8)},
    {0x0028, vk::digit(9)},
    {0x0029, vk::digit(0)},
    {0x0060, vk::kOem3},
    {0x007e, vk::kOem3},
    {0x002d, vk::kOemMinus},
    {0x005f, vk::kOemMinus},
    {0x003d, vk::kOemPlus},
    {0x002b, vk::kOemPlus},
    {0x005b, vk::kOem4},
    {0x007b, vk::kOem4},
    {0x005d, vk::kOem6},
    {0x007d, vk::kOem6},
    {0x005c, vk::kOem5},
    {0x007c, vk::kOem5},
    {0x003b, vk::kOem1},
    {0x003a, vk::kOem1},
    {0x0027, vk::kOem7},
    {0x0022, vk::kOem7},
    {0x002c, vk::kOemComma},
    {0x003c, vk::kOemComma},
    {0x002e, vk::kOemPeriod},
    {0x003e, vk::kOemPeriod},
    {0x002f, vk::kOem2},
    {0x003f, vk::kOem2},
    {0xff08, vk::kBack},                   // BackSpace
    {0xff09, vk::kTab},                    // Tab
    {0xfe20, vk::kTab},                    // ISO_Left_Tab (Shift+Tab)
    {0xff0b, vk::kClear},                  // Clear
    {0xff0d, vk::kReturn},                 // Return
    {0xff13, vk::kPause},                  // Pause
    {0xff6b, vk::kPause},                  // Break (Ctrl+Pause)
    {0xff14, vk::kScroll},                 // Scroll_Lock
    {0xff15, vk::kSnapshot},               // Sys_Req (Alt+Print)
    {0xff61, vk::kSnapshot},               // Print
    {0xff1b, vk::kEscape},                 // Escape
    {0xff50, vk::kHome},                   // Home
    {0xff51, vk::kLeft},                   // Left
    {0xff52, vk::kUp},                     // Up
    {0xff53, vk::kRight},                  // Right
    {0xff54, vk::kDown},                   // Down
    {0xff55, vk::kPrior},                  // Prior
    {0xff56, vk::kNext},                   // Next
    {0xff57, vk::kEnd},                    // End
    {0xff63, vk::kInsert},                 // Insert
    {0xffff, vk::kDelete},                 // Delete
    {0xff67, vk::kApps},                   // Menu
    {0xff7f, vk::kNumLock},                // Num_Lock
    {0xff8d, vk::kKeypadEnter},            // KP_Enter
    {0xff95, vk::numpad(7)},               // KP_Home
    {0xff96, vk::numpad(4)},               // KP_Left
    {0xff97, vk::numpad(8)},               // KP_Up
    {0xff98, vk::numpad(6)},               // KP_Right
    {0xff99, vk::numpad(2)},               // KP_Down
    {0xff9a, vk::numpad(9)},               // KP_Prior
    {0xff9b, vk::numpad(3)},               // KP_Next
    {0xff9c, vk::numpad(1)},               // KP_End
    {0xff9d, vk::numpad(5)},               // KP_Begin
    {0xff9e, vk::numpad(0)},               // KP_Insert
    {0xff9f, vk::kDecimal},                // KP_Delete
    {0xffaa, vk::kMultiply},               // KP_Multiply
    {0xffab, vk::kAdd},                    // KP_Add
    {0xffac, vk::kDecimal},                // KP_Separator (decimal comma layouts)
    {0xffad, vk::kSubtract},               // KP_Subtract
    {0xffae, vk::kDecimal},                // KP_Decimal
    {0xffaf, vk::kDivide},                 // KP_Divide
    {0xffe1, vk::kLShift},                 // Shift_L
    {0xffe2, vk::kRShift},                 // Shift_R
    {0xffe3, vk::kLControl},               // Control_L
    {0xffe4, vk::kRControl},               // Control_R
    {0xffe5, vk::kCapital},                // Caps_Lock
    {0xffe7, vk::kLMenu},                  // Meta_L
    {0xffe8, vk::kRMenu},                  // Meta_R
    {0xffe9, vk::kLMenu},                  // Alt_L
    {0xffea, vk::kRMenu},                  // Alt_R
    {0xfe03, vk::kRMenu},                  // ISO_Level3_Shift (AltGr)
    {0xffeb, vk::kLWin},                   // Super_L
    {0xffec, vk::kRWin},                   // Super_R
    {0x1008ff11, vk::kVolumeDown},         // XF86AudioLowerVolume
    {0x1008ff12, vk::kVolumeMute},         // XF86AudioMute
    {0x1008ff13, vk::kVolumeUp},           // XF86AudioRaiseVolume
    {0x1008ff14, vk::kMediaPlayPause},     // XF86AudioPlay
    {0x1008ff31, vk::kMediaPlayPause},     // XF86AudioPause
    {0x1008ff15, vk::kMediaStop},          // XF86AudioStop
    {0x1008ff16, vk::kMediaPrev},          // XF86AudioPrev
    {0x1008ff17, vk::kMediaNext},          // XF86AudioNext
    {0x1008ff32, vk::kLaunchMediaSelect},  // XF86AudioMedia
    {0x1008ff81, vk::kLaunchMediaSelect},  // XF86Tools
};

constexpr std::uint32_t kKeysymLowerA = 0x61, kKeysymLowerZ = 0x7a;
constexpr std::uint32_t kKeysymUpperA = 0x41, kKeysymUpperZ = 0x5a;
constexpr std::uint32_t kKeysymDigit0 = 0x30, kKeysymDigit9 = 0x39;
constexpr std::uint32_t kKeysymF1 = 0xffbe, kKeysymF24 = 0xffd5;
constexpr std::uint32_t kKeysymKp0 = 0xffb0, kKeysymKp9 = 0xffb9;

template <std::size_t N>
std::uint8_t lookup(const Pair (&table)[N], std::uint32_t code) {
    for (const auto& [from, to] : table) {
        if (from == code) return to;
    }
    return vk::kNone;
}

bool keypad(Qt::KeyboardModifiers modifiers) {
    return modifiers.testFlag(Qt::KeypadModifier);
}

std::uint8_t keypadQtKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return vk::numpad(key - Qt::Key_0);
    switch (key) {
        case Qt::Key_Insert:
            return vk::numpad(0);
        case Qt::Key_End:
            return vk::numpad(1);
        case Qt::Key_Down:
            return vk::numpad(2);
        case Qt::Key_PageDown:
            return vk::numpad(3);
        case Qt::Key_Left:
            return vk::numpad(4);
        case Qt::Key_Clear:
            return vk::numpad(5);
        case Qt::Key_Right:
            return vk::numpad(6);
        case Qt::Key_Home:
            return vk::numpad(7);
        case Qt::Key_Up:
            return vk::numpad(8);
        case Qt::Key_PageUp:
            return vk::numpad(9);
        case Qt::Key_Delete:
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return vk::kDecimal;
        case Qt::Key_Enter:
        case Qt::Key_Return:
            return vk::kKeypadEnter;
        case Qt::Key_Asterisk:
            return vk::kMultiply;
        case Qt::Key_Plus:
            return vk::kAdd;
        case Qt::Key_Minus:
            return vk::kSubtract;
        case Qt::Key_Slash:
            return vk::kDivide;
        case Qt::Key_NumLock:
            return vk::kNumLock;
        default:
            return vk::kNone;
    }
}

constexpr std::pair<int, std::uint8_t> kQtKeys[] = {
    {Qt::Key_Escape, vk::kEscape},
    {Qt::Key_Tab, vk::kTab},
    {Qt::Key_Backtab, vk::kTab},
    {Qt::Key_Backspace, vk::kBack},
    {Qt::Key_Return, vk::kReturn},
    // Qt reports the keypad Enter as Key_Enter even where the keypad flag is missing.
    {Qt::Key_Enter, vk::kKeypadEnter},
    {Qt::Key_Insert, vk::kInsert},
    {Qt::Key_Delete, vk::kDelete},
    {Qt::Key_Pause, vk::kPause},
    {Qt::Key_Print, vk::kSnapshot},
    {Qt::Key_SysReq, vk::kSnapshot},
    {Qt::Key_Clear, vk::kClear},
    {Qt::Key_Home, vk::kHome},
    {Qt::Key_End, vk::kEnd},
    {Qt::Key_Left, vk::kLeft},
    {Qt::Key_Up, vk::kUp},
    {Qt::Key_Right, vk::kRight},
    {Qt::Key_Down, vk::kDown},
    {Qt::Key_PageUp, vk::kPrior},
    {Qt::Key_PageDown, vk::kNext},
    // Without native codes the side is unknown: take the left key.
    {Qt::Key_Shift, vk::kLShift},
    {Qt::Key_Control, vk::kLControl},
    {Qt::Key_Alt, vk::kLMenu},
    {Qt::Key_AltGr, vk::kRMenu},
    {Qt::Key_Meta, vk::kLWin},
    {Qt::Key_Super_L, vk::kLWin},
    {Qt::Key_Super_R, vk::kRWin},
    {Qt::Key_Menu, vk::kApps},
    {Qt::Key_CapsLock, vk::kCapital},
    {Qt::Key_NumLock, vk::kNumLock},
    {Qt::Key_ScrollLock, vk::kScroll},
    {Qt::Key_Space, vk::kSpace},
    {Qt::Key_Exclam, vk::digit(1)},
    {Qt::Key_At, vk::digit(2)},
    {Qt::Key_NumberSign, vk::digit(3)},
    {Qt::Key_Dollar, vk::digit(4)},
    {Qt::Key_Percent, vk::digit(5)},
    {Qt::Key_AsciiCircum, vk::digit(6)},
    {Qt::Key_Ampersand, vk::digit(7)},
    {Qt::Key_Asterisk, vk::digit(8)},
    {Qt::Key_ParenLeft, vk::digit(9)},
    {Qt::Key_ParenRight, vk::digit(0)},
    {Qt::Key_QuoteLeft, vk::kOem3},
    {Qt::Key_AsciiTilde, vk::kOem3},
    {Qt::Key_Minus, vk::kOemMinus},
    {Qt::Key_Underscore, vk::kOemMinus},
    {Qt::Key_Equal, vk::kOemPlus},
    {Qt::Key_Plus, vk::kOemPlus},
    {Qt::Key_BracketLeft, vk::kOem4},
    {Qt::Key_BraceLeft, vk::kOem4},
    {Qt::Key_BracketRight, vk::kOem6},
    {Qt::Key_BraceRight, vk::kOem6},
    {Qt::Key_Backslash, vk::kOem5},
    {Qt::Key_Bar, vk::kOem5},
    {Qt::Key_Semicolon, vk::kOem1},
    {Qt::Key_Colon, vk::kOem1},
    {Qt::Key_Apostrophe, vk::kOem7},
    {Qt::Key_QuoteDbl, vk::kOem7},
    {Qt::Key_Comma, vk::kOemComma},
    {Qt::Key_Less, vk::kOemComma},
    {Qt::Key_Period, vk::kOemPeriod},
    {Qt::Key_Greater, vk::kOemPeriod},
    {Qt::Key_Slash, vk::kOem2},
    {Qt::Key_Question, vk::kOem2},
    {Qt::Key_VolumeDown, vk::kVolumeDown},
    {Qt::Key_VolumeUp, vk::kVolumeUp},
    {Qt::Key_VolumeMute, vk::kVolumeMute},
    {Qt::Key_MediaPlay, vk::kMediaPlayPause},
    {Qt::Key_MediaPause, vk::kMediaPlayPause},
    {Qt::Key_MediaTogglePlayPause, vk::kMediaPlayPause},
    {Qt::Key_MediaStop, vk::kMediaStop},
    {Qt::Key_MediaNext, vk::kMediaNext},
    {Qt::Key_MediaPrevious, vk::kMediaPrev},
    {Qt::Key_LaunchMedia, vk::kLaunchMediaSelect},
    {Qt::Key_Tools, vk::kLaunchMediaSelect},
};

// Windows scan codes (set 1) of the keypad keys that report navigation VKs with Num Lock off.
constexpr std::uint32_t kWinExtendedBit = 0x100;
constexpr std::uint32_t kWinScanRightShift = 0x36;
constexpr Pair kWinKeypadScanCodes[] = {
    {0x52, vk::numpad(0)}, {0x4F, vk::numpad(1)}, {0x50, vk::numpad(2)}, {0x51, vk::numpad(3)},
    {0x4B, vk::numpad(4)}, {0x4C, vk::numpad(5)}, {0x4D, vk::numpad(6)}, {0x47, vk::numpad(7)},
    {0x48, vk::numpad(8)}, {0x49, vk::numpad(9)}, {0x53, vk::kDecimal},
};

}  // namespace

std::uint8_t vkFromXkbKeycode(std::uint32_t keycode) {
    return keycode <= kMaxXkbKeycode ? kKeycodeTable[keycode] : vk::kNone;
}

std::uint8_t vkFromKeysym(std::uint32_t keysym) {
    if (keysym >= kKeysymLowerA && keysym <= kKeysymLowerZ)
        return static_cast<std::uint8_t>(vk::kLetterA + (keysym - kKeysymLowerA));
    if (keysym >= kKeysymUpperA && keysym <= kKeysymUpperZ)
        return static_cast<std::uint8_t>(vk::kLetterA + (keysym - kKeysymUpperA));
    if (keysym >= kKeysymDigit0 && keysym <= kKeysymDigit9)
        return vk::digit(static_cast<int>(keysym - kKeysymDigit0));
    if (keysym >= kKeysymF1 && keysym <= kKeysymF24)
        return vk::function(static_cast<int>(keysym - kKeysymF1) + 1);
    if (keysym >= kKeysymKp0 && keysym <= kKeysymKp9)
        return vk::numpad(static_cast<int>(keysym - kKeysymKp0));
    return lookup(kKeysyms, keysym);
}

std::uint8_t vkFromQtKey(int key, Qt::KeyboardModifiers modifiers) {
    if (keypad(modifiers)) {
        if (const auto code = keypadQtKey(key); code != vk::kNone) return code;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<std::uint8_t>(vk::kLetterA + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return vk::digit(key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return vk::function(key - Qt::Key_F1 + 1);
    for (const auto& [from, to] : kQtKeys) {
        if (from == key) return to;
    }
    return vk::kNone;
}

std::uint8_t vkFromWindowsNative(std::uint32_t virtualKey, std::uint32_t scanCode) {
    const bool extended = (scanCode & kWinExtendedBit) != 0;
    const std::uint32_t scan = scanCode & 0xFF;
    switch (virtualKey) {
        case vk::kShift:
            return scan == kWinScanRightShift ? vk::kRShift : vk::kLShift;
        case vk::kControl:
            return extended ? vk::kRControl : vk::kLControl;
        case vk::kMenu:
            return extended ? vk::kRMenu : vk::kLMenu;
        case vk::kReturn:
            return extended ? vk::kKeypadEnter : vk::kReturn;
        case vk::kInsert:
        case vk::kEnd:
        case vk::kDown:
        case vk::kNext:
        case vk::kLeft:
        case vk::kClear:
        case vk::kRight:
        case vk::kHome:
        case vk::kUp:
        case vk::kPrior:
        case vk::kDelete:
            // Without the extended bit these come from the keypad with Num Lock off.
            if (!extended) {
                if (const auto code = lookup(kWinKeypadScanCodes, scan); code != vk::kNone)
                    return code;
            }
            return static_cast<std::uint8_t>(virtualKey);
        default:
            return virtualKey <= 0xFF ? static_cast<std::uint8_t>(virtualKey) : vk::kNone;
    }
}

std::uint8_t virtualKeyOf(const QKeyEvent& event, NativeKeys natives) {
    std::uint8_t code = vk::kNone;
    if (natives == NativeKeys::Windows) {
        code = vkFromWindowsNative(event.nativeVirtualKey(), event.nativeScanCode());
    } else {
        code = vkFromXkbKeycode(event.nativeScanCode());
        if (code == vk::kNone) code = vkFromKeysym(event.nativeVirtualKey());
    }
    if (code == vk::kNone) code = vkFromQtKey(event.key(), event.modifiers());
    return code;
}

NativeKeys platformNativeKeys() {
    return QGuiApplication::platformName() == QLatin1String("windows") ? NativeKeys::Windows
                                                                       : NativeKeys::Xkb;
}

}  // namespace tessaron::tholwin
