// Composes the generated images the way the windows place them, with their run-time texts, into
// preview PNGs: a quick visual check of the image set. Not part of the build's default targets.
//   tessaron_asset_preview <share/tessaron folder> <output folder> [chinese]

#include <QDir>
#include <QGuiApplication>
#include <QPainter>

#include "ui/image_folders.h"
#include "ui/panel_painter.h"
#include "ui/text.h"

using namespace tessaron;
using namespace tessaron::ui;

namespace {

struct Canvas {
    QString folder;
    QImage image;
    QPainter p;
    Canvas(QString f, const QString& background) : folder(std::move(f)) {
        image = QImage(panelImageSize(folder, background), QImage::Format_RGB32);
        image.fill(Qt::magenta);  // anything not covered by images shows up
        p.begin(&image);
        drawPanelImage(p, folder, background, 0, 0);
    }
    void img(const char* name, int x, int y) {
        drawPanelImage(p, folder, QString::fromLatin1(name), x, y);
    }
    void txt(const QString& s, int x, int y, int h = 13) { drawPanelText(p, s, x, y, h); }
};

void mainWindow(const QString& base, Language lang, const QString& out) {
    const bool zh = lang == Language::Chinese;
    Canvas c(imageFolder(base, lang, Panel::Main), QStringLiteral("main.png"));
    c.img("button-help-over.png", 936, 5);
    c.img("button-min-normal.png", 957, 5);
    c.img("button-close-normal.png", 978, 5);
    c.img("logo.png", 19, 32);
    c.img("kb_BK.png", 315, 127);
    const QImage hl(c.folder + QStringLiteral("kb_hl.png"));
    for (QRect r : {QRect(144, 144, 22, 22), QRect(126, 216, 148, 22), QRect(37, 90, 22, 23)})
        c.p.drawImage(QPoint(r.x() + 315, r.y() + 127), hl, r);
    c.p.setPen(Qt::white);
    c.p.drawRect(144 + 313, 144 + 125, 24, 24);
    c.img("button-cancel-normal.png", 800, 600);
    c.img("button-cancel-over.png", 862, 600);
    c.img("button-cancel-normal.png", 924, 600);
    c.img("Config.png", 17, 603);
    c.txt(ui::text(lang, TR_TEXT("Images", "Profile")), 45, 610, 15);
    c.txt(ui::text(lang, TR_TEXT("Images", "Return")), 810, 607, 15);
    c.txt(ui::text(lang, TR_TEXT("Images", "Cancel")), 872, 607, 15);
    c.txt(ui::text(lang, TR_TEXT("Images", "Save")), zh ? 934 : 937, 607, 15);
    // All sections expanded.
    const int h1 = 223, h2 = 60, h3 = 77;
    c.img("itemBK.png", 19, 114);
    c.txt(ui::text(lang, TR_TEXT("Images", "Light")), 19, 114);
    c.img("LEDEffect_open.png", 19, 130);
    c.txt(ui::text(lang, TR_TEXT("Images", "Effect")), 28, 137);
    c.img("Light_Item.png", 28, 158);
    c.txt(ui::text(lang, TR_TEXT("Images", "Wave")), 28, 158);
    c.img("freq.png", 19, 245);
    c.txt(ui::text(lang, TR_TEXT("Images", "Direction")), 29, 177);
    c.img("Direction-T-Disable.png", 29, 197);
    c.img("Direction-B-Disable.png", 79, 197);
    c.img("Direction-R-Enable.png", 129, 197);
    c.img("Direction-L-Disable.png", 179, 197);
    c.txt(ui::text(lang, TR_TEXT("Images", "Brightness")), 28, 247);
    c.txt(ui::text(lang, TR_TEXT("Images", "Dark")), 28, 274, 11);
    c.txt(ui::text(lang, TR_TEXT("Images", "Bright")), 225, 274, 11);
    c.img("Thumb.png", 28 + 120, 260);
    c.txt(ui::text(lang, TR_TEXT("Images", "Speed")), 28, 290);
    c.txt(ui::text(lang, TR_TEXT("Images", "Slow")), 28, 317, 11);
    c.txt(ui::text(lang, TR_TEXT("Images", "Fast")), 230, 317, 11);
    c.img("Thumb.png", 28 + 45, 303);
    c.img("MacroManagementBK.png", 19, h1 + 114);
    c.img("MacroButton3.png", 19, h1 + 124);
    c.txt(ui::text(lang, TR_TEXT("Images", "Macro Management")), 21 + 6, h1 + 126);
    const int y2 = h1 + 161, y3 = y2 + h2, y4 = y3 + h3;
    c.img("gamemode_open.png", 19, y2);
    c.txt(ui::text(lang, TR_TEXT("Images", "Game Mode")), 19, y2);
    c.txt(ui::text(lang, TR_TEXT("Images", "Win Lock")), 149, y2);
    c.img("Enable.png", 34, y2 + 33);
    c.img("Disable.png", 88, y2 + 33);
    c.img("Disable.png", 164, y2 + 33);
    c.img("Enable.png", 218, y2 + 33);
    c.txt(ui::text(lang, TR_TEXT("Images", "ON")), 51, y2 + 31);
    c.txt(ui::text(lang, TR_TEXT("Images", "OFF")), 105, y2 + 31);
    c.txt(ui::text(lang, TR_TEXT("Images", "ON")), 181, y2 + 31);
    c.txt(ui::text(lang, TR_TEXT("Images", "OFF")), 235 - 6, y2 + 31);
    c.img("responsetime_open.png", 19, y3);
    c.txt(ui::text(lang, TR_TEXT("Images", "Response Time")), 19, y3);
    c.img("Light_Item.png", 28, y3 + 28);
    c.txt(QStringLiteral("10 ms"), 100, y3 + 28);
    c.img("reportrate_Open.png", 19, y4);
    c.txt(ui::text(lang, TR_TEXT("Images", "USB Report Rate")), 19, y4);
    c.img("Thumb.png", 28 + 205, y4 + 23);
    c.img("HelpWindow.png", 830, 22);
    c.txt(QStringLiteral("www.example.com"), 850, 25);
    c.txt(ui::text(lang, TR_TEXT("Images", "Update Firmware")), 850, 50);
    c.txt(QStringLiteral("Ver: 1.5"), 850, 75);
    c.p.end();
    c.image.save(out + QStringLiteral("/main.png"));
}

void keyPage(const QString& base, Language lang, const QString& out) {
    const bool zh = lang == Language::Chinese;
    Canvas c(imageFolder(base, lang, Panel::Custom), QStringLiteral("Custom_BK.png"));
    c.txt(ui::text(lang, TR_TEXT("Images", "Current Key:A ")), 6, 6, 14);
    c.img("button-close-normal.png", 303, 2);
    for (int i = 0; i < 4; ++i) c.img("large_button.png", 81 * i, 31);
    c.img("single_combine_option.png", 0, 30);
    c.img("cursor.png", 280, 30);
    const QStringList tabs{ui::text(lang, TR_TEXT("Images", "Single/Combine")),
                           ui::text(lang, TR_TEXT("Images", "Macro")),
                           ui::text(lang, TR_TEXT("Images", "Basic")),
                           ui::text(lang, TR_TEXT("Images", "Advance"))};
    const int tx[] = {6, 115, 182, 259};
    for (int i = 0; i < 4; ++i)
        drawPanelText(c.p, tabs[i], tx[i], 39, panelFont(14),
                      i == 3 ? Qt::white : QColor(192, 192, 192));
    c.img("Macro_BK.png", 15, 66);
    const QStringList rows{ui::text(lang, TR_TEXT("Images", "Play Sound")),
                           ui::text(lang, TR_TEXT("Images", "Startup")),
                           ui::text(lang, TR_TEXT("Images", "Open File")),
                           ui::text(lang, TR_TEXT("Images", "Open Folder"))};
    for (int r = 0; r < 4; ++r) {
        c.img(r == 1 ? "enable.png" : "disable.png", 15, 72 + 30 * r);
        c.txt(rows[r], 30, 69 + 30 * r, 12);
        c.img("Advanced.png", 85, 68 + 30 * r);
        c.img(r == 2 ? "view02.png" : "view.png", 256, 68 + 30 * r);
    }
    c.txt(QStringLiteral("..\\game.exe"), 88, 69 + 30, 12);
    c.img("Enable.png", 19, 251);
    c.p.fillRect(34, 249, 100, 20, QColor(35, 35, 35));
    c.txt(ui::text(lang, TR_TEXT("Images", "Disable")), 36, 251, 12);
    c.img("button-cancel-normal.png", 156, 246);
    c.img("button-cancel-over.png", 210, 246);
    c.img("button-save-normal.png", 264, 246);
    c.txt(ui::text(lang, TR_TEXT("Images", "Default")), 158, 250, 12);
    c.txt(ui::text(lang, TR_TEXT("Images", "Cancel")), zh ? 218 : 214, 250, 12);
    c.txt(ui::text(lang, TR_TEXT("Images", "Save")), 272, 250, 12);
    c.p.end();
    c.image.save(out + QStringLiteral("/keypage.png"));
}

void profiles(const QString& base, Language lang, const QString& out) {
    Canvas c(imageFolder(base, lang, Panel::Config), QStringLiteral("Config.png"));
    c.txt(ui::text(lang, TR_TEXT("Images", "Profile")), 10, 10, 15);
    c.img("button-close-normal.png", 247, 10);
    c.img("New.png", 13, 575);
    c.img("Delete.png", 183, 575);
    c.txt(ui::text(lang, TR_TEXT("Images", "New")), 30, 578, 16);
    c.txt(ui::text(lang, TR_TEXT("Images", "Delete")), 200, 578, 16);
    QFont f = panelFont(15, 700);
    const QStringList names{"Default", "FPS", "MOBA", "Office"};
    for (int i = 0; i < names.size(); ++i) {
        drawPanelText(c.p, names[i], 6, 40 + 19 * i, f, Qt::black);
        drawPanelText(c.p, names[i], 4, 38 + 19 * i, f, i == 1 ? QColor(0, 255, 255) : Qt::white);
    }
    c.p.end();
    c.image.save(out + QStringLiteral("/profiles.png"));
}

void macroManager(const QString& base, Language lang, const QString& out) {
    const bool zh = lang == Language::Chinese;
    Canvas c(imageFolder(base, lang, Panel::MacroManagement),
             QStringLiteral("MacroManagement.png"));
    c.txt(ui::text(lang, TR_TEXT("Images", "Macro Manager")), 16, 9, 18);
    c.txt(ui::text(lang, TR_TEXT("Images", "Select Macro")), 39, 60, 15);
    c.txt(ui::text(lang, TR_TEXT("Images", "Keystrobe Sequence")), 151, 60, 13);
    c.txt(ui::text(lang, TR_TEXT("Images", "Options")), 311, 60, 15);
    c.img("Record-over.png", 290, 100);
    c.txt(ui::text(lang, TR_TEXT("Images", "Start Recording")), 300, 105, 12);
    c.txt(ui::text(lang, TR_TEXT("Images", "Record Delay")), 290, 153, 12);
    c.txt(ui::text(lang, TR_TEXT("Images", "between")), 290, 168, 12);
    if (!zh) c.txt(QStringLiteral("keystrokes"), 290, 183, 12);
    c.img("PaneMakingTick.png", 368, 168);
    c.txt(ui::text(lang, TR_TEXT("Images", "Number of Loops")), 295, 300, 12);
    c.img("Pane.png", 296, 315);
    c.img("button-new-normal.png", 20, 368);
    c.img("button-new-over.png", 80, 368);
    c.img("button-new-normal.png", 280, 400);
    c.img("button-new-normal.png", 340, 400);
    c.txt(ui::text(lang, TR_TEXT("Images", "New")), 34, 373, 14);
    c.txt(ui::text(lang, TR_TEXT("Images", "Delete")), 88, 373, 14);
    c.txt(ui::text(lang, TR_TEXT("Images", "OK")), 300, 405, 14);
    c.txt(ui::text(lang, TR_TEXT("Images", "Cancel")), 348, 405, 14);
    c.p.end();
    c.image.save(out + QStringLiteral("/macro.png"));
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) return 2;
    const QString base = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    const Language lang = argc > 3 ? Language::Chinese : Language::English;
    QDir().mkpath(out);
    mainWindow(base, lang, out);
    keyPage(base, lang, out);
    profiles(base, lang, out);
    macroManager(base, lang, out);
    return 0;
}
