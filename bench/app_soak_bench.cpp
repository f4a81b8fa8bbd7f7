// Resident memory of the main window over a long run against the demo's virtual keyboard, each
// as the ratio of the end to the start after a warm-up (goal <= 1.02, allocator noise):
//  - plug cycles: the keyboard is pulled and plugged in again, as every suspend and resume does;
//    each time the window closes both channels, then settles, reads the whole keyboard and
//    restarts the listener;
//  - Saves of alternating changes: a key, a macro slot, a light map, the lighting block;
//  - key events of a host-action key, carried out by the desktop launcher (whose opener only
//    counts, so no application is started).
// The window, its device session and the demo keyboard are the program's own; the session and
// the keyboard run on a clock that passes kSpeedUp times faster than the real one, so that the
// settle time and the protocol's waits of a few hundred cycles take a minute, not an hour.
// The window runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/controller/settings_controller.h"
#include "app/main_window/main_window.h"
#include "app/main_window/window_layout.h"
#include "app/shell/allocator.h"
#include "app/shell/desktop.h"
#include "app/shell/launcher.h"
#include "app/shell/live_config.h"
#include "device/device_image.h"
#include "device/virtual/demo_keyboard.h"
#include "keys/key_record.h"

namespace tessaron::app {
namespace {

namespace img = device::image;
using namespace std::chrono_literals;

constexpr int kSpeedUp = 40;
constexpr int kPlugWarmup = 20;
constexpr int kPlugCycles = 300;
constexpr int kSaveWarmup = 40;
constexpr int kSaves = 500;
constexpr int kKeyWarmup = 500;
constexpr int kKeyEvents = 10'000;
constexpr double kGoal = 1.02;
constexpr qint64 kStepTimeoutMs = 20'000;

// Real time, kSpeedUp times faster: waits are that much shorter, time stamps that much further
// apart. Keeps nothing per call, unlike the tests' fake clock.
class FastClock final : public Clock {
public:
    void sleep(Ms duration) override {
        if (duration.count() <= 0) {
            std::this_thread::yield();
            return;
        }
        std::this_thread::sleep_for(
            std::chrono::duration_cast<std::chrono::microseconds>(duration) / kSpeedUp);
    }
    TimePoint now() const override {
        const auto real = std::chrono::steady_clock::now();
        return start_ + (real - start_) * kSpeedUp;
    }
    std::int64_t counter() const override {
        return std::chrono::duration_cast<std::chrono::microseconds>(now().time_since_epoch())
            .count();
    }
    std::int64_t counterFrequency() const override { return 1'000'000; }

private:
    const TimePoint start_ = std::chrono::steady_clock::now();
};

// A message box would wait for a click that never comes: count what would have been shown.
class CountingDialogs final : public UserDialogs {
public:
    bool confirm(QWidget*, const QString&, const QString&) override {
        ++asked;
        return false;
    }
    void inform(QWidget*, const QString& caption, const QString& text) override {
        ++shown;
        last = (caption + QStringLiteral(": ") + text).toStdString();
    }
    int asked = 0;
    int shown = 0;
    std::string last;
};

class NoPrograms final : public ProgramStarter {
public:
    Status startProgram(const std::filesystem::path&) override { return {}; }
    Status openUrl(const QUrl&) override { return {}; }
};

long residentKiB() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    throw std::runtime_error("no VmRSS");
}

void waitUntil(const std::function<bool()>& done, const char* what) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > kStepTimeoutMs)
            throw std::runtime_error(std::string("stuck: ") + what);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(200us);
    }
    QCoreApplication::processEvents();
}

struct Row {
    std::string name;  // of one step
    int warmup = 0;
    long startKiB = 0;
    long endKiB = 0;
    int steps = 0;
    double seconds = 0;
};

class Soak {
public:
    Soak()
        : demo_(std::filesystem::path(dir_.path().toStdString()), clock_),
          launcher_([this](const QUrl&) {
              ++opened_;
              return true;
          }) {
        const std::filesystem::path root = dir_.path().toStdString();
        std::filesystem::create_directories(root / "target");
        live_.dataFolder = root;
        live_.imageBase = TESSARON_BENCH_SHARE_DIR;
        auto session =
            std::make_unique<DeviceSession>(demo_.transport(), clock_, demo_.makeHotplug());
        session_ = session.get();
        controller_ = std::make_unique<SettingsController>(live_, std::move(session), &launcher_);
        MainWindowSetup setup;
        setup.controller = controller_.get();
        setup.dialogs = &dialogs_;
        setup.programs = &programs_;
        setup.programFolder = root;
        setup.helpPage = root / "help.html";
        setup.useTray = false;
        window_ = std::make_unique<CTessaronDlg>(std::move(setup));
        window_->initialise();
        window_->show();
        settle("the start-up read");
        if (!session_->isConnected()) throw std::runtime_error("the demo keyboard is not there");
        hostActionCode_ = makeHostActionKey(root / "target");
        const auto& image = window_->live().image;
        std::copy_n(image.begin() + img::keyCell(1, 3), img::kCellSize, ownCell_.begin());
        std::copy_n(image.begin() + img::keyCell(5, 4), img::kCellSize, otherCell_.begin());
    }
    ~Soak() {
        // The controller and its session first: the window ends without waiting for device
        // traffic.
        controller_.reset();
        window_.reset();
    }
    Soak(const Soak&) = delete;
    Soak& operator=(const Soak&) = delete;

    void plugCycle() {
        demo_.keyboard().unplug();
        waitUntil([&] { return !session_->isConnected() && !demo_.keyboard().hasEventReader(); },
                  "the removal");
        demo_.keyboard().plug();
        waitUntil(
            [&] {
                return session_->isConnected() && demo_.keyboard().hasEventReader() && !busy();
            },
            "the arrival");
        checkQuiet();
    }

    // Changes one of four things to one of two values, in turn, and saves.
    void saveChange(int n) {
        auto& image = window_->live().image;
        const bool odd = (n / 4) % 2 != 0;
        switch (n % 4) {
            case 0:  // one key gives another key's code, then its own again
                std::copy_n((odd ? ownCell_ : otherCell_).begin(), img::kCellSize,
                            image.begin() + img::keyCell(1, 3));
                break;
            case 1:  // a byte in the middle of macro slot 3
                image[img::macroSlot(3) + 40] = odd ? 0x11 : 0x22;
                break;
            case 2:  // one key of light map 2
                image[img::lightMap(2) + 100] = odd ? 0 : 1;
                break;
            default:  // the lighting block's brightness
                image[img::kBrightness] = odd ? 20 : 35;
                break;
        }
        window_->activatePaintedArea(area::kSave);
        settle("a Save");
        checkQuiet();
        if (demo_.keyboard().settings() != toMemory(window_->live().image)) {
            throw std::runtime_error("a Save did not reach the keyboard");
        }
    }

    void keyEvent() {
        const int before = opened_;
        demo_.keyboard().press(hostActionCode_);
        waitUntil([&] { return opened_ > before; }, "a key event");
    }

private:
    bool busy() const { return window_->busy() || session_->busy(); }
    void settle(const char* what) {
        waitUntil([&] { return !busy(); }, what);
    }
    void checkQuiet() const {
        if (dialogs_.shown > 0 || dialogs_.asked > 0) {
            throw std::runtime_error("the window told something: " + dialogs_.last);
        }
    }
    static device::fw::SettingsMemory toMemory(const device::DeviceImage& image) {
        device::fw::SettingsMemory memory{};
        static_assert(sizeof memory == sizeof image);
        std::copy(image.begin(), image.end(), memory.begin());
        return memory;
    }
    // The first key of the layout opens a folder; the code its events carry is the record's.
    std::uint8_t makeHostActionKey(const std::filesystem::path& folder) {
        keys::KeyRecord& record = window_->live().records[0];
        record.kind = keys::kind::kOpenFolder;
        if (auto s = keys::setHostPath(record, folder.string() + "/"); !s) {
            throw std::runtime_error(s.error().english);
        }
        return record.vk;
    }

    QTemporaryDir dir_;
    FastClock clock_;
    device::DemoKeyboard demo_;
    LiveConfig live_;
    CountingDialogs dialogs_;
    NoPrograms programs_;
    DesktopLauncher launcher_;
    int opened_ = 0;
    std::uint8_t hostActionCode_ = 0;
    std::array<std::uint8_t, img::kCellSize> ownCell_{};
    std::array<std::uint8_t, img::kCellSize> otherCell_{};
    DeviceSession* session_ = nullptr;  // the controller's
    std::unique_ptr<SettingsController> controller_;
    std::unique_ptr<CTessaronDlg> window_;
};

Row soak(const char* name, int warmup, int steps, const std::function<void(int)>& step) {
    for (int i = 0; i < warmup; ++i) step(i);
    Row row{name, warmup, residentKiB(), 0, steps, 0};
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < steps; ++i) step(warmup + i);
    row.seconds = static_cast<double>(timer.elapsed()) / 1000.0;
    row.endKiB = residentKiB();
    return row;
}

void print(const Row& row) {
    const double ratio = static_cast<double>(row.endKiB) / static_cast<double>(row.startKiB);
    const double perStep =
        static_cast<double>(row.endKiB - row.startKiB) * 1024.0 / static_cast<double>(row.steps);
    std::printf(
        "| Resident memory over %d %ss | after %d of warm-up %.1f MiB | %.1f MiB, %+.0f B "
        "per %s | %.3f | <= %.2f %s |\n",
        row.steps, row.name.c_str(), row.warmup, static_cast<double>(row.startKiB) / 1024.0,
        static_cast<double>(row.endKiB) / 1024.0, perStep, row.name.c_str(), ratio, kGoal,
        ratio <= kGoal ? "met" : "missed");
    std::fprintf(stderr, "app_soak_bench: %d %ss took %.0f s\n", row.steps, row.name.c_str(),
                 row.seconds);
}

int measure(int argc, char** argv) {
    QTemporaryDir runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);
    ::setenv("QT_QPA_PLATFORM",
             std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "offscreen", 1);
    tuneAllocator();
    QApplication app(argc, argv);
    Soak soakRun;
    const Row plugs =
        soak("plug cycle", kPlugWarmup, kPlugCycles, [&](int) { soakRun.plugCycle(); });
    const Row saves = soak("Save", kSaveWarmup, kSaves, [&](int n) { soakRun.saveChange(n); });
    const Row keys = soak("key event", kKeyWarmup, kKeyEvents, [&](int) { soakRun.keyEvent(); });
    std::printf("| Measurement | Reference | Measured | Ratio | Goal |\n|---|---|---|---|---|\n");
    for (const Row* row : {&plugs, &saves, &keys}) print(*row);
    return 0;
}

}  // namespace
}  // namespace tessaron::app

int main(int argc, char** argv) {
    try {
        return tessaron::app::measure(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "app_soak_bench: %s\n", e.what());
        return 1;
    }
}
