// The main window against a virtual keyboard that is pulled out in the middle of a Save or a
// factory reset, or that never acknowledges: the window goes on handling events while it waits,
// answers within the acknowledgement bound with a message, keeps the unsaved changes, never
// advances the committed image and leaves keymap.bin as it was. Plugged back in, the next Save
// brings the keyboard to the image.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "app/shell/desktop.h"
#include "app/main_window/device_session.h"
#include "app/shell/live_config.h"
#include "app/main_window/main_window.h"
#include "device/ack.h"
#include "device/virtual/demo_faults.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "support/qt_wait.h"

namespace tessaron::app {
namespace {

namespace fs = std::filesystem;
namespace img = device::image;
using std::chrono::milliseconds;

constexpr QPoint kSave{950, 620};
constexpr QPoint kReturn{830, 620};  // factory reset
constexpr milliseconds kAnswerBound = device::kAckTimeout + milliseconds(3000);

class RecordingDialogs final : public UserDialogs {
public:
    bool confirm(QWidget*, const QString&, const QString&) override { return true; }
    void inform(QWidget*, const QString&, const QString& text) override {
        shown.push_back(text.toStdString());
    }
    std::vector<std::string> shown;
};

class NoPrograms final : public ProgramStarter {
public:
    Status startProgram(const fs::path&) override { return {}; }
    Status openUrl(const QUrl&) override { return {}; }
};

using tessaron::testing::waitFor;

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::size_t transfersIn(const device::VirtualKeyboard& kb) {
    std::size_t n = 0;
    for (const auto& t : kb.traffic()) n += t.kind != device::TrafficKind::Event;
    return n;
}

// The window on its own data folder, reaching the keyboard through the demo fault wrapper.
struct Rig {
    explicit Rig(std::shared_ptr<device::VirtualKeyboard> kb, device::DemoFaults faults = {})
        : keyboard(std::move(kb)) {
        transport = device::applyDemoFaults(faults, keyboard,
                                            std::make_unique<device::VirtualTransport>(keyboard));
        live.dataFolder = fs::path(dir.path().toStdString());
        live.imageBase = TESSARON_TEST_SHARE_DIR;
        session =
            std::make_unique<DeviceSession>(*transport, SystemClock::instance(),
                                            std::make_unique<device::VirtualHotplug>(keyboard));
        MainWindowSetup setup;
        setup.live = &live;
        setup.session = session.get();
        setup.dialogs = &dialogs;
        setup.programs = &programs;
        setup.programFolder = live.dataFolder;
        setup.useTray = false;
        window = std::make_unique<CTessaronDlg>(std::move(setup));
        window->initialise();
        window->show();
        settle();
    }
    ~Rig() {
        session.reset();
        window.reset();
    }
    bool settle() {
        return waitFor([this] { return !window->busy(); });
    }
    void click(QPoint at) {
        QTest::mouseClick(window.get(), Qt::LeftButton, {}, at);
        QCoreApplication::processEvents();
    }
    // Changes for several steps of a Save, as the panels and pages leave them in the image.
    void change() {
        live.image[img::kGameMode] = live.image[img::kGameMode] ? 0 : 1;
        live.image[img::keyCell(0, 2) + 2] = 0x04;
        live.image[img::macroSlot(0) + 1] = 2;
        live.image[img::macroSlot(0) + 2] = 0x01;
        live.image[img::macroSlot(0) + 3] = 0x04;
        live.image[img::kBrightness] = live.image[img::kBrightness] == 10 ? 20 : 10;
    }
    // Clicks Save and waits for its end, checking that the window keeps handling events
    // meanwhile. Returns how long the answer took.
    milliseconds saveAndWait() {
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(50);
        QElapsedTimer timer;
        timer.start();
        click(kSave);
        EXPECT_TRUE(settle());
        const milliseconds took(timer.elapsed());
        if (took > milliseconds(500)) {
            EXPECT_GT(ticks, 2) << "the window stopped handling events";
        }
        return took;
    }

    QTemporaryDir dir;
    std::shared_ptr<device::VirtualKeyboard> keyboard;
    std::unique_ptr<device::Transport> transport;
    LiveConfig live;
    RecordingDialogs dialogs;
    NoPrograms programs;
    std::unique_ptr<DeviceSession> session;
    std::unique_ptr<CTessaronDlg> window;
};

device::DemoFaults unplugAfter(std::size_t transfers) {
    device::DemoFaults f;
    f.unplugAfter = transfers;
    return f;
}

TEST(WindowFaults, SaveUnpluggedAtItsStepsIsReportedAndLosesNothing) {
    // The start-up read and the Save, counted on a keyboard that behaves.
    std::size_t startup = 0;
    std::size_t save = 0;
    {
        auto kb = std::make_shared<device::VirtualKeyboard>();
        Rig rig(kb);
        startup = transfersIn(*kb);
        rig.change();
        rig.saveAndWait();
        ASSERT_TRUE(rig.dialogs.shown.empty()) << rig.dialogs.shown[0];
        save = transfersIn(*kb) - startup;
        ASSERT_GE(save, 16u);  // dark, game mode, key map, macro slot, full
    }
    for (std::size_t k : {std::size_t{0}, std::size_t{1}, save / 3, save / 2, save - 2}) {
        SCOPED_TRACE("unplugged after transfer " + std::to_string(k) + " of the Save");
        auto kb = std::make_shared<device::VirtualKeyboard>();
        Rig rig(kb, unplugAfter(startup + k));
        ASSERT_TRUE(rig.dialogs.shown.empty());
        rig.change();
        const auto keymap = fileBytes(rig.live.keymapPath());
        const auto committed = rig.live.committedImage;
        const auto changed = rig.live.image;
        EXPECT_LE(rig.saveAndWait(), kAnswerBound);
        ASSERT_EQ(rig.dialogs.shown.size(), 1u);
        EXPECT_FALSE(rig.dialogs.shown[0].empty());
        EXPECT_EQ(rig.live.committedImage, committed);
        EXPECT_EQ(rig.live.image[img::macroSlot(0) + 1], changed[img::macroSlot(0) + 1]);
        EXPECT_EQ(fileBytes(rig.live.keymapPath()), keymap);

        if (k == save / 2) {
            // Plugged back in, the window reads the keyboard again and shows what it holds;
            // the change made once more then goes through.
            ASSERT_TRUE(waitFor([&] { return !rig.session->isConnected(); }));
            kb->plug();
            ASSERT_TRUE(waitFor([&] { return rig.session->isConnected() && !rig.window->busy(); }));
            ASSERT_TRUE(rig.settle());
            EXPECT_EQ(rig.live.image[img::kBrightness], kb->settings()[img::kBrightness]);
            rig.change();
            rig.saveAndWait();
            EXPECT_EQ(rig.dialogs.shown.size(), 1u) << rig.dialogs.shown.back();
            EXPECT_EQ(rig.live.committedImage, rig.live.image);
            EXPECT_EQ(kb->settings()[img::macroSlot(0) + 1], 2);
            EXPECT_EQ(kb->settings()[img::keyCell(0, 2) + 2], 0x04);
        }
    }
}

TEST(WindowFaults, SilentKeyboardIsReportedWithinTheBound) {
    auto kb = std::make_shared<device::VirtualKeyboard>();
    Rig rig(kb);
    rig.change();
    const auto keymap = fileBytes(rig.live.keymapPath());
    const auto committed = rig.live.committedImage;
    kb->setFaults({.dropAllAcks = true});
    EXPECT_LE(rig.saveAndWait(), kAnswerBound);
    ASSERT_EQ(rig.dialogs.shown.size(), 1u);
    EXPECT_NE(rig.dialogs.shown[0].find("acknowledge"), std::string::npos) << rig.dialogs.shown[0];
    EXPECT_EQ(rig.live.committedImage, committed);
    EXPECT_EQ(fileBytes(rig.live.keymapPath()), keymap);
    EXPECT_FALSE(kb->lightsDimmed());
}

TEST(WindowFaults, FactoryResetUnpluggedHalfwayKeepsTheSettings) {
    auto kb = std::make_shared<device::VirtualKeyboard>();
    std::size_t startup = 0;
    {
        Rig counting(kb);
        startup = transfersIn(*kb);
    }
    auto fresh = std::make_shared<device::VirtualKeyboard>();
    Rig rig(fresh, unplugAfter(startup + 5));
    rig.change();
    const auto keymap = fileBytes(rig.live.keymapPath());
    const auto committed = rig.live.committedImage;
    const auto image = rig.live.image;
    rig.click(kReturn);
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.dialogs.shown.size(), 1u);
    EXPECT_EQ(rig.live.image, image);
    EXPECT_EQ(rig.live.committedImage, committed);
    EXPECT_EQ(fileBytes(rig.live.keymapPath()), keymap);
}

}  // namespace
}  // namespace tessaron::app
