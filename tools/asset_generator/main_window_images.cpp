// The main window: background, logo, keyboard pictures, title and bottom buttons, help menu and
// the images of the left panel's sections. Sizes follow the window's fixed geometry: each image
// is made for the place the window copies it to.

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>
#include <array>

#include "device/performance.h"
#include "images.h"
#include "ui/image_layout.h"
#include "ui/resource_bitmaps.h"
#include "ui/image_folders.h"
#include "ui/panel_painter.h"
#include "ui/text.h"
#include "ui/theme.h"

namespace tessaron::assets {

namespace {

namespace theme = ui::theme;

constexpr int kWindowWidth = 1000;
constexpr int kWindowHeight = 645;
// Left panel column. The window draws the section titles at the sections' left edge (x 19), so
// the panel's frame lies 10 pixels further left and the section images carry no left border;
// they reach the frame's right edge, so the texts at their right end stay inside too.
constexpr int kPanelX = 19;
constexpr int kFrameLeft = 9;
constexpr int kFrameRight = 272;  // exclusive
constexpr int kPanelTop = 106;
constexpr int kPanelWidth = kFrameRight - kPanelX;
constexpr int kPanelBottom = 594;
constexpr int kBottomBarTop = 597;
// Titles (13 px text) sit on the section's first 16 pixels; the header's rule lies under them,
// as far from the frame's right edge as the titles are from its left one.
constexpr int kRuleY = 17;
constexpr int kRuleWidth = kPanelWidth - (kPanelX - kFrameLeft);
constexpr int kMarkX = kRuleWidth - 8;
// The slider's channel starts 7 pixels in and is 205 pixels long (its thumb is 15 wide).
constexpr int kSliderWidth = ui::kSliderStripWidth;
constexpr int kSliderChannelLeft = ui::kThumbFrameWidth / 2;
constexpr int kSliderChannelWidth = kSliderWidth - ui::kThumbFrameWidth;

QImage renderBackground(const Lang& lang) {
    QImage img = canvas(kWindowWidth, kWindowHeight, theme::kWindow);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, kWindowHeight);
    bg.setColorAt(0, QColor(0x16, 0x19, 0x1f));
    bg.setColorAt(1, QColor(0x0b, 0x0c, 0x0f));
    p.fillRect(logicalRect(img), bg);

    // Title bar.
    QLinearGradient tb(0, 0, 0, 27);
    tb.setColorAt(0, QColor(0x21, 0x25, 0x2c));
    tb.setColorAt(1, QColor(0x17, 0x1a, 0x1f));
    p.fillRect(QRect(0, 0, kWindowWidth, 27), tb);
    p.fillRect(QRect(0, 27, kWindowWidth, 1), theme::kBorder);
    p.fillRect(QRect(0, 27, 262, 1), theme::kAccent);
    text(p, QRectF(12, 0, 500, 27), Qt::AlignLeft | Qt::AlignVCenter,
         ui::text(lang.code, TR_TEXT("Images", "TESSARON  ·  Keyboard Settings")),
         uiFont(11, QFont::DemiBold), theme::kTextDim);

    // Right-hand stage for the keyboard with a soft red light behind it.
    const QRectF stage(296.5, 110.5, 689, 480);
    p.setPen(QPen(QColor(0x22, 0x26, 0x2e), 1));
    QLinearGradient sg(stage.topLeft(), stage.bottomLeft());
    sg.setColorAt(0, QColor(0x14, 0x17, 0x1c));
    sg.setColorAt(1, QColor(0x0e, 0x10, 0x13));
    p.setBrush(sg);
    p.drawRoundedRect(stage, 8, 8);
    QRadialGradient glow(QPointF(645, 300), 330);
    QColor g = theme::kAccent;
    g.setAlpha(34);
    glow.setColorAt(0, g);
    g.setAlpha(0);
    glow.setColorAt(1, g);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(stage.adjusted(1, 1, -1, -1), 8, 8);
    // Fine floor lines under the keyboard.
    for (int i = 0; i < 7; ++i) {
        QColor line = theme::kBorder;
        line.setAlpha(90 - i * 12);
        p.setPen(QPen(line, 1));
        const int y = 430 + i * 22;
        p.drawLine(QPointF(330 + i * 8, y + 0.5), QPointF(960 - i * 8, y + 0.5));
    }

    // Left panel column.
    p.setPen(QPen(theme::kBorder, 1));
    p.setBrush(theme::kPanel);
    p.drawRoundedRect(QRectF(kFrameLeft + 0.5, kPanelTop + 0.5, kFrameRight - kFrameLeft - 1,
                             kPanelBottom - kPanelTop - 1),
                      4, 4);

    // Bottom bar.
    QLinearGradient bb(0, kBottomBarTop, 0, kWindowHeight);
    bb.setColorAt(0, QColor(0x1a, 0x1d, 0x23));
    bb.setColorAt(1, QColor(0x0e, 0x10, 0x13));
    p.fillRect(QRect(0, kBottomBarTop, kWindowWidth, kWindowHeight - kBottomBarTop), bb);
    p.fillRect(QRect(0, kBottomBarTop, kWindowWidth, 1), theme::kBorder);
    p.fillRect(QRect(800, kBottomBarTop, 181, 1), theme::kAccentDark);
    return img;
}

QImage renderLogo(const QImage& base, const Lang& lang) {
    QImage img = crop(base, ui::layout::kLogo.x(), ui::layout::kLogo.y(), 243, 71);
    QPainter p(&img);
    emblem(p, QPointF(33, 35), 25);
    QFont word = uiFont(29, QFont::Black);
    word.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    text(p, QRectF(68, 8, 175, 34), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TESSARON"),
         word, theme::kText);
    p.fillRect(QRectF(70, 44, 166, 1.5), theme::kAccent);
    const QString subtitle = ui::text(lang.code, TR_TEXT("Images", "ORVIK GAMING KEYBOARD"));
    QFont sub = uiFont(lang.chinese() ? 12 : 10, QFont::DemiBold);
    if (!lang.chinese()) sub.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    // A longer subtitle gives up its spacing, then shrinks, then takes two lines below the rule.
    constexpr int kSubtitleWidth = 173;
    const auto wide = [&] { return QFontMetrics(sub).horizontalAdvance(subtitle) > kSubtitleWidth; };
    if (wide()) sub.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    while (wide() && sub.pixelSize() > ui::kSmallestTextHeight) sub.setPixelSize(sub.pixelSize() - 1);
    if (wide()) {
        text(p, QRectF(70, 46, kSubtitleWidth, 25), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
             subtitle, sub, theme::kTextDim);
    } else {
        text(p, QRectF(70, 48, kSubtitleWidth, 18), Qt::AlignLeft | Qt::AlignVCenter, subtitle, sub,
             theme::kTextDim);
    }
    return img;
}

enum class Glyph { Help, Minimise, Close };

QImage renderTitleButton(const QImage& base, int x, Glyph glyph, bool over) {
    QImage img = crop(base, x, ui::layout::kHelpButton.y(), 17, 16);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QColor ink = theme::kTextDim;
    if (over) {
        p.setPen(Qt::NoPen);
        p.setBrush(glyph == Glyph::Close ? theme::kAccent : theme::kBorderLight);
        p.drawRoundedRect(QRectF(0, 0, 17, 16), 3, 3);
        ink = theme::kText;
    }
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    switch (glyph) {
        case Glyph::Help:
            text(p, QRectF(0, 0, 17, 16), Qt::AlignCenter, QStringLiteral("?"),
                 uiFont(12, QFont::Bold), ink);
            break;
        case Glyph::Minimise:
            p.drawLine(QPointF(4.5, 11), QPointF(12.5, 11));
            break;
        case Glyph::Close:
            p.drawLine(QPointF(4.5, 4), QPointF(12.5, 12));
            p.drawLine(QPointF(12.5, 4), QPointF(4.5, 12));
            break;
    }
    return img;
}

// The captions are drawn with their tops at y 607 (13 px text, capitals 610..619): the buttons'
// bodies are centred on them. Each body is 60 wide, up to the next button.
constexpr int kBottomButtonWidth = 60;
constexpr int kBottomBodyTop = 602;
constexpr int kBottomBodyHeight = 28;

QImage renderBottomButton(const QImage& base, int x, Tone tone) {
    QImage img = crop(base, x, 600, kBottomButtonWidth, 36);
    QPainter p(&img);
    body(p, QRectF(0, kBottomBodyTop - 600, kBottomButtonWidth, kBottomBodyHeight), tone, 4);
    return img;
}

// "Profile" is drawn at (45, 610): the body runs from the click area's left edge past the
// longest caption, centred on the text's line.
QImage renderProfileButton(const QImage& base, bool over) {
    QImage img = crop(base, 17, 603, 86, 34);
    QPainter p(&img);
    body(p, QRectF(2, 2, 84, kBottomBodyHeight), over ? Tone::Accent : Tone::Raised, 4);
    p.setRenderHint(QPainter::Antialiasing);
    // A small stack of profile cards.
    for (int i = 2; i >= 0; --i) {
        const QRectF card(7 + i * 2.5, 6 + i * 2.5, 12, 14);
        p.setPen(QPen(i == 0 ? theme::kText : theme::kTextDim, 1));
        p.setBrush(i == 0 ? (over ? theme::kAccentDark : theme::kPanelSunken) : theme::kPanel);
        p.drawRoundedRect(card, 2, 2);
    }
    p.setPen(QPen(theme::kAccentBright, 1.2));
    p.drawLine(QPointF(10, 10.5), QPointF(16, 10.5));
    p.drawLine(QPointF(10, 14), QPointF(14, 14));
    return img;
}

QImage renderHelpMenu(const QImage& base) {
    QImage img = crop(base, 830, 22, 167, 78);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(theme::kBorderLight, 1));
    p.setBrush(QColor(0x1b, 0x1f, 0x26));
    p.drawRoundedRect(QRectF(0.5, 0.5, 166, 77), 4, 4);
    p.setPen(QPen(theme::kBorder, 1));
    p.drawLine(QPointF(6, 24.5), QPointF(160, 24.5));
    p.drawLine(QPointF(6, 49.5), QPointF(160, 49.5));
    // Row icons (web, download, version) in the 20 pixels before the texts at x 20, centred on
    // the texts' capitals, with 6 pixels between icon and text.
    p.setPen(QPen(theme::kAccentBright, 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(9, 10), 4.5, 4.5);
    p.drawEllipse(QRectF(7, 5.5, 4, 9));
    p.drawLine(QPointF(4.5, 10), QPointF(13.5, 10));
    p.drawLine(QPointF(9, 30), QPointF(9, 38));
    p.drawLine(QPointF(6, 35), QPointF(9, 38.5));
    p.drawLine(QPointF(12, 35), QPointF(9, 38.5));
    p.drawLine(QPointF(5, 41.5), QPointF(13, 41.5));
    p.drawEllipse(QPointF(9, 60), 4.5, 4.5);
    p.drawLine(QPointF(9, 59), QPointF(9, 63));
    p.drawPoint(QPointF(9, 57));
    return img;
}

// --- left panel -----------------------------------------------------------------------------

QImage sectionCanvas(int height) {
    QImage img = canvas(kPanelWidth, height, theme::kPanel);
    QPainter p(&img);
    // The frame's right edge (the left one lies in the window background).
    p.fillRect(QRect(kPanelWidth - 1, 0, 1, height), theme::kBorder);
    return img;
}

enum class Mark { None, Open, Closed };

// A section title is a text on the panel with a rule under it: no band of its own whose edge
// the text could touch.
void headerRule(QPainter& p, int y) {
    QLinearGradient rule(QPointF(0, 0), QPointF(kRuleWidth, 0));
    rule.setColorAt(0, theme::kAccent);
    rule.setColorAt(0.7, theme::kAccentDark);
    rule.setColorAt(1, theme::kBorder);
    p.fillRect(QRectF(0, y, kRuleWidth, 1), rule);
}

void header(QPainter& p, Mark mark, int splitAt = -1) {
    headerRule(p, kRuleY);
    if (splitAt > 0) p.fillRect(QRectF(splitAt, 3, 1, 11), theme::kBorderLight);
    const QPointF c(kMarkX, 7.5);
    switch (mark) {
        case Mark::Open:
            chevron(p, c, 7, Direction::Down, theme::kTextDim);
            break;
        case Mark::Closed:
            chevron(p, c, 7, Direction::Right, theme::kTextDim);
            break;
        case Mark::None:
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(theme::kAccent);
            p.drawPolygon(QPolygonF(
                {c + QPointF(0, -3), c + QPointF(3, 0), c + QPointF(0, 3), c + QPointF(-3, 0)}));
            p.restore();
            break;
    }
}

void card(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x26, 0x2a, 0x32), 1));
    p.setBrush(theme::kCard);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    p.restore();
}

void slider(QPainter& p, int x, int y) {
    p.drawImage(x, y, ui::resourceBitmap(ui::ResourceBitmap::SliderStrip, scale()));
}

int sliderTickX(int position, int maximum) {
    const int left = kSliderChannelWidth * position / maximum;
    return kSliderChannelLeft + left;
}

// The report-rate scale: ticks under the four thumb positions with their rates.
void rateScale(QPainter& p, int x, int y, const Lang& lang) {
    const QFont font = uiFont(9, QFont::DemiBold);
    const QFontMetricsF fm(font);
    for (int i = 0; i < 4; ++i) {
        const int tx = x + sliderTickX(i, 3);
        p.fillRect(QRect(tx, y, 1, 4), theme::kBorderLight);
        const QString label = ui::text(lang.code, TR_TEXT("Images", "%1Hz"))
                                  .arg(device::performance::kReportRates[static_cast<size_t>(i)]);
        const qreal w = fm.horizontalAdvance(label);
        qreal left = tx - w / 2;
        left = std::clamp(left, qreal(x), qreal(x + kSliderWidth) - w);
        text(p, QRectF(left, y + 5, w + 1, 12), Qt::AlignLeft | Qt::AlignTop, label, font,
             theme::kTextDim);
    }
}

// The Light section body from window y 130 down, optionally with the speed slider's track.
// Labels lie at x 28 and 29, 6 pixels inside the card; "Bright" and "Fast" end near x 262.
// The panel offers no colour choice (DIY keys are only switched on and off), so it shows none.
QImage lightBody(bool withSpeed) {
    constexpr int kTop = 130;
    QImage img = sectionCanvas(207);
    QPainter p(&img);
    // The open section starts 16 pixels below its title: the title's rule is this image's.
    headerRule(p, 114 + kRuleY - kTop);
    card(p, QRectF(3, 4, kPanelWidth - 7, 200));
    // Hairline between the effect and direction group and the brightness and speed group.
    p.fillRect(QRect(12, 231 - kTop, kPanelWidth - 24, 1), QColor(0x22, 0x26, 0x2e));
    slider(p, 28 - kPanelX, 260 - kTop);
    if (withSpeed) slider(p, 28 - kPanelX, 303 - kTop);
    return img;
}

QImage renderItemBK() {
    QImage img = sectionCanvas(30);
    QPainter p(&img);
    header(p, Mark::None);
    return img;
}

QImage renderGameMode(bool open, bool winLockTitle) {
    // "Win Lock" starts at x 149, the radios' labels at y2 + 31 (13 px); "OFF" ends near 262.
    constexpr int kSplit = 142 - kPanelX;
    QImage img = sectionCanvas(open ? 60 : 50);
    QPainter p(&img);
    // The bar parts the two titles; where the second is not drawn it would stand alone.
    header(p, open ? Mark::Open : Mark::Closed, winLockTitle ? kSplit : -1);
    if (open) {
        card(p, QRectF(3, 23, kPanelWidth - 7, 31));
        p.fillRect(QRect(kSplit, 27, 1, 23), QColor(0x26, 0x2a, 0x32));
    }
    return img;
}

QImage renderResponseTime(bool open) {
    QImage img = sectionCanvas(open ? 77 : 40);
    QPainter p(&img);
    header(p, open ? Mark::Open : Mark::Closed);
    if (open) card(p, QRectF(3, 23, kPanelWidth - 7, 28));
    return img;
}

QImage renderReportRate(bool open, const Lang& lang) {
    QImage img = sectionCanvas(open ? 62 : 30);
    QPainter p(&img);
    header(p, open ? Mark::Open : Mark::Closed);
    if (open) {
        card(p, QRectF(3, 21, kPanelWidth - 7, 40));
        slider(p, 28 - kPanelX, 23);
        rateScale(p, 28 - kPanelX, 23 + ui::layout::kRateScaleBelowSlider, lang);
    }
    return img;
}

QImage renderRateScaleAlone(const Lang& lang) {
    QImage img = canvas(kSliderWidth, 20, theme::kCard);
    QPainter p(&img);
    rateScale(p, 0, 0, lang);
    return img;
}

QImage renderMacroPanel() {
    QImage img = sectionCanvas(47);
    return img;
}

// 21 high: its text, drawn 2 pixels below its top, keeps its descenders off the bottom edge.
QImage renderMacroButton() {
    QImage img = canvas(241, 21, theme::kPanel);
    QPainter p(&img);
    body(p, QRectF(0, 0, 241, 21), Tone::Raised, 3, false);
    p.fillRect(QRectF(1, 1, 2, 19), theme::kAccent);
    // Record dot and arrow on the right: the button opens the macro manager.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(theme::kAccentBright);
    p.drawEllipse(QPointF(214, 10.5), 3.2, 3.2);
    chevron(p, QPointF(230, 10.5), 7, Direction::Right, theme::kTextDim);
    return img;
}

// The effect name is drawn at the field's own top-left corner (28, 158): the field is an
// underlined line with its arrow, so no box edge meets the text's first letter.
QImage renderField() {
    // The line lies below the descenders of a 13 px text drawn at the field's top and above the
    // next label, 19 pixels below that text.
    QImage img = canvas(221, 19, theme::kCard);
    QPainter p(&img);
    p.fillRect(QRect(0, 17, 221, 1), theme::kBorderLight);
    p.fillRect(QRect(200, 3, 1, 12), theme::kBorder);
    arrow(p, QPointF(210.5, 9), 7, Direction::Down, theme::kAccentBright);
    return img;
}

QImage renderRadio(bool on) {
    QImage img = canvas(11, 11, theme::kCard);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(on ? theme::kAccentBright : theme::kBorderLight, 1.2));
    p.setBrush(theme::kPanelSunken);
    p.drawEllipse(QRectF(0.8, 0.8, 9.4, 9.4));
    if (on) {
        p.setPen(Qt::NoPen);
        p.setBrush(theme::kAccentBright);
        p.drawEllipse(QRectF(3, 3, 5, 5));
    }
    return img;
}

QImage renderDirection(Direction dir, bool enabled) {
    QImage img = canvas(36, 16, theme::kCard);
    QPainter p(&img);
    body(p, QRectF(0, 0, 36, 16), enabled ? Tone::Accent : Tone::Raised, 4);
    arrow(p, QPointF(18, 8), 8, dir, enabled ? theme::kText : theme::kTextDim);
    return img;
}

QImage thumb() {
    return crop(ui::resourceBitmap(ui::ResourceBitmap::ThumbStrip, scale()), 0, 0,
                ui::kThumbFrameWidth, ui::kThumbFrameHeight);
}

}  // namespace

QString languageDir(const Lang& lang) {
    return ui::languageFolderName(lang.code) + QLatin1Char('/');
}

void renderMainWindow(const Lang& lang, Output& out) {
    const QString dir = languageDir(lang);
    const QImage base = renderBackground(lang);
    out.savePaletted(base, dir + QStringLiteral("main.png"));
    out.save(renderLogo(base, lang), dir + QStringLiteral("logo.png"));

    const QImage under = crop(base, kKeyboardX, kKeyboardY, kKeyboardWidth, kKeyboardHeight);
    const QImage keyboard = keyboardPicture(under, false);
    // The window asks for both spellings; file names are case-sensitive here.
    // The keyboard pictures keep every colour: the glow behind the keys bands in a palette.
    out.save(keyboard, dir + QStringLiteral("kb_BK.png"));
    out.save(keyboard, dir + QStringLiteral("kb_bk.png"));
    out.save(keyboardPicture(under, true), dir + QStringLiteral("kb_hl.png"));

    out.save(renderHelpMenu(base), dir + QStringLiteral("HelpWindow.png"));
    out.save(renderProfileButton(base, false), dir + QStringLiteral("Config.png"));
    out.save(thumb(), dir + QStringLiteral("Thumb.png"));

    const struct {
        const char* name;
        int x;
        Glyph glyph;
    } titleButtons[] = {{"help", ui::layout::kHelpButton.x(), Glyph::Help},
                        {"min", ui::layout::kMinimiseButton.x(), Glyph::Minimise},
                        {"close", ui::layout::kCloseButton.x(), Glyph::Close}};
    for (const auto& b : titleButtons) {
        const QString stem = dir + QStringLiteral("button-") + QLatin1String(b.name);
        out.save(renderTitleButton(base, b.x, b.glyph, false),
                 stem + QStringLiteral("-normal.png"));
        out.save(renderTitleButton(base, b.x, b.glyph, true), stem + QStringLiteral("-over.png"));
    }
    out.save(renderBottomButton(base, 800, Tone::Raised),
             dir + QStringLiteral("button-cancel-normal.png"));
    out.save(renderBottomButton(base, 800, Tone::Accent),
             dir + QStringLiteral("button-cancel-over.png"));
    out.save(renderBottomButton(base, 924, Tone::Accent),
             dir + QStringLiteral("button-save-normal.png"));
    out.save(renderBottomButton(base, 924, Tone::AccentBright),
             dir + QStringLiteral("button-save-over.png"));

    out.save(renderItemBK(), dir + QStringLiteral("itemBK.png"));
    out.save(lightBody(false), dir + QStringLiteral("LEDEffect_open.png"));
    // The speed part of the Light section, from window y 245 down.
    out.save(crop(lightBody(true), 0, 245 - 130, kPanelWidth, 92),
             dir + QStringLiteral("freq.png"));
    out.save(renderField(), dir + QStringLiteral("Light_Item.png"));
    out.save(ui::resourceBitmap(ui::ResourceBitmap::SliderStrip, scale()),
             dir + QStringLiteral("light_BK.png"));
    out.save(ui::resourceBitmap(ui::ResourceBitmap::SliderStripLit, scale()),
             dir + QStringLiteral("1.png"));
    out.save(renderRateScaleAlone(lang), dir + QStringLiteral("125Hz.png"));
    out.save(renderRadio(true), dir + QStringLiteral("Enable.png"));
    out.save(renderRadio(false), dir + QStringLiteral("Disable.png"));
    const struct {
        const char* letter;
        Direction dir;
    } directions[] = {{"T", Direction::Up},
                      {"B", Direction::Down},
                      {"L", Direction::Left},
                      {"R", Direction::Right}};
    for (const auto& d : directions) {
        const QString stem = dir + QStringLiteral("Direction-") + QLatin1String(d.letter);
        out.save(renderDirection(d.dir, true), stem + QStringLiteral("-Enable.png"));
        out.save(renderDirection(d.dir, false), stem + QStringLiteral("-Disable.png"));
    }
    // Collapsed, the Chinese face names Game Mode alone.
    out.save(renderGameMode(true, true), dir + QStringLiteral("gamemode_open.png"));
    out.save(renderGameMode(false, !lang.chinese()), dir + QStringLiteral("gamemode_Close.png"));
    out.save(renderResponseTime(true), dir + QStringLiteral("responsetime_open.png"));
    out.save(renderResponseTime(false), dir + QStringLiteral("responsetime_close.png"));
    out.save(renderReportRate(true, lang), dir + QStringLiteral("reportrate_Open.png"));
    out.save(renderReportRate(false, lang), dir + QStringLiteral("reportrate_Close.png"));
    out.save(renderMacroPanel(), dir + QStringLiteral("MacroManagementBK.png"));
    const QImage macroButton = renderMacroButton();
    out.save(macroButton, dir + QStringLiteral("MacroButton3.png"));
    out.save(macroButton, dir + QStringLiteral("macroButton3.png"));
    // Listed with the main window's images as well; the same look as on the key page.
    out.save(tabButtonImage(), dir + QStringLiteral("large_button.png"));
    out.save(tabStripImage(), dir + QStringLiteral("single_combine_option.png"));
}

}  // namespace tessaron::assets
