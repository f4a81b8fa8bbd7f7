#include "device/virtual/virtual_keyboard.h"

#include <algorithm>

#include "device/virtual/firmware_codes.h"
#include "core/text.h"

namespace tessaron::device {
namespace {

constexpr std::uint8_t kGarbleMask = 0x5A;
// Real-time slice of an event wait: a delayed acknowledgement becomes due on the keyboard's clock,
// which may be a fake one that another thread advances.
constexpr auto kEventPollSlice = std::chrono::milliseconds(1);

Error notConnected() {
    return makeError(TR_TEXT("Device", "The keyboard is not connected."));
}

Error noPageInTime() {
    return makeError(TR_TEXT("Device", "The keyboard sent no data in time."));
}

bool checksumOk(const FrameBytes& f) {
    return frameChecksum(f) == f[fw::kChecksumByte];
}

bool isQuery(std::uint8_t command) {
    return (command & fw::kQueryBit) != 0;
}

bool inRange(std::uint8_t v, std::uint8_t lo, std::uint8_t hi) {
    return v >= lo && v <= hi;
}

}  // namespace

VirtualKeyboard::VirtualKeyboard(Clock& clock) : clock_(clock) {
    state_.settings = factorySettings();
}

VirtualKeyboard::~VirtualKeyboard() = default;

// ---- Wire ----

std::optional<std::uint64_t> VirtualKeyboard::connection() const {
    std::lock_guard lock(mutex_);
    if (!plugged_) return std::nullopt;
    return connection_;
}

bool VirtualKeyboard::alive(std::uint64_t connection) const {
    return plugged_ && connection == connection_;
}

void VirtualKeyboard::record(TrafficKind kind, Outcome outcome,
                             std::span<const std::uint8_t> bytes) {
    record(kind, outcome, bytes, clock_.now());
}

void VirtualKeyboard::record(TrafficKind kind, Outcome outcome, std::span<const std::uint8_t> bytes,
                             Clock::TimePoint at) {
    if (trafficLimit_ == 0) return;
    if (traffic_.size() >= trafficLimit_) {
        const auto drop = static_cast<std::ptrdiff_t>(std::max<std::size_t>(1, trafficLimit_ / 4));
        traffic_.erase(traffic_.begin(), traffic_.begin() + drop);
    }
    traffic_.push_back(Traffic{at, kind, outcome, {bytes.begin(), bytes.end()}});
}

Status VirtualKeyboard::receiveFeature(std::uint64_t connection, const FrameBytes& frame) {
    Notice notice;
    {
        std::lock_guard lock(mutex_);
        if (!alive(connection)) return notConnected();
        const Clock::TimePoint at = clock_.now();
        Outcome outcome = Outcome::Accepted;
        if (frame[0] != 0) {
            outcome = Outcome::Rejected;
        } else if (!checksumOk(frame)) {
            outcome = Outcome::BadChecksum;
        } else {
            outcome = handleFrame(frame);
        }
        record(TrafficKind::Frame, outcome, frame, at);
        flushAcknowledgement();
        notice.stateChanged = std::exchange(changed_, false);
    }
    publish(notice);
    return {};
}

Outcome VirtualKeyboard::handleFrame(const FrameBytes& f) {
    const std::uint8_t command = f[fw::kCommandByte];
    fw::SettingsMemory& s = state_.settings;

    // A held "game mode on" is settled by whatever comes next; see the header.
    if (gameModeOnPending_) {
        gameModeOnPending_ = false;
        const bool wasOpening =
            isQuery(command) || command == fw::kFactoryReset ||
            (command == fw::kSetGameMode && f[fw::kArg2] == fw::kOpeningArgument);
        if (!wasOpening && s[fw::mem::kGameMode] != 1) {
            s[fw::mem::kGameMode] = 1;
            markChanged();
        }
    }
    outPages_.clear();
    pendingWrite_.reset();

    auto setByte = [&](std::size_t offset, std::uint8_t value, bool valid) {
        if (!valid) return Outcome::Ignored;
        if (s[offset] != value) {
            s[offset] = value;
            markChanged();
        }
        return Outcome::Accepted;
    };

    switch (command) {
        case fw::kSetReportRate: {
            const std::uint8_t v = f[fw::kArg2];
            const Outcome o = setByte(fw::mem::kReportRate, v, v <= fw::kReportRateMax);
            acknowledge();
            return o;
        }
        case fw::kSetResponseTime: {
            const std::uint8_t v = f[fw::kArg2];
            const Outcome o = setByte(fw::mem::kResponseTime, v,
                                      inRange(v, fw::kResponseTimeMin, fw::kResponseTimeMax));
            acknowledge();
            return o;
        }
        case fw::kSetLighting:
            return handleLighting(f);
        case fw::kSetGameMode: {
            const std::uint8_t v = f[fw::kArg2];
            Outcome o = Outcome::Accepted;
            if (v == fw::kOpeningArgument) {
                gameModeOnPending_ = true;
            } else {
                o = setByte(fw::mem::kGameMode, v, v == 0);
            }
            acknowledge();
            return o;
        }
        case fw::kWriteKeyMap:
        case fw::kWriteEnableBitmap:
        case fw::kWriteMacroSlot:
        case fw::kWriteLightMap:
            return startBlockWrite(f);
        case fw::kFactoryReset:
            if (f[fw::kArg2] != fw::kFactoryResetArgument) return Outcome::Rejected;
            s = factorySettings();
            dimmed_ = false;
            markChanged();
            acknowledge();
            return Outcome::Accepted;
        case fw::kSetLightingTableEntry: {
            const std::uint8_t entry = f[fw::kArg3];
            if (entry >= fw::mem::kPaletteEntries) return Outcome::Rejected;
            const std::size_t at = fw::mem::paletteEntry(entry);
            if (!std::equal(f.begin() + fw::kArg4, f.begin() + fw::kArg7, s.begin() + at)) {
                std::copy(f.begin() + fw::kArg4, f.begin() + fw::kArg7, s.begin() + at);
                markChanged();
            }
            acknowledge();
            return Outcome::Accepted;
        }
        case fw::kGetFirmwareVersion:
            setReply(command, {state_.firmwareMajor, state_.firmwareMinor});
            return Outcome::Accepted;
        case fw::kGetReportRate:
            setReply(command, {s[fw::mem::kReportRate]});
            return Outcome::Accepted;
        case fw::kGetResponseTime:
            setReply(command, {s[fw::mem::kResponseTime]});
            return Outcome::Accepted;
        case fw::kGetLighting:
            setReply(command,
                     {fw::kLightingFormFull, s[fw::mem::kLightEffect],
                      static_cast<std::uint8_t>(fw::kWireSpeedMax - s[fw::mem::kLightSpeed]),
                      s[fw::mem::kLightBrightness], s[fw::mem::kLightOption],
                      s[fw::mem::kLightDirection]});
            return Outcome::Accepted;
        case fw::kGetGameMode:
            setReply(command, {s[fw::mem::kGameMode]});
            return Outcome::Accepted;
        case fw::kGetLightingTableEntry: {
            const std::uint8_t entry = f[fw::kArg3];
            if (entry >= fw::mem::kPaletteEntries) return Outcome::Rejected;
            const std::size_t at = fw::mem::paletteEntry(entry);
            setReply(command, {0, entry, s[at], s[at + 1], s[at + 2]});
            return Outcome::Accepted;
        }
        case fw::kReadKeyMap:
        case fw::kReadEnableBitmap:
        case fw::kReadMacroSlot:
        case fw::kReadLightMap:
            return queueBlockRead(f);
        default:
            return Outcome::Rejected;
    }
}

Outcome VirtualKeyboard::handleLighting(const FrameBytes& f) {
    const std::uint8_t form = f[fw::kArg2];
    if (form != fw::kLightingFormDark && form != fw::kLightingFormFull) return Outcome::Rejected;
    fw::SettingsMemory& s = state_.settings;
    bool allValid = true;
    auto apply = [&](std::size_t offset, std::uint8_t value, bool valid) {
        if (!valid) {
            allValid = false;
            return;
        }
        if (s[offset] != value) {
            s[offset] = value;
            markChanged();
        }
    };
    const std::uint8_t wireSpeed = f[fw::kArg4];
    apply(fw::mem::kLightEffect, f[fw::kArg3], fw::isKnownEffect(f[fw::kArg3]));
    apply(fw::mem::kLightSpeed, static_cast<std::uint8_t>(fw::kWireSpeedMax - wireSpeed),
          inRange(wireSpeed, fw::kWireSpeedMin, fw::kWireSpeedMax));
    // The dark form carries no brightness: the lights go dark for the transfer, but the setting
    // stays for the full form to bring back.
    if (form == fw::kLightingFormFull) {
        apply(fw::mem::kLightBrightness, f[fw::kArg5], f[fw::kArg5] <= fw::kBrightnessMax);
    }
    apply(fw::mem::kLightOption, f[fw::kArg6],
          inRange(f[fw::kArg6], fw::kOptionMin, fw::kOptionMax));
    apply(fw::mem::kLightDirection, f[fw::kArg7],
          inRange(f[fw::kArg7], fw::kDirectionMin, fw::kDirectionMax));
    dimmed_ = form == fw::kLightingFormDark;
    acknowledge();
    return allValid ? Outcome::Accepted : Outcome::Ignored;
}

Outcome VirtualKeyboard::startBlockWrite(const FrameBytes& f) {
    const std::uint8_t command = f[fw::kCommandByte];
    const std::uint8_t index = f[fw::kArg3];
    fw::BlockShape shape{};
    switch (command) {
        case fw::kWriteKeyMap:
            shape = fw::kKeyMapBlock;
            break;
        case fw::kWriteEnableBitmap:
            shape = fw::kEnableBitmapBlock;
            break;
        case fw::kWriteMacroSlot:
            if (index >= fw::mem::kMacroCount) return Outcome::Rejected;
            shape = fw::macroSlotBlock(index);
            break;
        default:  // fw::kWriteLightMap
            if (index >= fw::mem::kDiyMapCount) return Outcome::Rejected;
            shape = fw::lightMapBlock(index);
            break;
    }
    if (f[fw::kArg4] != shape.countArgument) return Outcome::Rejected;
    pendingWrite_ = PendingWrite{shape.offset, shape.pages, 0, {}};
    // Only the block's own bytes are kept; the zero padding of a short last page is dropped.
    pendingWrite_->data.resize(shape.size);
    return Outcome::Accepted;
}

Outcome VirtualKeyboard::queueBlockRead(const FrameBytes& f) {
    const std::uint8_t command = f[fw::kCommandByte];
    const std::uint8_t index = f[fw::kArg3];
    fw::BlockShape shape{};
    switch (command) {
        case fw::kReadKeyMap:
            shape = fw::kKeyMapBlock;
            break;
        case fw::kReadEnableBitmap:
            shape = fw::kEnableBitmapBlock;
            break;
        case fw::kReadMacroSlot:
            if (index >= fw::mem::kMacroCount) return Outcome::Rejected;
            shape = fw::macroSlotBlock(index);
            break;
        default:  // fw::kReadLightMap
            if (index >= fw::mem::kDiyMapCount) return Outcome::Rejected;
            shape = fw::lightMapBlock(index);
            break;
    }
    echoReply(f);
    const fw::SettingsMemory& s = state_.settings;
    for (std::size_t k = 0; k < shape.pages; ++k) {
        Page page{};
        const std::size_t from = k * kPageSize;
        const std::size_t n = std::min(kPageSize, shape.size - from);
        std::copy_n(s.begin() + shape.offset + from, n, page.begin());
        outPages_.push_back(page);
    }
    return Outcome::Accepted;
}

void VirtualKeyboard::setReply(std::uint8_t command,
                               std::initializer_list<std::uint8_t> bytesFrom2) {
    FrameBytes r{};
    r[fw::kCommandByte] = command;
    std::copy(bytesFrom2.begin(), bytesFrom2.end(), r.begin() + fw::kArg2);
    r[fw::kChecksumByte] = frameChecksum(r);
    reply_ = r;
}

void VirtualKeyboard::echoReply(const FrameBytes& f) {
    reply_ = f;
}

Result<FrameBytes> VirtualKeyboard::fetchReply(std::uint64_t connection) {
    std::lock_guard lock(mutex_);
    if (!alive(connection)) return notConnected();
    FrameBytes r = reply_;
    if (faults_.garbleReplies) {
        // Payload altered, checksum left as it was: a careful host can tell.
        for (std::size_t i = fw::kCommandByte; i < fw::kChecksumByte; ++i) r[i] ^= kGarbleMask;
    }
    record(TrafficKind::Reply, Outcome::Accepted, r);
    return r;
}

Status VirtualKeyboard::receivePage(std::uint64_t connection, const Page& page) {
    Notice notice;
    {
        std::lock_guard lock(mutex_);
        if (!alive(connection)) return notConnected();
        if (!pendingWrite_) {
            record(TrafficKind::PageIn, Outcome::Unexpected, page);
            return {};
        }
        record(TrafficKind::PageIn, Outcome::Accepted, page);
        PendingWrite& w = *pendingWrite_;
        const std::size_t from = w.received * kPageSize;
        if (from < w.data.size()) {
            std::copy_n(page.begin(), std::min(kPageSize, w.data.size() - from),
                        w.data.begin() + from);
        }
        if (++w.received == w.pages) {
            fw::SettingsMemory& s = state_.settings;
            if (!std::equal(w.data.begin(), w.data.end(), s.begin() + w.offset)) {
                std::copy(w.data.begin(), w.data.end(), s.begin() + w.offset);
                markChanged();
            }
            pendingWrite_.reset();
            acknowledge();
        }
        flushAcknowledgement();
        notice.stateChanged = std::exchange(changed_, false);
    }
    publish(notice);
    return {};
}

Result<Page> VirtualKeyboard::sendPage(std::uint64_t connection,
                                       std::chrono::milliseconds timeout) {
    {
        std::lock_guard lock(mutex_);
        if (!alive(connection)) return notConnected();
        if (!outPages_.empty()) {
            Page page = outPages_.front();
            outPages_.pop_front();
            if (faults_.garblePages) {
                for (auto& b : page) b ^= kGarbleMask;
            }
            record(TrafficKind::PageOut, Outcome::Accepted, page);
            return page;
        }
    }
    // Nothing was asked for: the read takes its whole timeout, as on the real device.
    clock_.sleep(timeout);
    std::lock_guard lock(mutex_);
    if (!alive(connection)) return notConnected();
    record(TrafficKind::PageOut, Outcome::TimedOut, {});
    return noPageInTime();
}

Result<std::optional<EventReport>> VirtualKeyboard::nextEvent(std::uint64_t connection,
                                                              std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!alive(connection)) return notConnected();
        if (!events_.empty() && events_.front().due <= clock_.now()) {
            const EventReport report = events_.front().report;
            events_.pop_front();
            return std::optional<EventReport>(report);
        }
        const auto realNow = std::chrono::steady_clock::now();
        if (realNow >= deadline) return std::optional<EventReport>();
        // A due time on a fake clock cannot be waited for in real time; look again shortly.
        const auto wakeAt =
            events_.empty() ? deadline : std::min(deadline, realNow + kEventPollSlice);
        eventReady_.wait_until(lock, wakeAt);
    }
}

Status VirtualKeyboard::attachCommandOpener(std::uint64_t connection) {
    std::lock_guard lock(mutex_);
    if (commandOpener_ == connection && alive(connection)) {
        return makeError(TR_TEXT("Device", "The keyboard's command interface is already open in another program."));
    }
    commandOpener_ = connection;
    return {};
}

void VirtualKeyboard::detachCommandOpener(std::uint64_t connection) {
    std::lock_guard lock(mutex_);
    if (commandOpener_ == connection) commandOpener_.reset();
}

void VirtualKeyboard::attachEventReader(std::uint64_t connection) {
    std::lock_guard lock(mutex_);
    if (alive(connection)) ++eventReaders_;
}

void VirtualKeyboard::detachEventReader(std::uint64_t connection) {
    std::lock_guard lock(mutex_);
    if (alive(connection) && eventReaders_ > 0) {
        if (--eventReaders_ == 0) events_.clear();
    }
}

bool VirtualKeyboard::hasEventReader() const {
    std::lock_guard lock(mutex_);
    return plugged_ && eventReaders_ > 0;
}

// The acknowledgement goes out after the frame or page that caused it has been recorded, so the
// log reads in the order things happened on the wire.
void VirtualKeyboard::acknowledge() {
    ackOwed_ = true;
}

void VirtualKeyboard::flushAcknowledgement() {
    if (!std::exchange(ackOwed_, false)) return;
    const EventReport ack{kAckKind, 0, 0};
    if (faults_.dropAllAcks || faults_.dropNextAcks > 0) {
        if (!faults_.dropAllAcks) --faults_.dropNextAcks;
        const std::uint8_t bytes[] = {kEventReportId, ack.kind, ack.value, ack.spare};
        record(TrafficKind::Event, Outcome::Dropped, bytes);
        return;
    }
    queueEvent(ack, clock_.now() + faults_.ackDelay);
}

bool VirtualKeyboard::queueEvent(const EventReport& report, Clock::TimePoint due) {
    const std::uint8_t bytes[] = {kEventReportId, report.kind, report.value, report.spare};
    if (!plugged_ || eventReaders_ == 0) {
        record(TrafficKind::Event, Outcome::Dropped, bytes);
        return false;
    }
    if (events_.size() >= kEventQueueLimit) events_.pop_front();
    events_.push_back(QueuedEvent{due, report});
    record(TrafficKind::Event, Outcome::Accepted, bytes);
    eventReady_.notify_all();
    return true;
}

// ---- The physical keyboard ----

void VirtualKeyboard::press(std::uint8_t code) {
    sendEvent(EventReport{kKeyEventKind, code, 0});
}

void VirtualKeyboard::sendEvent(const EventReport& report) {
    std::lock_guard lock(mutex_);
    queueEvent(report, clock_.now());
}

VirtualKeyboard::KeyPress VirtualKeyboard::pressKeyAt(std::size_t column, std::size_t row) {
    constexpr std::uint8_t kHostActionCell = 0x0A;
    if (column >= fw::mem::kCellColumns || row >= fw::mem::kCellRows) {
        return KeyPress::NoHostAction;
    }
    std::lock_guard lock(mutex_);
    const fw::SettingsMemory& s = state_.settings;
    const std::size_t grid = row * fw::mem::kGridColumns + column;
    const bool enabled = (s[fw::mem::kKeyEnable + grid / 8] >> (grid % 8)) & 1;
    const std::size_t cell = fw::mem::cell(column, row);
    if (!enabled || s[cell] != kHostActionCell) return KeyPress::NoHostAction;
    return queueEvent(EventReport{kKeyEventKind, s[cell + 2], 0}, clock_.now())
               ? KeyPress::Reported
               : KeyPress::Unheard;
}

void VirtualKeyboard::unplug() {
    {
        std::lock_guard lock(mutex_);
        if (!plugged_) return;
        plugged_ = false;
        // Whatever was in flight dies with the connection; the settings survive.
        gameModeOnPending_ = false;
        dimmed_ = false;
        pendingWrite_.reset();
        outPages_.clear();
        events_.clear();
        eventReaders_ = 0;
        reply_ = {};
    }
    eventReady_.notify_all();
    publish(Notice{PlugChange::Removed, false});
}

void VirtualKeyboard::plug() {
    {
        std::lock_guard lock(mutex_);
        if (plugged_) return;
        plugged_ = true;
        ++connection_;
    }
    publish(Notice{PlugChange::Arrived, false});
}

bool VirtualKeyboard::isPlugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

std::size_t VirtualKeyboard::subscribe(PlugCallback callback) {
    std::lock_guard lock(mutex_);
    const std::size_t id = nextSubscriber_++;
    subscribers_.emplace(id, std::move(callback));
    return id;
}

void VirtualKeyboard::unsubscribe(std::size_t id) {
    std::lock_guard lock(mutex_);
    subscribers_.erase(id);
}

void VirtualKeyboard::markChanged() {
    changed_ = true;
}

void VirtualKeyboard::publish(Notice notice) {
    std::vector<PlugCallback> callbacks;
    StateObserver observer;
    KeyboardState snapshot;
    std::uint64_t revision = 0;
    {
        std::lock_guard lock(mutex_);
        if (notice.plug) {
            for (const auto& [id, cb] : subscribers_) callbacks.push_back(cb);
        }
        if (notice.stateChanged && observer_) {
            observer = observer_;
            snapshot = state_;
            revision = ++revision_;
        }
    }
    if (observer) observer(snapshot, revision);
    for (const auto& cb : callbacks) cb(*notice.plug);
}

// ---- Inspection ----

fw::SettingsMemory VirtualKeyboard::settings() const {
    std::lock_guard lock(mutex_);
    return state_.settings;
}

void VirtualKeyboard::setSettings(const fw::SettingsMemory& settings) {
    {
        std::lock_guard lock(mutex_);
        state_.settings = settings;
    }
    publish(Notice{std::nullopt, true});
}

KeyboardState VirtualKeyboard::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void VirtualKeyboard::restore(const KeyboardState& state) {
    {
        std::lock_guard lock(mutex_);
        state_ = state;
    }
    publish(Notice{std::nullopt, true});
}

void VirtualKeyboard::setFirmwareVersion(std::uint8_t major, std::uint8_t minor) {
    {
        std::lock_guard lock(mutex_);
        state_.firmwareMajor = major;
        state_.firmwareMinor = minor;
    }
    publish(Notice{std::nullopt, true});
}

bool VirtualKeyboard::lightsDimmed() const {
    std::lock_guard lock(mutex_);
    return dimmed_;
}

std::size_t VirtualKeyboard::queuedPages() const {
    std::lock_guard lock(mutex_);
    return outPages_.size();
}

void VirtualKeyboard::setObserver(StateObserver observer) {
    std::lock_guard lock(mutex_);
    observer_ = std::move(observer);
}

FaultSwitches VirtualKeyboard::faults() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

void VirtualKeyboard::setFaults(const FaultSwitches& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

std::vector<Traffic> VirtualKeyboard::traffic() const {
    std::lock_guard lock(mutex_);
    return {traffic_.begin(), traffic_.end()};
}

std::vector<Traffic> VirtualKeyboard::traffic(TrafficKind kind) const {
    std::lock_guard lock(mutex_);
    std::vector<Traffic> out;
    std::copy_if(traffic_.begin(), traffic_.end(), std::back_inserter(out),
                 [kind](const Traffic& t) { return t.kind == kind; });
    return out;
}

void VirtualKeyboard::clearTraffic() {
    std::lock_guard lock(mutex_);
    traffic_.clear();
}

void VirtualKeyboard::setTrafficLimit(std::size_t limit) {
    std::lock_guard lock(mutex_);
    trafficLimit_ = limit;
    if (traffic_.size() > limit) {
        traffic_.erase(traffic_.begin(),
                       traffic_.begin() + static_cast<std::ptrdiff_t>(traffic_.size() - limit));
    }
    traffic_.shrink_to_fit();
}

}  // namespace tessaron::device
