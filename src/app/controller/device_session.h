#pragma once
// The window's side of the device link. Every exchange with the keyboard (start-up read, Save,
// factory reset, plugging) runs in order on one worker thread so the window keeps painting;
// results come back on the caller's thread through the callbacks. Key events from the listener
// are signalled from the listener's thread (connect queued to handle them on yours).

#include <QObject>
#include <QPointer>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "core/clock.h"
#include "core/result.h"
#include "device/device_image.h"
#include "device/device_link.h"
#include "device/firmware.h"
#include "device/hotplug.h"
#include "device/transport.h"
#include "device/write_changes.h"

namespace tessaron::app {

struct StartupOutcome {
    bool commandOpened = false;
    bool eventOpened = false;
    std::optional<device::FirmwareVersion> firmware;
    std::optional<device::DeviceImage> image;  // the keyboard's settings, when read
    std::optional<Error> error;
};

struct SaveOutcome {
    Result<device::WriteOutcome> result = device::WriteOutcome{};
    device::DeviceImage image{};      // as sent (the Win Lock rule applied)
    device::DeviceImage committed{};  // the keyboard's state as the host now knows it
};

class DeviceSession final : public QObject {
    Q_OBJECT

public:
    // hotplug may be null (plugging is then not followed).
    DeviceSession(device::Transport& transport, Clock& clock,
                  std::unique_ptr<device::HotplugMonitor> hotplug, QObject* parent = nullptr);
    ~DeviceSession() override;
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // Starts following plug changes; reports failure to register.
    Status startHotplug();

    [[nodiscard]] bool isConnected() const { return link_.isConnected(); }
    // True while a job is queued or running.
    [[nodiscard]] bool busy() const;
    // The clock the keyboard's waits run on; the controller's bounded waits use it too.
    [[nodiscard]] Clock& clock() const { return clock_; }

    // Opens both channels and, when the command channel opened, reads the whole keyboard over
    // a copy of base.
    void startup(const device::DeviceImage& base, std::function<void(StartupOutcome)> done);
    // Write changes of image against committed.
    void save(const device::DeviceImage& image, const device::DeviceImage& committed,
              std::function<void(SaveOutcome)> done);
    // The reset command, then Read all over a copy of base. Refused without a keyboard.
    void factoryReset(const device::DeviceImage& base,
                      std::function<void(Result<device::DeviceImage>)> done);
    // Query 0x88: the keyboard's lighting block (its own Fn keys may have changed it), written
    // over a copy of base. Refused without a keyboard.
    void fetchLighting(const device::DeviceImage& base,
                       std::function<void(Result<device::DeviceImage>)> done);
    // Read all and the light maps over a copy of base. Refused without a keyboard.
    void readKeyboard(const device::DeviceImage& base,
                      std::function<void(Result<device::DeviceImage>)> done);
    // After a plug-in notice: settle, open what is closed, read over a copy of base, restart the
    // listener. A later plug notice cancels an arrival that has not begun to read (done then
    // gets nullopt), so a burst of notices reads the keyboard once, after the last. reading
    // runs on the caller's thread when the read begins.
    void arrival(const device::DeviceImage& base, std::function<void()> reading,
                 std::function<void(std::optional<device::ArrivalResult>)> done);
    // After a removal notice: stop the listener and close both channels.
    void removal(std::function<void()> done);

signals:
    void plugChanged(int change);  // device::PlugChange as int
    // Emitted on the listener's thread: the code of a host-action key.
    void keyEvent(quint8 code);

private:
    void post(std::function<void()> job);
    // Work on the command channel over a copy of base; done gets the image or why it failed.
    using ImageWork = std::function<Status(device::CommandPort&, device::DeviceImage&)>;
    void imageJob(const device::DeviceImage& base, ImageWork work,
                  std::function<void(Result<device::DeviceImage>)> done);
    void run();
    // Waits the arrival's settle time on the clock; false as soon as a later plug notice came.
    bool settle(std::uint64_t plugNotice);
    device::Listener::KeyEventNotify keyNotifier();
    template <class T>
    void deliver(std::function<void(T)> done, T value);

    Clock& clock_;
    device::DeviceLink link_;
    std::unique_ptr<device::HotplugMonitor> hotplug_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool running_ = false;  // a job is executing
    bool stopping_ = false;
    std::uint64_t plugNotices_ = 0;  // grows with every arrival and removal asked for
    std::thread worker_;
};

}  // namespace tessaron::app
