// What the desktop service asks of the window: the same exchanges as the buttons, answered to
// the caller instead of in message boxes.

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "app/main_window/keyboard_merge.h"
#include "app/main_window/main_window.h"
#include "device/errors.h"
#include "keys/assignment.h"
#include "keys/keymap_file.h"
#include "macros/macro_file.h"
#include "ui/messages.h"

namespace tessaron::app {

bool CTessaronDlg::keyboardConnected() const {
    // A keyboard just plugged in counts once it has been read.
    return session_ != nullptr && session_->isConnected() && !unplugged_ && arrivalsPending_ == 0;
}

bool CTessaronDlg::unsavedChanges() const {
    // Key records are plain bytes, laid out as in keymap.bin.
    return live_.image != live_.committedImage ||
           std::memcmp(live_.records.data(), live_.committedRecords.data(),
                       sizeof(keys::KeyRecordTable)) != 0;
}

void CTessaronDlg::remoteRead(std::function<void(Result<device::DeviceImage>)> done) {
    if (!keyboardConnected()) {
        done(device::errors::noKeyboard());
        return;
    }
    beginBusy();
    session_->readKeyboard(live_.committedImage,
                           [this, alive = QPointer<CTessaronDlg>(this),
                            done = std::move(done)](Result<device::DeviceImage> read) {
                               if (!alive) return done(device::errors::noKeyboard());
                               endBusy();
                               if (read) {
                                   mergeKeyboardRead(live_, *read, assignmentsKnown_);
                                   assignmentsKnown_ = true;
                                   ui::sendMessage(this, ui::kRefreshMessage, 0, 1);
                               }
                               done(std::move(read));
                           });
}

void CTessaronDlg::remoteSave(std::function<void(Result<device::WriteOutcome>)> done) {
    if (!keyboardConnected() || arrivalsPending_ > 0) {
        done(device::errors::noKeyboard());
        return;
    }
    beginBusy();
    session_->save(live_.image, live_.committedImage,
                   [this, alive = QPointer<CTessaronDlg>(this), done = std::move(done)](
                       SaveOutcome out) {
                       if (!alive) return done(device::errors::noKeyboard());
                       endBusy();
                       if (out.result) {
                           live_.image = out.image;
                           live_.committedImage = out.committed;
                           live_.committedRecords = live_.records;
                           if (!writeKeymap(true)) {
                               out.result = makeError(
                                   "The keyboard took the settings, but " +
                                   live_.keymapPath().string() + " could not be written.");
                           }
                           update();
                       }
                       done(std::move(out.result));
                   });
}

void CTessaronDlg::remoteApply(const std::filesystem::path& settings,
                               std::function<void(Result<device::WriteOutcome>)> done) {
    // Loaded into copies first: a file that cannot be read changes nothing.
    auto image = std::make_unique<device::DeviceImage>(live_.image);
    auto records = std::make_unique<keys::KeyRecordTable>();
    if (auto loaded = keys::loadKeymap(settings, *image, *records); !loaded) {
        return done(loaded.error());
    }
    const auto map = std::span(*image).subspan(device::image::kKeyMap, device::image::kKeyMapSize);
    if (std::all_of(map.begin(), map.end(), [](std::uint8_t b) { return b == 0; })) {
        // A key map of zeros never came from a keyboard; sending it would blank every key.
        return done(makeError(settings.string() + " holds no keyboard settings yet.",
                              settings.string() + " 中还没有键盘设置。"));
    }
    if (auto macros = macros::loadMacroFile(live_.macroFilePath())) {
        live_.committedMacros = std::move(macros->table);
    }
    live_.image = *image;
    live_.records = *records;
    keys::fillLayoutVks(live_.records);
    keys::refreshModifiedMarks(live_.liveKeys());
    assignmentsKnown_ = true;
    setSlidersFromImage();
    // A profile becomes what keymap.bin holds, as the profiles panel's Load does.
    if (settings != live_.keymapPath()) writeKeymap(true);
    update();
    remoteSave(std::move(done));
}

void CTessaronDlg::remoteFactoryReset(std::function<void(Result<device::DeviceImage>)> done) {
    if (!keyboardConnected()) {
        done(device::errors::noKeyboard());
        return;
    }
    beginBusy();
    session_->factoryReset(
        live_.image, [this, alive = QPointer<CTessaronDlg>(this),
                      done = std::move(done)](Result<device::DeviceImage> out) {
            if (!alive) return done(device::errors::noKeyboard());
            endBusy();
            if (!out) {
                rereadAfterReset();
                return done(std::move(out));
            }
            live_.image = *out;
            live_.marks.fill(0);
            keys::enableAllKeys(live_.image);
            keys::resetKeyRecords(live_.records);
            live_.commit();
            setSlidersFromImage();
            writeKeymap(true);
            update();
            done(std::move(out));
        });
}

}  // namespace tessaron::app
