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
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

#include <span>

#include "app/main_window/about_dlg.h"
#include "app/main_window/lighting_panel.h"
#include "app/main_window/performance_panel.h"
#include "app/switching/rules_dlg.h"
#include "app/switching/window_switching.h"
#include "keys/assignment.h"
#include "ui/bit_slider.h"
#include "ui/first_time_notice.h"
#include "ui/image_cache.h"
#include "ui/image_folders.h"
#include "ui/menu_style.h"
#include "ui/panel_painter.h"
#include "ui/qt_translations.h"
#include "ui/text.h"
#include "core/text.h"

namespace tessaron::app {

namespace img = device::image;

namespace {

QString toQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

CTessaronDlg::CTessaronDlg(MainWindowSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      setup_(std::move(setup)),
      controller_(setup_.controller),
      live_(setup_.controller->live()) {
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
        connect(s, &ui::CBitSlider::thumbPlaced, this, &CTessaronDlg::onSliderMoved);
        connect(s, &QSlider::sliderPressed, this, [this] { ++sliderDrags_; });
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

    sections_.collapseAll();
    connectController();
}

CTessaronDlg::~CTessaronDlg() = default;

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
    createTray();
    // The sliders follow the files' settings (settingsReloaded).
    if (controller_) {
        controller_->loadFiles();
        controller_->watchDataFolder();
    }
    // Without a kept face the first paint needs the images and fonts: start on them now.
    if (!loadKeptFace()) startWarmup();
    if (controller_) controller_->connectKeyboard();
}

void CTessaronDlg::tellDataFolderUnwritable(const Error& error) {
    const QString folder = toQString(live_.dataFolder);
    const QString reason = QString::fromStdString(error.text(live_.language));
    dialogs_->inform(
        this, ui::text(live_.language, TR_TEXT("MainWindow", "Orvik Gaming Keyboard")),
        ui::text(live_.language,
                 TR_TEXT("MainWindow",
                         "The data folder \"%1\" cannot be written. Tessaron still changes the "
                         "keyboard, but keeps nothing on this computer (keys' programs, macros, "
                         "profiles) until the folder can be written again.\n\n%2"))
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
    tray_->setToolTip(ui::text(live_.language, TR_TEXT("MainWindow", "Orvik Gaming Keyboard")));
    trayMenu_ = std::make_unique<QMenu>();
    trayUndo_ = trayMenu_->addAction(QString(), this, [this] {
        if (controller_) controller_->undo();
    });
    trayRedo_ = trayMenu_->addAction(QString(), this, [this] {
        if (controller_) controller_->redo();
    });
    updateTrayUndo();
    connect(trayMenu_.get(), &QMenu::aboutToShow, this, &CTessaronDlg::updateTrayUndo);
    trayMenu_->addSeparator();
    trayMenu_->addAction(ui::text(live_.language, TR_TEXT("MainWindow", "About Tessaron(&A)...")), this,
                         [this] { CAboutDlg(live_.language, this).exec(); });
    if (setup_.autostart) addAutostartSwitch();
    if (setup_.switching) addSwitchingEntries();
    trayMenu_->addSeparator();
    trayMenu_->addAction(ui::text(live_.language, TR_TEXT("MainWindow", "Exit")), this, [this] { endWindow(false); });
    connect(trayMenu_.get(), &QMenu::aboutToShow, this, &CTessaronDlg::fillTrayProfiles);
    tray_->setContextMenu(trayMenu_.get());
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { trayActivated(reason); });
    tray_->show();
}

void CTessaronDlg::setUndoAction(QAction* action, bool redo) const {
    const std::optional<Error> name =
        !controller_ ? std::nullopt : redo ? controller_->redoName() : controller_->undoName();
    const bool can = controller_ && (redo ? controller_->canRedo() : controller_->canUndo());
    QString text = redo ? ui::text(live_.language, TR_TEXT("MainWindow", "Redo")) : ui::text(live_.language, TR_TEXT("MainWindow", "Undo"));
    if (name) {
        // A macro name or a path may hold '&', which a menu would take for a mnemonic.
        text = (redo ? ui::text(live_.language, TR_TEXT("MainWindow", "Redo: %1")) : ui::text(live_.language, TR_TEXT("MainWindow", "Undo: %1")))
                   .arg(QString::fromStdString(name->text(live_.language))
                            .replace(QLatin1Char('&'), QStringLiteral("&&")));
    }
    action->setText(text);
    action->setEnabled(can);
    action->setShortcut(redo ? QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)
                             : QKeySequence(Qt::CTRL | Qt::Key_Z));
    // Shown beside the item only: the window's keyPressEvent takes the keys.
    action->setShortcutContext(Qt::WidgetShortcut);
}

void CTessaronDlg::addUndoActions(QMenu& menu) {
    setUndoAction(menu.addAction(QString(), this, [this] {
                      if (controller_) controller_->undo();
                  }),
                  false);
    setUndoAction(menu.addAction(QString(), this, [this] {
                      if (controller_) controller_->redo();
                  }),
                  true);
}

void CTessaronDlg::updateTrayUndo() {
    if (trayUndo_ == nullptr) return;
    setUndoAction(trayUndo_, false);
    setUndoAction(trayRedo_, true);
}

void CTessaronDlg::addAutostartSwitch() {
    QAction* action =
        trayMenu_->addAction(ui::text(live_.language, TR_TEXT("MainWindow", "Start at Login")));
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

void CTessaronDlg::addSwitchingEntries() {
    WindowSwitching* switching = setup_.switching;
    trayMenu_->addSeparator();
    QAction* on = trayMenu_->addAction(ui::text(live_.language, TR_TEXT("MainWindow", "Automatic Profile Switching")));
    on->setCheckable(true);
    on->setChecked(switching->rules().enabled);
    connect(on, &QAction::toggled, this, [this, on, switching](bool wanted) {
        if (auto s = switching->setEnabled(wanted); !s) {
            const QSignalBlocker block(on);
            on->setChecked(!wanted);
            showError(s.error());
        }
    });
    connect(switching, &WindowSwitching::rulesChanged, on, [on, switching] {
        const QSignalBlocker block(on);
        on->setChecked(switching->rules().enabled);
    });
    trayMenu_->addAction(ui::text(live_.language, TR_TEXT("MainWindow", "Switching Rules...")), this, &CTessaronDlg::openRules);

    // Each switch is told once, unless the user turned that off.
    const QString conf = QString::fromStdString((live_.dataFolder / "tessaron.conf").string());
    const QString key = QStringLiteral("Switching/TellSwitches");
    QAction* tell = trayMenu_->addAction(ui::text(live_.language, TR_TEXT("MainWindow", "Tell Each Switch")));
    tell->setCheckable(true);
    tell->setChecked(QSettings(conf, QSettings::IniFormat).value(key, true).toBool());
    connect(tell, &QAction::toggled, this, [conf, key](bool wanted) {
        QSettings(conf, QSettings::IniFormat).setValue(key, wanted);
    });
    const auto notice = [this, tell](const QString& text) {
        if (tell->isChecked() && tray_ != nullptr && tray_->isVisible()) {
            tray_->showMessage(ui::text(live_.language, TR_TEXT("MainWindow", "Tessaron")), text, QSystemTrayIcon::Information,
                               4000);
        }
    };
    connect(switching, &WindowSwitching::switched, this,
            [this, notice](const QString& profile, bool wrote) {
                if (!wrote) return;
                notice(profile.isEmpty()
                           ? ui::text(live_.language, TR_TEXT("MainWindow", "The keyboard is back to its settings before the first switch."))
                           : ui::text(live_.language, TR_TEXT("MainWindow", "The keyboard took the profile \"%1\" for the window in front."))
                                 .arg(profile));
            });
    connect(switching, &WindowSwitching::heldBack, this, [this, notice] {
        notice(ui::text(live_.language, TR_TEXT("MainWindow", "A profile switch waits: the window has unsaved changes or an editor open.")));
    });
}

void CTessaronDlg::openRules() {
    if (!setup_.switching) return;
    runRulesDialog(*setup_.switching, live_.dataFolder, live_.language,
                   isVisible() ? this : nullptr);
}

// ---- The controller's signals.

void CTessaronDlg::connectController() {
    SettingsController* c = controller_;
    connect(c, &SettingsController::settingsChanged, this, qOverload<>(&QWidget::update));
    // The icon menu's Undo and Redo follow the history (the menu may be shown by the desktop).
    connect(&c->history(), &QUndoStack::indexChanged, this, &CTessaronDlg::updateTrayUndo);
    connect(&c->history(), &QUndoStack::undoTextChanged, this, &CTessaronDlg::updateTrayUndo);
    connect(&c->history(), &QUndoStack::redoTextChanged, this, &CTessaronDlg::updateTrayUndo);
    connect(c, &SettingsController::busyChanged, this, &CTessaronDlg::updateTrayUndo);
    connect(c, &SettingsController::historyCleared, this, [this](const Error& why) {
        updateTrayUndo();
        showHistoryNotice(QString::fromStdString(why.text(live_.language)));
    });
    connect(c, &SettingsController::settingsReloaded, this, [this](bool afterRead) {
        setSlidersFromImage();
        if (afterRead) offerFirmwareUpdate();
    });
    connect(c, &SettingsController::connectionChanged, this, [this](bool connected) {
        unplugged_ = !connected;
        if (!connected) firmwareOffered_ = false;
        update();
    });
    connect(c, &SettingsController::busyChanged, this, [](bool busy) {
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    });
    connect(c, &SettingsController::errorOccurred, this, &CTessaronDlg::showError);
    connect(c, &SettingsController::dataFolderUnwritable, this,
            &CTessaronDlg::tellDataFolderUnwritable);
    connect(c, &SettingsController::keysBeyondKeyboard, this,
            &CTessaronDlg::tellKeysBeyondKeyboard);
    connect(c, &SettingsController::savedButNotKept, this, [this](const Error& error) {
        dialogs_->inform(
            this, ui::text(live_.language, TR_TEXT("MainWindow", "Orvik Gaming Keyboard")),
            ui::text(live_.language, TR_TEXT("MainWindow",
                                             "The keyboard took the settings, but they could not "
                                             "be kept on this computer: ")) +
                QString::fromStdString(error.text(live_.language)));
    });
    connect(c, &SettingsController::factoryResetFailed, this, [this](const Error& error) {
        dialogs_->inform(
            this, ui::text(live_.language, TR_TEXT("MainWindow", "Orvik Gaming Keyboard")),
            QString::fromStdString(error.text(live_.language)) +
                ui::text(live_.language,
                         TR_TEXT("MainWindow",
                                 "\n\nThe factory reset did not finish; the keyboard may hold its "
                                 "factory settings. When it is read again, what it does not hold "
                                 "is shown as unsaved changes.")));
    });
    connect(c, &SettingsController::factoryResetDone, this, &CTessaronDlg::onFactoryResetDone);
    connect(c, &SettingsController::outsideConflict, this, &CTessaronDlg::askOutsideChange);
}

void CTessaronDlg::trayActivated(int reason) {
    if (reason != QSystemTrayIcon::DoubleClick && reason != QSystemTrayIcon::Trigger) return;
    if (controller_ && controller_->isConnected()) {
        bringForward();
    } else {
        QTimer::singleShot(0, this, &CTessaronDlg::showNoDeviceBalloon);
    }
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
    const std::size_t byte = controlId == kSpeedSliderId        ? img::kSpeed
                             : controlId == kReportRateSliderId ? img::kReportRate
                                                                : img::kBrightness;
    if (controller_) {
        const Error name = controlId == kSpeedSliderId        ? makeError(TR_TEXT("MainWindow", "Speed"))
                           : controlId == kReportRateSliderId ? makeError(TR_TEXT("MainWindow", "USB Report Rate"))
                                                              : makeError(TR_TEXT("MainWindow", "Brightness"));
        // One drag of the thumb is one step; each key press or wheel notch is one of its own.
        const int mergeKey =
            s->isSliderDown() ? sliderDrags_ * 4 + static_cast<int>(index) + 1 : 0;
        controller_->edit(
            [byte, pos](LiveConfig& live) { live.image[byte] = static_cast<std::uint8_t>(pos); },
            name, mergeKey);
    }
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

void CTessaronDlg::tellStillRunning() {
    if (tray_ == nullptr || !tray_->isVisible()) return;
    if (!ui::firstTimeFor(QString::fromStdString((live_.dataFolder / "tessaron.conf").string()),
                          QStringLiteral("stillRunning"))) {
        return;
    }
    tray_->showMessage(
        ui::text(live_.language, TR_TEXT("MainWindow", "Tessaron")),
        ui::text(live_.language, TR_TEXT("MainWindow",
                                         "Tessaron keeps running here. Double-click this icon to "
                                         "open it; right-click it to exit.")),
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
