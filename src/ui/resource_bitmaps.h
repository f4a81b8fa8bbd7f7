#pragma once
// The small bitmaps the custom controls draw with (list icons, tree glyphs, slider strips, the
// list background). They are drawn in code from the shared palette and cached.

#include <QImage>

class QPainter;
class QRect;

namespace tessaron::ui {

enum class ResourceBitmap {
    ListDownIcon,    // event list: key-down line
    ListUpIcon,      // event list: key-up line
    ListDelayIcon,   // event list: delay line
    TreeCollapsed,   // 9 x 9
    TreeExpanded,    // 9 x 9
    SliderStrip,     // 220 x 17, gives the slider its size
    SliderStripLit,  // 220 x 17
    ThumbStrip,      // frames of 15 x 14
    ListBackground,  // 127 x 305, the lists copy it from (7, 22) on
};

inline constexpr int kListIconSize = 14;
inline constexpr int kTreeGlyphSize = 9;
inline constexpr int kSliderStripWidth = 220;
inline constexpr int kSliderStripHeight = 17;
inline constexpr int kThumbFrameWidth = 15;
inline constexpr int kThumbFrameHeight = 14;
inline constexpr int kListBackgroundWidth = 127;
inline constexpr int kListBackgroundHeight = 305;
// Where the lists' client area starts inside ListBackground.
inline constexpr int kListBackgroundOriginX = 7;
inline constexpr int kListBackgroundOriginY = 22;

// ratio 2 gives twice the pixels at the same logical size (devicePixelRatio 2).
QImage resourceBitmap(ResourceBitmap id, int ratio = 1);

// The list pane look: sunken area with a header strip; ListBackground is one of these, and the
// macro manager's background draws its two panes with it so the lists sit on it seamlessly.
void paintListPane(QPainter& painter, const QRect& pane);

}  // namespace tessaron::ui
