// tessaron: the keyboard's settings window.

#include <QApplication>

#include <cstdio>

#include "app/tessaron_app.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the window hides to the tray
    QApplication::setApplicationName(QStringLiteral("Tessaron"));
    QApplication::setApplicationVersion(QStringLiteral("1.5"));

    auto options = tessaron::app::parseOptions(QApplication::arguments().mid(1));
    if (!options) {
        std::fprintf(stderr, "tessaron: %s\n%s", options.error().english.c_str(),
                     tessaron::app::usageText().toLocal8Bit().constData());
        return 2;
    }
    if (options->help) {
        std::fputs(tessaron::app::usageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    tessaron::app::CTessaronApp tessaronApp(std::move(options).value());
    if (!tessaronApp.start()) {
        if (const auto& error = tessaronApp.error()) {
            std::fprintf(stderr, "tessaron: %s\n", error->english.c_str());
            return 1;
        }
        return 0;  // the running instance has come forward
    }
    return QApplication::exec();
}
