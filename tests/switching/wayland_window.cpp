// A plain Qt window for the desktop tests: its app id (the desktop file name Qt gives the
// compositor) and title come from the command line, so a test can bring windows of its choosing
// to the front. Further arguments are ignored: they put words into its command line, as a Wine
// game's .exe is in its own. On the xcb platform it is an X client with _NET_WM_PID set.
// Usage: wayland_window APP_ID TITLE [WORD...]
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) return 2;
    QGuiApplication::setDesktopFileName(QString::fromLocal8Bit(argv[1]));
    QWidget window;
    window.setWindowTitle(QString::fromLocal8Bit(argv[2]));
    window.resize(320, 200);
    window.show();
    return QApplication::exec();
}
