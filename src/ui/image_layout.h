#pragma once
// Where the main window puts the generated images whose place the window geometry leaves open.
// The image generator renders each image for exactly this place (images are copied opaque, so
// their edges carry the background they are drawn over).

#include <QPoint>

namespace tessaron::ui::layout {

// "logo.png", 243 x 71, over the logo's click area (19..261, 32..102).
inline constexpr QPoint kLogo{19, 32};
// "kb_BK.png" / "kb_bk.png" / "kb_hl.png", 660 x 280; key rectangles are relative to it.
inline constexpr QPoint kKeyboard{315, 127};
// Title buttons ("button-help-*", "button-min-*", "button-close-*"), 17 x 16, at the top-left
// corners of their click areas.
inline constexpr QPoint kHelpButton{936, 5};
inline constexpr QPoint kMinimiseButton{957, 5};
inline constexpr QPoint kCloseButton{978, 5};
// Sliders: "light_BK.png" (220 x 17) is the empty track drawn at the slider's place, "1.png"
// the lit track (draw its left part up to the thumb for a filled look), "Thumb.png" (15 x 14)
// the thumb at (slider x + thumbX() + 10, slider y + thumbY()). The section images already
// carry the empty tracks at the sliders' places.
inline constexpr int kThumbXToImage = 10;
// "125Hz.png" (220 x 20), the report-rate scale, lies this far below the slider's top; the
// rate section's open image already carries it.
inline constexpr int kRateScaleBelowSlider = 17;

}  // namespace tessaron::ui::layout
