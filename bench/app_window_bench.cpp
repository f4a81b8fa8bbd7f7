// The main window's cost, each as a ratio to the least a window of its size costs:
//  - start to first paint: a process that starts the window (initialised on an empty data
//    folder, no keyboard) and ends after its first paint, against a process that does the same
//    with an empty QWidget of the same size (goal <= 1.5), twice: cold, with nothing kept on
//    disk by an earlier start (the first start after installing), and warm, with what the
//    previous start kept (decoded images, the composed face);
//  - one full repaint: rendering the whole face, against one copy of a window-sized image
//    (goal <= 3); once as an expose repaints it (nothing changed) and once after a change (the
//    pointer moved onto or off a button), which draws the whole face anew.
// Both run on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/main_window/main_window.h"
#include "app/shell/live_config.h"
#include "ui/background_tasks.h"
#include "ui/font_warmup.h"
#include "ui/image_cache.h"
#include "ui/image_folders.h"

namespace tessaron::app {
namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

// Notes the first paint of a widget.
class PaintWatch final : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return QObject::eventFilter(watched, event);
    }
};

class EmptyWindow final : public QWidget {
public:
    EmptyWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
    }
};

void waitForPaint(QWidget& w, PaintWatch& watch) {
    w.installEventFilter(&watch);
    w.show();
    while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The data folder of the starts; kept across them, so keymap.bin and MacroDefine.bin are created
// once, as on a user's machine.
constexpr const char* kFolderVariable = "TESSARON_BENCH_DATA";

struct Fixture {
    // Made only when no folder is given: the timed starts get one, and removing a folder of
    // their own would add a file system's work to their time.
    std::optional<QTemporaryDir> dir;
    std::unique_ptr<LiveConfig> live = std::make_unique<LiveConfig>();
    std::unique_ptr<SettingsController> controller;  // no keyboard
    Fixture() {
        const QByteArray given = qgetenv(kFolderVariable);
        if (given.isEmpty()) {
            live->dataFolder = dir.emplace().path().toStdString();
        } else {
            live->dataFolder = given.toStdString();
        }
        live->imageBase = TESSARON_BENCH_SHARE_DIR;
    }
    std::unique_ptr<CTessaronDlg> makeWindow() {
        controller = std::make_unique<SettingsController>(*live, nullptr, nullptr);
        MainWindowSetup setup;
        setup.controller = controller.get();
        setup.useTray = false;
        return std::make_unique<CTessaronDlg>(std::move(setup));
    }
};

// One start in a process of its own: QApplication, the window, until its first paint. Like the
// program, it does not wait for what the start writes in the background (the face and images
// it keeps for the next start) unless asked to, as the untimed start before the warm ones is.
int childStart(bool mainWindow, bool waitForKept) {
    if (mainWindow) {
        Fixture f;
        auto w = f.makeWindow();
        w->initialise();
        PaintWatch watch;
        waitForPaint(*w, watch);
        if (waitForKept) ui::waitForBackgroundTasks();
    } else {
        EmptyWindow w;
        w.resize(1000, 645);
        PaintWatch watch;
        waitForPaint(w, watch);
    }
    return 0;
}

QString self;  // this executable

// One row of the table printed after the runs.
struct Row {
    const char* reference;
    double referenceMs;
    double measuredMs;
    double goal;
};
std::vector<std::pair<std::string, Row>>& table() {
    static std::vector<std::pair<std::string, Row>> rows;
    return rows;
}

void printTable() {
    // The same columns as the other benchmarks' tables, so that `make bench` can join them.
    std::printf("\n| Measurement | Reference | Measured | Ratio | Goal |\n|---|---|---|---|---|\n");
    for (const auto& [name, row] : table()) {
        const double ratio = row.measuredMs / row.referenceMs;
        std::printf("| %s | %s %.3f ms | %.3f ms | %.3f | <= %.2f %s |\n", name.c_str(),
                    row.reference, row.referenceMs, row.measuredMs, ratio, row.goal,
                    ratio <= row.goal ? "met" : "missed");
    }
}

// cacheHome: the child's XDG_CACHE_HOME, where the window keeps what it decoded and composed.
double timedStart(const char* which, const QString& cacheHome) {
    QElapsedTimer timer;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cacheHome);
    child.setProcessEnvironment(env);
    timer.start();
    child.start(self, {QString::fromLatin1(which)});
    if (!child.waitForFinished(30000) || child.exitCode() != 0) {
        throw std::runtime_error("the child start failed");
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void timeStarts(benchmark::State& state, const char* name, bool warm) {
    QTemporaryDir folder;
    QTemporaryDir keptCache;
    qputenv(kFolderVariable, folder.path().toLocal8Bit());
    // Creates the data files, and keeps what the warm starts find.
    (void)timedStart("--child=window-kept", keptCache.path());
    double windowMs = 0;
    double emptyMs = 0;
    for (auto _ : state) {
        // A cold start finds an empty cache folder; a warm one what the previous start kept.
        QTemporaryDir freshCache;
        const QString cache = warm ? keptCache.path() : freshCache.path();
        const double windowTime = timedStart("--child=window", cache);
        emptyMs += timedStart("--child=empty", freshCache.path());
        windowMs += windowTime;
        state.SetIterationTime(windowTime / 1000.0);
    }
    state.counters["window_ms"] = windowMs / static_cast<double>(state.iterations());
    state.counters["empty_ms"] = emptyMs / static_cast<double>(state.iterations());
    state.counters["ratio"] = windowMs / emptyMs;
    const auto runs = static_cast<double>(state.iterations());
    table().push_back({name, {"empty Qt window", emptyMs / runs, windowMs / runs, 1.5}});
    qunsetenv(kFolderVariable);
}

void BM_ColdStartToFirstPaint(benchmark::State& state) {
    timeStarts(state, "Start to first painted window, cold (nothing kept on disk)", false);
}
BENCHMARK(BM_ColdStartToFirstPaint)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_WarmStartToFirstPaint(benchmark::State& state) {
    timeStarts(state, "Start to first painted window, warm (kept from the last start)", true);
}
BENCHMARK(BM_WarmStartToFirstPaint)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// Times full repaints of a started window against one blit of a window-sized image, after a
// first repaint that loads images and fonts. `change` runs before each repaint, untimed.
void timeRepaints(benchmark::State& state, const char* name,
                  const std::function<void(QWidget&)>& change) {
    Fixture f;
    auto w = f.makeWindow();
    w->initialise();
    QImage target(w->size(), QImage::Format_RGB32);
    const QString folder = ui::imageFolder(QString::fromStdString(f.live->imageBase.string()),
                                           f.live->language, ui::Panel::Main);
    const QImage face = ui::ImageCache::instance()
                            .image(folder + QStringLiteral("main.png"))
                            .convertToFormat(QImage::Format_RGB32);
    w->render(&target);
    double repaintMs = 0;
    double blitMs = 0;
    for (auto _ : state) {
        if (change) change(*w);
        QElapsedTimer timer;
        timer.start();
        w->render(&target);
        const double repaint = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        {
            QPainter p(&target);
            p.drawImage(0, 0, face);
        }
        const double blit = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        repaintMs += repaint;
        blitMs += blit;
        state.SetIterationTime(repaint / 1000.0);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["repaint_ms"] = repaintMs / runs;
    state.counters["blit_ms"] = blitMs / runs;
    state.counters["ratio"] = repaintMs / blitMs;
    table().push_back({name, {"one window-sized blit", blitMs / runs, repaintMs / runs, 3.0}});
}

void BM_FullRepaint(benchmark::State& state) {
    timeRepaints(state, "Full repaint, nothing changed", nullptr);
}
BENCHMARK(BM_FullRepaint)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

// The same after a change: the pointer moves on and off the help button before each repaint, so
// the whole face is drawn anew every time, not copied.
void BM_RepaintAfterChange(benchmark::State& state) {
    bool onHelp = false;
    timeRepaints(state, "Full repaint after a change", [&onHelp](QWidget& w) {
        onHelp = !onHelp;
        const QPointF at = onHelp ? QPointF(940, 10) : QPointF(500, 20);
        QMouseEvent move(QEvent::MouseMove, at, w.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &move);
    });
}
BENCHMARK(BM_RepaintAfterChange)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessaron::app

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The same start as the program's: the font configuration loads beside the application.
    const tessaron::ui::FontConfigWarmup fonts;
    QApplication app(argc, argv);
    if (argc == 2 && std::string_view(argv[1]).starts_with("--child=")) {
        const std::string_view which = argv[1];
        return tessaron::app::childStart(which.starts_with("--child=window"),
                                         which == "--child=window-kept");
    }
    tessaron::app::self = QCoreApplication::applicationFilePath();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    tessaron::app::printTable();
    benchmark::Shutdown();
    return 0;
}
