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
    auto* heading = new QAction(tr2("Profiles", "配置文件"), trayMenu_.get());
    heading->setEnabled(false);
    add(heading);
    if (store.names().empty()) {
        auto* none = new QAction(tr2("(none yet)", "（暂无）"), trayMenu_.get());
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
    const QString caption = tr2("Orvik Gaming Keyboard", kWindowTitle);
    const auto fail = [this, caption, name](const QString& why) {
        const QString text =
            tr2("The profile \"%1\" was not loaded: %2", "未能载入配置文件 \"%1\"：%2")
                .arg(QString::fromStdString(name), why);
        if (hidesToTray()) {
            tray_->showMessage(caption, text, QSystemTrayIcon::Warning, 8000);
        } else {
            dialogs_->inform(this, caption, text);
        }
    };
    if (controller_ == nullptr) return;
    if (!controller_->keyboardReady()) {
        return fail(tr2("no keyboard is connected.", "没有连接键盘。"));
    }
    if (controller_->isBusy() || controller_->outsideChangePending() || controller_->editorOpen()) {
        return fail(tr2("Tessaron is busy with the keyboard; try again in a moment.",
                        "Tessaron 正在与键盘通信，请稍后再试。"));
    }
    if (controller_->isDirty() &&
        !dialogs_->confirm(this, caption,
                           tr2("Loading the profile \"%1\" replaces the changes not yet saved to "
                               "the keyboard. Load it?",
                               "载入配置文件 \"%1\" 将替换尚未保存到键盘的更改。是否载入？")
                               .arg(QString::fromStdString(name)))) {
        return;
    }
    controller_->remoteLoadProfile(
        file, name,
        [this, alive = QPointer<CTessaronDlg>(this), fail](Result<device::WriteOutcome> out) {
            if (!alive || out) return;
            fail(QString::fromStdString(out.error().text(live_.language)));
        });
}

void CTessaronDlg::askOutsideChange(const OutsideConflict& conflict) {
    if (controller_ == nullptr) return;
    const QString caption = tr2("Orvik Gaming Keyboard", kWindowTitle);
    QString differs;
    if (conflict.keysDiffering > 0) {
        differs += tr2("%1 keys are assigned differently.", "有 %1 个按键的设置不同。")
                       .arg(conflict.keysDiffering);
    }
    if (conflict.settingsDiffer) {
        if (!differs.isEmpty()) differs += QLatin1Char(' ');
        differs += tr2("The keyboard's settings (lighting, speed, report rate, key map) differ.",
                       "键盘设置（灯光、速度、回报率、按键映射）不同。");
    }
    const QString file = QString::fromStdString(live_.keymapPath().string());
    const bool takeTheirs = dialogs_->choose(
        this, caption,
        tr2("Another program changed \"%1\" while this window holds changes it has not kept "
            "there.\n\n%2\n\nTake theirs: the window shows the file's settings. Keep mine: the "
            "window's settings stay and are written to the file. Either way the other side is "
            "kept as a copy beside the file, which the profiles panel can load.",
            "其他程序更改了 \"%1\"，而本窗口中有尚未保存到该文件的更改。\n\n%2\n\n"
            "采用对方的：窗口显示文件中的设置。保留我的：窗口中的设置不变并写入该文件。"
            "无论选择哪一方，另一方都会作为副本保存在该文件旁边，可在配置文件面板中载入。")
            .arg(file, differs),
        tr2("Take theirs", "采用对方的"), tr2("Keep mine", "保留我的"));
    auto kept = controller_->resolveOutsideChange(takeTheirs);
    if (!kept) return showError(kept.error());
    dialogs_->inform(this, caption,
                     (takeTheirs ? tr2("This window's settings were kept as \"%1\".",
                                       "本窗口的设置已保存为 \"%1\"。")
                                 : tr2("The other program's settings were kept as \"%1\".",
                                       "其他程序的设置已保存为 \"%1\"。"))
                         .arg(QString::fromStdString(kept->string())));
}

}  // namespace tessaron::app
