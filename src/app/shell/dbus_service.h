#pragma once
// The running window on the session bus (org.tessaron.tessaron, interface
// org.tessaron.tessaron.Keyboard1, described in packaging/org.tessaron.tessaron.Keyboard1.xml):
// tessaronctl and the desktop ask the window to talk to the keyboard instead of opening it
// themselves, so the window's copy stays true and no two writers share the keyboard.
//
// Calls never block the window: each is queued and answered when the window's worker is done
// with it; a full queue is refused.

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/result.h"
#include "device/device_image.h"
#include "device/write_changes.h"

namespace tessaron::app {

class SettingsController;

inline constexpr const char* kServiceName = "org.tessaron.tessaron";
inline constexpr const char* kServicePath = "/org/tessaron/tessaron";
inline constexpr const char* kServiceInterface = "org.tessaron.tessaron.Keyboard1";
// Calls waiting beyond this many are refused with Error.Busy.
inline constexpr std::size_t kMaxQueuedCalls = 16;

// The object at kServicePath. Calls arrive in the context of the registered object, not of its
// adaptor: the adaptor reads the caller's message from here.
class ServiceObject final : public QObject, public QDBusContext {
    Q_OBJECT
};

class KeyboardService final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tessaron.tessaron.Keyboard1")
    Q_PROPERTY(bool Connected READ connected)
    Q_PROPERTY(QString FirmwareVersion READ firmwareVersion)
    Q_PROPERTY(QString LoadedProfile READ loadedProfile)
    Q_PROPERTY(bool UnsavedChanges READ unsavedChanges)
    Q_PROPERTY(QString DataFolder READ dataFolder)
    Q_PROPERTY(bool Demo READ demo)
    Q_PROPERTY(QString ActiveProgram READ activeProgram)
    Q_PROPERTY(QString ActiveWindowClass READ activeWindowClass)
    Q_PROPERTY(QString ActiveWindowTitle READ activeWindowTitle)
    Q_PROPERTY(uint ActiveWindowPid READ activeWindowPid)

public:
    // holder is registered at kServicePath; it owns the service.
    KeyboardService(ServiceObject* holder, SettingsController& controller, std::filesystem::path dataFolder,
                    bool demo);

    // Announces plugging at once, however briefly the keyboard stays away.
    // Announces plugging and the end of the controller's work at once.
    void followPlugging();
    // Who acts on ReportActiveWindow (the window's automatic switching); pid 0 when unknown.
    using ActiveWindowReport = std::function<void(const QString& instance,
                                                  const QString& windowClass,
                                                  const QString& title, int pid)>;
    void onActiveWindow(ActiveWindowReport report) { activeReport_ = std::move(report); }
    // Registers the object and takes the name on the session bus; says why when it cannot.
    Status publish();

    [[nodiscard]] bool connected() const;
    [[nodiscard]] QString firmwareVersion() const;
    [[nodiscard]] QString loadedProfile() const { return loadedProfile_; }
    [[nodiscard]] bool unsavedChanges() const;
    [[nodiscard]] QString dataFolder() const;
    [[nodiscard]] bool demo() const { return demo_; }
    [[nodiscard]] QString activeProgram() const { return active_.program; }
    [[nodiscard]] QString activeWindowClass() const { return active_.windowClass; }
    [[nodiscard]] QString activeWindowTitle() const { return active_.title; }
    [[nodiscard]] uint activeWindowPid() const { return active_.pid; }

public slots:
    QByteArray Read();
    QStringList ApplyDataFiles();
    QStringList LoadProfile(const QString& name);
    QStringList Save();
    QByteArray FactoryReset();
    // The pid is signed: KWin's callDBus sends a script's whole numbers as D-Bus int32, and a
    // call whose signature differs is never delivered.
    void ReportActiveWindow(const QString& program, const QString& windowClass,
                            const QString& title, int pid);

signals:
    void ConnectionChanged(bool connected);
    void ProfileChanged(const QString& name);
    void SettingsChanged();

private:
    // One queued call: run starts it, and it answers through the message it was given.
    struct Call {
        QDBusMessage message;
        std::function<void(const QDBusMessage&)> run;
    };
    // Queues the current call (its reply delayed); refuses it when the queue is full.
    void enqueue(std::function<void(const QDBusMessage&)> run);
    void startNext();
    void finished();
    void reply(const QDBusMessage& call, const QVariant& value);
    void replyError(const QDBusMessage& call, const char* name, const Error& error);
    void replySteps(const QDBusMessage& call, const Result<device::WriteOutcome>& outcome);
    void replyImage(const QDBusMessage& call, const Result<device::DeviceImage>& image);
    // Compares with what was last announced and sends the signals for what changed.
    void announce();

    struct Snapshot {
        bool connected = false;
        QString firmware;
        QString profile;
        bool unsaved = false;
        device::DeviceImage committed{};
        bool operator==(const Snapshot&) const = default;
    };
    [[nodiscard]] Snapshot snapshot() const;

    struct ActiveWindow {
        QString program, windowClass, title;
        uint pid = 0;
    };

    ServiceObject& holder_;
    SettingsController& controller_;
    std::filesystem::path dataFolder_;
    bool demo_ = false;
    QString loadedProfile_;
    ActiveWindow active_;
    ActiveWindowReport activeReport_;
    std::deque<Call> queue_;
    bool running_ = false;
    QTimer retry_;     // the window was busy with its own work
    QTimer watch_;     // changes made in the window itself
    std::optional<Snapshot> announced_;
};

}  // namespace tessaron::app
