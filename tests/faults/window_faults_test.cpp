// The main window against a virtual keyboard that is pulled out in the middle of a Save or a
// factory reset, or that never acknowledges: the window goes on handling events while it waits,
// answers within the acknowledgement bound with a message, keeps the unsaved changes, never
// advances the committed image and leaves keymap.bin as it was. Plugged back in, the unsaved
// changes stay over what the keyboard holds and the next Save brings the keyboard to the image.
// Bursts of plug notices, keymap.bin holding keys the keyboard lacks, and a data folder that
// takes no file.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "app/shell/desktop.h"
#include "app/controller/settings_controller.h"
#include "app/shell/live_config.h"
#include "app/main_window/main_window.h"
#include "device/ack.h"
#include "device/frames.h"
#include "device/virtual/demo_faults.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "keys/assignment.h"
#include "keys/key_cell.h"
#include "keys/keymap_file.h"
#include "support/fake_clock.h"
#include "support/qt_wait.h"
#include "core/data_folder.h"

namespace tessaron::app {
namespace {

namespace fs = std::filesystem;
namespace img = device::image;
using std::chrono::milliseconds;

constexpr QPoint kSave{950, 620};
constexpr QPoint kReturn{830, 620};  // factory reset
constexpr QPoint kCancel{890, 620};
constexpr keys::KeyIndex kKey = 40;
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

// The keyboards' pacing, the acknowledgement looks and the settle after a plug-in take no real
// time on it; only the tests of those waits use a keyboard on the real clock.
FakeClock fakeTime;

std::shared_ptr<device::VirtualKeyboard> keyboardOnFakeTime() {
    return std::make_shared<device::VirtualKeyboard>(fakeTime);
}

// The window on its own data folder, reaching the keyboard through the demo fault wrapper, on
// the keyboard's clock. before: prepares the data folder before the window starts.
struct Rig {
    explicit Rig(std::shared_ptr<device::VirtualKeyboard> kb, device::DemoFaults faults = {},
                 const std::function<void(LiveConfig&)>& before = {})
        : keyboard(std::move(kb)) {
        transport = device::applyDemoFaults(faults, keyboard,
                                            std::make_unique<device::VirtualTransport>(keyboard));
        live.dataFolder = fs::path(dir.path().toStdString());
        live.imageBase = TESSARON_TEST_SHARE_DIR;
        if (before) before(live);
        auto ownSession =
            std::make_unique<DeviceSession>(*transport, keyboard->clock(),
                                            std::make_unique<device::VirtualHotplug>(keyboard));
        session = ownSession.get();
        controller = std::make_unique<SettingsController>(live, std::move(ownSession), nullptr);
        MainWindowSetup setup;
        setup.controller = controller.get();
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
        controller.reset();  // with the session
        window.reset();
    }
    bool settle() {
        return waitFor([this] { return !window->busy() && !window->arrivalPending(); });
    }
    // Until a plugged-in keyboard has been read and the window is done with it.
    bool arrived() {
        return waitFor([this] {
            return session->isConnected() && keyboard->hasEventReader() && !window->busy() &&
                   !window->arrivalPending();
        });
    }
    bool replug() {
        keyboard->unplug();
        if (!waitFor([this] { return !session->isConnected(); })) return false;
        keyboard->plug();
        return arrived();
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
    DeviceSession* session = nullptr;  // the controller's
    std::unique_ptr<SettingsController> controller;
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
        auto kb = keyboardOnFakeTime();
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
        auto kb = keyboardOnFakeTime();
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
            // Plugged back in, the window reads the keyboard again; the unsaved changes stay
            // over what it holds, and a further change then goes through with them.
            ASSERT_TRUE(waitFor([&] { return !rig.session->isConnected(); }));
            kb->plug();
            ASSERT_TRUE(rig.arrived());
            EXPECT_EQ(rig.live.image, changed);
            EXPECT_NE(kb->settings()[img::kBrightness], changed[img::kBrightness]);
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
    auto kb = std::make_shared<device::VirtualKeyboard>(SystemClock::instance());  // the bound's real time
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
    // Counted on a keyboard that behaves: the start-up read and a Save of the changes.
    std::size_t before = 0;
    {
        auto kb = keyboardOnFakeTime();
        Rig counting(kb);
        counting.change();
        counting.saveAndWait();
        before = transfersIn(*kb);
    }
    auto kb = keyboardOnFakeTime();
    Rig rig(kb, unplugAfter(before + 5));
    rig.change();
    rig.saveAndWait();
    ASSERT_TRUE(rig.dialogs.shown.empty()) << rig.dialogs.shown[0];
    rig.live.image[img::kBrightness] = 33;  // unsaved
    const auto keymap = fileBytes(rig.live.keymapPath());
    const auto committed = rig.live.committedImage;
    const auto image = rig.live.image;
    rig.click(kReturn);
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.dialogs.shown.size(), 1u);
    EXPECT_NE(rig.dialogs.shown[0].find("did not finish"), std::string::npos);
    EXPECT_EQ(rig.live.image, image);
    EXPECT_EQ(rig.live.committedImage, committed);
    EXPECT_EQ(fileBytes(rig.live.keymapPath()), keymap);

    // The keyboard reset before it was pulled out: back in, the saved key it lost is told and
    // shown as an unsaved change, which Save sends again.
    const std::size_t at = img::keyCell(0, 2);
    ASSERT_TRUE(waitFor([&] { return !rig.session->isConnected(); }));
    ASSERT_NE(kb->settings()[at + 2], 0x04) << "the keyboard was not reset";
    kb->plug();
    ASSERT_TRUE(rig.arrived());
    ASSERT_EQ(rig.dialogs.shown.size(), 2u);
    EXPECT_NE(rig.dialogs.shown[1].find("1 key(s) set in keymap.bin are not on the keyboard"),
              std::string::npos)
        << rig.dialogs.shown[1];
    EXPECT_EQ(rig.live.image[at + 2], 0x04);
    EXPECT_EQ(rig.live.image[img::kBrightness], 33);
    EXPECT_EQ(rig.live.committedImage, kb->settings());
    rig.saveAndWait();
    EXPECT_EQ(rig.dialogs.shown.size(), 2u) << rig.dialogs.shown.back();
    EXPECT_EQ(kb->settings()[at + 2], 0x04);
}

// A host action chosen on the key page for kKey, as the page leaves it.
keys::PendingAssignment openFileOnKey() {
    keys::PendingAssignment p;
    p.selectedKey = kKey;
    p.kind = keys::kind::kOpenFile;
    p.hostPath = "/usr/share/doc";
    return p;
}

TEST(WindowFaults, UnsavedChangesOutliveAReplug) {
    auto kb = keyboardOnFakeTime();
    Rig rig(kb);
    const std::size_t at = keys::matrixCellOffset(kKey);
    rig.live.image[img::kGameMode] = 1;
    auto pending = openFileOnKey();
    ASSERT_TRUE(keys::finishKeyEdit(pending, rig.live.liveKeys(), {}, rig.live.keymapPath()));
    const keys::KeyCell cell = keys::readCell(rig.live.image, at);

    ASSERT_TRUE(rig.replug());
    EXPECT_EQ(rig.live.image[img::kGameMode], 1);
    EXPECT_EQ(keys::readCell(rig.live.image, at), cell);
    EXPECT_EQ(rig.live.records[kKey].kind, keys::kind::kOpenFile);
    EXPECT_EQ(rig.live.marks[kKey], 1);
    EXPECT_TRUE(rig.dialogs.shown.empty()) << "the user's own edits are no news";

    rig.saveAndWait();
    ASSERT_TRUE(rig.dialogs.shown.empty()) << rig.dialogs.shown[0];
    EXPECT_EQ(kb->settings()[img::kGameMode], 1);
    EXPECT_EQ(keys::readCell(kb->settings(), at), cell);
}

TEST(WindowFaults, KeysOnlyKeymapHoldsAreUnsavedChangesThatSaveSendsOrCancelDrops) {
    // As `tessaronctl assign` without apply, or a kill between the key page and Save, leaves it.
    const auto assignedInFile = [](LiveConfig& live) {
        device::DeviceImage image = device::VirtualKeyboard().settings();
        keys::KeyRecordTable records{};
        keys::fillLayoutVks(records);
        keys::ModifiedMarks marks{};
        auto pending = openFileOnKey();
        ASSERT_TRUE(keys::applyAssignment(pending, {image, records, marks}, {}));
        ASSERT_TRUE(keys::writeKeymap(live.keymapPath(), image, records));
    };
    const std::size_t at = keys::matrixCellOffset(kKey);
    for (const bool save : {true, false}) {
        SCOPED_TRACE(save ? "Save" : "Cancel");
        auto kb = keyboardOnFakeTime();
        Rig rig(kb, {}, assignedInFile);
        ASSERT_EQ(rig.dialogs.shown.size(), 1u);
        EXPECT_NE(rig.dialogs.shown[0].find("1 key(s)"), std::string::npos) << rig.dialogs.shown[0];
        EXPECT_EQ(rig.live.marks[kKey], 1);
        EXPECT_EQ(rig.live.image[at], keys::cell::kHostAction);
        EXPECT_EQ(rig.live.committedImage, kb->settings());
        if (save) {
            rig.saveAndWait();
            EXPECT_EQ(rig.dialogs.shown.size(), 1u) << rig.dialogs.shown.back();
            EXPECT_EQ(kb->settings()[at], keys::cell::kHostAction);
        } else {
            rig.click(kCancel);
            EXPECT_EQ(rig.live.records[kKey].kind, keys::kind::kSingle);
            EXPECT_EQ(rig.live.marks[kKey], 0);
            device::DeviceImage image{};
            keys::KeyRecordTable records{};
            ASSERT_TRUE(keys::loadKeymap(rig.live.keymapPath(), image, records));
            EXPECT_EQ(records[kKey].kind, keys::kind::kSingle);
            EXPECT_EQ(image, kb->settings());
        }
    }
}

TEST(WindowFaults, APlugStormIsReadOnceWhileTheWindowTakesInput) {
    auto kb = std::make_shared<device::VirtualKeyboard>(SystemClock::instance());  // the settle's real time
    Rig rig(kb);
    int notices = 0;  // counted after the window has taken each
    QObject::connect(rig.session, &DeviceSession::plugChanged, [&](int) { ++notices; });
    kb->clearTraffic();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 20; ++i) {
        kb->unplug();
        kb->plug();
    }
    ASSERT_TRUE(waitFor([&] { return notices == 40; }));
    EXPECT_FALSE(rig.window->busy()) << "input is refused while the keyboard settles";
    ASSERT_TRUE(rig.arrived());
    EXPECT_LT(timer.elapsed(), 8000);
    std::size_t reads = 0;
    for (const auto& t : kb->traffic(device::TrafficKind::Frame)) {
        reads += t.command() == device::code::kFirmwareVersion;
    }
    EXPECT_EQ(reads, 1u);
}

// Files of this process may grow to limit bytes while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
        rlimit lower = saved_;
        lower.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &lower);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
};

TEST(WindowFaults, FailedWritesOfKeymapAreToldWithTheFileAndTheReason) {
    auto kb = keyboardOnFakeTime();
    Rig rig(kb);
    rig.change();
    {
        const FileSizeLimit full(64 * 1024);
        rig.saveAndWait();
        ASSERT_EQ(rig.dialogs.shown.size(), 1u);
        const std::string& told = rig.dialogs.shown[0];
        EXPECT_NE(told.find("could not be kept"), std::string::npos) << told;
        EXPECT_NE(told.find(rig.live.keymapPath().string()), std::string::npos) << told;
        EXPECT_NE(told.find(std::strerror(EFBIG)), std::string::npos) << told;
        // A run of failing writes nobody asked for is told once.
        rig.controller->refresh(false);
        rig.controller->refresh(false);
        EXPECT_EQ(rig.dialogs.shown.size(), 1u);
        rig.click(kCancel);
        EXPECT_EQ(rig.dialogs.shown.size(), 2u);
    }

    // A data folder that cannot be made (its parent is a file, so even root cannot) is told at
    // start, once.
    const auto unwritable = [](LiveConfig& live) {
        std::ofstream(live.dataFolder / "file") << "x";
        live.dataFolder = live.dataFolder / "file" / "data";
    };
    Rig locked(keyboardOnFakeTime(), {}, unwritable);
    ASSERT_EQ(locked.dialogs.shown.size(), 1u);
    EXPECT_NE(locked.dialogs.shown[0].find("cannot be written"), std::string::npos);
    EXPECT_NE(locked.dialogs.shown[0].find(locked.live.dataFolder.string()), std::string::npos);
}

// Another holder of the data folder (a tessaronctl command) keeps the window's writes out, and
// the window says so; a keymap.bin Tessaron never wrote is kept aside at start and told.
TEST(WindowFaults, DataFilesAreWrittenUnderTheFolderLockAndBrokenOnesAreTold) {
    const auto torn = [](LiveConfig& live) {
        fs::create_directories(live.dataFolder);
        std::ofstream(live.keymapPath(), std::ios::binary) << "torn";
    };
    Rig rig(keyboardOnFakeTime(), {}, torn);
    ASSERT_EQ(rig.dialogs.shown.size(), 1u);
    EXPECT_NE(rig.dialogs.shown[0].find("keymap.bin.broken-"), std::string::npos)
        << rig.dialogs.shown[0];
    const std::string before = fileBytes(rig.live.keymapPath());
    {
        auto held = DataFolderLock::acquire(rig.live.dataFolder);
        ASSERT_TRUE(held);
        rig.live.image[img::kGameMode] ^= 1;
        rig.controller->refresh(false);
        ASSERT_EQ(rig.dialogs.shown.size(), 2u);
        EXPECT_NE(rig.dialogs.shown[1].find("another program"), std::string::npos)
            << rig.dialogs.shown[1];
        EXPECT_EQ(fileBytes(rig.live.keymapPath()), before);
    }
    rig.controller->refresh(false);
    EXPECT_EQ(rig.dialogs.shown.size(), 2u);
    EXPECT_NE(fileBytes(rig.live.keymapPath()), before);
}

}  // namespace
}  // namespace tessaron::app
