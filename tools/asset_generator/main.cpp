// Renders every interface image of the program, in both languages, into the given folder
// (the "png" folder of the data tree). Run with QT_QPA_PLATFORM=offscreen.

#include <QGuiApplication>
#include <QTextStream>

#include "images.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "usage: " << args.value(0) << " <output png folder>\n";
        return 2;
    }
    using namespace tessaron;
    assets::Output out(args.at(1));
    // Every image at 1x and at 2x ("name@2x.png"), which the windows pick on dense screens.
    for (const int scale : {1, 2}) {
        assets::setScale(scale);
        for (const Language code : {Language::English, Language::Chinese, Language::Pseudo}) {
            const assets::Lang lang{code};
            assets::renderMainWindow(lang, out);
            assets::renderKeyPage(lang, out);
            assets::renderProfilesPanel(lang, out);
            assets::renderMacroManager(lang, out);
            assets::renderSplash(lang, out);
        }
        assets::renderMessageIcons(out);
    }
    if (!out.failures().isEmpty()) {
        err << "could not write: " << out.failures().join(QStringLiteral(", ")) << '\n';
        return 1;
    }
    QTextStream(stdout) << "rendered " << out.written() << " images into " << args.at(1) << '\n';
    return 0;
}
