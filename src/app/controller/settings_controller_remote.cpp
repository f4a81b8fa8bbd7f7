// What the desktop service asks of the controller: the same exchanges as the window's buttons,
// answered to the caller instead of in message boxes.

#include <QPointer>

#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <utility>

#include "app/controller/keyboard_merge.h"
#include "app/controller/settings_controller.h"
#include "core/text.h"
#include "device/errors.h"
#include "keys/assignment.h"
#include "keys/keymap_file.h"
#include "macros/macro_file.h"

namespace tessaron::app {

namespace {
// While it lives, the controller writes for a caller that holds the data folder's lock.
class ForLockHolder {
public:
    explicit ForLockHolder(bool& flag) : flag_(flag) { flag_ = true; }
    ~ForLockHolder() { flag_ = false; }
    ForLockHolder(const ForLockHolder&) = delete;
    ForLockHolder& operator=(const ForLockHolder&) = delete;

private:
    bool& flag_;
};
}  // namespace

void SettingsController::remoteRead(std::function<void(Result<device::DeviceImage>)> done) {
    if (!keyboardReady()) return done(device::errors::noKeyboard());
    beginBusy();
    session_->readKeyboard(live_.committedImage,
                           [this, alive = QPointer<SettingsController>(this),
                            done = std::move(done)](Result<device::DeviceImage> read) {
                               if (!alive) return done(device::errors::noKeyboard());
                               endBusy();
                               if (read) {
                                   takeKeyboardRead(*read);
                                   const ForLockHolder caller(forLockHolder_);
                                   refresh(false);
                               }
                               done(std::move(read));
                           });
}

void SettingsController::remoteSave(std::function<void(Result<device::WriteOutcome>)> done) {
    sendLive(true, std::move(done));
}

void SettingsController::sendLive(bool forLockHolder,
                                  std::function<void(Result<device::WriteOutcome>)> done) {
    if (!keyboardReady()) return done(device::errors::noKeyboard());
    beginBusy();
    session_->save(live_.image, live_.committedImage,
                   [this, alive = QPointer<SettingsController>(this), forLockHolder,
                    done = std::move(done)](SaveOutcome out) {
                       if (!alive) return done(device::errors::noKeyboard());
                       endBusy();
                       if (out.result) {
                           live_.image = out.image;
                           live_.committedImage = out.committed;
                           live_.committedRecords = live_.records;
                           history_.setClean();
                           std::optional<ForLockHolder> caller;
                           if (forLockHolder) caller.emplace(forLockHolder_);
                           if (!writeKeymap(true)) {
                               out.result = makeError(TR_TEXT("Controller",
                                                              "The keyboard took the settings, but "
                                                              "%1 could not be written."),
                                                      live_.keymapPath().string());
                           }
                           caller.reset();
                           emit settingsChanged();
                       }
                       done(std::move(out.result));
                   });
}

void SettingsController::remoteApply(const std::filesystem::path& settings,
                                     std::function<void(Result<device::WriteOutcome>)> done,
                                     std::optional<Error> historyWhy) {
    // Loaded into copies first: a file that cannot be read changes nothing.
    auto image = std::make_unique<device::DeviceImage>(live_.image);
    auto records = std::make_unique<keys::KeyRecordTable>();
    if (auto loaded = keys::loadKeymap(settings, *image, *records, keys::KeymapBlocks::All);
        !loaded) {
        return done(loaded.error());
    }
    const auto map = std::span(*image).subspan(device::image::kKeyMap, device::image::kKeyMapSize);
    if (std::all_of(map.begin(), map.end(), [](std::uint8_t b) { return b == 0; })) {
        // A key map of zeros never came from a keyboard; sending it would blank every key.
        return done(makeError(TR_TEXT("Controller", "%1 holds no keyboard settings yet."),
                              settings.string()));
    }
    if (auto macros = macros::loadMacroFile(live_.macroFilePath())) {
        live_.committedMacros = std::move(macros->table);
    }
    takeSettings(*image, *records, historyWhy);
    // A profile becomes what keymap.bin holds, as the profiles panel's Load does.
    if (settings != live_.keymapPath()) {
        const ForLockHolder caller(forLockHolder_);
        writeKeymap(true);
    }
    emit settingsReloaded(false);
    remoteSave(std::move(done));
}

void SettingsController::switchTo(const device::DeviceImage& image,
                                  const keys::KeyRecordTable& records, const std::string& profile,
                                  std::function<void(Result<device::WriteOutcome>)> done) {
    // After the window ended, keymap.bin holds what the keyboard holds and stays so.
    if (finished_ || !keyboardReady()) return done(device::errors::noKeyboard());
    if (isDirty() || editorOpen()) {
        return done(makeError(TR_TEXT("Controller", "The window has unsaved changes or an editor open; the switch waits.")));
    }
    clearHistory(makeError(TR_TEXT("Controller", "A profile was switched to automatically: the undo history was cleared.")));
    live_.image = image;
    live_.records = records;
    keys::fillLayoutVks(live_.records);
    assignmentsKnown_ = true;
    keys::refreshModifiedMarks(live_.liveKeys());
    // The switched profile is what keymap.bin holds, as after the profiles panel's Load; its
    // host actions are carried out from now on, since they come from the live records.
    writeKeymap(true);
    emit settingsReloaded(false);
    sendLive(false, [this, alive = QPointer<SettingsController>(this), profile,
                     done = std::move(done)](Result<device::WriteOutcome> out) {
        if (alive && out) loadedProfile_ = profile;
        done(std::move(out));
    });
}

void SettingsController::remoteFactoryReset(std::function<void(Result<device::DeviceImage>)> done) {
    if (!keyboardReady()) return done(device::errors::noKeyboard());
    beginBusy();
    session_->factoryReset(
        live_.image, [this, alive = QPointer<SettingsController>(this),
                      done = std::move(done)](Result<device::DeviceImage> out) {
            if (!alive) return done(device::errors::noKeyboard());
            endBusy();
            if (!out) {
                reloadFromKeyboard();
                return done(std::move(out));
            }
            {
                const ForLockHolder caller(forLockHolder_);
                takeFactorySettings(*out, true);
            }
            done(std::move(out));
        });
}

void SettingsController::remoteLoadProfile(const std::filesystem::path& file,
                                           const std::string& name,
                                           std::function<void(Result<device::WriteOutcome>)> done,
                                           bool fromTray) {
    std::optional<Error> why;
    if (fromTray) {
        why = makeError(TR_TEXT("Controller", "The profile \"%1\" was loaded from the icon menu: the undo history was cleared."), name);
    }
    remoteApply(
        file,
        [this, alive = QPointer<SettingsController>(this), name,
         done = std::move(done)](Result<device::WriteOutcome> out) {
            if (alive && out) loadedProfile_ = name;
            done(std::move(out));
        },
        std::move(why));
}

}  // namespace tessaron::app
