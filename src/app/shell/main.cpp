// tessaron: the keyboard's settings window.

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/shell/allocator.h"
#include "app/shell/quit_signals.h"
#include "app/shell/tessaron_app.h"
#include "core/text.h"
#include "core/version.h"
#include "ui/font_warmup.h"

namespace {

// Qt aborts without a display; say so in one sentence instead.
bool haveDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // Options first, so --help and bad options work without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    auto options = tessaron::app::parseOptions(arguments);
    const tessaron::Language lang = tessaron::app::languageOfArguments(arguments);
    if (!options) {
        std::fprintf(stderr, "tessaron: %s\n%s", options.error().text(lang).c_str(),
                     tessaron::app::usageText(lang).toLocal8Bit().constData());
        return 2;
    }
    if (options->help) {
        std::fputs(tessaron::app::usageText(lang).toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options->version) {
        std::printf("tessaron (Tessaron) %s\n", tessaron::kVersion);
        return 0;
    }
    if (!haveDisplay()) {
        const std::string message = tessaron::translate(
            lang, TR_TEXT("Shell",
                          "no graphical desktop was found (DISPLAY and WAYLAND_DISPLAY are not set); "
                          "start it from your desktop, or use tessaronctl on the command line."));
        std::fprintf(stderr, "tessaron: %s\n", message.c_str());
        return 1;
    }

    const tessaron::ui::FontConfigWarmup fonts;  // beside the application object's start
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the window hides to the tray
    QApplication::setApplicationName(QStringLiteral("Tessaron"));
    QApplication::setApplicationVersion(QString::fromLatin1(tessaron::kVersion));
    // Wayland desktops match the window to its desktop entry, and so to its icon, by this name.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(tessaron::kAppId));

    tessaron::app::CTessaronApp tessaronApp(std::move(options).value());
    if (!tessaronApp.start()) {
        if (const auto& error = tessaronApp.error()) {
            std::fprintf(stderr, "tessaron: %s\n", error->text(lang).c_str());
            return 1;
        }
        return 0;  // the running instance has come forward
    }
    // Ended by a signal, it still cleans up: the destructors below run after exec returns.
    tessaron::app::QuitSignals quitSignals([&tessaronApp](int) { tessaronApp.quit(); });
    if (auto caught = quitSignals.install(); !caught) {
        std::fprintf(stderr, "tessaron: %s\n", caught.error().text(lang).c_str());
    }
    QTimer::singleShot(tessaron::app::kTuneAllocatorAfterStartMs, [] {
        tessaron::app::tuneAllocator();
    });
    return QApplication::exec();
}
