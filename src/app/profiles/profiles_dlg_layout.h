#pragma once
// The profiles panel's fixed geometry, click areas, menu commands and texts. Everything here is
// in client pixels of the panel; rectangles are inclusive.

#include <QPoint>
#include <QString>

#include "core/language.h"
#include "ui/geometry.h"

namespace tessaron::app::profilesdlg {

// Areas, resolved on button release. The close area starts one pixel inside its image.
inline constexpr ui::Rect kCloseArea{248, 11, 262, 24};
inline constexpr ui::Rect kNewArea{14, 576, 79, 624};
inline constexpr ui::Rect kDeleteArea{184, 576, 249, 624};

enum class Button { None, Close, New, Delete };

// The profiles list, the panel's only child control.
inline constexpr int kListControlId = 1016;
inline constexpr QPoint kListOrigin{1, 34};
inline constexpr int kListWidth = 260;
inline constexpr int kListHeight = 540;
inline constexpr int kListFontHeight = 15;
inline constexpr int kListShadowOffset = 2;

// Painted elements.
inline constexpr QPoint kTitleSpot{10, 10};
inline constexpr int kTitleHeight = 15;
inline constexpr QPoint kCloseSpot{247, 10};
inline constexpr QPoint kNewSpot{13, 575};
inline constexpr QPoint kNewLabelSpot{30, 578};
inline constexpr QPoint kDeleteSpot{183, 575};
inline constexpr QPoint kDeleteLabelSpot{200, 578};
inline constexpr int kLabelHeight = 16;

// Used when the background image is missing: everything above must still fit and be reachable.
inline constexpr int kFallbackWidth = 263;
inline constexpr int kFallbackHeight = 632;
static_assert(kCloseArea.right < kFallbackWidth && kNewArea.bottom < kFallbackHeight);
static_assert(kListOrigin.x() + kListWidth <= kFallbackWidth &&
              kListOrigin.y() + kListHeight <= kNewSpot.y());

inline constexpr const char* kBackgroundImage = "Config.png";
inline constexpr const char* kCloseImage = "button-close-normal.png";
inline constexpr const char* kNewImage = "New.png";
inline constexpr const char* kDeleteImage = "Delete.png";

// Context menu commands, with their historical ids.
enum class Command : int {
    New = 32785,
    Copy = 32817,
    Save = 32786,
    Load = 32787,
    Delete = 32788,
};
// In menu order.
inline constexpr Command kMenuCommands[] = {Command::New, Command::Copy, Command::Save,
                                            Command::Load, Command::Delete};

struct Texts {
    QString title;
    QString newLabel;
    QString deleteLabel;
    QString copyLabel;
    QString saveLabel;
    QString loadLabel;
};
// Chinese for Language::Chinese, English for every other code.
Texts texts(Language lang);
QString commandLabel(Command command, Language lang);

}  // namespace tessaron::app::profilesdlg
