#pragma once
// One palette for the generated images and the code-drawn control bitmaps, so the two meet
// without seams.

#include <QColor>

namespace tessaron::ui::theme {

inline constexpr QColor kWindow{0x10, 0x12, 0x16};       // outermost background
inline constexpr QColor kPanel{0x19, 0x1c, 0x22};        // left panel, dialogs
inline constexpr QColor kPanelRaised{0x22, 0x26, 0x2e};  // section headers, fields
inline constexpr QColor kPanelSunken{0x0c, 0x0d, 0x10};  // list panes, tracks
inline constexpr QColor kCard{0x15, 0x18, 0x1d};         // grouped controls inside a panel
inline constexpr QColor kBorder{0x2e, 0x33, 0x3d};
inline constexpr QColor kBorderLight{0x44, 0x4a, 0x57};
inline constexpr QColor kAccent{0xe0, 0x25, 0x3a};  // red of the selection colours
inline constexpr QColor kAccentBright{0xff, 0x4d, 0x5e};
inline constexpr QColor kAccentDark{0x6e, 0x12, 0x1c};
inline constexpr QColor kText{0xff, 0xff, 0xff};
inline constexpr QColor kTextDim{0x9a, 0xa1, 0xad};
inline constexpr QColor kKeyCap{0x26, 0x29, 0x30};
inline constexpr QColor kKeyCapTop{0x30, 0x34, 0x3c};
inline constexpr QColor kTreeBackground{0x1e, 0x1e, 0x1e};
// The keyboard focus mark: apart from the red of selections and hovers, so both show at once.
inline constexpr QColor kFocus{0xff, 0xc8, 0x3d};

}  // namespace tessaron::ui::theme
