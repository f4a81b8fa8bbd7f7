// What the main window tells of the controller's work with the keyboard and the data files, and
// the questions asked before it (Cancel hides, the factory reset is confirmed, the firmware
// offer). While the controller is busy the window keeps painting, ignores input and shows the
// wait cursor.

#include "app/main_window/firmware_offer.h"
#include "app/main_window/main_window.h"
#include "core/text.h"
#include "ui/accessible_areas.h"
#include "ui/text.h"

#include <QTimer>

namespace tessaron::app {

void CTessaronDlg::tellKeysBeyondKeyboard(int count) {
    const QString n = QString::number(count);
    dialogs_->inform(
        this, ui::text(live_.language, TR_TEXT("MainWindow", "Orvik Gaming Keyboard")),
        ui::text(live_.language,
                 TR_TEXT("MainWindow",
                         "%1 key(s) set in keymap.bin are not on the keyboard. They are shown as "
                         "unsaved changes: Save sends them to the keyboard, Cancel drops them."))
            .arg(n));
}

void CTessaronDlg::showError(const Error& error) {
    dialogs_->inform(this, ui::text(live_.language, TR_TEXT("MainWindow", "Orvik Gaming Keyboard")),
                     QString::fromStdString(error.text(live_.language)));
}

void CTessaronDlg::showHistoryNotice(const QString& text) {
    constexpr int kNoticeMs = 6000;
    if (historyNoticeTimer_ == nullptr) {
        historyNoticeTimer_ = new QTimer(this);
        historyNoticeTimer_->setSingleShot(true);
        connect(historyNoticeTimer_, &QTimer::timeout, this, [this] {
            historyNotice_.clear();
            update();
        });
    }
    historyNotice_ = text;
    historyNoticeTimer_->start(kNoticeMs);
    update();
    ui::announcePaintedAlert(this, area::kNotice);
}

void CTessaronDlg::cancel() {
    hideWindow();
    if (controller_) controller_->revert();
}

void CTessaronDlg::factoryReset() {
    if (!dialogs_->confirm(this, ui::text(live_.language, TR_TEXT("MainWindow", "Factory Setting")),
                           ui::text(live_.language,
                                    TR_TEXT("MainWindow", "Confirm to return Factory Setting?")))) {
        return;
    }
    if (!controller_ || !controller_->isConnected()) {
        // Nothing could be read back: keep every setting as it is.
        dialogs_->inform(this, QStringLiteral("Warning"),
                         QStringLiteral("No Gaming Keyboard Detected!"));
        return;
    }
    controller_->factoryReset();
}

void CTessaronDlg::onFactoryResetDone() {
    sections_.collapseAll();
    effectListOpen_ = responseListOpen_ = helpMenuOpen_ = false;
    setSlidersFromImage();
    placeSliders();
    update();
}

void CTessaronDlg::startUpdater() {
    const auto updater = setup_.programFolder / std::string(kUpdaterFileName);
    if (auto s = programs_->startProgram(updater); !s) showError(s.error());
}

void CTessaronDlg::offerFirmwareUpdate() {
    if (!controller_) return;
    const auto& firmware = controller_->firmware();
    if (!firmware || firmwareOffered_) return;
    if (!shouldOfferUpdate(*firmware, setup_.shippedFirmware)) return;
    // One question per connection, although an arrival refreshes once per channel.
    firmwareOffered_ = true;
    if (dialogs_->confirm(
            this, ui::text(live_.language, TR_TEXT("MainWindow", "Firmware Update")),
            ui::text(live_.language, TR_TEXT("MainWindow", "Update new firmware？")))) {
        startUpdater();
    }
}

}  // namespace tessaron::app
