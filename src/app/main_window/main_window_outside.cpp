// What reaches the window from outside it: the tray menu's profiles, and the settings another
// program wrote to the data files.

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include <algorithm>
#include <span>

#include "app/main_window/main_window.h"
#include "core/atomic_file.h"
#include "core/clock.h"
#include "profiles/profile_store.h"
#include "ui/text.h"

namespace tessaron::app {

namespace {

// A profile made by New holds zeros until settings are saved into it: sending it would blank
// every key.
bool holdsSettings(const std::filesystem::path& file) {
    const auto bytes = readFilePrefix(file, device::image::kKeyMap + device::image::kKeyMapSize);
    if (!bytes || bytes->size() < device::image::kKeyMap + device::image::kKeyMapSize) return false;
    const auto map = std::span(*bytes).subspan(device::image::kKeyMap);
    return std::any_of(map.begin(), map.end(), [](std::uint8_t b) { return b != 0; });
}

}  // namespace

void CTessaronDlg::fillTrayProfiles() {
    for (QAction* action : trayProfiles_) {
        trayMenu_->removeAction(action);
        action->deleteLater();
    }
    trayProfiles_.clear();
    if (controller_ == nullptr) return;
    profiles::ProfileStore store(live_.dataFolder, live_.language, SystemClock::instance());
    store.rescan();
    QAction* before = trayMenu_->actions().value(0);
    const auto add = [this, before](QAction* action) {
        trayMenu_->insertAction(before, action);
        trayProfiles_.push_back(action);
    };
    auto* heading = new QAction(ui::text(live_.language, TR_TEXT("MainWindow", "Profiles")), trayMenu_.get());
    heading->setEnabled(false);
    add(heading);
    if (store.names().empty()) {
        auto* none = new QAction(ui::text(live_.language, TR_TEXT("MainWindow", "(none yet)")), trayMenu_.get());
        none->setEnabled(false);
        add(none);
    }
    for (std::size_t i = 0; i < store.names().size(); ++i) {
        const std::string name = store.names()[i];
        auto* action = new QAction(QString::fromStdString(name), trayMenu_.get());
        action->setCheckable(true);
        action->setChecked(name == controller_->loadedProfile());
        action->setEnabled(holdsSettings(store.paths()[i]));
        connect(action, &QAction::triggered, this,
                [this, name, file = store.paths()[i]] { loadTrayProfile(name, file); });
        add(action);
    }
    auto* separator = new QAction(trayMenu_.get());
    separator->setSeparator(true);
    add(separator);
}

void CTessaronDlg::loadTrayProfile(const std::string& name, const std::filesystem::path& file) {
    const QString caption = ui::text(live_.language, TR_TEXT("MainWindow", "Orvik Gaming Keyboard"));
    const auto fail = [this, caption, name](const QString& why) {
        const QString text =
            ui::text(live_.language, TR_TEXT("MainWindow", "The profile \"%1\" was not loaded: %2"))
                .arg(QString::fromStdString(name), why);
        if (hidesToTray()) {
            tray_->showMessage(caption, text, QSystemTrayIcon::Warning, 8000);
        } else {
            dialogs_->inform(this, caption, text);
        }
    };
    if (controller_ == nullptr) return;
    if (!controller_->keyboardReady()) {
        return fail(ui::text(live_.language, TR_TEXT("MainWindow", "no keyboard is connected.")));
    }
    if (controller_->isBusy() || controller_->outsideChangePending() || controller_->editorOpen()) {
        return fail(ui::text(live_.language, TR_TEXT("MainWindow", "Tessaron is busy with the keyboard; try again in a moment.")));
    }
    if (controller_->isDirty() &&
        !dialogs_->confirm(this, caption,
                           ui::text(live_.language, TR_TEXT("MainWindow", "Loading the profile \"%1\" replaces the changes not yet saved to the keyboard. Load it?"))
                               .arg(QString::fromStdString(name)))) {
        return;
    }
    controller_->remoteLoadProfile(
        file, name,
        [this, alive = QPointer<CTessaronDlg>(this), fail](Result<device::WriteOutcome> out) {
            if (!alive || out) return;
            fail(QString::fromStdString(out.error().text(live_.language)));
        },
        true);
}

void CTessaronDlg::askOutsideChange(const OutsideConflict& conflict) {
    if (controller_ == nullptr) return;
    const QString caption = ui::text(live_.language, TR_TEXT("MainWindow", "Orvik Gaming Keyboard"));
    QString differs;
    if (conflict.keysDiffering > 0) {
        differs += ui::text(live_.language, TR_TEXT("MainWindow", "%1 keys are assigned differently."))
                       .arg(conflict.keysDiffering);
    }
    if (conflict.settingsDiffer) {
        if (!differs.isEmpty()) differs += QLatin1Char(' ');
        differs += ui::text(live_.language, TR_TEXT("MainWindow", "The keyboard's settings (lighting, speed, report rate, key map) differ."));
    }
    const QString file = QString::fromStdString(live_.keymapPath().string());
    const bool takeTheirs = dialogs_->choose(
        this, caption,
        ui::text(live_.language, TR_TEXT("MainWindow", "Another program changed \"%1\" while this window holds changes it has not kept there.\n\n%2\n\nTake theirs: the window shows the file's settings. Keep mine: the window's settings stay and are written to the file. Either way the other side is kept as a copy beside the file, which the profiles panel can load."))
            .arg(file, differs),
        ui::text(live_.language, TR_TEXT("MainWindow", "Take theirs")), ui::text(live_.language, TR_TEXT("MainWindow", "Keep mine")));
    auto kept = controller_->resolveOutsideChange(takeTheirs);
    if (!kept) return showError(kept.error());
    dialogs_->inform(this, caption,
                     (takeTheirs ? ui::text(live_.language, TR_TEXT("MainWindow", "This window's settings were kept as \"%1\"."))
                                 : ui::text(live_.language, TR_TEXT("MainWindow", "The other program's settings were kept as \"%1\".")))
                         .arg(QString::fromStdString(kept->string())));
}

}  // namespace tessaron::app
