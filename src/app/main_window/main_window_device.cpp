// The main window's exchanges with the keyboard: start-up read, Save, Cancel, factory reset,
// plugging and the firmware offer. Device traffic runs on the session's worker; meanwhile the
// window keeps painting, ignores input and shows the wait cursor.

#include <QApplication>
#include <QCursor>

#include <utility>

#include "app/main_window/firmware_offer.h"
#include "app/main_window/keyboard_merge.h"
#include "app/main_window/main_window.h"
#include "device/errors.h"
#include "device/hotplug.h"
#include "keys/assignment.h"
#include "core/atomic_file.h"
#include "core/data_folder.h"
#include "keys/keymap_file.h"
#include "macros/macro_file.h"
#include "ui/messages.h"

namespace tessaron::app {

void CTessaronDlg::beginBusy() {
    if (busy_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CTessaronDlg::endBusy() {
    if (busy_ > 0 && --busy_ == 0) QApplication::restoreOverrideCursor();
}

Status CTessaronDlg::writeDataFiles(const device::DeviceImage& image,
                                    const keys::KeyRecordTable& records, bool withMacros) {
    // Bounded: a tessaronctl command may hold the folder through a keyboard transfer.
    constexpr std::chrono::milliseconds kLockBound{1000};
    auto lock = DataFolderLock::acquireWithin(live_.keymapPath().parent_path(), kLockBound,
                                              SystemClock::instance());
    if (!lock) return lock.error();
    if (!withMacros) return keys::writeKeymap(live_.keymapPath(), image, records);
    FileBatch batch;
    Status written = macros::stageMacroFile(batch, live_.macroFilePath(), live_.committedMacros);
    if (written) written = keys::stageKeymap(batch, live_.keymapPath(), image, records);
    if (written) written = batch.commit();
    return written;
}

bool CTessaronDlg::writeKeymap(bool onceWhileFailing) {
    // The action itself still happens; the user learns that the file did not follow.
    const Status written = writeDataFiles(live_.image, live_.records);
    const bool told = keymapWriteFailing_;
    keymapWriteFailing_ = !written;
    if (!written && !(onceWhileFailing && told)) showError(written.error());
    return static_cast<bool>(written);
}

void CTessaronDlg::takeKeyboardRead(const device::DeviceImage& read) {
    const std::size_t beyond = mergeKeyboardRead(live_, read, assignmentsKnown_);
    assignmentsKnown_ = true;
    if (beyond == 0) return;
    const QString n = QString::number(beyond);
    dialogs_->inform(
        this, tr2("Orvik Gaming Keyboard", kWindowTitle),
        tr2("%1 key(s) set in keymap.bin are not on the keyboard. They are shown as unsaved "
            "changes: Save sends them to the keyboard, Cancel drops them.",
            "keymap.bin 中设置的 %1 个按键不在键盘上。它们显示为未保存的更改：保存会将其发送到"
            "键盘，取消会丢弃它们。")
            .arg(n));
}

void CTessaronDlg::showError(const Error& error) {
    dialogs_->inform(this, tr2("Orvik Gaming Keyboard", kWindowTitle),
                     QString::fromStdString(error.text(live_.language)));
}

void CTessaronDlg::startDevice() {
    if (session_ == nullptr) return;
    if (auto s = session_->startHotplug(); !s) showError(s.error());
    beginBusy();
    session_->startup(live_.committedImage,
                      [this, alive = QPointer<CTessaronDlg>(this)](StartupOutcome out) {
                          if (!alive) return;
                          endBusy();
                          if (!out.image) {
                              // No keyboard: the window shows what keymap.bin holds, and says so.
                              unplugged_ = !session_->isConnected();
                              update();
                              return;
                          }
                          unplugged_ = false;
                          takeKeyboardRead(*out.image);
                          firmware_ = out.firmware;
                          firmwareOffered_ = false;
                          ui::sendMessage(this, ui::kRefreshMessage, 0, 0);
                      });
}

void CTessaronDlg::save() {
    if (session_ == nullptr) {
        showError(device::errors::noKeyboard());
        return;
    }
    if (arrivalsPending_ > 0) {
        // The keyboard was just plugged in: Save follows its read, against what it holds.
        saveAfterArrival_ = true;
        return;
    }
    beginBusy();
    session_->save(live_.image, live_.committedImage,
                   [this, alive = QPointer<CTessaronDlg>(this)](SaveOutcome out) {
                       if (!alive) return;
                       endBusy();
                       if (!out.result) {
                           // The unsaved changes stay in the window; the next Save tries them
                           // again.
                           showError(out.result.error());
                           return;
                       }
                       live_.image = out.image;
                       live_.committedImage = out.committed;
                       live_.committedRecords = live_.records;
                       const Status written = writeDataFiles(live_.image, live_.records);
                       keymapWriteFailing_ = !written;
                       if (!written) {
                           // The keyboard has them, but the keys' programs live only in the file.
                           dialogs_->inform(
                               this, tr2("Orvik Gaming Keyboard", kWindowTitle),
                               tr2("The keyboard took the settings, but they could not be kept "
                                   "on this computer: ",
                                   "键盘已接受设置，但无法保存在本机：") +
                                   QString::fromStdString(written.error().text(live_.language)));
                       }
                       update();
                   });
}

void CTessaronDlg::cancel() {
    hideWindow();
    live_.restoreCommitted();
    keys::recomputeModifiedMarks(live_.liveKeys());
    setSlidersFromImage();
    writeKeymap();
}

void CTessaronDlg::factoryReset() {
    if (!dialogs_->confirm(this, tr2("Factory Setting", "出厂设置"),
                           tr2("Confirm to return Factory Setting?", "确认恢复至出厂设置吗？"))) {
        return;
    }
    if (session_ == nullptr || !session_->isConnected()) {
        // Nothing could be read back: keep every setting as it is.
        dialogs_->inform(this, QStringLiteral("Warning"),
                         QStringLiteral("No Gaming Keyboard Detected!"));
        return;
    }
    beginBusy();
    session_->factoryReset(
        live_.image, [this, alive = QPointer<CTessaronDlg>(this)](Result<device::DeviceImage> out) {
            if (!alive) return;
            endBusy();
            if (!out) {
                // The keyboard may have reset before the failure: its state is unknown until it
                // is read again, and what it lacks then stays as unsaved changes.
                dialogs_->inform(
                    this, tr2("Orvik Gaming Keyboard", kWindowTitle),
                    QString::fromStdString(out.error().text(live_.language)) +
                        tr2("\n\nThe factory reset did not finish; the keyboard may hold its "
                            "factory settings. When it is read again, what it does not hold is "
                            "shown as unsaved changes.",
                            "\n\n恢复出厂设置没有完成；键盘可能已是出厂设置。再次读取键盘后，"
                            "键盘上没有的设置将显示为未保存的更改。"));
                rereadAfterReset();
                return;
            }
            live_.diyMode = false;
            sections_.collapseAll();
            effectListOpen_ = responseListOpen_ = helpMenuOpen_ = false;
            live_.image = *out;
            setSlidersFromImage();
            live_.marks.fill(0);
            keys::enableAllKeys(live_.image);
            keys::resetKeyRecords(live_.records);
            live_.commit();
            writeKeymap();
            placeSliders();
            update();
        });
}

void CTessaronDlg::startUpdater() {
    const auto updater = setup_.programFolder / std::string(kUpdaterFileName);
    if (auto s = programs_->startProgram(updater); !s) showError(s.error());
}

void CTessaronDlg::offerFirmwareUpdate() {
    if (!firmware_ || firmwareOffered_) return;
    if (!shouldOfferUpdate(*firmware_, setup_.shippedFirmware)) return;
    // One question per connection, although an arrival refreshes once per channel.
    firmwareOffered_ = true;
    if (dialogs_->confirm(this, tr2("Firmware Update", "固件更新"),
                          tr2("Update new firmware？", "更新到新的固件吗？"))) {
        startUpdater();
    }
}

void CTessaronDlg::rereadAfterReset() {
    if (session_ == nullptr || !session_->isConnected()) return;  // the arrival reads it
    beginBusy();
    session_->readKeyboard(
        live_.committedImage,
        [this, alive = QPointer<CTessaronDlg>(this)](Result<device::DeviceImage> read) {
            if (!alive) return;
            endBusy();
            if (!read) return;  // a keyboard gone meanwhile is read at its arrival
            takeKeyboardRead(*read);
            ui::sendMessage(this, ui::kRefreshMessage, 0, 1);
        });
}

void CTessaronDlg::onPlugChanged(int change) {
    if (session_ == nullptr || ended_) return;
    if (change == static_cast<int>(device::PlugChange::Removed)) {
        session_->removal({});
        firmwareOffered_ = false;
        unplugged_ = true;
        update();
        return;
    }
    unplugged_ = false;
    update();
    // Only the last of a burst of plug-ins is read; the window stays usable while it settles.
    ++arrivalsPending_;
    QPointer<CTessaronDlg> alive(this);
    session_->arrival(
        live_.committedImage,
        [this, alive] {
            if (alive) beginBusy();
        },
        [this, alive](std::optional<device::ArrivalResult> out) {
            if (!alive) return;
            --arrivalsPending_;
            if (out) {
                endBusy();
                if (out->commandOpened && out->image) {
                    takeKeyboardRead(*out->image);
                    if (out->firmware) firmware_ = out->firmware;
                    setSlidersFromImage();
                    ui::sendMessage(this, ui::kRefreshMessage, 0, 0);
                }
                if (out->eventOpened) ui::sendMessage(this, ui::kRefreshMessage, 0, 0);
            }
            if (arrivalsPending_ == 0 && std::exchange(saveAfterArrival_, false)) save();
        });
}

}  // namespace tessaron::app
