#include "app/main_window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

#include <span>

#include "app/main_window/about_dlg.h"
#include "app/main_window/keyboard_merge.h"
#include "app/main_window/lighting_panel.h"
#include "app/main_window/performance_panel.h"
#include "core/atomic_file.h"
#include "keys/assignment.h"
#include "keys/keymap_file.h"
#include "macros/macro_file.h"
#include "macros/slot_packing.h"
#include "ui/bit_slider.h"
#include "ui/image_cache.h"
#include "ui/image_folders.h"
#include "ui/menu_style.h"
#include "ui/first_time_notice.h"
#include "ui/messages.h"
#include "ui/panel_painter.h"
#include "ui/qt_translations.h"

namespace tessaron::app {

namespace img = device::image;

namespace {

QString toQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

CTessaronDlg::CTessaronDlg(MainWindowSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      live_(*setup.live),
      setup_(std::move(setup)),
      session_(setup_.session) {
    // Qt's own buttons and file dialogs speak the interface language, not the desktop's locale.
    ui::installQtTranslations(live_.language);
    if (setup_.dialogs == nullptr) ownDialogs_ = std::make_unique<MessageBoxDialogs>(live_.language);
    if (setup_.programs == nullptr) ownPrograms_ = std::make_unique<DesktopProgramStarter>();
    dialogs_ = setup_.dialogs != nullptr ? setup_.dialogs : ownDialogs_.get();
    programs_ = setup_.programs != nullptr ? setup_.programs : ownPrograms_.get();

    setWindowTitle(QString::fromUtf8(kWindowTitle));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    imageFolder_ = ui::imageFolder(toQString(live_.imageBase), live_.language, ui::Panel::Main);

    // The window takes the size of its background (read from the file's header); without one
    // it keeps a usable size.
    const QSize face = ui::imageFileSize(imageFolder_ + QStringLiteral("main.png"));
    resize(face.isEmpty() ? QSize(1000, 645) : face);
    // Without a face kept on disk the first paint needs the images and fonts: start on them now,
    // beside the rest of the start.
    if (!QFileInfo::exists(keptFacePath())) startWarmup();
    auto makeSlider = [this](int id, int maximum, QPoint at) {
        auto* s = new ui::CBitSlider(Qt::Horizontal, this);
        s->setControlId(id);
        s->setNotifyTarget(this);
        s->setRange(0, maximum);
        s->setSingleStep(1);
        s->setPageStep(1);
        s->move(at);
        s->resize(30, 10);
        s->setUp();
        s->loadBitmaps();
        s->hide();
        return s;
    };
    brightness_ = makeSlider(kBrightnessSliderId, 50, {28, 260});
    speed_ = makeSlider(kSpeedSliderId, 9, {28, 303});
    reportRate_ = makeSlider(kReportRateSliderId, performance::kReportRateMax, {28, 530});
    brightness_->setValue(1);
    reportRate_->setValue(1);

    live_.diyMode = false;
    live_.marks.fill(0);
    sections_.collapseAll();

    if (session_ != nullptr) {
        session_->setKeyEventTarget(this);
        connect(session_, &DeviceSession::plugChanged, this, &CTessaronDlg::onPlugChanged);
    }
}


CTessaronDlg::~CTessaronDlg() {
    if (session_) session_->setKeyEventTarget(nullptr);
}

QString CTessaronDlg::tr2(const char* english, const char* chinese) const {
    return QString::fromUtf8(live_.language == Language::Chinese ? chinese : english);
}

ui::CBitSlider* CTessaronDlg::slider(int controlId) const {
    switch (controlId) {
        case kSpeedSliderId:
            return speed_;
        case kReportRateSliderId:
            return reportRate_;
        case kBrightnessSliderId:
            return brightness_;
        default:
            return nullptr;
    }
}

void CTessaronDlg::initialise() {
    // The macro table: a missing file is created empty; an unreadable one leaves it empty.
    std::optional<Error> macroNotice;
    if (auto loaded = macros::loadMacroFile(live_.macroFilePath())) {
        live_.committedMacros = std::move(loaded->table);
        macroNotice = loaded->notice;
    }
    createTray();
    checkDataFolder();
    // A file Tessaron could not use was kept aside: say which, why and where.
    if (macroNotice) showError(*macroNotice);
    // Key records from keymap.bin (created when missing), then the committed copies.
    live_.records = keys::KeyRecordTable{};
    if (auto loaded = keys::loadKeymap(live_.keymapPath(), live_.image, live_.records); !loaded) {
        // A file that could not be made is covered by the data folder's notice.
        if (!keymapWriteFailing_) showError(loaded.error());
    } else {
        assignmentsKnown_ = *loaded == keys::KeymapLoad::Read;
        if (loaded->notice) showError(*loaded->notice);
    }
    keys::fillLayoutVks(live_.records);
    live_.commit();
    setSlidersFromImage();
    // Without a kept face the first paint needs the images and fonts: start on them now.
    if (!loadKeptFace()) startWarmup();
    startDevice();
}

void CTessaronDlg::checkDataFolder() {
    if (live_.dataFolder.empty()) return;
    // As much as keymap.bin takes, so a nearly full disk is found as well as a locked folder.
    const auto probe = live_.dataFolder / ".tessaron-write-check";
    const std::vector<std::uint8_t> bytes(keys::kKeymapFileSize);
    const std::span<const std::uint8_t> blocks[] = {bytes};
    const Status written = writeFileAtomically(probe, blocks, Durability::Cache);
    std::error_code ignored;
    std::filesystem::remove(probe, ignored);
    if (written) return;
    keymapWriteFailing_ = true;  // told here, not again by every refresh
    const QString folder = toQString(live_.dataFolder);
    const QString reason = QString::fromStdString(written.error().text(live_.language));
    dialogs_->inform(
        this, tr2("Orvik Gaming Keyboard", kWindowTitle),
        tr2("The data folder \"%1\" cannot be written. Tessaron still changes the keyboard, but "
            "keeps nothing on this computer (keys' programs, macros, profiles) until the folder "
            "can be written again.\n\n%2",
            "无法写入数据目录 \"%1\"。Tessaron 仍可更改键盘，但在该目录可写之前不会在本机保存任何"
            "内容（按键的程序、宏、配置文件）。\n\n%2")
            .arg(folder, reason));
}

bool CTessaronDlg::hidesToTray() const {
    return tray_ != nullptr && tray_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void CTessaronDlg::bringForward() {
    if (isMinimized()) {
        showNormal();
    } else {
        show();
    }
    raise();
    activateWindow();
}

void CTessaronDlg::createTray() {
    if (!setup_.useTray || tray_ != nullptr) return;
    tray_ = new QSystemTrayIcon(this);
    tray_->setIcon(windowIcon());
    tray_->setToolTip(tr2("Orvik Gaming Keyboard", kWindowTitle));
    trayMenu_ = std::make_unique<QMenu>();
    trayMenu_->addAction(tr2("About Tessaron(&A)...", "关于 Tessaron(&A)..."), this,
                         [this] { CAboutDlg(live_.language, this).exec(); });
    if (setup_.autostart) addAutostartSwitch();
    trayMenu_->addSeparator();
    trayMenu_->addAction(tr2("Exit", "退出"), this, [this] { endWindow(false); });
    tray_->setContextMenu(trayMenu_.get());
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                ui::sendMessage(this, ui::kTrayMessage, 0, static_cast<qint64>(reason));
            });
    tray_->show();
}

void CTessaronDlg::addAutostartSwitch() {
    QAction* action = trayMenu_->addAction(tr2("Start at Login", "登录时启动"));
    action->setCheckable(true);
    action->setChecked(autostartEnabled(*setup_.autostart));
    connect(action, &QAction::toggled, this, [this, action](bool on) {
        const auto executable =
            std::filesystem::path(QCoreApplication::applicationFilePath().toStdString());
        if (auto s = setAutostart(*setup_.autostart, executable, on); !s) {
            const QSignalBlocker block(action);
            action->setChecked(!on);
            showError(s.error());
        }
    });
}


// ---- Messages.

void CTessaronDlg::customEvent(QEvent* event) {
    const int type = static_cast<int>(event->type());
    const auto* m = static_cast<const ui::WindowMessage*>(event);
    switch (type) {
        case ui::kSliderMovedMessage:
            onSliderMoved(static_cast<int>(m->wParam()));
            break;
        case ui::kRefreshMessage:
            refresh(m->lParam() == 0);
            break;
        case ui::kKeyEventMessage:
            onKeyEvent(static_cast<std::uint8_t>(m->wParam()));
            break;
        case ui::kNoDeviceMessage:
            if (m->wParam() == 15) showNoDeviceBalloon();
            break;
        case ui::kTrayMessage:
            if (m->lParam() == QSystemTrayIcon::DoubleClick ||
                m->lParam() == QSystemTrayIcon::Trigger) {
                if (session_ != nullptr && session_->isConnected()) {
                    bringForward();
                } else {
                    ui::postMessage(this, ui::kNoDeviceMessage, 15, 0);
                }
            }
            break;
        default:
            QWidget::customEvent(event);
            return;
    }
    event->accept();
}

void CTessaronDlg::onSliderMoved(int controlId) {
    const ui::CBitSlider* s = slider(controlId);
    if (s == nullptr) return;
    const std::size_t index = controlId == kSpeedSliderId        ? 0
                              : controlId == kReportRateSliderId ? 1
                                                                 : 2;
    const int pos = s->value();
    if (pos == lastSliderPos_[index]) return;
    lastSliderPos_[index] = pos;
    const auto byte = static_cast<std::uint8_t>(pos);
    switch (controlId) {
        case kSpeedSliderId:
            live_.image[img::kSpeed] = byte;
            break;
        case kReportRateSliderId:
            live_.image[img::kReportRate] = byte;
            break;
        default:
            live_.image[img::kBrightness] = byte;
            break;
    }
    update();
}

void CTessaronDlg::setSlidersFromImage() {
    // Positions follow the image without writing back what they are given.
    const auto set = [this](ui::CBitSlider* s, std::size_t index, std::uint8_t value) {
        const int pos = std::clamp<int>(value, s->minimum(), s->maximum());
        lastSliderPos_[index] = value;
        const QSignalBlocker block(s);
        s->setValue(pos);
        // The window draws the thumb where the slider last placed it; a slider that is not
        // repainted (a section opened before a profile load) would keep showing the old value.
        s->updateThumb();
    };
    set(speed_, 0, live_.image[img::kSpeed]);
    set(reportRate_, 1, live_.image[img::kReportRate]);
    set(brightness_, 2, live_.image[img::kBrightness]);
    update();
}

void CTessaronDlg::refresh(bool afterDeviceRead) {
    setSlidersFromImage();
    keys::refreshModifiedMarks(live_.liveKeys());
    if (afterDeviceRead) fetchLighting();
    writeKeymap(true);
    update();
    if (afterDeviceRead) offerFirmwareUpdate();
}

void CTessaronDlg::fetchLighting() {
    if (session_ == nullptr || !session_->isConnected()) return;
    QPointer<CTessaronDlg> self(this);
    beginBusy();
    session_->fetchLighting(live_.committedImage, [self](Result<device::DeviceImage> read) {
        if (!self) return;
        self->endBusy();
        if (!read) return;  // a keyboard gone meanwhile is reported by the plug notice
        // Only the lighting block: whatever the user changed meanwhile stays.
        mergeLightingRead(self->live_, *read);
        self->setSlidersFromImage();
        self->writeKeymap(true);
        self->update();
    });
}

void CTessaronDlg::onKeyEvent(std::uint8_t code) {
    if (setup_.launcher == nullptr) return;
    keys::runHostAction(live_.records, code, *setup_.launcher);
}

void CTessaronDlg::tellStillRunning() {
    if (tray_ == nullptr || !tray_->isVisible()) return;
    if (!ui::firstTimeFor(QString::fromStdString((live_.dataFolder / "tessaron.conf").string()),
                          QStringLiteral("stillRunning"))) {
        return;
    }
    tray_->showMessage(tr2("Tessaron", "Tessaron"),
                       tr2("Tessaron keeps running here. Double-click this icon to open it; "
                           "right-click it to exit.",
                           "Tessaron 仍在此处运行。双击此图标可打开窗口，右键单击可退出。"),
                       QSystemTrayIcon::Information, 8000);
}

void CTessaronDlg::showNoDeviceBalloon() {
    QString text = QStringLiteral("No Gaming Keyboard Detected!");
    // A keyboard this user may not open is no missing keyboard: say what is wrong instead.
    if (setup_.accessProblem) {
        if (auto problem = setup_.accessProblem()) {
            text = QString::fromStdString(problem->text(live_.language));
        }
    }
    if (tray_ != nullptr && tray_->isVisible()) {
        tray_->showMessage(QStringLiteral("Warning"), text, QSystemTrayIcon::Information, 5000);
    } else {
        dialogs_->inform(this, QStringLiteral("Warning"), text);
    }
}

}  // namespace tessaron::app
