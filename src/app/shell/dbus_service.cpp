#include "app/shell/dbus_service.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QVariantMap>

#include <string>
#include <utility>

#include "app/controller/settings_controller.h"
#include "core/clock.h"
#include "core/text.h"
#include "device/errors.h"
#include "profiles/profile_store.h"

namespace tessaron::app {

namespace {

constexpr const char* kNoKeyboard = "org.tessaron.tessaron.Error.NoKeyboard";
constexpr const char* kUnknownProfile = "org.tessaron.tessaron.Error.UnknownProfile";
constexpr const char* kBusy = "org.tessaron.tessaron.Error.Busy";
constexpr const char* kFailed = "org.tessaron.tessaron.Error.Failed";
// The window holds changes the call would replace; nothing was done.
constexpr const char* kUnsaved = "org.tessaron.tessaron.Error.UnsavedChanges";

}  // namespace

KeyboardService::KeyboardService(ServiceObject* holder, SettingsController& controller,
                                 std::filesystem::path dataFolder, bool demo)
    : QDBusAbstractAdaptor(holder),
      holder_(*holder),
      controller_(controller),
      dataFolder_(std::move(dataFolder)),
      demo_(demo) {
    retry_.setSingleShot(true);
    retry_.setInterval(50);
    connect(&retry_, &QTimer::timeout, this, &KeyboardService::startNext);
    // Edits, Saves and plugging in the window itself reach the bus within a quarter second.
    watch_.setInterval(250);
    connect(&watch_, &QTimer::timeout, this, &KeyboardService::announce);
}

void KeyboardService::followPlugging() {
    // After the controller's own handling, so the state read is the new one.
    connect(&controller_, &SettingsController::connectionChanged, this, &KeyboardService::announce);
    connect(&controller_, &SettingsController::busyChanged, this, &KeyboardService::announce);
}

Status KeyboardService::publish() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return makeError(
            TR_TEXT("Shell", "No session bus: tessaronctl opens the keyboard itself. %1"),
            bus.lastError().message().toStdString());
    }
    if (!bus.registerObject(QString::fromLatin1(kServicePath), parent(),
                            QDBusConnection::ExportAdaptors)) {
        return makeError(TR_TEXT("Shell", "Could not register %1 on the session bus."),
                         std::string(kServicePath));
    }
    if (!bus.registerService(QString::fromLatin1(kServiceName))) {
        return makeError(TR_TEXT("Shell", "%1 is already taken on the session bus: %2"),
                         std::string(kServiceName), bus.lastError().message().toStdString());
    }
    announced_ = snapshot();
    watch_.start();
    return {};
}

bool KeyboardService::connected() const { return controller_.keyboardReady(); }

QString KeyboardService::firmwareVersion() const {
    const auto& fw = controller_.firmware();
    if (!fw) return {};
    return QStringLiteral("%1.%2").arg(fw->major()).arg(fw->minor());
}

QString KeyboardService::loadedProfile() const {
    return QString::fromStdString(controller_.loadedProfile());
}

bool KeyboardService::unsavedChanges() const { return controller_.isDirty(); }

QString KeyboardService::dataFolder() const { return QString::fromStdString(dataFolder_.string()); }

QByteArray KeyboardService::Read() {
    enqueue([this](const QDBusMessage& call) {
        controller_.remoteRead(
            [this, call](Result<device::DeviceImage> image) { replyImage(call, image); });
    });
    return {};
}

QStringList KeyboardService::ApplyDataFiles() {
    enqueue([this](const QDBusMessage& call) {
        const auto keymap = controller_.live().keymapPath();
        if (auto kept = controller_.unsavedWouldBeLost(keymap); !kept) {
            return replyError(call, kUnsaved, kept.error());
        }
        controller_.remoteApply(keymap,
                            [this, call](Result<device::WriteOutcome> out) { replySteps(call, out); });
    });
    return {};
}

QStringList KeyboardService::LoadProfile(const QString& name) {
    profiles::ProfileStore store(dataFolder_, controller_.live().language, SystemClock::instance());
    store.rescan();
    const auto index = store.indexOf(name.toStdString());
    if (!index) {
        const std::string folder = store.folder().string();
        refuse(
            kUnknownProfile,
            makeError(TR_TEXT("Shell", "There is no profile named \"%1\" in %2."), name.toStdString(), folder));
        return {};
    }
    const auto path = store.paths()[*index];
    enqueue([this, path, name = store.names()[*index]](const QDBusMessage& call) {
        if (auto kept = controller_.unsavedWouldBeLost(path); !kept) {
            return replyError(call, kUnsaved, kept.error());
        }
        controller_.remoteLoadProfile(
            path, name, [this, call](Result<device::WriteOutcome> out) { replySteps(call, out); });
    });
    return {};
}

QStringList KeyboardService::Save() {
    enqueue([this](const QDBusMessage& call) {
        controller_.remoteSave([this, call](Result<device::WriteOutcome> out) { replySteps(call, out); });
    });
    return {};
}

QByteArray KeyboardService::FactoryReset() {
    enqueue([this](const QDBusMessage& call) {
        controller_.remoteFactoryReset(
            [this, call](Result<device::DeviceImage> image) { replyImage(call, image); });
    });
    return {};
}

void KeyboardService::ReportActiveWindow(const QString& program, const QString& windowClass,
                                         const QString& title, int pid) {
    active_ = {program, windowClass, title, static_cast<uint>(std::max(pid, 0))};
    if (activeReport_) activeReport_(program, windowClass, title, std::max(pid, 0));
    QDBusMessage changed = QDBusMessage::createSignal(
        QString::fromLatin1(kServicePath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    changed << QString::fromLatin1(kServiceInterface)
            << QVariantMap{{QStringLiteral("ActiveProgram"), program},
                           {QStringLiteral("ActiveWindowClass"), windowClass},
                           {QStringLiteral("ActiveWindowTitle"), title},
                           {QStringLiteral("ActiveWindowPid"), active_.pid}}
            << QStringList{};
    QDBusConnection::sessionBus().send(changed);
}

void KeyboardService::enqueue(std::function<void(const QDBusMessage&)> run) {
    if (!controller_.keyboardReady() && !controller_.arrivalPending()) {
        return refuse(kNoKeyboard, device::errors::noKeyboard());
    }
    if (queue_.size() >= kMaxQueuedCalls) {
        const std::string waiting = std::to_string(queue_.size());
        return refuse(
            kBusy,
            makeError(TR_TEXT("Shell", "Tessaron has %1 calls waiting for the keyboard; try again when they are done."), waiting));
    }
    holder_.setDelayedReply(true);
    queue_.push_back({holder_.message(), std::move(run)});
    startNext();
}

void KeyboardService::startNext() {
    if (running_ || queue_.empty()) return;
    // The window's own work (a Save clicked, a plug-in being read, the user choosing between
    // their edits and another program's) goes first.
    if (controller_.isBusy() || controller_.arrivalPending() ||
        controller_.outsideChangePending()) {
        retry_.start();
        return;
    }
    running_ = true;
    // Taken out first: run may answer (and start the next) before it returns.
    Call next = std::move(queue_.front());
    queue_.pop_front();
    next.run(next.message);
}

void KeyboardService::finished() {
    running_ = false;
    announce();
    // Later, so a caller's next call can join the queue before it runs.
    QTimer::singleShot(0, this, &KeyboardService::startNext);
}

void KeyboardService::reply(const QDBusMessage& call, const QVariant& value) {
    QDBusConnection::sessionBus().send(call.createReply(value));
    finished();
}

QString KeyboardService::errorText(const Error& error) const {
    // The bus does not carry the caller's language: the window's is used.
    return QString::fromStdString(error.text(controller_.settings().language));
}

void KeyboardService::refuse(const char* name, const Error& error) {
    holder_.sendErrorReply(QString::fromLatin1(name), errorText(error));
}

void KeyboardService::replyError(const QDBusMessage& call, const char* name, const Error& error) {
    QDBusConnection::sessionBus().send(
        call.createErrorReply(QString::fromLatin1(name), errorText(error)));
    finished();
}

void KeyboardService::replySteps(const QDBusMessage& call,
                                 const Result<device::WriteOutcome>& outcome) {
    if (!outcome) {
        return replyError(call, controller_.keyboardReady() ? kFailed : kNoKeyboard,
                          outcome.error());
    }
    QStringList steps;
    for (const auto& step : outcome->steps) steps << QString::fromStdString(step.name());
    reply(call, steps);
}

void KeyboardService::replyImage(const QDBusMessage& call,
                                 const Result<device::DeviceImage>& image) {
    if (!image) {
        return replyError(call, controller_.keyboardReady() ? kFailed : kNoKeyboard,
                          image.error());
    }
    reply(call, QByteArray(reinterpret_cast<const char*>(image->data()),
                           static_cast<qsizetype>(image->size())));
}

KeyboardService::Snapshot KeyboardService::snapshot() const {
    return {connected(), firmwareVersion(), loadedProfile(), unsavedChanges(),
            controller_.settings().committedImage};
}

void KeyboardService::announce() {
    if (!announced_) return;  // not on the bus
    Snapshot now = snapshot();
    if (now == *announced_) return;
    const Snapshot before = std::exchange(*announced_, now);
    QVariantMap changed;
    if (now.connected != before.connected) changed[QStringLiteral("Connected")] = now.connected;
    if (now.firmware != before.firmware) changed[QStringLiteral("FirmwareVersion")] = now.firmware;
    if (now.profile != before.profile) changed[QStringLiteral("LoadedProfile")] = now.profile;
    if (now.unsaved != before.unsaved) changed[QStringLiteral("UnsavedChanges")] = now.unsaved;
    if (!changed.isEmpty()) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QString::fromLatin1(kServicePath), QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("PropertiesChanged"));
        signal << QString::fromLatin1(kServiceInterface) << changed << QStringList{};
        QDBusConnection::sessionBus().send(signal);
    }
    if (now.connected != before.connected) emit ConnectionChanged(now.connected);
    if (now.profile != before.profile) emit ProfileChanged(now.profile);
    if (now.committed != before.committed) emit SettingsChanged();
}

}  // namespace tessaron::app
