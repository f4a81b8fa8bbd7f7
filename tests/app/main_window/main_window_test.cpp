// The main window through its clicks and messages, against the virtual keyboard.

#include <gtest/gtest.h>

#include <QImage>
#include <QSystemTrayIcon>
#include <QTest>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/main_window/firmware_offer.h"
#include "app/shell/local_line_server.h"
#include "app/shell/single_instance.h"
#include "device/virtual/factory_settings.h"
#include "keys/keymap_file.h"
#include "macros/macro_file.h"
#include "main_window_test_support.h"
#include "ui/bit_slider.h"

namespace tessaron::app::testing {
namespace {

namespace img = device::image;

constexpr QPoint kSave{950, 620};
constexpr QPoint kCancel{890, 620};
constexpr QPoint kReturn{830, 620};

std::size_t framesWithCommand(const device::VirtualKeyboard& kb, std::uint8_t command) {
    std::size_t n = 0;
    for (const auto& t : kb.traffic(device::TrafficKind::Frame)) n += t.command() == command;
    return n;
}

TEST(MainWindow, StartupReadsTheKeyboardAndCommitsIt) {
    Rig rig;
    const auto& live = rig.live();
    EXPECT_EQ(live.image[img::kEffect], device::factory::kEffect);
    EXPECT_EQ(live.image[img::kReportRate], device::factory::kReportRate);
    EXPECT_EQ(live.committedImage, live.image);
    EXPECT_EQ(rig.window->slider(kBrightnessSliderId)->value(), device::factory::kBrightness);
    EXPECT_EQ(rig.window->slider(kSpeedSliderId)->value(), device::factory::kSpeed);
    EXPECT_TRUE(std::filesystem::exists(live.keymapPath()));
    EXPECT_TRUE(std::filesystem::exists(live.macroFilePath()));
    EXPECT_TRUE(rig.dialogs.asked.empty());  // same firmware as shipped: no offer
}

TEST(MainWindow, SectionsToggleAndOpenListsSwallowTheNextClick) {
    Rig rig;
    auto& w = *rig.window;
    EXPECT_FALSE(w.slider(kBrightnessSliderId)->isVisible());
    rig.click(100, 120);  // Light header
    EXPECT_FALSE(w.sections().light);
    EXPECT_TRUE(w.slider(kBrightnessSliderId)->isVisible());
    EXPECT_EQ(w.layout().gameModeTop, 384);

    rig.click(100, 165);  // effect field
    EXPECT_TRUE(w.effectListOpen());
    EXPECT_FALSE(w.slider(kBrightnessSliderId)->isVisible());
    rig.keyboard->clearTraffic();
    rig.click(kSave.x(), kSave.y());  // outside the list: only closes it
    EXPECT_FALSE(w.effectListOpen());
    EXPECT_FALSE(w.busy());
    EXPECT_TRUE(rig.keyboard->traffic().empty());

    rig.click(100, 165);
    rig.click(100, 173 + 20 * 0 + 5);  // Static
    EXPECT_EQ(rig.live().image[img::kEffect], 1);
    EXPECT_FALSE(w.slider(kSpeedSliderId)->isVisible());
    rig.click(100, 165);
    rig.click(100, 173 + 20 * 9 + 5);  // Radar
    EXPECT_EQ(rig.live().image[img::kEffect], 13);
    EXPECT_TRUE(w.slider(kSpeedSliderId)->isVisible());
    rig.click(35, 205);  // direction button 1: right for Radar
    EXPECT_EQ(rig.live().image[img::kDirection], 2);

    rig.click(100, 120);
    EXPECT_TRUE(w.sections().light);
    EXPECT_EQ(w.layout().gameModeTop, 191);
}

// The one table of areas decides where clicks land: each area takes the clicks at its middle
// in every arrangement of the sections, the DIY radios lie over the direction buttons, and the
// lists take exactly their rows.
TEST(MainWindow, ClicksLandOnTheAreaTable) {
    Rig rig;
    auto& w = *rig.window;
    const auto eachAreaTakesItsMiddle = [&](const char* when) {
        for (const WindowArea& a : w.areaTable(false)) {
            if (a.hit) {
                EXPECT_EQ(w.areaAt(a.rect.center()), a.id) << when << " " << a.id;
            }
        }
    };
    eachAreaTakesItsMiddle("collapsed");
    EXPECT_EQ(w.areaAt({35, 205}), area::kGameModeHeader);  // no direction buttons
    EXPECT_EQ(w.areaAt({100, 50}), area::kLogo);
    EXPECT_EQ(w.areaAt({600, 300}), area::kNone);  // the picture's keys are its own
    rig.click(100, 120);
    rig.click(100, w.layout().gameModeTop + 5);
    rig.click(100, w.layout().responseTop + 5);
    rig.click(100, w.layout().reportRateTop + 5);
    ASSERT_EQ(w.sections(), Sections({false, false, false, false}));
    eachAreaTakesItsMiddle("opened");
    EXPECT_EQ(w.areaAt({135, 205}), area::kDirection1 + 2);
    rig.live().image[img::kEffect] = 53;  // a DIY effect
    eachAreaTakesItsMiddle("DIY");
    EXPECT_EQ(w.areaAt({35, 205}), area::kKeymapRadio);
    EXPECT_EQ(w.areaAt({60, 205}), area::kDirection1);  // beside the radio
    EXPECT_EQ(w.areaAt({135, 205}), area::kDiyRadio);

    rig.click(100, 165);
    ASSERT_TRUE(w.effectListOpen());
    EXPECT_EQ(w.listRowAt({100, 173}), 0);
    EXPECT_EQ(w.listRowAt({100, 512}), 16);  // the last pixel row still selects DIY5
    EXPECT_EQ(w.listRowAt({100, 513}), -1);
    EXPECT_EQ(w.listRowAt({27, 300}), -1);
    EXPECT_EQ(w.areaAt({100, 120}), area::kNone);  // the list takes every click
    rig.click(kSave.x(), kSave.y());
    const int responseTop = w.layout().responseTop;
    rig.click(100, responseTop + 30);
    ASSERT_TRUE(w.responseListOpen());
    EXPECT_EQ(w.listRowAt({100, responseTop - 173}), 0);
    EXPECT_EQ(w.listRowAt({100, responseTop + 26}), 9);
    EXPECT_EQ(w.listRowAt({100, responseTop + 27}), -1);  // just below the last row
    EXPECT_EQ(w.listRowAt({248, responseTop - 168}), -1);
}

TEST(MainWindow, HoverKeysAndTheTrayIcon) {
    Rig rig;
    auto& w = *rig.window;
    QTest::mouseMove(&w, QPoint(940, 10));
    EXPECT_EQ(w.hoveredArea(), area::kHelp);
    const keys::KeyRect r = keys::keyRect(30);
    QTest::mouseMove(
        &w, QPoint(keys::kKeyboardOrigin.x + r.left + 2, keys::kKeyboardOrigin.y + r.top + 2));
    EXPECT_EQ(w.hoveredKey(), std::optional<keys::KeyIndex>(30));
    EXPECT_EQ(w.hoveredArea(), area::kNone);

    for (auto key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_F1}) {
        QTest::keyClick(&w, key);
    }
    EXPECT_TRUE(w.isVisible());

    // The icon's double-click shows the window only while the keyboard is there.
    w.hide();
    w.trayActivated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(w.isVisible());
    rig.keyboard->unplug();
    ASSERT_TRUE(waitFor([&] { return !rig.session->isConnected(); }));
    w.hide();
    w.trayActivated(QSystemTrayIcon::DoubleClick);
    ASSERT_TRUE(waitFor([&] { return !rig.dialogs.shown.empty(); }));
    EXPECT_EQ(rig.dialogs.shown[0], "Warning: No Gaming Keyboard Detected!");
    EXPECT_FALSE(w.isVisible());
}

TEST(MainWindow, SaveSendsOnlyTheDifferenceAndSurvivesARestart) {
    std::filesystem::path folder;
    std::shared_ptr<device::VirtualKeyboard> kb;
    {
        Rig rig;
        rig.dir.setAutoRemove(false);
        folder = rig.folder();
        auto& w = *rig.window;
        rig.click(100, 195);  // Game Mode header
        const int y2 = w.layout().gameModeTop;
        rig.click(40, y2 + 35);                       // game mode ON
        rig.click(170, y2 + 35);                      // Win Lock ON
        rig.click(100, w.layout().responseTop + 5);   // Response Time header
        rig.click(100, w.layout().responseTop + 30);  // field: open the list
        ASSERT_TRUE(w.responseListOpen());
        rig.click(100, w.layout().responseListTop + 20 * 9 + 3);  // 20ms
        EXPECT_EQ(rig.live().image[img::kResponseTime], 10);

        rig.keyboard->clearTraffic();
        rig.click(kSave.x(), kSave.y());
        ASSERT_TRUE(rig.settle());
        EXPECT_TRUE(rig.dialogs.shown.empty());
        const auto settings = rig.keyboard->settings();
        EXPECT_EQ(settings[img::kGameMode], 1);
        EXPECT_EQ(settings[img::kResponseTime], 10);
        EXPECT_EQ(settings[img::kEnableBitmap] & device::kWinLockBit, 0);
        EXPECT_EQ(framesWithCommand(*rig.keyboard, 0x0D), 0u);  // key map unchanged: not sent
        EXPECT_EQ(rig.live().committedImage, rig.live().image);

        rig.keyboard->clearTraffic();
        rig.click(kSave.x(), kSave.y());  // nothing differs any more
        ASSERT_TRUE(rig.settle());
        EXPECT_TRUE(rig.keyboard->traffic(device::TrafficKind::PageIn).empty());
        kb = rig.keyboard;
    }
    // A restart reads the saved settings back from keymap.bin and the keyboard.
    device::DeviceImage image{};
    keys::KeyRecordTable records{};
    ASSERT_TRUE(keys::loadKeymap(folder / "keymap.bin", image, records));
    EXPECT_EQ(image[img::kGameMode], 1);
    EXPECT_EQ(image[img::kResponseTime], 10);
    std::filesystem::remove_all(folder);
}

TEST(MainWindow, FailedSaveKeepsTheChangesAndSaysWhy) {
    Rig rig;
    rig.keyboard->unplug();
    ASSERT_TRUE(waitFor([&] { return !rig.session->isConnected(); }));
    rig.click(100, 195);
    rig.click(40, rig.window->layout().gameModeTop + 35);
    rig.click(kSave.x(), kSave.y());
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.dialogs.shown.size(), 1u);
    EXPECT_NE(rig.dialogs.shown[0].find("keyboard"), std::string::npos) << rig.dialogs.shown[0];
    EXPECT_EQ(rig.live().image[img::kGameMode], 1);
    EXPECT_EQ(rig.live().committedImage[img::kGameMode], 0);
}

TEST(MainWindow, UnacknowledgedSaveIsReportedInTheInterfaceLanguage) {
    RigOptions options;
    options.language = Language::Chinese;
    Rig rig(options);
    auto faults = rig.keyboard->faults();
    faults.dropAllAcks = true;
    rig.keyboard->setFaults(faults);
    rig.click(100, 195);
    rig.click(40, rig.window->layout().gameModeTop + 35);
    rig.click(kSave.x(), kSave.y());
    EXPECT_TRUE(rig.window->busy());  // the window waits without freezing
    ASSERT_TRUE(rig.settle());
    ASSERT_EQ(rig.dialogs.shown.size(), 1u);
    const std::string& text = rig.dialogs.shown[0];
    EXPECT_EQ(text.find("keyboard"), std::string::npos) << text;  // Chinese, not English
    EXPECT_EQ(rig.live().image[img::kGameMode], 1);
    EXPECT_EQ(rig.live().committedImage[img::kGameMode], 0);
}

TEST(MainWindow, CancelRestoresTheCommittedStateAndHides) {
    Rig rig;
    const auto committed = rig.live().committedImage;
    rig.click(100, 195);
    rig.click(40, rig.window->layout().gameModeTop + 35);
    rig.live().image[img::kBrightness] = 7;
    rig.live().records[5].kind = keys::kind::kFunction;
    rig.click(kCancel.x(), kCancel.y());
    EXPECT_EQ(rig.live().image, committed);
    EXPECT_EQ(rig.live().records[5].kind, rig.live().committedRecords[5].kind);
    EXPECT_EQ(rig.window->slider(kBrightnessSliderId)->value(), committed[img::kBrightness]);
    // No notification area offscreen: the window is minimised rather than lost.
    EXPECT_TRUE(rig.window->isMinimized() || !rig.window->isVisible());
}

TEST(MainWindow, RefreshUpdatesSlidersMarksAndKeymap) {
    Rig rig;
    auto& live = rig.live();
    live.image[img::kBrightness] = 30;
    live.image[img::kReportRate] = 0;
    const keys::KeyIndex key = 20;
    live.image[keys::matrixCellOffset(key) + 2] ^= 0x7F;
    rig.controller->refresh(false);
    EXPECT_EQ(rig.window->slider(kBrightnessSliderId)->value(), 30);
    EXPECT_EQ(rig.window->slider(kReportRateSliderId)->value(), 0);
    EXPECT_EQ(live.marks[key], 1);
    EXPECT_EQ(live.marks[keys::kFnKey], 0);
    device::DeviceImage onDisk{};
    keys::KeyRecordTable records{};
    ASSERT_TRUE(keys::loadKeymap(live.keymapPath(), onDisk, records));
    EXPECT_EQ(onDisk, live.image);
}

TEST(MainWindow, RefreshAfterAReadFetchesTheLightingAgain) {
    Rig rig;
    // The keyboard's own Fn keys change its effect and brightness (image bytes 7450, 7452).
    auto settings = rig.keyboard->settings();
    settings[7450] = settings[7450] == 3 ? 4 : 3;
    settings[7452] = 17;
    rig.keyboard->setSettings(settings);
    rig.controller->refresh(true);
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.live().image[7450], settings[7450]);
    EXPECT_EQ(rig.live().image[7452], 17);
    EXPECT_EQ(rig.window->slider(kBrightnessSliderId)->value(), 17);

    // Without a fresh read (after the profiles panel) the keyboard is not asked.
    settings[7452] = 23;
    rig.keyboard->setSettings(settings);
    rig.controller->refresh(false);
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.live().image[7452], 17);
}

TEST(MainWindow, UnplugClosesAndReplugReopensTheChannels) {
    Rig rig;
    ASSERT_TRUE(rig.session->isConnected());
    ASSERT_TRUE(rig.keyboard->hasEventReader());
    rig.keyboard->unplug();
    ASSERT_TRUE(
        waitFor([&] { return !rig.session->isConnected() && !rig.keyboard->hasEventReader(); }));

    auto changed = rig.keyboard->settings();
    changed[img::kBrightness] = 12;
    rig.keyboard->setSettings(changed);
    rig.keyboard->plug();
    ASSERT_TRUE(
        waitFor([&] { return rig.session->isConnected() && rig.keyboard->hasEventReader(); }));
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.live().image[img::kBrightness], 12);
    EXPECT_EQ(rig.window->slider(kBrightnessSliderId)->value(), 12);
    // The committed image is what the keyboard holds, so the next Save sends the difference.
    EXPECT_EQ(rig.live().committedImage, rig.keyboard->settings());
}

TEST(MainWindow, FactoryResetRefusedWithoutAKeyboard) {
    RigOptions options;
    options.plugged = false;
    Rig rig(options);
    ASSERT_FALSE(rig.session->isConnected());
    rig.click(100, 120);
    const auto before = rig.live().image;
    rig.click(kReturn.x(), kReturn.y());
    ASSERT_EQ(rig.dialogs.asked.size(), 1u);
    EXPECT_NE(rig.dialogs.asked[0].find("Confirm to return Factory Setting?"), std::string::npos);
    ASSERT_EQ(rig.dialogs.shown.size(), 1u);
    EXPECT_EQ(rig.dialogs.shown[0], "Warning: No Gaming Keyboard Detected!");
    EXPECT_EQ(rig.live().image, before);
    EXPECT_FALSE(rig.window->sections().light);
}

TEST(MainWindow, FactoryResetRestoresEverything) {
    Rig rig;
    auto kbSettings = rig.keyboard->settings();
    kbSettings[img::kBrightness] = 3;
    rig.keyboard->setSettings(kbSettings);
    auto& live = rig.live();
    live.image[img::kEnableBitmap + 2] = 0;
    live.records[7].kind = keys::kind::kMacro;
    rig.click(100, 120);
    rig.click(100, 165);
    rig.click(100, 173 + 20 * 13 + 5);  // DIY2
    ASSERT_TRUE(live.diyMode);

    rig.dialogs.answerOk = false;
    rig.click(kReturn.x(), kReturn.y());
    EXPECT_TRUE(live.diyMode);  // Cancel in the question changes nothing

    rig.dialogs.answerOk = true;
    rig.click(kReturn.x(), kReturn.y());
    ASSERT_TRUE(rig.settle());
    EXPECT_FALSE(live.diyMode);
    EXPECT_EQ(rig.window->sections(), Sections{});
    EXPECT_EQ(live.image[img::kBrightness], device::factory::kBrightness);
    for (std::size_t i = 0; i < img::kEnableBitmapSize; ++i) {
        EXPECT_EQ(live.image[img::kEnableBitmap + i], 0xFF);
    }
    EXPECT_EQ(live.records[7].kind, keys::kind::kSingle);
    EXPECT_EQ(live.records[7].vk, keys::layoutVk(7));
    EXPECT_EQ(live.committedImage, live.image);
    EXPECT_EQ(rig.window->slider(kBrightnessSliderId)->value(), device::factory::kBrightness);
}

TEST(MainWindow, FirmwareOfferStartsTheUpdater) {
    RigOptions options;
    options.shipped = {2, 0};
    Rig rig(options);
    ASSERT_EQ(rig.dialogs.asked.size(), 1u);
    EXPECT_EQ(rig.dialogs.asked[0], "Firmware Update: Update new firmware？");
    ASSERT_EQ(rig.programs.programs.size(), 1u);
    EXPECT_EQ(rig.programs.programs[0], rig.folder() / std::string(kUpdaterFileName));

    // Help menu: row 0 opens the guide, the version line only closes the menu.
    rig.click(940, 10);
    ASSERT_TRUE(rig.window->helpMenuOpen());
    rig.click(900, 80);
    EXPECT_FALSE(rig.window->helpMenuOpen());
    EXPECT_TRUE(rig.programs.urls.empty());
    rig.click(940, 10);
    rig.click(900, 30);
    ASSERT_EQ(rig.programs.urls.size(), 1u);
    EXPECT_TRUE(rig.programs.urls[0].isLocalFile());
}

TEST(MainWindow, DiyClicksDrawTheLightMap) {
    Rig rig;
    rig.click(100, 120);
    rig.click(100, 165);
    rig.click(100, 173 + 20 * 14 + 5);  // DIY3
    ASSERT_TRUE(rig.live().diyMode);
    const keys::KeyIndex key = 30;
    const keys::KeyRect r = keys::keyRect(key);
    const int x = keys::kKeyboardOrigin.x + (r.left + r.right) / 2;
    const int y = keys::kKeyboardOrigin.y + (r.top + r.bottom) / 2;
    rig.click(x, y);
    const std::size_t cell = img::lightMap(2) + keys::layoutEntry(key).matrixOffset();
    EXPECT_EQ(rig.live().image[cell + 1], 0xFF);

    rig.click(35, 205);  // Keymap radio: DIY mode off, clicks open the key page again
    EXPECT_FALSE(rig.live().diyMode);
    rig.click(x, y);
    EXPECT_EQ(rig.live().image[cell + 1], 0xFF);

    rig.click(kSave.x(), kSave.y());
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.keyboard->settings()[cell + 1], 0xFF);
    EXPECT_EQ(rig.keyboard->settings()[img::kEffect], 53);
}

TEST(MainWindow, ReportRateSliderStoresItsPosition) {
    Rig rig;
    rig.click(100, 285);  // USB Report Rate header
    auto* s = rig.window->slider(kReportRateSliderId);
    ASSERT_TRUE(s->isVisible());
    EXPECT_EQ(s->y(), rig.window->layout().reportRateTop + 23);
    QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(s->channelRect().left(), 8));
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.live().image[img::kReportRate], 0);
    QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(s->channelRect().center().x() + 5, 8));
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.live().image[img::kReportRate], 2);
}

TEST(MainWindow, HostActionKeysOpenTheirTargets) {
    Rig rig;
    auto& record = rig.live().records[40];
    record.kind = keys::kind::kOpenFolder;
    ASSERT_TRUE(keys::setHostPath(record, "/tmp/somewhere/"));
    rig.keyboard->press(record.vk);
    ASSERT_TRUE(waitFor([&] { return !rig.launcher.actions.empty(); }));
    EXPECT_EQ(rig.launcher.actions[0].folder, "/tmp/somewhere");
}

TEST(MainWindow, PagesApplyTheirResults) {
    RigOptions options;
    std::vector<keys::KeyIndex> opened;
    options.pages.keyPage = [&](QWidget*, LiveConfig& live, keys::KeyIndex key) {
        opened.push_back(key);
        live.pending.kind = keys::kind::kSingle;
        live.pending.keyCount = 1;
        live.pending.capturedKeys[0] = keys::layoutVk(31);  // the key now types another key
        return true;
    };
    options.pages.macroManager = [](QWidget*, LiveConfig& live) {
        live.committedMacros[0].setName(u"Macro_001");
        live.committedMacros[0].setLoopCount(3);
        return true;
    };
    bool profilesOpened = false;
    options.pages.profiles = [&](QWidget*, LiveConfig& live, const QRect&) {
        profilesOpened = true;
        live.image[img::kBrightness] = 9;
    };
    Rig rig(std::move(options));
    auto& live = rig.live();

    const keys::KeyIndex key = 30;
    const keys::KeyRect r = keys::keyRect(key);
    rig.click(keys::kKeyboardOrigin.x + r.left + 3, keys::kKeyboardOrigin.y + r.top + 3);
    ASSERT_EQ(opened, std::vector<keys::KeyIndex>{key});
    EXPECT_EQ(live.marks[key], 1);
    EXPECT_NE(live.image[keys::matrixCellOffset(key) + 2],
              live.committedImage[keys::matrixCellOffset(key) + 2]);
    device::DeviceImage onDisk{};
    keys::KeyRecordTable records{};
    ASSERT_TRUE(keys::loadKeymap(live.keymapPath(), onDisk, records));
    EXPECT_EQ(onDisk, live.image);

    rig.click(100, 30 + 124 + 5);                 // Macro Management
    EXPECT_EQ(live.image[img::macroSlot(0)], 0);  // loop count, big-endian
    EXPECT_EQ(live.image[img::macroSlot(0) + 1], 3);
    auto macros = macros::loadMacroFile(live.macroFilePath());
    ASSERT_TRUE(macros);
    EXPECT_EQ(macros->table[0].loopCount(), 3);

    rig.click(50, 620);  // Profile
    ASSERT_TRUE(profilesOpened);
    ASSERT_TRUE(waitFor([&] { return rig.window->slider(kBrightnessSliderId)->value() == 9; }));
    EXPECT_TRUE(rig.dialogs.asked.empty());  // the profiles refresh offers no update

    // Each page's OK was one step; undone, the settings and the files are as before.
    ASSERT_EQ(rig.controller->history().count(), 3);
    while (rig.controller->canUndo()) rig.controller->undo();
    EXPECT_FALSE(rig.controller->isDirty());
    macros = macros::loadMacroFile(live.macroFilePath());
    ASSERT_TRUE(macros);
    EXPECT_FALSE(macros->table[0].inUse());
}

TEST(MainWindow, RendersInBothLanguages) {
    for (Language lang : {Language::English, Language::Chinese}) {
        RigOptions options;
        options.language = lang;
        Rig rig(options);
        rig.click(100, 120);
        rig.click(100, 195);
        const QImage shot = rig.window->grab().toImage();
        ASSERT_EQ(shot.size(), QSize(1000, 645));
        // The face is drawn: the keyboard area and the panel differ from the background.
        EXPECT_NE(shot.pixel(10, 300), shot.pixel(520, 280));
        EXPECT_NE(shot.pixel(100, 165), shot.pixel(600, 600));
    }
}

TEST(SingleInstance, ASecondStartBringsTheFirstForward) {
    const QString name =
        QStringLiteral(" tessaron-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(name);
    ASSERT_FALSE(first.notifyRunning(200));
    ASSERT_TRUE(first.listen());
    int requests = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++requests; });
    SingleInstance second(name);
    bool answered = false;
    std::thread start([&] { answered = second.notifyRunning(2000); });
    const bool forwarded = waitFor([&] { return requests == 1; });
    start.join();
    EXPECT_TRUE(forwarded);
    EXPECT_TRUE(answered);
    // Another name is another instance.
    SingleInstance other(name.trimmed());
    EXPECT_FALSE(other.notifyRunning(200));
    EXPECT_EQ(instanceName().left(39), QString::fromLatin1(kInstanceToken));
}

// The guard's socket lives in $XDG_RUNTIME_DIR; without it, in the temporary folder, where a
// socket another user could have planted neither answers for the program nor stops it.
TEST(SingleInstance, ListensOnlyInAFolderOfTheUsersOwnAndIgnoresAPlantedOne) {
    // Short, for a socket address.
    std::string made = "/tmp/tsi-XXXXXX";
    ASSERT_NE(::mkdtemp(made.data()), nullptr);
    const std::filesystem::path root = made;
    const auto restore = [](const char* name, const char* was) {
        if (was) {
            ::setenv(name, was, 1);
        } else {
            ::unsetenv(name);
        }
    };
    const char* runtimeWas = std::getenv("XDG_RUNTIME_DIR");
    const std::string runtime = runtimeWas ? runtimeWas : "";
    const char* tmpWas = std::getenv("TMPDIR");
    const std::string tmp = tmpWas ? tmpWas : "";
    const char* homeWas = std::getenv("HOME");
    const std::string home = homeWas ? homeWas : "";
    const QString name = QStringLiteral("tessaron-test-%1").arg(QCoreApplication::applicationPid());

    std::filesystem::create_directories(root / "run");
    std::filesystem::permissions(root / "run", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    ::setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
    {
        SingleInstance first(name);
        EXPECT_TRUE(first.listen());
        EXPECT_TRUE(std::filesystem::is_socket(root / "run" / name.toStdString()));
    }

    // No runtime folder, and someone planted an open "tessaron-UID" folder with a socket that
    // answers "yes" in the temporary folder: it is neither spoken to nor used.
    ::unsetenv("XDG_RUNTIME_DIR");
    const auto planted = root / "tmp" / ("tessaron-" + std::to_string(::getuid()));
    std::filesystem::create_directories(planted);
    std::filesystem::permissions(planted, std::filesystem::perms::all,
                                 std::filesystem::perm_options::replace);
    ::setenv("TMPDIR", (root / "tmp").c_str(), 1);
    ::setenv("HOME", (root / "home").c_str(), 1);
    {
        LocalLineServer liar(planted / name.toStdString(), 64,
                             [](std::string_view) { return std::string("yes"); });
        EXPECT_TRUE(liar.listen());
        SingleInstance second(name);
        EXPECT_FALSE(second.notifyRunning(200)) << "a planted socket is not spoken to";
        EXPECT_TRUE(second.listen());
        const auto own = root / "home" / ".cache" / planted.filename() / name.toStdString();
        EXPECT_TRUE(std::filesystem::is_socket(own));
        // Asked from a thread while this one takes the request, so the answer comes at once.
        int requests = 0;
        QObject::connect(&second, &SingleInstance::activationRequested, [&] { ++requests; });
        SingleInstance third(name);
        bool found = false;
        std::thread start([&] { found = third.notifyRunning(2000); });
        EXPECT_TRUE(waitFor([&] { return requests == 1; }));
        start.join();
        EXPECT_TRUE(found) << "the second start finds the first";
    }
    restore("XDG_RUNTIME_DIR", runtimeWas ? runtime.c_str() : nullptr);
    restore("TMPDIR", tmpWas ? tmp.c_str() : nullptr);
    restore("HOME", homeWas ? home.c_str() : nullptr);
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace tessaron::app::testing
