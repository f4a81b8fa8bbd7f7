#include "app/shell/tessaron_app.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTimer>

#include <cstdlib>

#include "app/controller/settings_controller.h"
#include "app/main_window/firmware_offer.h"
#include "app/main_window/main_window.h"
#include "app/shell/dbus_service.h"
#include "app/shell/demo_press_server.h"
#include "app/shell/launcher.h"
#include "app/shell/live_config.h"
#include "app/shell/page_wiring.h"
#include "app/shell/single_instance.h"
#include "app/switching/rules_dlg.h"
#include "app/switching/window_switching.h"
#include "core/data_folder.h"
#include "core/keyboard_lock.h"
#include "core/settings.h"
#include "core/text.h"
#include "device/hid/hid_transport.h"
#include "device/hid/permission_doctor.h"
#include "device/hid/udev_hotplug.h"
#include "device/virtual/demo_faults.h"
#include "device/virtual/demo_keyboard.h"
#include "ui/app_style.h"
#include "ui/first_paint_report.h"
#include "ui/image_cache.h"
#include "ui/image_folders.h"
#include "ui/splash_screen.h"

namespace tessaron::app {

namespace fs = std::filesystem;

namespace {

std::optional<int> interfaceNumber(const QString& text) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 0 || n > 255) return std::nullopt;
    return n;
}

// The folder that holds "png/": the first asset folder with the main window's background.
fs::path findImageBase(const std::vector<fs::path>& folders, Language lang) {
    const fs::path probe =
        fs::path("png") / ui::languageFolderName(lang).toStdString() / "main.png";
    if (auto found = findAsset(folders, probe)) {
        return found->parent_path().parent_path().parent_path();
    }
    return folders.empty() ? fs::path{} : folders.front();
}

// The program's icon: the mark at the left of the logo picture.
QIcon programIcon(const fs::path& imageBase, Language lang) {
    const QString logo =
        ui::imageFolder(QString::fromStdString(imageBase.string()), lang, ui::Panel::Main) +
        QStringLiteral("logo.png");
    const QImage image(logo);
    if (image.isNull()) return {};
    const int side = std::min(image.height(), 64);
    const QRect mark(std::max(0, (image.height() - side) / 2), (image.height() - side) / 2, side,
                     side);
    return QIcon(QPixmap::fromImage(image.copy(mark)));
}

// Why the keyboard cannot be opened although it is plugged in; nullopt when it is absent or
// usable.
std::optional<Error> accessProblem(device::Transport& transport, const fs::path& executableFolder) {
    using device::hid::Verdict;
    const auto d = device::hid::diagnose(device::hid::gatherFacts(transport, executableFolder));
    if (d.verdict == Verdict::Ready || d.verdict == Verdict::NotConnected) return std::nullopt;
    return makeError(TR_TEXT("Shell", "%1 Run \"tessaronctl doctor\" to see how to fix it."),
                     d.summary);
}

}  // namespace

QString usageText(Language lang) {
    return QString::fromStdString(translate(
        lang, TR_TEXT("Shell",
                      "Usage: tessaron [--data-dir DIR] [--demo] [--lang english|chinese]\n"
                      "                [--command-interface N] [--event-interface N] [--no-splash]\n"
                      "                [--hidden]\n"
                      "       tessaron --help | --version\n\n"
                      "--demo runs on the virtual keyboard, whose state is kept in the data folder.\n"
                      "--hidden starts in the notification area without showing the window.\n")));
}

Language languageOfArguments(const QStringList& arguments) {
    std::optional<Language> named;
    for (qsizetype i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--lang")) {
            if (const auto l = languageNamed(arguments[i + 1].toStdString())) named = *l;
        }
    }
    return resolveLanguage(named, settingsFile());
}

Result<AppOptions> parseOptions(const QStringList& arguments) {
    AppOptions o;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= arguments.size()) return std::nullopt;
            return arguments[++i];
        };
        if (arg == QLatin1String("--demo")) {
            o.demo = true;
        } else if (arg == QLatin1String("--no-splash")) {
            o.splash = false;
        } else if (arg == QLatin1String("--hidden")) {
            o.hidden = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            o.help = true;
        } else if (arg == QLatin1String("--version")) {
            o.version = true;
        } else if (arg == QLatin1String("--data-dir")) {
            auto v = value();
            if (!v || v->isEmpty())
                return makeError(TR_TEXT("Shell", "--data-dir needs a folder."));
            o.dataDir = fs::path(v->toStdString());
        } else if (arg == QLatin1String("--lang")) {
            auto v = value();
            if (const auto named = v ? languageNamed(v->toStdString()) : std::nullopt) {
                o.language = *named;
            } else {
                return makeError(TR_TEXT("Shell", "--lang takes english or chinese."));
            }
        } else if (arg == QLatin1String("--command-interface") ||
                   arg == QLatin1String("--event-interface")) {
            auto v = value();
            auto n = v ? interfaceNumber(*v) : std::nullopt;
            if (!n)
                return makeError(TR_TEXT("Shell", "%1 needs an interface number (0..255)."),
                                 arg.toStdString());
            (arg == QLatin1String("--command-interface") ? o.commandInterface : o.eventInterface) =
                n;
        } else if (arg == QLatin1String("--instance")) {
            auto v = value();
            if (!v || v->isEmpty()) return makeError(TR_TEXT("Shell", "--instance needs a name."));
            o.instanceName = *v;
        } else {
            return makeError(TR_TEXT("Shell", "Unknown option %1."), arg.toStdString());
        }
    }
    return o;
}

CTessaronApp::CTessaronApp(AppOptions options) : options_(std::move(options)) {}

void CTessaronApp::quit() {
    if (window_) {
        window_->exitWindow();  // its end quits the event loop
    } else {
        QCoreApplication::quit();
    }
}

CTessaronApp::~CTessaronApp() {
    service_.reset();
    switching_.reset();
    controller_.reset();
    window_.reset();
}

bool CTessaronApp::start() {
    instance_ = std::make_unique<SingleInstance>(options_.instanceName.value_or(instanceName()));
    if (instance_->notifyRunning()) return false;
    (void)instance_->listen();

    const auto inputs = DataFolderInputs::fromProcess(options_.dataDir);
    auto folder = openDataFolder(inputs);
    if (!folder) {
        error_ = folder.error();
        return false;
    }
    live_ = std::make_unique<LiveConfig>();
    live_->dataFolder = *folder;
    live_->language = resolveLanguage(options_.language, settingsFile());
    const auto assets = assetFolders(*folder, inputs.executableFolder);
    live_->imageBase = findImageBase(assets, live_->language);

    MainWindowSetup setup;
    if (auto ver = findAsset(assets, kVersionFileName)) {
        setup.shippedFirmware = readFileVersion(*ver);
    }
    setup.programFolder = inputs.executableFolder;
    setup.helpPage = findAsset(assets, fs::path(std::string(kHelpPageFile)))
                         .value_or(live_->dataFolder / std::string(kHelpPageFile));

    // tessaronctl may be talking to the keyboard: the window opens it only after that is done.
    auto lock = KeyboardLock::acquire(keyboardLockPath(*folder, options_.demo),
                                      kKeyboardLockPatience, SystemClock::instance());
    if (!lock) {
        error_ = lock.error();
        return false;
    }
    keyboardLock_ = std::make_unique<KeyboardLock>(std::move(*lock));

    std::unique_ptr<device::HotplugMonitor> hotplug;
    if (options_.demo) {
        demo_ = std::make_unique<device::DemoKeyboard>(*folder);
        hotplug = demo_->makeHotplug();
        // A misbehaving demo keyboard, as for tessaronctl, to try the window's failure paths.
        if (const char* list = std::getenv(device::kDemoFaultsVariable); list && *list) {
            auto faults = device::parseDemoFaults(list);
            if (!faults) {
                error_ = faults.error();
                return false;
            }
            transport_ = device::applyDemoFaults(
                *faults, demo_->sharedKeyboard(),
                std::make_unique<device::VirtualTransport>(demo_->sharedKeyboard()));
        }
        // `tessaronctl --demo press KEY` presses this keyboard's keys through the data folder.
        auto* presses = new DemoPressServer(demo_->sharedKeyboard(), *folder, qApp);
        if (auto listening = presses->listen(); !listening) {
            qWarning("%s", listening.error().english.c_str());
        }
    } else {
        transport_ = std::make_unique<device::hid::HidTransport>(
            device::ChannelSelection{options_.commandInterface, options_.eventInterface});
        hotplug = std::make_unique<device::hid::UdevHotplugMonitor>();
        setup.accessProblem = [transport = transport_.get(), exe = inputs.executableFolder] {
            return accessProblem(*transport, exe);
        };
    }
    setup.autostart = AutostartPlaces::fromProcess();
    device::Transport& transport = transport_ ? *transport_ : demo_->transport();
    launcher_ = std::make_unique<DesktopLauncher>();
    controller_ = std::make_unique<SettingsController>(
        *live_,
        std::make_unique<DeviceSession>(transport, SystemClock::instance(), std::move(hotplug)),
        launcher_.get());
    setup.controller = controller_.get();
    switching_ = std::make_unique<WindowSwitching>(*controller_, *folder);
    setup.switching = switching_.get();
    setup.pages = makePages([s = switching_.get(), live = live_.get()](QWidget* over) {
        runRulesDialog(*s, live->dataFolder, live->language, over);
    });

    // Dense screens get the @2x images where the image set has them.
    ui::ImageCache::instance().setDevicePixelRatio(qApp->devicePixelRatio());
    ui::applyAppStyle(*qApp, QString::fromStdString((live_->imageBase / "png" / "icons").string()) +
                                 QLatin1Char('/'));
    const QIcon icon = programIcon(live_->imageBase, live_->language);
    if (!icon.isNull()) QApplication::setWindowIcon(icon);

    if (options_.splash && !options_.hidden) {
        ui::CSplashScreen splash(QString::fromStdString(live_->imageBase.string()),
                                 live_->language);
        splash.exec();
    }
    const bool tellAccessProblem = setup.accessProblem && setup.accessProblem().has_value();
    window_ = std::make_unique<CTessaronDlg>(std::move(setup));
    QObject::connect(instance_.get(), &SingleInstance::activationRequested, window_.get(),
                     &CTessaronDlg::bringForward);
    QObject::connect(window_.get(), &CTessaronDlg::ended, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window_->initialise();
    auto holder = std::make_unique<ServiceObject>();
    auto* service = new KeyboardService(holder.get(), *controller_, *folder, options_.demo);
    service->followPlugging();
    service->onActiveWindow([s = switching_.get()](const QString& instance, const QString& cls,
                                                   const QString& title, int pid) {
        s->reportWindow(instance.toStdString(), cls.toStdString(), title.toStdString(), pid);
    });
    if (auto published = service->publish(); !published) {
        qWarning("%s", published.error().english.c_str());
    }
    service_ = std::move(holder);
    // After the service is on the bus: the KWin script reports to it from its first activation.
    switching_->start(switching::chooseWatcher(switching::currentSession()), assets);
    ui::reportFirstPaint(*window_);
    if (!options_.hidden) window_->show();
    // A keyboard this user may not open is told at once; a missing one only when asked for.
    if (tellAccessProblem) {
        QTimer::singleShot(0, window_.get(), &CTessaronDlg::showNoDeviceBalloon);
    }
    return true;
}

}  // namespace tessaron::app
