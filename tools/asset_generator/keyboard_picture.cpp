#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>

#include "images.h"
#include "ui/theme.h"

namespace tessaron::assets {

namespace {

namespace theme = ui::theme;

struct KeyCap {
    int left, top, right, bottom;  // inclusive, relative to the keyboard origin
    const char* legend;
};

// The 108 keys of the keyboard, in key index order.
constexpr std::array<KeyCap, 108> kKeys = {{
    {37, 90, 59, 113, "Esc"},         // 0
    {83, 90, 105, 113, "F1"},         // 1
    {107, 90, 129, 113, "F2"},        // 2
    {131, 90, 153, 113, "F3"},        // 3
    {155, 90, 177, 113, "F4"},        // 4
    {190, 90, 212, 113, "F5"},        // 5
    {214, 90, 236, 113, "F6"},        // 6
    {238, 90, 260, 113, "F7"},        // 7
    {262, 90, 284, 113, "F8"},        // 8
    {299, 90, 321, 113, "F9"},        // 9
    {323, 90, 345, 113, "F10"},       // 10
    {347, 90, 369, 113, "F11"},       // 11
    {371, 90, 393, 113, "F12"},       // 12
    {401, 90, 423, 113, "Prnt"},      // 13
    {425, 90, 447, 113, "Scrl"},      // 14
    {449, 90, 471, 113, "Pause"},     // 15
    {515, 78, 541, 101, "Vol-"},      // 16
    {543, 78, 569, 101, "Player"},    // 17
    {571, 78, 597, 101, "Play"},      // 18
    {599, 78, 625, 101, "Vol+"},      // 19
    {37, 120, 59, 142, "~"},          // 20
    {61, 120, 83, 142, "1"},          // 21
    {85, 120, 107, 142, "2"},         // 22
    {109, 120, 131, 142, "3"},        // 23
    {133, 120, 155, 142, "4"},        // 24
    {157, 120, 179, 142, "5"},        // 25
    {181, 120, 203, 142, "6"},        // 26
    {205, 120, 227, 142, "7"},        // 27
    {229, 120, 251, 142, "8"},        // 28
    {253, 120, 275, 142, "9"},        // 29
    {277, 120, 299, 142, "0"},        // 30
    {301, 120, 323, 142, "-"},        // 31
    {325, 120, 347, 142, "="},        // 32
    {349, 120, 394, 142, "Back"},     // 33
    {401, 120, 423, 142, "Ins"},      // 34
    {425, 120, 447, 142, "Home"},     // 35
    {449, 120, 471, 142, "PgUp"},     // 36
    {479, 120, 501, 142, "Num"},      // 37
    {503, 120, 525, 142, "/"},        // 38
    {527, 120, 549, 142, "*"},        // 39
    {551, 120, 573, 142, "-"},        // 40
    {37, 144, 70, 166, "Tab"},        // 41
    {72, 144, 94, 166, "Q"},          // 42
    {96, 144, 118, 166, "W"},         // 43
    {120, 144, 142, 166, "E"},        // 44
    {144, 144, 166, 166, "R"},        // 45
    {168, 144, 190, 166, "T"},        // 46
    {192, 144, 214, 166, "Y"},        // 47
    {216, 144, 238, 166, "U"},        // 48
    {240, 144, 262, 166, "I"},        // 49
    {264, 144, 286, 166, "O"},        // 50
    {288, 144, 310, 166, "P"},        // 51
    {312, 144, 334, 166, "["},        // 52
    {336, 144, 358, 166, "]"},        // 53
    {360, 144, 394, 166, "\\"},       // 54
    {401, 144, 423, 166, "Del"},      // 55
    {425, 144, 447, 166, "End"},      // 56
    {449, 144, 471, 166, "PgDn"},     // 57
    {479, 144, 501, 166, "7"},        // 58
    {503, 144, 525, 166, "8"},        // 59
    {527, 144, 549, 166, "9"},        // 60
    {551, 144, 573, 190, "+"},        // 61
    {37, 168, 76, 190, "Caps Lock"},  // 62
    {78, 168, 100, 190, "A"},         // 63
    {102, 168, 124, 190, "S"},        // 64
    {126, 168, 148, 190, "D"},        // 65
    {150, 168, 172, 190, "F"},        // 66
    {174, 168, 196, 190, "G"},        // 67
    {198, 168, 220, 190, "H"},        // 68
    {222, 168, 244, 190, "J"},        // 69
    {246, 168, 268, 190, "K"},        // 70
    {270, 168, 292, 190, "L"},        // 71
    {294, 168, 316, 190, ";"},        // 72
    {318, 168, 340, 190, "'"},        // 73
    {342, 168, 394, 190, "Ent"},      // 74
    {479, 168, 501, 190, "4"},        // 75
    {503, 168, 525, 190, "5"},        // 76
    {527, 168, 549, 190, "6"},        // 77
    {37, 192, 89, 214, "Shift"},      // 78
    {91, 192, 113, 214, "Z"},         // 79
    {115, 192, 137, 214, "X"},        // 80
    {139, 192, 161, 214, "C"},        // 81
    {163, 192, 185, 214, "V"},        // 82
    {187, 192, 209, 214, "B"},        // 83
    {211, 192, 233, 214, "N"},        // 84
    {235, 192, 257, 214, "M"},        // 85
    {259, 192, 281, 214, ","},        // 86
    {283, 192, 305, 214, "."},        // 87
    {307, 192, 329, 214, "/"},        // 88
    {331, 192, 394, 214, "Shift"},    // 89
    {426, 192, 448, 214, "Up"},       // 90
    {479, 192, 501, 214, "1"},        // 91
    {503, 192, 525, 214, "2"},        // 92
    {527, 192, 549, 214, "3"},        // 93
    {551, 192, 573, 238, "Ent"},      // 94
    {37, 216, 65, 238, "Ctrl"},       // 95
    {67, 216, 94, 238, "Win"},        // 96
    {96, 216, 124, 238, "Alt"},       // 97
    {126, 216, 274, 238, "Space"},    // 98
    {276, 216, 304, 238, "Alt"},      // 99
    {306, 216, 333, 238, "Fn"},       // 100
    {335, 216, 362, 238, "App"},      // 101
    {364, 216, 394, 238, "Ctrl"},     // 102
    {402, 216, 424, 238, "Left"},     // 103
    {426, 216, 448, 238, "Down"},     // 104
    {450, 216, 472, 238, "Right"},    // 105
    {479, 216, 525, 238, "0"},        // 106
    {527, 216, 549, 238, "."},        // 107
}};

void drawCase(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // Under-glow first, then the case and its plate.
    QRadialGradient glow(QPointF(330, 170), 340);
    QColor g = theme::kAccent;
    g.setAlpha(70);
    glow.setColorAt(0, g);
    g.setAlpha(0);
    glow.setColorAt(1, g);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(QRectF(6, 52, 648, 222), 24, 24);

    const QRectF caseRect(22.5, 64.5, 617, 193);
    QLinearGradient cg(caseRect.topLeft(), caseRect.bottomLeft());
    cg.setColorAt(0, QColor(0x2a, 0x2e, 0x35));
    cg.setColorAt(0.08, QColor(0x1b, 0x1e, 0x23));
    cg.setColorAt(1, QColor(0x0f, 0x11, 0x14));
    p.setPen(QPen(QColor(0x3b, 0x41, 0x4c), 1));
    p.setBrush(cg);
    p.drawRoundedRect(caseRect, 12, 12);
    // Accent light bar along the bottom edge.
    QLinearGradient bar(QPointF(40, 0), QPointF(620, 0));
    QColor a = theme::kAccent;
    a.setAlpha(0);
    bar.setColorAt(0, a);
    a.setAlpha(230);
    bar.setColorAt(0.5, a);
    a.setAlpha(0);
    bar.setColorAt(1, a);
    p.setPen(QPen(QBrush(bar), 2));
    p.drawLine(QPointF(50, 256), QPointF(610, 256));
    // Plate under the keys.
    p.setPen(QPen(QColor(0x08, 0x09, 0x0b), 1));
    p.setBrush(QColor(0x0b, 0x0c, 0x0f));
    p.drawRoundedRect(QRectF(31.5, 85.5, 549, 158), 4, 4);
    p.drawRoundedRect(QRectF(509.5, 73.5, 122, 33), 4, 4);
    // Brand plate and lock lights.
    text(p, QRectF(38, 68, 200, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TESSARON"),
         uiFont(10, QFont::Bold), QColor(0x8a, 0x90, 0x9b));
    for (int i = 0; i < 3; ++i) {
        const QPointF c(420 + i * 22, 77);
        p.setPen(Qt::NoPen);
        p.setBrush(i == 0 ? theme::kAccentBright : QColor(0x33, 0x37, 0x3f));
        p.drawEllipse(c, 2.2, 2.2);
    }
    p.restore();
}

void drawKey(QPainter& p, const KeyCap& k, bool lit) {
    const QRectF outer(k.left + 0.5, k.top + 0.5, k.right - k.left, k.bottom - k.top);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient side(outer.topLeft(), outer.bottomLeft());
    QLinearGradient face(outer.topLeft(), outer.bottomLeft());
    QColor border;
    QColor legend;
    if (lit) {
        side.setColorAt(0, QColor(0x9a, 0x16, 0x25));
        side.setColorAt(1, QColor(0x5c, 0x0c, 0x15));
        face.setColorAt(0, QColor(0xff, 0x52, 0x63));
        face.setColorAt(1, QColor(0xc8, 0x1e, 0x31));
        border = QColor(0xff, 0xa0, 0xaa);
        legend = Qt::white;
    } else {
        side.setColorAt(0, QColor(0x24, 0x27, 0x2d));
        side.setColorAt(1, QColor(0x16, 0x18, 0x1c));
        face.setColorAt(0, QColor(0x3a, 0x3f, 0x48));
        face.setColorAt(1, QColor(0x2a, 0x2e, 0x35));
        border = QColor(0x4a, 0x50, 0x5c);
        legend = QColor(0xd8, 0xdc, 0xe2);
    }
    p.setPen(QPen(QColor(0x05, 0x05, 0x06), 1));
    p.setBrush(side);
    p.drawRoundedRect(outer, 3, 3);
    const QRectF top = outer.adjusted(2, 1, -2, -4);
    p.setPen(QPen(border, 0.8));
    p.setBrush(face);
    p.drawRoundedRect(top, 2.5, 2.5);

    const QString label = QString::fromUtf8(k.legend);
    // The largest size up to 9 px at which the legend fits the key top on one line, turning to
    // the narrow face for long legends; "Caps Lock" is allowed two lines.
    const QRectF area = top.adjusted(1, 0, -1, 0);
    int flags = Qt::AlignCenter;
    QFont font = uiFont(7, QFont::DemiBold);
    if (label.contains(QLatin1Char(' '))) {
        flags |= Qt::TextWordWrap;
    } else {
        auto fits = [&](const QFont& f) {
            return QFontMetricsF(f).horizontalAdvance(label) <= area.width();
        };
        font = uiFont(9, QFont::DemiBold);
        for (int size = 9; size >= 8 && !fits(font); --size) font = uiFont(size, QFont::DemiBold);
        if (!fits(font)) {
            font.setFamilies(
                {QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Liberation Sans")});
            for (int size = 9; size >= 6; --size) {
                font.setPixelSize(size);
                if (fits(font)) break;
            }
        }
    }
    text(p, area, flags, label, font, legend);
    p.restore();
}

}  // namespace

QImage keyboardPicture(const QImage& under, bool highlighted) {
    QImage img = under.copy();
    QPainter p(&img);
    drawCase(p);
    for (const KeyCap& k : kKeys) drawKey(p, k, highlighted);
    return img;
}

}  // namespace tessaron::assets
