#include "tholwin/virtual_keys.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <set>
#include <vector>

namespace tessaron::tholwin {
namespace {

// One key of the keyboard as an X server with a US layout reports it (Num Lock on).
struct LayoutKey {
    int index;              // key layout index
    std::uint8_t vk;        // the layout table's virtual-key code
    std::uint32_t keycode;  // X keycode
    std::uint32_t keysym;   // unshifted keysym
    int qtKey;              // Qt's key
    bool keypad;            // Qt sets KeypadModifier
    bool sideKnownToQt;     // Qt's key alone identifies it
};

// Every key of the layout that reaches the computer; index 100 (Fn) never does.
const std::vector<LayoutKey>& layoutKeys() {
    static const std::vector<LayoutKey> keys = {
        {0, 27, 9, 0xff1b, Qt::Key_Escape, false, true},
        {1, 112, 67, 0xffbe, Qt::Key_F1, false, true},
        {2, 113, 68, 0xffbf, Qt::Key_F2, false, true},
        {3, 114, 69, 0xffc0, Qt::Key_F3, false, true},
        {4, 115, 70, 0xffc1, Qt::Key_F4, false, true},
        {5, 116, 71, 0xffc2, Qt::Key_F5, false, true},
        {6, 117, 72, 0xffc3, Qt::Key_F6, false, true},
        {7, 118, 73, 0xffc4, Qt::Key_F7, false, true},
        {8, 119, 74, 0xffc5, Qt::Key_F8, false, true},
        {9, 120, 75, 0xffc6, Qt::Key_F9, false, true},
        {10, 121, 76, 0xffc7, Qt::Key_F10, false, true},
        {11, 122, 95, 0xffc8, Qt::Key_F11, false, true},
        {12, 123, 96, 0xffc9, Qt::Key_F12, false, true},
        {13, 44, 107, 0xff61, Qt::Key_Print, false, true},
        {14, 145, 78, 0xff14, Qt::Key_ScrollLock, false, true},
        {15, 19, 127, 0xff13, Qt::Key_Pause, false, true},
        {16, 174, 122, 0x1008ff11, Qt::Key_VolumeDown, false, true},
        {17, 181, 179, 0x1008ff81, Qt::Key_Tools, false, true},
        {18, 179, 172, 0x1008ff14, Qt::Key_MediaPlay, false, true},
        {19, 175, 123, 0x1008ff13, Qt::Key_VolumeUp, false, true},
        {20, 192, 49, 0x60, Qt::Key_QuoteLeft, false, true},
        {21, 49, 10, 0x31, Qt::Key_1, false, true},
        {22, 50, 11, 0x32, Qt::Key_2, false, true},
        {23, 51, 12, 0x33, Qt::Key_3, false, true},
        {24, 52, 13, 0x34, Qt::Key_4, false, true},
        {25, 53, 14, 0x35, Qt::Key_5, false, true},
        {26, 54, 15, 0x36, Qt::Key_6, false, true},
        {27, 55, 16, 0x37, Qt::Key_7, false, true},
        {28, 56, 17, 0x38, Qt::Key_8, false, true},
        {29, 57, 18, 0x39, Qt::Key_9, false, true},
        {30, 48, 19, 0x30, Qt::Key_0, false, true},
        {31, 189, 20, 0x2d, Qt::Key_Minus, false, true},
        {32, 187, 21, 0x3d, Qt::Key_Equal, false, true},
        {33, 8, 22, 0xff08, Qt::Key_Backspace, false, true},
        {34, 45, 118, 0xff63, Qt::Key_Insert, false, true},
        {35, 36, 110, 0xff50, Qt::Key_Home, false, true},
        {36, 33, 112, 0xff55, Qt::Key_PageUp, false, true},
        {37, 144, 77, 0xff7f, Qt::Key_NumLock, true, true},
        {38, 111, 106, 0xffaf, Qt::Key_Slash, true, true},
        {39, 106, 63, 0xffaa, Qt::Key_Asterisk, true, true},
        {40, 109, 82, 0xffad, Qt::Key_Minus, true, true},
        {41, 9, 23, 0xff09, Qt::Key_Tab, false, true},
        {42, 81, 24, 0x71, Qt::Key_Q, false, true},
        {43, 87, 25, 0x77, Qt::Key_W, false, true},
        {44, 69, 26, 0x65, Qt::Key_E, false, true},
        {45, 82, 27, 0x72, Qt::Key_R, false, true},
        {46, 84, 28, 0x74, Qt::Key_T, false, true},
        {47, 89, 29, 0x79, Qt::Key_Y, false, true},
        {48, 85, 30, 0x75, Qt::Key_U, false, true},
        {49, 73, 31, 0x69, Qt::Key_I, false, true},
        {50, 79, 32, 0x6f, Qt::Key_O, false, true},
        {51, 80, 33, 0x70, Qt::Key_P, false, true},
        {52, 219, 34, 0x5b, Qt::Key_BracketLeft, false, true},
        {53, 221, 35, 0x5d, Qt::Key_BracketRight, false, true},
        {54, 220, 51, 0x5c, Qt::Key_Backslash, false, true},
        {55, 46, 119, 0xffff, Qt::Key_Delete, false, true},
        {56, 35, 115, 0xff57, Qt::Key_End, false, true},
        {57, 34, 117, 0xff56, Qt::Key_PageDown, false, true},
        {58, 103, 79, 0xffb7, Qt::Key_7, true, true},
        {59, 104, 80, 0xffb8, Qt::Key_8, true, true},
        {60, 105, 81, 0xffb9, Qt::Key_9, true, true},
        {61, 107, 86, 0xffab, Qt::Key_Plus, true, true},
        {62, 20, 66, 0xffe5, Qt::Key_CapsLock, false, true},
        {63, 65, 38, 0x61, Qt::Key_A, false, true},
        {64, 83, 39, 0x73, Qt::Key_S, false, true},
        {65, 68, 40, 0x64, Qt::Key_D, false, true},
        {66, 70, 41, 0x66, Qt::Key_F, false, true},
        {67, 71, 42, 0x67, Qt::Key_G, false, true},
        {68, 72, 43, 0x68, Qt::Key_H, false, true},
        {69, 74, 44, 0x6a, Qt::Key_J, false, true},
        {70, 75, 45, 0x6b, Qt::Key_K, false, true},
        {71, 76, 46, 0x6c, Qt::Key_L, false, true},
        {72, 186, 47, 0x3b, Qt::Key_Semicolon, false, true},
        {73, 222, 48, 0x27, Qt::Key_Apostrophe, false, true},
        {74, 13, 36, 0xff0d, Qt::Key_Return, false, true},
        {75, 100, 83, 0xffb4, Qt::Key_4, true, true},
        {76, 101, 84, 0xffb5, Qt::Key_5, true, true},
        {77, 102, 85, 0xffb6, Qt::Key_6, true, true},
        {78, 160, 50, 0xffe1, Qt::Key_Shift, false, true},
        {79, 90, 52, 0x7a, Qt::Key_Z, false, true},
        {80, 88, 53, 0x78, Qt::Key_X, false, true},
        {81, 67, 54, 0x63, Qt::Key_C, false, true},
        {82, 86, 55, 0x76, Qt::Key_V, false, true},
        {83, 66, 56, 0x62, Qt::Key_B, false, true},
        {84, 78, 57, 0x6e, Qt::Key_N, false, true},
        {85, 77, 58, 0x6d, Qt::Key_M, false, true},
        {86, 188, 59, 0x2c, Qt::Key_Comma, false, true},
        {87, 190, 60, 0x2e, Qt::Key_Period, false, true},
        {88, 191, 61, 0x2f, Qt::Key_Slash, false, true},
        {89, 161, 62, 0xffe2, Qt::Key_Shift, false, false},
        {90, 38, 111, 0xff52, Qt::Key_Up, false, true},
        {91, 97, 87, 0xffb1, Qt::Key_1, true, true},
        {92, 98, 88, 0xffb2, Qt::Key_2, true, true},
        {93, 99, 89, 0xffb3, Qt::Key_3, true, true},
        {94, 108, 104, 0xff8d, Qt::Key_Enter, true, true},
        {95, 162, 37, 0xffe3, Qt::Key_Control, false, true},
        {96, 91, 133, 0xffeb, Qt::Key_Super_L, false, true},
        {97, 164, 64, 0xffe9, Qt::Key_Alt, false, true},
        {98, 32, 65, 0x20, Qt::Key_Space, false, true},
        {99, 165, 108, 0xffea, Qt::Key_Alt, false, false},
        {101, 93, 135, 0xff67, Qt::Key_Menu, false, true},
        {102, 163, 105, 0xffe4, Qt::Key_Control, false, false},
        {103, 37, 113, 0xff51, Qt::Key_Left, false, true},
        {104, 40, 116, 0xff54, Qt::Key_Down, false, true},
        {105, 39, 114, 0xff53, Qt::Key_Right, false, true},
        {106, 96, 90, 0xffb0, Qt::Key_0, true, true},
        {107, 110, 91, 0xffae, Qt::Key_Period, true, true},
    };
    return keys;
}

Qt::KeyboardModifiers modifiersOf(const LayoutKey& key) {
    return key.keypad ? Qt::KeypadModifier : Qt::NoModifier;
}

TEST(VirtualKeysTest, TableCoversEveryLayoutKeyThatReachesTheComputer) {
    std::set<int> indices;
    for (const auto& key : layoutKeys()) indices.insert(key.index);
    EXPECT_EQ(indices.size(), 107u);
    EXPECT_EQ(indices.count(100), 0u);
    EXPECT_EQ(*indices.rbegin(), 107);
}

TEST(VirtualKeysTest, EveryLayoutKeyMapsFromEachNativeSource) {
    for (const auto& key : layoutKeys()) {
        SCOPED_TRACE(testing::Message() << "layout index " << key.index);
        EXPECT_EQ(vkFromXkbKeycode(key.keycode), key.vk);
        EXPECT_EQ(vkFromKeysym(key.keysym), key.vk);
        if (key.sideKnownToQt) {
            EXPECT_EQ(vkFromQtKey(key.qtKey, modifiersOf(key)), key.vk);
        }

        const QKeyEvent full(QEvent::KeyPress, key.qtKey, modifiersOf(key), key.keycode, key.keysym,
                             0);
        EXPECT_EQ(virtualKeyOf(full, NativeKeys::Xkb), key.vk);
        // A platform that gives only the keysym (scan code 0).
        const QKeyEvent symOnly(QEvent::KeyPress, key.qtKey, modifiersOf(key), 0, key.keysym, 0);
        EXPECT_EQ(virtualKeyOf(symOnly, NativeKeys::Xkb), key.vk);
    }
}

TEST(VirtualKeysTest, LeftAndRightModifiersAreTold) {
    struct Case {
        std::uint32_t keycode, keysym;
        std::uint8_t vk;
    };
    for (const Case c : {Case{50, 0xffe1, vk::kLShift}, Case{62, 0xffe2, vk::kRShift},
                         Case{37, 0xffe3, vk::kLControl}, Case{105, 0xffe4, vk::kRControl},
                         Case{64, 0xffe9, vk::kLMenu}, Case{108, 0xffea, vk::kRMenu},
                         Case{133, 0xffeb, vk::kLWin}, Case{134, 0xffec, vk::kRWin}}) {
        SCOPED_TRACE(c.keycode);
        EXPECT_EQ(vkFromXkbKeycode(c.keycode), c.vk);
        EXPECT_EQ(vkFromKeysym(c.keysym), c.vk);
    }
    // Layouts where the right Alt is AltGr: the keycode still says right Alt.
    const QKeyEvent altGr(QEvent::KeyPress, Qt::Key_AltGr, Qt::NoModifier, 108, 0xfe03, 0);
    EXPECT_EQ(virtualKeyOf(altGr, NativeKeys::Xkb), vk::kRMenu);
    EXPECT_EQ(vkFromKeysym(0xfe03), vk::kRMenu);
    // Qt alone cannot tell the side; the left key is taken.
    EXPECT_EQ(vkFromQtKey(Qt::Key_Shift, Qt::ShiftModifier), vk::kLShift);
    EXPECT_EQ(vkFromQtKey(Qt::Key_Super_R, Qt::NoModifier), vk::kRWin);
}

TEST(VirtualKeysTest, KeypadIsToldFromTheMainBlockWhateverNumLock) {
    // Num Lock off: the keypad keys send navigation keysyms but keep their keycodes.
    struct Case {
        std::uint32_t keycode, keysym;
        int qtKey;
        std::uint8_t keypadVk, mainVk;
        std::uint32_t mainKeycode, mainKeysym;
    };
    for (const Case c :
         {Case{79, 0xff95, Qt::Key_Home, vk::numpad(7), vk::kHome, 110, 0xff50},
          Case{87, 0xff9c, Qt::Key_End, vk::numpad(1), vk::kEnd, 115, 0xff57},
          Case{90, 0xff9e, Qt::Key_Insert, vk::numpad(0), vk::kInsert, 118, 0xff63},
          Case{91, 0xff9f, Qt::Key_Delete, vk::kDecimal, vk::kDelete, 119, 0xffff},
          Case{80, 0xff97, Qt::Key_Up, vk::numpad(8), vk::kUp, 111, 0xff52},
          Case{104, 0xff8d, Qt::Key_Enter, vk::kKeypadEnter, vk::kReturn, 36, 0xff0d},
          Case{106, 0xffaf, Qt::Key_Slash, vk::kDivide, vk::kOem2, 61, 0x2f},
          Case{82, 0xffad, Qt::Key_Minus, vk::kSubtract, vk::kOemMinus, 20, 0x2d}}) {
        SCOPED_TRACE(c.keycode);
        const QKeyEvent pad(QEvent::KeyPress, c.qtKey, Qt::KeypadModifier, c.keycode, c.keysym, 0);
        EXPECT_EQ(virtualKeyOf(pad, NativeKeys::Xkb), c.keypadVk);
        EXPECT_EQ(vkFromKeysym(c.keysym), c.keypadVk);
        EXPECT_EQ(vkFromQtKey(c.qtKey, Qt::KeypadModifier), c.keypadVk);

        const QKeyEvent main(QEvent::KeyPress, c.qtKey, Qt::NoModifier, c.mainKeycode, c.mainKeysym,
                             0);
        EXPECT_EQ(virtualKeyOf(main, NativeKeys::Xkb), c.mainVk);
        EXPECT_EQ(vkFromQtKey(c.qtKey, Qt::NoModifier),
                  c.qtKey == Qt::Key_Enter ? vk::kKeypadEnter : c.mainVk);
    }
    EXPECT_EQ(vkFromKeysym(0xff9d), vk::numpad(5));  // KP_Begin
    EXPECT_EQ(vkFromQtKey(Qt::Key_Clear, Qt::KeypadModifier), vk::numpad(5));
}

TEST(VirtualKeysTest, KeycodeWinsOverKeysymSoLettersFollowTheirPosition) {
    // On a French board the key left of Z (US position Q) types "a".
    const QKeyEvent azerty(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 24, 0x61, 0);
    EXPECT_EQ(virtualKeyOf(azerty, NativeKeys::Xkb), vk::letter('Q'));
    // Shifted symbols without a keycode: the key that carries them.
    EXPECT_EQ(vkFromKeysym(0x21), vk::digit(1));  // exclam
    EXPECT_EQ(vkFromKeysym(0x7c), vk::kOem5);     // bar
    EXPECT_EQ(vkFromKeysym(0x41), vk::letter('A'));
    EXPECT_EQ(vkFromQtKey(Qt::Key_ParenRight, Qt::ShiftModifier), vk::digit(0));
}

TEST(VirtualKeysTest, UnknownKeysGiveNone) {
    EXPECT_EQ(vkFromXkbKeycode(0), vk::kNone);
    EXPECT_EQ(vkFromXkbKeycode(8 + 84), vk::kNone);  // a gap in the input codes
    EXPECT_EQ(vkFromXkbKeycode(256), vk::kNone);
    EXPECT_EQ(vkFromXkbKeycode(0xFFFFFFFF), vk::kNone);
    EXPECT_EQ(vkFromKeysym(0), vk::kNone);
    EXPECT_EQ(vkFromKeysym(0x00e9), vk::kNone);  // eacute
    EXPECT_EQ(vkFromQtKey(Qt::Key_unknown, Qt::NoModifier), vk::kNone);
    const QKeyEvent nothing(QEvent::KeyPress, 0, Qt::NoModifier, 0, 0, 0);
    EXPECT_EQ(virtualKeyOf(nothing, NativeKeys::Xkb), vk::kNone);
    EXPECT_EQ(virtualKeyOf(nothing, NativeKeys::Windows), vk::kNone);
}

TEST(VirtualKeysTest, WindowsNativeKeysTellSidesAndKeypad) {
    EXPECT_EQ(vkFromWindowsNative(vk::kShift, 0x2A), vk::kLShift);
    EXPECT_EQ(vkFromWindowsNative(vk::kShift, 0x36), vk::kRShift);
    EXPECT_EQ(vkFromWindowsNative(vk::kControl, 0x1D), vk::kLControl);
    EXPECT_EQ(vkFromWindowsNative(vk::kControl, 0x11D), vk::kRControl);
    EXPECT_EQ(vkFromWindowsNative(vk::kMenu, 0x38), vk::kLMenu);
    EXPECT_EQ(vkFromWindowsNative(vk::kMenu, 0x138), vk::kRMenu);
    EXPECT_EQ(vkFromWindowsNative(vk::kReturn, 0x1C), vk::kReturn);
    EXPECT_EQ(vkFromWindowsNative(vk::kReturn, 0x11C), vk::kKeypadEnter);
    EXPECT_EQ(vkFromWindowsNative(vk::kHome, 0x147), vk::kHome);
    EXPECT_EQ(vkFromWindowsNative(vk::kHome, 0x47), vk::numpad(7));
    EXPECT_EQ(vkFromWindowsNative(vk::kDelete, 0x153), vk::kDelete);
    EXPECT_EQ(vkFromWindowsNative(vk::kDelete, 0x53), vk::kDecimal);
    EXPECT_EQ(vkFromWindowsNative(vk::kClear, 0x4C), vk::numpad(5));
    EXPECT_EQ(vkFromWindowsNative(vk::numpad(7), 0x47), vk::numpad(7));
    EXPECT_EQ(vkFromWindowsNative(vk::letter('A'), 0x1E), vk::letter('A'));
    EXPECT_EQ(vkFromWindowsNative(0x1FF, 0), vk::kNone);

    const QKeyEvent rctrl(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier, 0x11D,
                          vk::kControl, 0);
    EXPECT_EQ(virtualKeyOf(rctrl, NativeKeys::Windows), vk::kRControl);
}

}  // namespace
}  // namespace tessaron::tholwin
