// The pages opened from the main window (key page, profiles panel, macro manager) and the
// splash window.

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include "core/version.h"
#include "images.h"
#include "ui/resource_bitmaps.h"
#include "ui/text.h"
#include "ui/theme.h"

namespace tessaron::assets {

namespace {

namespace theme = ui::theme;

// Key page geometry.
constexpr int kPageWidth = 326;
constexpr int kPageHeight = 276;
constexpr int kPageFooterTop = 240;
// The "Disable" label sits on a patch of this grey; the footer uses it so the patch disappears.
constexpr QColor kFooter{35, 35, 35};
constexpr QColor kRowBand{0x1d, 0x21, 0x28};

void frame(QPainter& p, const QRect& r) {
    p.setPen(QPen(theme::kBorderLight, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));
}

void titleBar(QPainter& p, int width, int height) {
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0, QColor(0x26, 0x2a, 0x32));
    g.setColorAt(1, QColor(0x1a, 0x1d, 0x23));
    p.fillRect(QRect(0, 0, width, height), g);
    QLinearGradient rule(0, 0, width, 0);
    rule.setColorAt(0, theme::kAccent);
    rule.setColorAt(0.6, theme::kAccentDark);
    rule.setColorAt(1, theme::kBorder);
    p.fillRect(QRect(0, height, width, 1), rule);
}

QImage closeButton(const QColor& under, bool over) {
    QImage img = canvas(16, 16, under);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (over) {
        p.setPen(Qt::NoPen);
        p.setBrush(theme::kAccent);
        p.drawRoundedRect(QRectF(0, 0, 16, 16), 3, 3);
    }
    p.setPen(QPen(over ? theme::kText : theme::kTextDim, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
    p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
    return img;
}

QColor titleColourAt(int y, int height) {
    // Matches titleBar()'s gradient closely enough for the close button's corners.
    const qreal t = qreal(y) / height;
    return QColor::fromRgbF(float((0x26 + t * (0x1a - 0x26)) / 255.0),
                            float((0x2a + t * (0x1d - 0x2a)) / 255.0),
                            float((0x32 + t * (0x23 - 0x32)) / 255.0));
}

// --- key page -------------------------------------------------------------------------------

QImage keyPageBackground() {
    QImage img = canvas(kPageWidth, kPageHeight, theme::kPanel);
    QPainter p(&img);
    titleBar(p, kPageWidth, 29);
    // Content well behind the tree, the fields and the macro list.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x26, 0x2a, 0x32), 1));
    p.setBrush(QColor(0x16, 0x19, 0x1e));
    p.drawRoundedRect(QRectF(5.5, 61.5, 315, 173), 4, 4);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, kPageFooterTop, kPageWidth, kPageHeight - kPageFooterTop), kFooter);
    p.fillRect(QRect(0, kPageFooterTop, kPageWidth, 1), theme::kBorder);
    frame(p, logicalRect(img));
    return img;
}

// The buttons' click areas are 42 wide with 13 pixels between them; their pictures take 8 of
// those, so that "Default" and "Cancel" fit with room on both sides.
constexpr int kPageButtonWidth = 50;

QImage pageButton(Tone tone) {
    QImage img = canvas(kPageButtonWidth, 23, kFooter);
    QPainter p(&img);
    body(p, QRectF(0, 0, kPageButtonWidth, 23), tone, 3);
    return img;
}

QImage checkBox(bool ticked) {
    QImage img = canvas(11, 10, kFooter);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ticked ? theme::kAccentBright : theme::kBorderLight, 1));
    p.setBrush(ticked ? theme::kAccent : theme::kPanelSunken);
    p.drawRoundedRect(QRectF(0.5, 0.5, 10, 9), 1.5, 1.5);
    if (ticked) {
        p.setPen(QPen(theme::kText, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(2.5, 5), QPointF(4.5, 7.2), QPointF(8.5, 2.5)}));
    }
    return img;
}

QImage rowRadio(bool on) {
    QImage img = canvas(11, 10, kRowBand);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(on ? theme::kAccentBright : theme::kBorderLight, 1.1));
    p.setBrush(theme::kPanelSunken);
    p.drawEllipse(QRectF(1, 0.5, 9, 9));
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(theme::kAccentBright);
        p.drawEllipse(QRectF(3.25, 2.75, 4.5, 4.5));
    }
    return img;
}

QImage advanceRows() {
    QImage img = canvas(288, 112, QColor(0x16, 0x19, 0x1e));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int r = 0; r < 4; ++r) {
        p.setPen(Qt::NoPen);
        p.setBrush(kRowBand);
        p.drawRoundedRect(QRectF(0, 30 * r, 288, 24), 3, 3);
    }
    return img;
}

QImage pathBox() {
    QImage img = canvas(160, 16, kRowBand);
    QPainter p(&img);
    body(p, QRectF(0, 0, 160, 16), Tone::Sunken, 2);
    return img;
}

QImage browseButton(const Lang& lang, bool over) {
    QImage img = canvas(47, 16, kRowBand);
    QPainter p(&img);
    body(p, QRectF(0, 0, 47, 16), over ? Tone::Accent : Tone::Raised, 3);
    text(p, QRectF(0, 0, 47, 16), Qt::AlignCenter, ui::text(lang.code, TR_TEXT("Images", "Browse")),
         uiFont(10, QFont::DemiBold), over ? theme::kText : QColor(0xd0, 0xd4, 0xda));
    return img;
}

QImage tabMarker() {
    QImage img = canvas(11, 7, QColor(0x1d, 0x21, 0x28));
    QPainter p(&img);
    p.fillRect(QRect(0, 4, 11, 3), theme::kAccentBright);
    arrow(p, QPointF(5.5, 2.5), 5, Direction::Down, theme::kAccentBright);
    return img;
}

// --- profiles panel -------------------------------------------------------------------------

constexpr int kProfilesWidth = 263;
constexpr int kProfilesHeight = 632;

QImage profilesBackground() {
    QImage img = canvas(kProfilesWidth, kProfilesHeight, theme::kPanel);
    QPainter p(&img);
    titleBar(p, kProfilesWidth, 32);
    // The list lies at (1, 34), 260 x 540, and shows this area through.
    QLinearGradient well(0, 34, 0, 574);
    well.setColorAt(0, QColor(0x0e, 0x10, 0x13));
    well.setColorAt(1, QColor(0x0a, 0x0b, 0x0d));
    p.fillRect(QRect(1, 34, 260, 540), well);
    p.setRenderHint(QPainter::Antialiasing);
    emblem(p, QPointF(131, 520), 22);
    p.setRenderHint(QPainter::Antialiasing, false);
    QColor veil(0x0b, 0x0c, 0x0e);
    veil.setAlpha(200);
    p.fillRect(QRect(100, 490, 62, 62), veil);
    p.fillRect(QRect(1, 574, 261, 1), theme::kBorder);
    frame(p, logicalRect(img));
    return img;
}

enum class Symbol { Plus, Minus };

QImage profileButton(Symbol symbol) {
    QImage img = canvas(67, 50, theme::kPanel);
    QPainter p(&img);
    body(p, QRectF(0, 1, 67, 48), Tone::Raised, 5);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(33.5, 33);
    p.setPen(QPen(symbol == Symbol::Plus ? theme::kAccentBright : theme::kTextDim, 1.3));
    p.setBrush(theme::kPanelSunken);
    p.drawEllipse(c, 8, 8);
    p.setPen(QPen(theme::kText, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-4, 0), c + QPointF(4, 0));
    if (symbol == Symbol::Plus) p.drawLine(c + QPointF(0, -4), c + QPointF(0, 4));
    return img;
}

// --- macro manager --------------------------------------------------------------------------

constexpr int kMacroWidth = 412;
constexpr int kMacroHeight = 436;
constexpr QRect kOptionsPane{283, 58, 118, 305};
constexpr QColor kOptionsBody{0x15, 0x18, 0x1d};

QImage macroBackground() {
    QImage img = canvas(kMacroWidth, kMacroHeight, theme::kPanel);
    QPainter p(&img);
    titleBar(p, kMacroWidth, 34);
    // Two list panes; the lists copy their background from the same pane picture.
    ui::paintListPane(p, QRect(13, 58, ui::kListBackgroundWidth, ui::kListBackgroundHeight));
    ui::paintListPane(p, QRect(143, 58, ui::kListBackgroundWidth, ui::kListBackgroundHeight));
    // Options pane: same header, lighter body.
    ui::paintListPane(p, kOptionsPane);
    p.fillRect(kOptionsPane.adjusted(1, ui::kListBackgroundOriginY, -1, -1), kOptionsBody);
    p.fillRect(QRect(291, 290, 102, 1), theme::kBorder);
    p.fillRect(QRect(291, 140, 102, 1), theme::kBorder);
    p.fillRect(QRect(0, 400 - 36, kMacroWidth, 1), QColor(0x22, 0x26, 0x2e));
    frame(p, logicalRect(img));
    return img;
}

QImage macroButton(int width, const QColor& under, Tone tone) {
    QImage img = canvas(width, 25, under);
    QPainter p(&img);
    body(p, QRectF(0, 0, width, 25), tone, 4);
    return img;
}

QImage recordButton(Tone tone) {
    return macroButton(90, kOptionsBody, tone);
}

QImage tickBox(bool ticked) {
    QImage img = canvas(15, 15, kOptionsBody);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ticked ? theme::kAccentBright : theme::kBorderLight, 1));
    p.setBrush(ticked ? theme::kAccent : theme::kPanelSunken);
    p.drawRoundedRect(QRectF(0.5, 0.5, 14, 14), 2, 2);
    if (ticked) {
        p.setPen(QPen(theme::kText, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(3.5, 7.5), QPointF(6.3, 10.5), QPointF(11.5, 4)}));
    }
    return img;
}

}  // namespace

QImage tabButtonImage() {
    QImage img = canvas(81, 27, theme::kPanel);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 27);
    g.setColorAt(0, QColor(0x1d, 0x21, 0x28));
    g.setColorAt(1, QColor(0x17, 0x1a, 0x1f));
    p.fillRect(logicalRect(img), g);
    p.fillRect(QRect(0, 5, 81, 1), theme::kBorder);
    p.fillRect(QRect(80, 8, 1, 16), theme::kBorderLight);
    p.fillRect(QRect(0, 26, 81, 1), theme::kBorder);
    return img;
}

QImage tabStripImage() {
    QImage img = canvas(326, 7, QColor(0x1d, 0x21, 0x28));
    QPainter p(&img);
    p.fillRect(QRect(0, 5, 326, 1), theme::kBorder);
    return img;
}

void renderKeyPage(const Lang& lang, Output& out) {
    const QString dir = languageDir(lang) + QStringLiteral("Custom/");
    out.save(keyPageBackground(), dir + QStringLiteral("Custom_BK.png"));
    out.save(closeButton(titleColourAt(8, 29), false),
             dir + QStringLiteral("button-close-normal.png"));
    out.save(closeButton(titleColourAt(8, 29), true),
             dir + QStringLiteral("button-close-over.png"));
    out.save(tabButtonImage(), dir + QStringLiteral("large_button.png"));
    out.save(tabStripImage(), dir + QStringLiteral("single_combine_option.png"));
    out.save(tabMarker(), dir + QStringLiteral("cursor.png"));
    // "Disable.png"/"Enable.png" are the Disable check box; the lower-case pair are the radios
    // of the Advance rows. On this file system they are separate files.
    out.save(checkBox(false), dir + QStringLiteral("Disable.png"));
    out.save(checkBox(true), dir + QStringLiteral("Enable.png"));
    out.save(rowRadio(false), dir + QStringLiteral("disable.png"));
    out.save(rowRadio(true), dir + QStringLiteral("enable.png"));
    out.save(pageButton(Tone::Raised), dir + QStringLiteral("button-cancel-normal.png"));
    out.save(pageButton(Tone::Accent), dir + QStringLiteral("button-cancel-over.png"));
    out.save(pageButton(Tone::Accent), dir + QStringLiteral("button-save-normal.png"));
    out.save(pageButton(Tone::AccentBright), dir + QStringLiteral("button-save-over.png"));
    out.save(advanceRows(), dir + QStringLiteral("Macro_BK.png"));
    out.save(pathBox(), dir + QStringLiteral("Advanced.png"));
    out.save(browseButton(lang, false), dir + QStringLiteral("view.png"));
    out.save(browseButton(lang, true), dir + QStringLiteral("view02.png"));
}

void renderProfilesPanel(const Lang& lang, Output& out) {
    const QString dir = languageDir(lang) + QStringLiteral("Config/");
    out.save(profilesBackground(), dir + QStringLiteral("Config.png"));
    out.save(closeButton(titleColourAt(18, 32), false),
             dir + QStringLiteral("button-close-normal.png"));
    out.save(closeButton(titleColourAt(18, 32), true),
             dir + QStringLiteral("button-close-over.png"));
    out.save(profileButton(Symbol::Plus), dir + QStringLiteral("New.png"));
    out.save(profileButton(Symbol::Minus), dir + QStringLiteral("Delete.png"));
}

void renderMacroManager(const Lang& lang, Output& out) {
    const QString dir = languageDir(lang) + QStringLiteral("MacroManagement/");
    out.save(macroBackground(), dir + QStringLiteral("MacroManagement.png"));
    out.save(recordButton(Tone::Raised), dir + QStringLiteral("Record-normal.png"));
    out.save(recordButton(Tone::Accent), dir + QStringLiteral("Record-over.png"));
    out.save(recordButton(Tone::Raised), dir + QStringLiteral("Record-leave.png"));
    out.save(tickBox(false), dir + QStringLiteral("Pane.png"));
    out.save(tickBox(true), dir + QStringLiteral("PaneMakingTick.png"));
    out.save(macroButton(58, theme::kPanel, Tone::Raised),
             dir + QStringLiteral("button-new-normal.png"));
    out.save(macroButton(58, theme::kPanel, Tone::Accent),
             dir + QStringLiteral("button-new-over.png"));
    out.save(macroButton(58, theme::kPanel, Tone::Raised),
             dir + QStringLiteral("button-new-leave.png"));
}

void renderSplash(const Lang& lang, Output& out) {
    QImage img = canvas(480, 300, theme::kWindow);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, 300);
    bg.setColorAt(0, QColor(0x1a, 0x1d, 0x23));
    bg.setColorAt(1, QColor(0x0a, 0x0b, 0x0e));
    p.fillRect(logicalRect(img), bg);
    QRadialGradient glow(QPointF(240, 120), 220);
    QColor g = theme::kAccent;
    g.setAlpha(70);
    glow.setColorAt(0, g);
    g.setAlpha(0);
    glow.setColorAt(1, g);
    p.fillRect(logicalRect(img), glow);
    emblem(p, QPointF(240, 92), 42);
    QFont word = uiFont(40, QFont::Black);
    word.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    text(p, QRectF(0, 146, 480, 48), Qt::AlignCenter, QStringLiteral("TESSARON"), word,
         theme::kText);
    QFont sub = uiFont(lang.chinese() ? 15 : 12, QFont::DemiBold);
    if (!lang.chinese()) sub.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    text(p, QRectF(0, 196, 480, 22), Qt::AlignCenter,
         ui::text(lang.code, TR_TEXT("Images", "ORVIK GAMING KEYBOARD")), sub, theme::kTextDim);
    // The splash shows while the window sets itself up; it names the program and claims no
    // progress, since nothing is read from the keyboard until the window is up.
    text(p, QRectF(0, 276, 470, 20), Qt::AlignRight | Qt::AlignVCenter,
         ui::text(lang.code, TR_TEXT("Images", "Ver: %1")).arg(QString::fromLatin1(kVersion)),
         uiFont(10), QColor(0x5c, 0x63, 0x6e));
    p.setPen(QPen(theme::kBorder, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 479, 299));
    out.save(img, languageDir(lang) + QStringLiteral("SplashScreen.png"));
}

// The icons of the standard message boxes, in the panels' look: a round badge with its sign.
void renderMessageIcons(Output& out) {
    constexpr int kSide = 32;
    enum class Sign { Information, Warning, Critical, Question };
    const struct {
        const char* name;
        Sign sign;
        QColor ring;
    } icons[] = {{"information", Sign::Information, theme::kTextDim},
                 {"warning", Sign::Warning, QColor(0xf0, 0xa0, 0x30)},
                 {"critical", Sign::Critical, theme::kAccentBright},
                 {"question", Sign::Question, theme::kTextDim}};
    for (const auto& icon : icons) {
        QImage img(kSide * scale(), kSide * scale(), QImage::Format_ARGB32_Premultiplied);
        img.setDevicePixelRatio(scale());
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF badge(2, 2, kSide - 4, kSide - 4);
        p.setPen(QPen(icon.ring, 2));
        p.setBrush(icon.sign == Sign::Critical ? theme::kAccentDark : theme::kPanelRaised);
        if (icon.sign == Sign::Warning) {
            p.drawPolygon(QPolygonF({QPointF(16, 3), QPointF(29.5, 28), QPointF(2.5, 28)}));
        } else {
            p.drawEllipse(badge);
        }
        const QString glyph = icon.sign == Sign::Information ? QStringLiteral("i")
                              : icon.sign == Sign::Question  ? QStringLiteral("?")
                                                             : QStringLiteral("!");
        const QRectF area = icon.sign == Sign::Warning ? QRectF(2, 9, 28, 19) : badge;
        text(p, area, Qt::AlignCenter, glyph,
             uiFont(icon.sign == Sign::Warning ? 15 : 18, QFont::Black), theme::kText);
        p.end();
        out.save(img, QStringLiteral("icons/") + QLatin1String(icon.name) + QStringLiteral(".png"));
    }
}

}  // namespace tessaron::assets
