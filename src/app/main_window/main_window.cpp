#include "app/main_window.h"

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

#include "app/about_dlg.h"
#include "app/lighting_panel.h"
#include "app/performance_panel.h"
#include "core/atomic_file.h"
#include "keys/assignment.h"
#include "keys/keymap_file.h"
#include "macros/macro_file.h"
#include "macros/slot_packing.h"
#include "ui/bit_slider.h"
#include "ui/image_cache.h"
#include "ui/image_folders.h"
#include "ui/menu_style.h"
#include "ui/messages.h"
#include "ui/panel_painter.h"

namespace tessaron::app {

namespace img = device::image;

namespace {

constexpr int kProfilesSettleMs = 50;
// Changes whenever the face is drawn differently from the same state and images.
constexpr qint64 kKeptFaceVersion = 1;

// What the first paint draws over the static layer.
constexpr std::array kOverlayImages{
    "itemBK.png",
    "MacroManagementBK.png",
    "MacroButton3.png",
    "gamemode_Close.png",
    "responsetime_close.png",
    "reportrate_Close.png",
    "button-cancel-normal.png",
    "button-help-normal.png",
    "button-min-normal.png",
    "button-close-normal.png",
};

QString toQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

CTessaronDlg::CTessaronDlg(MainWindowSetup setup, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      live_(*setup.live),
      setup_(std::move(setup)),
      session_(setup_.session) {
    if (setup_.dialogs == nullptr) ownDialogs_ = std::make_unique<MessageBoxDialogs>();
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

void CTessaronDlg::startWarmup() {
    if (warmupStarted_) return;
    warmupStarted_ = true;
    // Two workers, one for the static layer and one for the rest, so both cores work while this
    // thread sets up the window. A kept face is up already: its static layer waits for the
    // first change, so that an untouched window holds one face, not two.
    if (face_.isNull()) {
        layerPrefetchFolder_ = imageFolder_;
        layerPrefetch_ = std::async(std::launch::async, &CTessaronDlg::composeStaticLayer,
                                    imageFolder_, size(), devicePixelRatioF());
    }
    prefetch_ = std::async(std::launch::async, [folder = imageFolder_] {
        for (const char* name : kOverlayImages) {
            (void)ui::ImageCache::instance().image(folder + QString::fromLatin1(name));
        }
    });
    // Reading the font configuration is the other large cost; it is shared by all threads.
    fontWarmup_ = std::async(std::launch::async, &CTessaronDlg::warmFonts, live_.language);
}

QString CTessaronDlg::keptFacePath() const {
    const QString folder = ui::ImageCache::instance().diskFolder();
    // Like their images, faces drawn from a temporary folder are not worth keeping.
    if (folder.isEmpty() || imageFolder_.startsWith(QDir::tempPath() + QLatin1Char('/'))) {
        return {};
    }
    return folder + (live_.language == Language::Chinese ? QStringLiteral("/face-chinese.rgb32")
                                                         : QStringLiteral("/face-english.rgb32"));
}

QByteArray CTessaronDlg::faceKey(const FaceState& s) const {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const auto add = [&hash](qint64 v) {
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&v), sizeof v));
    };
    add(kKeptFaceVersion);
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(s.image.data()),
                                static_cast<qsizetype>(s.image.size())));
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(s.marks.data()),
                                static_cast<qsizetype>(s.marks.size())));
    for (const bool b :
         {s.sections.light, s.sections.gameMode, s.sections.responseTime, s.sections.reportRate,
          s.diyMode, s.effectListOpen, s.responseListOpen, s.helpMenuOpen}) {
        add(b ? 1 : 0);
    }
    for (const auto& slider : s.sliders) {
        for (const int v : slider) add(v);
    }
    add(s.hoveredKey ? static_cast<qint64>(*s.hoveredKey) : -1);
    for (const int v : {s.size.width(), s.size.height(), s.hoveredArea, s.hoveredRow,
                        static_cast<int>(s.language)}) {
        add(v);
    }
    add(qRound64(devicePixelRatioF() * 100));
    hash.addData(imageFolder_.toUtf8());
    hash.addData(QByteArrayView(qVersion()));  // another Qt may draw texts differently
    // A changed or reinstalled image makes a new face.
    add(QFileInfo(imageFolder_).lastModified().toMSecsSinceEpoch());
    const auto addFile = [&](const char* name) {
        const QFileInfo file(imageFolder_ + QString::fromLatin1(name));
        add(file.size());
        add(file.lastModified().toMSecsSinceEpoch());
    };
    for (const char* name : kOverlayImages) addFile(name);
    for (const LayerImage& image : kStaticLayerImages) addFile(image.name);
    return hash.result();
}

bool CTessaronDlg::loadKeptFace() {
    const QString path = keptFacePath();
    if (path.isEmpty()) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    live_.marks[keys::kLeftWinKey] = 0;  // as the paint does
    FaceState state = faceState();
    const QByteArray key = faceKey(state);
    if (file.read(key.size()) != key) return false;
    std::array<std::int32_t, 3> shape{};  // width, height, bytes per line
    const auto shapeBytes = static_cast<qint64>(sizeof shape);
    if (file.read(reinterpret_cast<char*>(shape.data()), shapeBytes) != shapeBytes) return false;
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (QSize(shape[0], shape[1]) != pixels) return false;
    QImage face(pixels, QImage::Format_RGB32);
    if (face.isNull() || face.bytesPerLine() != shape[2]) return false;
    const qint64 bytes = face.sizeInBytes();
    if (file.size() != key.size() + shapeBytes + bytes) return false;
    if (file.read(reinterpret_cast<char*>(face.bits()), bytes) != bytes) return false;
    face.setDevicePixelRatio(ratio);
    face_ = std::move(face);
    faceState_ = std::move(state);
    return true;
}

void CTessaronDlg::keepFace(const QImage& face) {
    const QString path = keptFacePath();
    if (path.isEmpty() || !faceState_ || keepingFace_.valid()) return;
    const QByteArray key = faceKey(*faceState_);
    const std::array<std::int32_t, 3> shape{face.width(), face.height(),
                                            static_cast<std::int32_t>(face.bytesPerLine())};
    // Written beside the window; a face that cannot be kept only costs the next start time.
    // The task keeps its copy of the face for as long as the future lives: it lets go itself.
    keepingFace_ =
        std::async(std::launch::async, [path, key, shape, face = QImage(face)]() mutable {
            if (QDir().mkpath(QFileInfo(path).path())) {
                const std::span<const std::uint8_t> blocks[] = {
                    {reinterpret_cast<const std::uint8_t*>(key.constData()),
                     static_cast<std::size_t>(key.size())},
                    {reinterpret_cast<const std::uint8_t*>(shape.data()), sizeof shape},
                    {face.constBits(), static_cast<std::size_t>(face.sizeInBytes())},
                };
                (void)writeFileAtomically(std::filesystem::path(path.toStdString()), blocks);
            }
            face = QImage();
        });
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
    if (auto loaded = macros::loadMacroFile(live_.macroFilePath())) {
        live_.committedMacros = std::move(loaded->table);
    }
    createTray();
    // Key records from keymap.bin (created when missing), then the committed copies.
    live_.records = keys::KeyRecordTable{};
    if (auto loaded = keys::loadKeymap(live_.keymapPath(), live_.image, live_.records); !loaded) {
        showError(loaded.error());
    }
    keys::fillLayoutVks(live_.records);
    live_.commit();
    setSlidersFromImage();
    // Without a kept face the first paint needs the images and fonts: start on them now.
    if (!loadKeptFace()) startWarmup();
    startDevice();
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

// ---- Mouse and keyboard.

void CTessaronDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || busy()) return;
    buttonHeld_ = true;
    dragging_ = false;
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CTessaronDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const bool wasDrag = dragging_;
    buttonHeld_ = false;
    dragging_ = false;
    if (busy() || wasDrag) return;
    click(event->position().toPoint());
}

void CTessaronDlg::mouseMoveEvent(QMouseEvent* event) {
    if (busy()) return;
    const bool held = (event->buttons() & Qt::LeftButton) != 0;
    if (!held) buttonHeld_ = false;
    if (dragging_) {
        move(event->globalPosition().toPoint() - dragOffset_);
        return;
    }
    hover(event->position().toPoint(), held && buttonHeld_);
}

void CTessaronDlg::hover(QPoint p, bool buttonHeld) {
    const int x = p.x();
    const int y = p.y();
    const int oldRow = hoveredRow_;
    bool onArea = false;
    if (effectListOpen_) {
        hoveredRow_ = effectListRow(x, y);
    } else if (responseListOpen_) {
        hoveredRow_ = responseListRow(x, y, layout());
    } else {
        hoveredRow_ = -1;
        const int a = hitTest(x, y, sections_, live_.image[img::kEffect]);
        onArea = a != area::kNone;
        if (a != hoveredArea_) {
            hoveredArea_ = a;
            update();
        }
    }
    if (hoveredRow_ != oldRow) update();

    const auto key = keys::keyAtPoint(x, y, live_.diyMode);
    const bool anyList = effectListOpen_ || responseListOpen_ || helpMenuOpen_;
    if (buttonHeld && !onArea && !key && !anyList) {
        // Dragging the window by its face.
        dragging_ = true;
        if (QWindow* w = windowHandle(); w == nullptr || !w->startSystemMove()) {
            return;  // moved by hand in mouseMoveEvent from now on
        }
        dragging_ = false;  // the window system moves it and keeps the release
        buttonHeld_ = false;
        return;
    }
    if (key != hoveredKey_) {
        hoveredKey_ = key;
        update();
    }
}

void CTessaronDlg::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (hoveredArea_ != area::kNone) {
        hoveredArea_ = area::kNone;
        update();
    }
}

void CTessaronDlg::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (hoveredArea_ != area::kNone || hoveredKey_) {
        hoveredArea_ = area::kNone;
        hoveredKey_.reset();
        update();
    }
}

void CTessaronDlg::keyPressEvent(QKeyEvent* event) {
    // Enter, Esc and F1 are ordinary keys here: they never close the window or ask for help.
    event->accept();
}

void CTessaronDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (busy()) return;
    QMenu menu(this);
    ui::styleMenu(menu);
    menu.addAction(tr2("About Tessaron(&A)...", "关于 Tessaron(&A)..."), this,
                   [this] { CAboutDlg(live_.language, this).exec(); });
    menu.exec(event->globalPos());
}

void CTessaronDlg::closeEvent(QCloseEvent* event) {
    // The window system's close (e.g. Alt+F4) hides like the hide button; the program ends
    // through the close button or the icon menu's Exit.
    if (!ended_ && hidesToTray()) {
        event->ignore();
        hide();
        return;
    }
    if (!ended_) {
        endWindow(true);
    }
    event->accept();
}

// ---- Clicks.

void CTessaronDlg::click(QPoint p) {
    if (effectListOpen_) {
        clickEffectList(p);
    } else if (responseListOpen_) {
        clickResponseList(p);
    } else if (helpMenuOpen_) {
        clickHelpMenu(p);
    } else {
        const int a = hitTest(p.x(), p.y(), sections_, live_.image[img::kEffect]);
        if (a != area::kNone) {
            clickArea(a);
        } else if (auto key = keys::keyAtPoint(p.x(), p.y(), live_.diyMode)) {
            clickKey(*key);
        }
    }
    update();
}

void CTessaronDlg::clickArea(int a) {
    using namespace area;
    auto& image = live_.image;
    switch (a) {
        case kHelp:
            helpMenuOpen_ = !helpMenuOpen_;
            break;
        case kHide:
            hideWindow();
            break;
        case kClose:
            endWindow(true);
            break;
        case kEffectField:
            effectListOpen_ = true;
            hoveredRow_ = -1;
            placeSliders();
            break;
        case kDirection1:
        case kDirection1 + 1:
        case kDirection1 + 2:
        case kDirection1 + 3:
            image[img::kDirection] =
                lighting::directionForButton(image[img::kEffect], a - kDirection1);
            break;
        case kMacroManagement:
            runMacroManager();
            break;
        case kGameModeOn:
        case kGameModeOff:
            performance::setGameMode(image, a == kGameModeOn);
            break;
        case kWinLockOn:
        case kWinLockOff:
            performance::setWinLock(image, a == kWinLockOn);
            break;
        case kResponseField:
            responseListOpen_ = true;
            hoveredRow_ = -1;
            placeSliders();
            break;
        case kProfile:
            runProfiles();
            break;
        case kReturn:
            factoryReset();
            break;
        case kCancel:
            cancel();
            break;
        case kSave:
            save();
            break;
        case kLightHeader:
            sections_.light = !sections_.light;
            break;
        case kGameModeHeader:
            sections_.gameMode = !sections_.gameMode;
            break;
        case kResponseHeader:
            sections_.responseTime = !sections_.responseTime;
            break;
        case kRateHeader:
            sections_.reportRate = !sections_.reportRate;
            break;
        case kKeymapRadio:
        case kDiyRadio:
            live_.diyMode = a == kDiyRadio;
            break;
        default:
            break;  // colour squares and the logo do nothing
    }
    placeSliders();
}

void CTessaronDlg::clickKey(keys::KeyIndex key) {
    if (live_.diyMode) {
        lighting::toggleDiyLight(live_.image, key);
        return;
    }
    editKey(key);
}

void CTessaronDlg::clickEffectList(QPoint p) {
    const int row = effectListRow(p.x(), p.y());
    if (row >= 0) {
        live_.diyMode = lighting::chooseEffect(live_.image, static_cast<std::size_t>(row));
    }
    effectListOpen_ = false;
    hoveredRow_ = -1;
    placeSliders();
}

void CTessaronDlg::clickResponseList(QPoint p) {
    performance::chooseResponseRow(live_.image, responseListRow(p.x(), p.y(), layout()));
    responseListOpen_ = false;
    hoveredRow_ = -1;
    placeSliders();
}

void CTessaronDlg::clickHelpMenu(QPoint p) {
    helpMenuOpen_ = false;
    if (!ui::Rect{830, 22, 996, 99}.contains(p)) return;
    const int row = (p.y() - 22) / 25;
    if (row == 0) {
        // The guide in the interface language, when it ships beside the English one.
        auto page = setup_.helpPage;
        if (live_.language == Language::Chinese) {
            auto chinese = page;
            chinese.replace_extension(".zh" + page.extension().string());
            std::error_code ec;
            if (std::filesystem::is_regular_file(chinese, ec)) page = chinese;
        }
        const QUrl url = QUrl::fromLocalFile(toQString(page));
        if (auto s = programs_->openUrl(url); !s) showError(s.error());
    } else if (row == 1) {
        startUpdater();
    }
}

void CTessaronDlg::editKey(keys::KeyIndex key) {
    if (!setup_.pages.keyPage) return;
    auto begun = keys::beginKeyEdit(live_.pending, key, live_.liveKeys(), live_.keymapPath());
    if (!begun) {
        showError(begun.error());
        return;
    }
    if (!setup_.pages.keyPage(this, live_, key)) return;
    keys::ApplyContext context;
    context.language = live_.language;
    context.repackMacroSlots = [this](device::DeviceImage& image) {
        macros::packMacroSlots(live_.committedMacros, image);
    };
    if (auto s = keys::finishKeyEdit(live_.pending, live_.liveKeys(), context, live_.keymapPath());
        !s) {
        showError(s.error());
    }
}

void CTessaronDlg::runMacroManager() {
    if (!setup_.pages.macroManager) return;
    if (!setup_.pages.macroManager(this, live_)) return;
    macros::packMacroSlots(live_.committedMacros, live_.image);
    writeKeymap();
    if (auto s = macros::writeMacroFile(live_.macroFilePath(), live_.committedMacros); !s) {
        showError(s.error());
    }
}

void CTessaronDlg::runProfiles() {
    if (!setup_.pages.profiles) return;
    setup_.pages.profiles(this, live_, frameGeometry());
    QTimer::singleShot(kProfilesSettleMs, this,
                       [this] { ui::sendMessage(this, ui::kRefreshMessage, 0, 1); });
}

void CTessaronDlg::hideWindow() {
    if (hidesToTray()) {
        hide();
    } else {
        // Without a notification area a hidden window could never be reached again.
        showMinimized();
    }
}

void CTessaronDlg::endWindow(bool writeCommitted) {
    if (ended_) return;
    ended_ = true;
    if (writeCommitted) {
        // Unsaved panel changes do not reach the file: it gets what the keyboard holds.
        (void)keys::writeKeymap(live_.keymapPath(), live_.committedImage, live_.committedRecords);
    }
    if (tray_ != nullptr) tray_->hide();
    hide();
    emit ended();
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
    writeKeymap();
    update();
    if (afterDeviceRead) offerFirmwareUpdate();
}

void CTessaronDlg::onKeyEvent(std::uint8_t code) {
    if (setup_.launcher == nullptr) return;
    keys::runHostAction(live_.records, code, *setup_.launcher);
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
