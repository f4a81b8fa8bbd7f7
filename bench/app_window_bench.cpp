// The main window's cost, each as a ratio to the least a window of its size costs:
//  - start to first paint: the program `tessaron --demo --no-splash` (the installed one when
//    TESSARON_BENCH_PROGRAM names it, as `make bench` does; else the build's) from its exec to
//    the first paint of its main window, against an empty Qt window program of the same size
//    timed the same way, both from here with one clock (goal <= 1.5); twice: cold, with nothing
//    kept on disk by an earlier start (the first start after installing), and warm, with what
//    the previous start kept (decoded images, the composed face);
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
#include <QThread>
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
#include "ui/first_paint_report.h"
#include "ui/image_cache.h"
#include "ui/image_folders.h"

namespace tessaron::app {
namespace {

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<LiveConfig> live = std::make_unique<LiveConfig>();
    Fixture() {
        live->dataFolder = dir.path().toStdString();
        live->imageBase = TESSARON_BENCH_SHARE_DIR;
    }
    std::unique_ptr<CTessaronDlg> makeWindow() {
        MainWindowSetup setup;
        setup.live = live.get();
        setup.useTray = false;
        return std::make_unique<CTessaronDlg>(std::move(setup));
    }
};


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

// One start of `program`, from before its exec to its report of the first paint; then it is
// ended. cacheHome: its XDG_CACHE_HOME, where tessaron keeps what it decoded and composed.
// settle: how long it runs on after the paint before it is ended (the start before the warm
// ones lets it write what it keeps).
double timedStart(const QString& program, const QStringList& arguments, const QString& cacheHome,
                  int settleMs = 0) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CACHE_HOME"), cacheHome);
    env.insert(QString::fromLatin1(ui::kReportFirstPaintVariable), QStringLiteral("1"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setStandardErrorFile(QProcess::nullDevice());  // the platform's warnings
    QElapsedTimer timer;
    timer.start();
    child.start(program, arguments);
    QByteArray output;
    while (!output.contains("first paint\n")) {
        if (!child.waitForReadyRead(30000)) {
            throw std::runtime_error("no first paint from " + program.toStdString());
        }
        output += child.readAllStandardOutput();
    }
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (settleMs > 0) QThread::msleep(static_cast<unsigned long>(settleMs));
    child.terminate();
    if (!child.waitForFinished(10000)) {
        child.kill();
        child.waitForFinished();
    }
    return ms;
}

QString programPath() {
    const QString installed = qEnvironmentVariable("TESSARON_BENCH_PROGRAM");
    return installed.isEmpty() ? QStringLiteral(TESSARON_APP_PATH) : installed;
}

void timeStarts(benchmark::State& state, const char* name, bool warm) {
    // One data folder, configuration folder and runtime folder for all starts: keymap.bin is
    // made once, as on a user's machine, and each start takes over the socket the previous one
    // left.
    QTemporaryDir data;
    QTemporaryDir config;
    QTemporaryDir runtime;
    QTemporaryDir keptCache;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const QString program = programPath();
    const QStringList arguments{QStringLiteral("--demo"), QStringLiteral("--no-splash"),
                                QStringLiteral("--data-dir"), data.path()};
    // Creates the data files, and keeps what the warm starts find.
    (void)timedStart(program, arguments, keptCache.path(), 3000);
    double windowMs = 0;
    double emptyMs = 0;
    for (auto _ : state) {
        // A cold start finds an empty cache folder; a warm one what the previous start kept.
        QTemporaryDir freshCache;
        const QString cache = warm ? keptCache.path() : freshCache.path();
        const double windowTime = timedStart(program, arguments, cache);
        emptyMs += timedStart(QStringLiteral(TESSARON_EMPTY_WINDOW_PATH), {}, freshCache.path());
        windowMs += windowTime;
        state.SetIterationTime(windowTime / 1000.0);
    }
    state.counters["window_ms"] = windowMs / static_cast<double>(state.iterations());
    state.counters["empty_ms"] = emptyMs / static_cast<double>(state.iterations());
    state.counters["ratio"] = windowMs / emptyMs;
    const auto runs = static_cast<double>(state.iterations());
    table().push_back(
        {name, {"empty Qt window program", emptyMs / runs, windowMs / runs, 1.5}});
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
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    tessaron::app::printTable();
    benchmark::Shutdown();
    return 0;
}
