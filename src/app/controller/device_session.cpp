#include "app/controller/device_session.h"

#include <QMetaObject>

#include <algorithm>
#include <chrono>

#include "device/commands.h"
#include "device/errors.h"
#include "device/read_all.h"
#include "device/trace.h"

namespace tessaron::app {

DeviceSession::DeviceSession(device::Transport& transport, Clock& clock,
                             std::unique_ptr<device::HotplugMonitor> hotplug, QObject* parent)
    : QObject(parent),
      clock_(clock),
      link_(transport, clock, device::Trace::fromEnvironment()),  // TESSARON_TRACE=1
      hotplug_(std::move(hotplug)) {
    worker_ = std::thread([this] { run(); });
}

DeviceSession::~DeviceSession() {
    if (hotplug_) hotplug_->stop();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
    link_.close();
}

Status DeviceSession::startHotplug() {
    if (!hotplug_) return {};
    QPointer<DeviceSession> self(this);
    return hotplug_->start([self](device::PlugChange change) {
        // Runs on the monitor's thread; the window reacts on its own.
        QMetaObject::invokeMethod(
            self.data(),
            [self, change] {
                if (self) emit self->plugChanged(static_cast<int>(change));
            },
            Qt::QueuedConnection);
    });
}

bool DeviceSession::busy() const {
    std::lock_guard lock(mutex_);
    return running_ || !jobs_.empty();
}

void DeviceSession::post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void DeviceSession::run() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;  // stopping with nothing left to do
            job = std::move(jobs_.front());
            jobs_.pop_front();
            running_ = true;
        }
        job();
        std::lock_guard lock(mutex_);
        running_ = false;
    }
}

template <class T>
void DeviceSession::deliver(std::function<void(T)> done, T value) {
    if (!done) return;
    QMetaObject::invokeMethod(
        this,
        [done = std::move(done), value = std::move(value)]() mutable { done(std::move(value)); },
        Qt::QueuedConnection);
}

device::Listener::KeyEventNotify DeviceSession::keyNotifier() {
    return [this] {
        // The listener's thread: hand the codes over without waiting for their receiver.
        for (std::uint8_t code : link_.listener().takeKeyEvents()) emit keyEvent(code);
    };
}

void DeviceSession::startup(const device::DeviceImage& base,
                            std::function<void(StartupOutcome)> done) {
    post([this, base, done = std::move(done)]() mutable {
        StartupOutcome out;
        if (auto s = link_.openCommand(); s) {
            out.commandOpened = true;
        } else {
            out.error = s.error();
        }
        if (auto s = link_.openEvent({}, keyNotifier()); s) {
            out.eventOpened = true;
        } else if (!out.error) {
            out.error = s.error();
        }
        if (out.commandOpened) {
            if (auto lease = link_.acquire()) {
                auto read = device::startupRead(lease->port(), base);
                if (read) {
                    out.firmware = read->firmware;
                    out.image = read->image;
                } else {
                    out.error = read.error();
                }
            } else {
                out.error = lease.error();
            }
        }
        deliver(std::move(done), std::move(out));
    });
}

void DeviceSession::save(const device::DeviceImage& image, const device::DeviceImage& committed,
                         std::function<void(SaveOutcome)> done) {
    post([this, image, committed, done = std::move(done)]() mutable {
        SaveOutcome out;
        out.image = image;
        out.committed = committed;
        out.result = link_.save(out.image, out.committed);
        deliver(std::move(done), std::move(out));
    });
}

void DeviceSession::imageJob(const device::DeviceImage& base, ImageWork work,
                             std::function<void(Result<device::DeviceImage>)> done) {
    post([this, base, work = std::move(work), done = std::move(done)]() mutable {
        Result<device::DeviceImage> out = device::errors::noKeyboard();
        if (auto lease = link_.acquire()) {
            device::DeviceImage img = base;
            if (Status s = work(lease->port(), img); s) {
                out = img;
            } else {
                out = s.error();
            }
        } else {
            out = lease.error();
        }
        deliver(std::move(done), std::move(out));
    });
}

void DeviceSession::factoryReset(const device::DeviceImage& base,
                                 std::function<void(Result<device::DeviceImage>)> done) {
    imageJob(
        base,
        [](device::CommandPort& port, device::DeviceImage& img) {
            Status s = device::factoryReset(port);
            if (s) s = device::readAll(port, img);
            return s;
        },
        std::move(done));
}

void DeviceSession::fetchLighting(const device::DeviceImage& base,
                                  std::function<void(Result<device::DeviceImage>)> done) {
    imageJob(base, device::getLighting, std::move(done));
}

void DeviceSession::readKeyboard(const device::DeviceImage& base,
                                 std::function<void(Result<device::DeviceImage>)> done) {
    imageJob(
        base,
        [](device::CommandPort& port, device::DeviceImage& img) {
            Status s = device::readAll(port, img);
            if (s) s = device::readLightMaps(port, img);
            return s;
        },
        std::move(done));
}

bool DeviceSession::settle(std::uint64_t plugNotice) {
    // In slices, so a burst of plug notices costs one settle time, not one per notice.
    constexpr std::chrono::milliseconds kSlice{100};
    const auto superseded = [&] {
        std::lock_guard lock(mutex_);
        return plugNotices_ != plugNotice || stopping_;
    };
    for (auto left = device::kArrivalSettle; left.count() > 0; left -= kSlice) {
        if (superseded()) return false;
        clock_.sleep(std::min(left, kSlice));
    }
    return !superseded();
}

void DeviceSession::arrival(const device::DeviceImage& base, std::function<void()> reading,
                            std::function<void(std::optional<device::ArrivalResult>)> done) {
    std::uint64_t notice = 0;
    {
        std::lock_guard lock(mutex_);
        notice = ++plugNotices_;
    }
    post([this, base, notice, reading = std::move(reading), done = std::move(done)]() mutable {
        if (!settle(notice)) {
            deliver(std::move(done), std::optional<device::ArrivalResult>());
            return;
        }
        if (reading) QMetaObject::invokeMethod(this, std::move(reading), Qt::QueuedConnection);
        deliver(std::move(done), std::optional<device::ArrivalResult>(
                                     device::runArrival(link_, base, keyNotifier(), true)));
    });
}

void DeviceSession::removal(std::function<void()> done) {
    {
        std::lock_guard lock(mutex_);
        ++plugNotices_;
    }
    post([this, done = std::move(done)]() mutable {
        link_.close();
        if (done) {
            QMetaObject::invokeMethod(this, std::move(done), Qt::QueuedConnection);
        }
    });
}

}  // namespace tessaron::app
