#pragma once
// The main window with the profiles panel as its page, on the virtual keyboard in a fresh data
// folder; the panel's file choice is set by the test and no message may be shown.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <memory>
#include <optional>

#include "app/controller/settings_controller.h"
#include "app/main_window/main_window.h"
#include "app/profiles/profiles_dlg_page.h"
#include "app/shell/live_config.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "keys/keymap_file.h"
#include "support/fake_clock.h"

namespace tessaron::app::testing {

struct ChooserOnly final : ProfilesPrompts {
    void inform(const QString& caption, const QString& text) override {
        ADD_FAILURE() << caption.toStdString() << ": " << text.toStdString();
    }
    bool confirm(const QString&, const QString&) override { return true; }
    std::optional<std::filesystem::path> chooseSaveFile(const std::filesystem::path&) override {
        return chosen;
    }
    std::optional<std::filesystem::path> chooseOpenFile(const std::filesystem::path&) override {
        return chosen;
    }
    std::optional<std::filesystem::path> chosen;
};

class SilentDialogs final : public UserDialogs {
public:
    bool confirm(QWidget*, const QString&, const QString&) override { return true; }
    void inform(QWidget*, const QString& caption, const QString& text) override {
        ADD_FAILURE() << caption.toStdString() << ": " << text.toStdString();
    }
};

struct ProfilesWindowRig {
    ProfilesWindowRig() {
        std::filesystem::create_directories(dir / "Configure");
        live->dataFolder = dir;
        live->imageBase = TESSARON_TEST_SHARE_DIR;
        MainWindowSetup setup;
        setup.controller = &controller;
        setup.dialogs = &dialogs;
        setup.programFolder = dir;
        setup.useTray = false;
        setup.pages.profiles = profilesPage(&prompts, &panelClock);
        window = std::make_unique<CTessaronDlg>(std::move(setup));
        window->initialise();
        window->show();
    }

    // A profile that differs from the keyboard in brightness (the caller may change more).
    [[nodiscard]] std::unique_ptr<LiveConfig> profileFromKeyboard() const {
        namespace img = device::image;
        auto loaded = std::make_unique<LiveConfig>();
        loaded->image = keyboard->settings();
        loaded->records = live->records;
        loaded->image[img::kBrightness] = loaded->image[img::kBrightness] == 7 ? 9 : 7;
        return loaded;
    }
    // Writes it where the chooser points ("shared.bin"), with a "Work" profile in the panel's
    // folder beside it.
    [[nodiscard]] bool offer(const LiveConfig& loaded) {
        prompts.chosen = dir / "shared.bin";
        return keys::writeKeymap(*prompts.chosen, loaded.image, loaded.records) &&
               keys::writeKeymap(dir / "Configure" / "Work.bin", live->image, live->records);
    }

    QTemporaryDir temp;
    const std::filesystem::path dir{temp.path().toStdString()};
    FakeClock keyboardClock;  // the keyboard's pacing takes no time
    std::shared_ptr<device::VirtualKeyboard> keyboard =
        std::make_shared<device::VirtualKeyboard>(keyboardClock);
    device::VirtualTransport transport{keyboard};
    std::unique_ptr<LiveConfig> live = std::make_unique<LiveConfig>();
    SettingsController controller{
        *live, std::make_unique<DeviceSession>(transport, keyboardClock, nullptr),
        nullptr};
    SilentDialogs dialogs;
    ChooserOnly prompts;
    FakeClock panelClock;
    std::unique_ptr<CTessaronDlg> window;  // last: gone before what it uses
};

}  // namespace tessaron::app::testing
