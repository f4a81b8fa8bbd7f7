#pragma once
// A model of the keyboard's firmware. It keeps its settings in a memory laid out by its own
// constants (firmware_memory.h), never by the host's device image header; it answers every query,
// takes every write and page sequence, acknowledges write steps on its event channel, and records
// every report that crosses the wire with its time. The host reaches it only through
// VirtualTransport's channels, exactly as it reaches the real keyboard.
//
// Acknowledged (one event report of kind 4 each, once the step has taken effect):
//   0x01, 0x04, 0x08 (both forms), 0x09, 0x13, 0x14, and each block write (0x0D, 0x0E, 0x11,
//   0x12) after its last page. Queries are never acknowledged, and neither is a frame that is
//   rejected (bad checksum, unknown code, index out of range, wrong page count).
//
// Values out of range (report rate 0..3, response time 1..10, lighting: known effect, wire speed
// 1..10, brightness 0..50, option 1..8, direction 1..4, game mode 0..1) leave the old value in
// place; the step is still acknowledged, since the firmware did process it.
//
// The opening frame of every full read is the same frame as "set game mode on" (0x09 with 1). The
// firmware tells them apart by what follows: a query, a factory reset or another opening frame
// means it was the opening of a read and game mode stays as it was; anything else switches game
// mode on. A read therefore never turns game mode on behind the user's back.
//
// A new frame drops unread pages of an earlier query and abandons an unfinished block write.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "core/clock.h"
#include "core/result.h"
#include "device/hotplug.h"
#include "device/reports.h"
#include "device/virtual/factory_settings.h"
#include "device/virtual/firmware_memory.h"

namespace tessaron::device {

enum class TrafficKind {
    Frame,    // a feature frame the host sent
    Reply,    // a reply frame the host fetched
    PageIn,   // a page the host wrote
    PageOut,  // a page the host read
    Event,    // an event report the keyboard emitted
};

enum class Outcome {
    Accepted,
    Ignored,      // frame taken and acknowledged, but some value was out of range and kept
    BadChecksum,  // frame not acted on
    Rejected,     // unknown code, bad report ID, index or page count out of range; not acted on
    Unexpected,   // a page written with no block write waiting for it
    TimedOut,     // a page read with nothing queued
    Dropped,      // an event that never reached the host (fault switch, or nobody listening)
};

struct Traffic {
    Clock::TimePoint at;
    TrafficKind kind = TrafficKind::Frame;
    Outcome outcome = Outcome::Accepted;
    // Frame and reply: 9 bytes; page: 64 bytes; event: 4 bytes (report ID first).
    std::vector<std::uint8_t> bytes;

    std::uint8_t command() const {
        return (kind == TrafficKind::Frame || kind == TrafficKind::Reply) && bytes.size() > 1
                   ? bytes[1]
                   : 0;
    }
};

struct FaultSwitches {
    int dropNextAcks = 0;        // swallow this many acknowledgements, then behave again
    bool dropAllAcks = false;    // swallow every acknowledgement
    Clock::Ms ackDelay{0};       // each acknowledgement appears this long after its step
    bool garbleReplies = false;  // reply frames come back with altered payload and checksum
    bool garblePages = false;    // pages the host reads come back altered

    friend bool operator==(const FaultSwitches&, const FaultSwitches&) = default;
};

// Everything the keyboard keeps across power cycles.
struct KeyboardState {
    fw::SettingsMemory settings{};
    std::uint8_t firmwareMajor = factory::kFirmwareMajor;
    std::uint8_t firmwareMinor = factory::kFirmwareMinor;

    friend bool operator==(const KeyboardState&, const KeyboardState&) = default;
};

class VirtualKeyboard {
public:
    // Kind byte of the key events press() emits; anything but kAckKind would do.
    static constexpr std::uint8_t kKeyEventKind = 1;
    // Reports the firmware holds for a host that is slow to read; older ones are lost.
    static constexpr std::size_t kEventQueueLimit = 64;
    // Oldest records are discarded beyond this many unless setTrafficLimit says otherwise.
    static constexpr std::size_t kTrafficLimit = 200'000;

    using PlugCallback = std::function<void(PlugChange)>;
    // Runs after every change of the persistent state, outside the keyboard's lock. The revision
    // grows with every change, so an observer can ignore a snapshot older than one it has seen.
    using StateObserver = std::function<void(const KeyboardState&, std::uint64_t revision)>;

    explicit VirtualKeyboard(Clock& clock = SystemClock::instance());
    VirtualKeyboard(const VirtualKeyboard&) = delete;
    VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;
    ~VirtualKeyboard();

    Clock& clock() const { return clock_; }

    // ---- The wire, as the virtual channels drive it. ----
    // Each plug-in starts a new connection; channels opened on an earlier one stay dead.
    std::optional<std::uint64_t> connection() const;
    Status receiveFeature(std::uint64_t connection, const FrameBytes& frame);
    Result<FrameBytes> fetchReply(std::uint64_t connection);
    Status receivePage(std::uint64_t connection, const Page& page);
    // Waits on the keyboard's clock for the timeout when nothing is queued, then fails.
    Result<Page> sendPage(std::uint64_t connection, std::chrono::milliseconds timeout);
    // Waits up to the timeout (real time) for an event that is due on the keyboard's clock.
    Result<std::optional<EventReport>> nextEvent(std::uint64_t connection,
                                                 std::chrono::milliseconds timeout);
    // One host at a time on the command interface: the firmware answers one command stream and
    // its acknowledgements name no sender, so a second opener is refused while the first holds
    // it; frames of two writers can then never interleave unseen.
    Status attachCommandOpener(std::uint64_t connection);
    void detachCommandOpener(std::uint64_t connection);
    // Events are kept only while someone reads the event channel, as with a real HID device.
    void attachEventReader(std::uint64_t connection);
    void detachEventReader(std::uint64_t connection);
    // Someone reads the event channel of the current connection.
    bool hasEventReader() const;

    // ---- The physical keyboard. ----
    // Emits a key event: an event report of kind kKeyEventKind with the code in byte 2.
    void press(std::uint8_t code);
    // Emits any event report (for odd reports a host must cope with).
    void sendEvent(const EventReport& report);
    // Presses the key at matrix (column, row) as the firmware would: only an enabled key whose
    // cell is a host-action cell reports to the host, with the cell's byte 2, and only a host
    // reading the event channel gets the report.
    enum class KeyPress { Reported, NoHostAction, Unheard };
    KeyPress pressKeyAt(std::size_t column, std::size_t row);
    void unplug();
    void plug();
    bool isPlugged() const;
    std::size_t subscribe(PlugCallback callback);
    void unsubscribe(std::size_t id);

    // ---- Inspection and set-up for tests and the demo. ----
    fw::SettingsMemory settings() const;
    void setSettings(const fw::SettingsMemory& settings);
    KeyboardState state() const;
    void restore(const KeyboardState& state);
    void setFirmwareVersion(std::uint8_t major, std::uint8_t minor);
    // True after a dark lighting frame (form 1) until the full one (form 2).
    bool lightsDimmed() const;
    // Pages queued for the host to read.
    std::size_t queuedPages() const;
    void setObserver(StateObserver observer);

    FaultSwitches faults() const;
    void setFaults(const FaultSwitches& faults);

    std::vector<Traffic> traffic() const;
    std::vector<Traffic> traffic(TrafficKind kind) const;
    void clearTraffic();
    // Keeps at most this many records from now on; 0 records nothing. A keyboard nobody
    // inspects (the demo's) records nothing: a full record of 200,000 costs some 20 MB, which a
    // long-running program would otherwise gain with every read of the keyboard.
    void setTrafficLimit(std::size_t limit);

private:
    struct PendingWrite {
        std::size_t offset = 0;
        std::size_t pages = 0;
        std::size_t received = 0;
        std::vector<std::uint8_t> data;
    };
    struct QueuedEvent {
        Clock::TimePoint due;
        EventReport report;
    };
    struct Notice {
        std::optional<PlugChange> plug;
        bool stateChanged = false;
    };

    bool alive(std::uint64_t connection) const;
    void record(TrafficKind kind, Outcome outcome, std::span<const std::uint8_t> bytes);
    void record(TrafficKind kind, Outcome outcome, std::span<const std::uint8_t> bytes,
                Clock::TimePoint at);
    Outcome handleFrame(const FrameBytes& f);
    Outcome handleLighting(const FrameBytes& f);
    Outcome startBlockWrite(const FrameBytes& f);
    Outcome queueBlockRead(const FrameBytes& f);
    void setReply(std::uint8_t command, std::initializer_list<std::uint8_t> bytesFrom2);
    void echoReply(const FrameBytes& f);
    void acknowledge();
    void flushAcknowledgement();
    // False when nobody reads the event channel and the report is lost.
    bool queueEvent(const EventReport& report, Clock::TimePoint due);
    void markChanged();
    void publish(Notice notice);

    Clock& clock_;
    mutable std::mutex mutex_;
    std::condition_variable eventReady_;

    KeyboardState state_;
    bool dimmed_ = false;
    bool gameModeOnPending_ = false;
    bool ackOwed_ = false;
    std::optional<PendingWrite> pendingWrite_;
    std::deque<Page> outPages_;
    FrameBytes reply_{};
    std::deque<QueuedEvent> events_;

    bool plugged_ = true;
    std::uint64_t connection_ = 1;
    int eventReaders_ = 0;
    std::optional<std::uint64_t> commandOpener_;  // the connection whose command channel is open

    FaultSwitches faults_;
    std::deque<Traffic> traffic_;
    std::size_t trafficLimit_ = kTrafficLimit;

    std::uint64_t revision_ = 0;
    bool changed_ = false;  // set by handlers while the lock is held
    StateObserver observer_;
    std::map<std::size_t, PlugCallback> subscribers_;
    std::size_t nextSubscriber_ = 1;
};

}  // namespace tessaron::device
