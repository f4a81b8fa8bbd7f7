// What the main window tells of the controller's work with the keyboard and the data files, and
// the questions asked before it (Cancel hides, the factory reset is confirmed, the firmware
// offer). While the controller is busy the window keeps painting, ignores input and shows the
// wait cursor.

#include "app/main_window/firmware_offer.h"
#include "app/main_window/main_window.h"

#include <QTimer>

namespace tessaron::app {

void CTessaronDlg::tellKeysBeyondKeyboard(int count) {
    const QString n = QString::number(count);
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
}

void CTessaronDlg::cancel() {
    hideWindow();
    if (controller_) controller_->revert();
}

void CTessaronDlg::factoryReset() {
    if (!dialogs_->confirm(this, tr2("Factory Setting", "出厂设置"),
                           tr2("Confirm to return Factory Setting?", "确认恢复至出厂设置吗？"))) {
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
    if (dialogs_->confirm(this, tr2("Firmware Update", "固件更新"),
                          tr2("Update new firmware？", "更新到新的固件吗？"))) {
        startUpdater();
    }
}

}  // namespace tessaron::app
