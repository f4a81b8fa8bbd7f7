#include "app/switching/controller_profiles.h"

#include <QMetaObject>

#include <algorithm>
#include <span>
#include <utility>

#include "app/controller/settings_controller.h"
#include "core/clock.h"
#include "keys/keymap_file.h"
#include "profiles/profile_store.h"
#include "core/text.h"

namespace tessaron::app {

struct ControllerProfiles::Waits {
    std::mutex mutex;
    std::condition_variable answered;
    bool closed = false;
};

ControllerProfiles::ControllerProfiles(SettingsController& controller,
                                       std::filesystem::path dataFolder, Sent sent)
    : controller_(controller),
      dataFolder_(std::move(dataFolder)),
      waits_(std::make_shared<Waits>()),
      sent_(std::make_shared<Sent>(std::move(sent))),
      before_(std::make_shared<std::optional<Held>>()) {}

ControllerProfiles::~ControllerProfiles() {
    close();
}

void ControllerProfiles::close() {
    {
        std::lock_guard lock(waits_->mutex);
        waits_->closed = true;
    }
    waits_->answered.notify_all();
}

template <class T>
Result<T> ControllerProfiles::ask(std::function<void(std::function<void(Result<T>)>)> job) {
    // Shared with the answer, which may come after this sink is gone.
    auto waits = waits_;
    auto answer = std::make_shared<std::optional<Result<T>>>();
    {
        std::lock_guard lock(waits->mutex);
        if (waits->closed) return makeError(TR_TEXT("App", "Tessaron is ending."));
    }
    auto give = [waits, answer](Result<T> result) {
        {
            std::lock_guard lock(waits->mutex);
            *answer = std::move(result);
        }
        waits->answered.notify_all();
    };
    QMetaObject::invokeMethod(
        &controller_, [job = std::move(job), give = std::move(give)] { job(give); },
        Qt::QueuedConnection);
    std::unique_lock lock(waits->mutex);
    waits->answered.wait(lock, [&] { return answer->has_value() || waits->closed; });
    if (!answer->has_value()) return makeError(TR_TEXT("App", "Tessaron is ending."));
    return std::move(**answer);
}

Result<device::DeviceImage> ControllerProfiles::heldImage() {
    SettingsController* c = &controller_;
    return ask<device::DeviceImage>([c](auto give) { give(c->settings().committedImage); });
}

Result<device::DeviceImage> ControllerProfiles::profileImage(const std::string& name) {
    profiles::ProfileStore store(dataFolder_, Language::English, SystemClock::instance());
    store.rescan();
    const auto index = store.indexOf(name);
    if (!index) {
        return makeError(TR_TEXT("App", "No profile is named \"%1\"."), name);
    }
    auto held = heldImage();
    if (!held) return held.error();
    Taken taken{*held, {}, name};
    if (auto loaded = keys::loadKeymap(store.paths()[*index], taken.image, taken.records);
        !loaded) {
        return loaded.error();
    }
    const auto map =
        std::span(taken.image).subspan(device::image::kKeyMap, device::image::kKeyMapSize);
    if (std::all_of(map.begin(), map.end(), [](std::uint8_t b) { return b == 0; })) {
        // Made by New and never saved: sending it would blank every key.
        return makeError(TR_TEXT("App", "The profile \"%1\" holds no key settings."), name);
    }
    lastProfile_ = taken;
    return taken.image;
}

Result<device::WriteOutcome> ControllerProfiles::send(const device::DeviceImage& wanted) {
    std::optional<Taken> profile;
    if (lastProfile_ && lastProfile_->image == wanted) profile = lastProfile_;
    SettingsController* c = &controller_;
    auto before = before_;
    auto sent = sent_;
    return ask<device::WriteOutcome>([c, wanted, profile, before, sent](auto give) {
        const LiveConfig& live = c->settings();
        // The first switch keeps the user's own settings, with their key programs, to go back to.
        if (!before->has_value()) {
            *before = Held{live.committedImage, live.committedRecords, c->loadedProfile()};
        }
        const keys::KeyRecordTable& records = profile                       ? profile->records
                                              : (*before)->image == wanted ? (*before)->records
                                                                           : live.committedRecords;
        const std::string name = profile                       ? profile->profile
                                 : (*before)->image == wanted ? (*before)->profile
                                                              : std::string();
        c->switchTo(wanted, records, name,
                    [give, sent, name](Result<device::WriteOutcome> out) {
                        if (out && *sent) (*sent)(name, !out->steps.empty());
                        give(std::move(out));
                    });
    });
}

}  // namespace tessaron::app
