#pragma once
// The keyboard side of automatic switching in the window: profiles go to the keyboard through the
// settings controller, queued on its session's worker after a Save, the start-up read or a
// desktop caller, never beside them. The engine calls from its own thread; each call is carried
// out on the controller's thread and waited for there.

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "device/device_image.h"
#include "keys/key_record.h"
#include "switching/engine.h"

namespace tessaron::app {

class SettingsController;

class ControllerProfiles final : public switching::ProfileSink {
public:
    // Called on the controller's thread after each switch the keyboard took: the profile's name
    // (empty for "back to what it held before") and whether anything was written.
    using Sent = std::function<void(const std::string& profile, bool wrote)>;

    ControllerProfiles(SettingsController& controller, std::filesystem::path dataFolder,
                       Sent sent = {});
    ~ControllerProfiles() override;
    ControllerProfiles(const ControllerProfiles&) = delete;
    ControllerProfiles& operator=(const ControllerProfiles&) = delete;

    // Ends every wait of the engine's thread, now and later: called before that thread is joined,
    // on the controller's thread, which would otherwise never answer.
    void close();

    // The profile's file laid over what the keyboard holds, as the profiles panel's Load does.
    Result<device::DeviceImage> profileImage(const std::string& name) override;
    Result<device::DeviceImage> heldImage() override;
    Result<device::WriteOutcome> send(const device::DeviceImage& wanted) override;

private:
    struct Waits;
    struct Taken {  // a settings image with the key records that go with it
        device::DeviceImage image{};
        keys::KeyRecordTable records{};
        std::string profile;
    };
    struct Held {
        device::DeviceImage image{};
        keys::KeyRecordTable records{};
        std::string profile;  // the profile loaded then, if any
    };
    // Runs job on the controller's thread and waits for the answer it gives.
    template <class T>
    Result<T> ask(std::function<void(std::function<void(Result<T>)>)> job);

    SettingsController& controller_;
    std::filesystem::path dataFolder_;
    std::shared_ptr<Waits> waits_;
    std::shared_ptr<Sent> sent_;
    // The engine's thread only.
    std::optional<Taken> lastProfile_;
    // What the keyboard held before the first switch: set and read on the controller's thread.
    std::shared_ptr<std::optional<Held>> before_;
};

}  // namespace tessaron::app
