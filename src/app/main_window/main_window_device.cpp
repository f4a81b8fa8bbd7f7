// The main window's exchanges with the keyboard: start-up read, Save, Cancel, factory reset,
// plugging and the firmware offer. Device traffic runs on the session's worker; meanwhile the
// window keeps painting, ignores input and shows the wait cursor.

#include <QApplication>
#include <QCursor>

#include "app/main_window/firmware_offer.h"
#include "app/main_window/main_window.h"
#include "device/errors.h"
#include "device/hotplug.h"
#include "keys/assignment.h"
#include "keys/keymap_file.h"
#include "ui/messages.h"

namespace tessaron::app {

void CTessaronDlg::beginBusy() {
    if (busy_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CTessaronDlg::endBusy() {
    if (busy_ > 0 && --busy_ == 0) QApplication::restoreOverrideCursor();
}

void CTessaronDlg::writeKeymap() {
    // A file that cannot be written is skipped; the action itself still happens.
    (void)keys::writeKeymap(live_.keymapPath(), live_.image, live_.records);
}

void CTessaronDlg::showError(const Error& error) {
    dialogs_->inform(this, tr2("Orvik Gaming Keyboard", kWindowTitle),
                     QString::fromStdString(error.text(live_.language)));
}

void CTessaronDlg::startDevice() {
    if (session_ == nullptr) return;
    if (auto s = session_->startHotplug(); !s) showError(s.error());
    beginBusy();
    session_->startup(live_.image,
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
                          live_.image = *out.image;
                          live_.committedImage = live_.image;
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
                       writeKeymap();
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
                showError(out.error());
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
            if (keys::writeKeymap(live_.keymapPath(), live_.image, live_.records)) {
                live_.commit();
            }
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
    beginBusy();
    session_->arrival(live_.image,
                      [this, alive = QPointer<CTessaronDlg>(this)](device::ArrivalResult out) {
                          if (!alive) return;
                          endBusy();
                          if (out.commandOpened && out.image) {
                              live_.image = *out.image;
                              if (out.firmware) firmware_ = out.firmware;
                              setSlidersFromImage();
                              ui::sendMessage(this, ui::kRefreshMessage, 0, 0);
                          }
                          if (out.eventOpened) ui::sendMessage(this, ui::kRefreshMessage, 0, 0);
                      });
}

}  // namespace tessaron::app
