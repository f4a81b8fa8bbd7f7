#include "main_window_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "device/virtual/virtual_transport.h"

namespace tessaron::app::testing {

Rig::Rig(RigOptions options) {
    keyboard = std::make_shared<device::VirtualKeyboard>(clock);
    if (!options.plugged) keyboard->unplug();
    transport = std::make_unique<device::VirtualTransport>(keyboard);
    liveConfig = std::make_unique<LiveConfig>();
    liveConfig->dataFolder = folder();
    liveConfig->imageBase = TESSARON_TEST_SHARE_DIR;
    liveConfig->language = options.language;
    std::unique_ptr<DeviceSession> ownSession;
    if (options.withSession) {
        ownSession =
            std::make_unique<DeviceSession>(*transport, clock,
                                            std::make_unique<device::VirtualHotplug>(keyboard));
        session = ownSession.get();
    }
    controller =
        std::make_unique<SettingsController>(*liveConfig, std::move(ownSession), &launcher);
    MainWindowSetup setup;
    setup.controller = controller.get();
    setup.dialogs = &dialogs;
    setup.programs = &programs;
    setup.shippedFirmware = options.shipped;
    setup.programFolder = folder();
    setup.helpPage = folder() / "help.html";
    setup.useTray = options.tray;
    setup.pages = std::move(options.pages);
    window = std::make_unique<CTessaronDlg>(std::move(setup));
    window->initialise();
    window->show();
    settle();
}

Rig::~Rig() {
    controller.reset();  // with the session
    window.reset();
}

void Rig::click(int x, int y) {
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(x, y));
    QCoreApplication::processEvents();
}

bool Rig::settle() {
    return waitFor([this] { return !window->busy() && !window->arrivalPending(); });
}

}  // namespace tessaron::app::testing
