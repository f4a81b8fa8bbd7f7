// The device link against a virtual keyboard that misbehaves: pulled out at every transfer of a
// Save, of Read all and of the factory reset, acknowledgements lost at every step or late, replies
// and pages garbled, a second keyboard appearing. Whatever happens, a failure is reported with a
// message, a failed Save never advances the committed image, the caller gets its answer within
// the acknowledgement bound, and a later Save still brings the keyboard to the image.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>

#include "core/clock.h"
#include "device/ack.h"
#include "device/commands.h"
#include "device/device_link.h"
#include "device/listener.h"
#include "device/read_all.h"
#include "device/virtual/demo_faults.h"
#include "device/virtual/virtual_keyboard.h"
#include "device/virtual/virtual_transport.h"
#include "device/write_changes.h"
#include "support/fake_clock.h"

namespace tessaron::device {
namespace {

using std::chrono::milliseconds;

// The longest a failing operation may keep its caller: one acknowledgement bound and one page
// timeout, plus the protocol's own waits.
constexpr milliseconds kAnswerBound = kAckTimeout + kPageReadTimeout;

// One keyboard on fake time, reached through the demo fault wrapper; the listener is pumped inline
// by the acknowledgement waiter.
struct Rig {
    explicit Rig(std::shared_ptr<VirtualKeyboard> keyboard, DemoFaults faults = {})
        : kb(std::move(keyboard)) {
        transport = applyDemoFaults(faults, kb, std::make_unique<VirtualTransport>(kb));
        cmd = std::move(transport->openCommand().value());
        events = std::move(transport->openEvent().value());
    }

    void pump() {
        for (;;) {
            const auto r = listener.pollOnce(*events, milliseconds(0));
            if (r != PollResult::Ack && r != PollResult::KeyEvent) return;
        }
    }
    Result<WriteOutcome> save(DeviceImage& img, DeviceImage& committed,
                              const StepObserver& observer = {}) {
        CommandPort port(*cmd, kb->clock());
        PollingAckWaiter waiter(acks, kb->clock(), [this] { pump(); });
        return writeChanges(port, img, committed, waiter, observer);
    }
    CommandPort port() { return CommandPort(*cmd, kb->clock()); }

    std::shared_ptr<VirtualKeyboard> kb;
    std::unique_ptr<Transport> transport;
    std::unique_ptr<CommandChannel> cmd;
    std::unique_ptr<EventChannel> events;
    AckSignal acks;
    Listener listener{acks, kb->clock()};
};

DemoFaults switched(const FaultSwitches& switches) {
    DemoFaults f;
    f.switches = switches;
    return f;
}

DemoFaults unplugAfter(std::size_t transfers) {
    DemoFaults f;
    f.unplugAfter = transfers;
    return f;
}

std::size_t transfersIn(const VirtualKeyboard& kb) {
    std::size_t n = 0;
    for (const auto& t : kb.traffic()) n += t.kind != TrafficKind::Event;
    return n;
}

void expectBilingual(const Error& e) {
    EXPECT_FALSE(e.english.empty());
    EXPECT_NE(e.text(Language::Chinese), e.english);
}

class DeviceFaults : public ::testing::Test {
protected:
    void SetUp() override {
        kb_ = std::make_shared<VirtualKeyboard>(clock_);
        Rig rig(kb_);
        auto port = rig.port();
        ASSERT_TRUE(readAll(port, committed_));
        start_ = kb_->state();
        img_ = withEveryKindOfChange(committed_);
    }

    // A change for every step of a Save.
    static DeviceImage withEveryKindOfChange(DeviceImage img) {
        img[image::lightingTableEntry(2)] ^= 0x40;
        img[image::kGameMode] = img[image::kGameMode] ? 0 : 1;
        img[image::kReportRate] = img[image::kReportRate] == 3 ? 2 : 3;
        img[image::kResponseTime] = img[image::kResponseTime] == 4 ? 5 : 4;
        img[image::keyCell(0, 2) + 2] = 0x04;   // Caps Lock types A
        img[image::kEnableBitmap + 3] ^= 0x01;  // one key enabled or disabled
        img[image::macroSlot(3) + 1] = 1;       // one loop
        img[image::macroSlot(3) + 2] = 0x01;    // a press of A
        img[image::macroSlot(3) + 3] = 0x04;
        img[image::lightMap(1) + 40] ^= 0x33;
        img[image::kBrightness] = img[image::kBrightness] == 20 ? 30 : 20;
        return img;
    }

    // A fresh connection to the keyboard as it was before the test's first Save.
    void restart() {
        if (!kb_->isPlugged()) kb_->plug();
        kb_->setFaults({});
        kb_->restore(start_);
        kb_->clearTraffic();
    }

    FakeClock clock_;
    std::shared_ptr<VirtualKeyboard> kb_;
    KeyboardState start_;
    DeviceImage committed_{};
    DeviceImage img_{};
};

TEST_F(DeviceFaults, SaveUnpluggedAtEveryTransferIsAFailureAndLosesNothing) {
    // The clean Save: how many transfers it takes, and what the keyboard holds after it.
    std::size_t total = 0;
    KeyboardState saved;
    {
        DeviceImage img = img_, committed = committed_;
        Rig rig(kb_);
        kb_->clearTraffic();
        auto out = rig.save(img, committed);
        ASSERT_TRUE(out) << out.error().english;
        ASSERT_EQ(out->steps.size(), 10u);  // every kind of step
        total = transfersIn(*kb_);
        saved = kb_->state();
        ASSERT_NE(saved, start_);
    }
    for (std::size_t k = 0; k < total; ++k) {
        SCOPED_TRACE("unplugged after transfer " + std::to_string(k));
        restart();
        DeviceImage img = img_, committed = committed_;
        const DeviceImage committedBefore = committed;
        const auto began = clock_.now();
        {
            Rig rig(kb_, unplugAfter(k));
            auto out = rig.save(img, committed);
            ASSERT_FALSE(out);
            expectBilingual(out.error());
        }
        EXPECT_EQ(committed, committedBefore);
        EXPECT_LE(clock_.now() - began, kAnswerBound);

        // Plugged back in, the next Save sends what differs from the same committed image.
        kb_->plug();
        Rig again(kb_);
        ASSERT_TRUE(again.save(img, committed));
        EXPECT_EQ(committed, img);
        EXPECT_EQ(kb_->state(), saved);
    }
}

TEST_F(DeviceFaults, ReadsUnpluggedAtEveryTransferChangeNothingTheyDidNotRead) {
    auto transfersOf = [&](auto read) {
        Rig rig(kb_);
        kb_->clearTraffic();
        auto port = rig.port();
        EXPECT_TRUE(read(port));
        return transfersIn(*kb_);
    };
    const std::size_t startupTotal =
        transfersOf([](CommandPort& p) { return startupRead(p, DeviceImage{}).ok(); });
    const std::size_t readAllTotal = transfersOf([](CommandPort& p) {
        DeviceImage img{};
        return readAll(p, img).ok();
    });
    const DeviceImage keyboard = committed_;
    DeviceImage before;
    before.fill(0xEE);
    for (std::size_t k = 0; k < startupTotal; ++k) {
        SCOPED_TRACE("start-up read unplugged after transfer " + std::to_string(k));
        restart();
        Rig rig(kb_, unplugAfter(k));
        auto port = rig.port();
        const auto read = startupRead(port, before);
        ASSERT_FALSE(read);
        expectBilingual(read.error());
    }
    for (std::size_t k = 0; k < readAllTotal; ++k) {
        SCOPED_TRACE("read all unplugged after transfer " + std::to_string(k));
        restart();
        Rig rig(kb_, unplugAfter(k));
        auto port = rig.port();
        DeviceImage img = before;
        const auto began = clock_.now();
        ASSERT_FALSE(readAll(port, img));
        EXPECT_LE(clock_.now() - began, kAnswerBound);
        // Every byte is either what it was or what the keyboard holds: nothing half-read.
        for (std::size_t i = 0; i < img.size(); ++i) {
            ASSERT_TRUE(img[i] == before[i] || img[i] == keyboard[i]) << "byte " << i;
        }
    }
}

TEST_F(DeviceFaults, FactoryResetUnpluggedAtEveryTransferIsReported) {
    std::size_t total = 0;
    {
        Rig rig(kb_);
        kb_->clearTraffic();
        auto port = rig.port();
        ASSERT_TRUE(factoryReset(port));
        total = transfersIn(*kb_);
        ASSERT_EQ(total, 3u);
    }
    for (std::size_t k = 0; k < total; ++k) {
        restart();
        Rig rig(kb_, unplugAfter(k));
        auto port = rig.port();
        const auto reset = factoryReset(port);
        EXPECT_FALSE(reset) << "unplugged after transfer " << k;
        if (!reset) expectBilingual(reset.error());
    }
}

TEST_F(DeviceFaults, AcknowledgementLostAtAnyStepFailsThatStepAndLightsComeBack) {
    DeviceImage img = img_, committed = committed_;
    std::vector<WriteStep> steps;
    {
        Rig rig(kb_);
        auto out = rig.save(img, committed);
        ASSERT_TRUE(out);
        steps = out->steps;
    }
    // Every step but the last (full lighting, which is not acknowledged) waits for its ack.
    for (std::size_t j = 0; j + 1 < steps.size(); ++j) {
        SCOPED_TRACE("ack lost at " + steps[j].name());
        restart();
        img = img_;
        committed = committed_;
        Rig rig(kb_);
        std::size_t seen = 0;
        const auto began = clock_.now();
        auto out = rig.save(img, committed, [&](const WriteStep&) {
            if (seen++ == j) kb_->setFaults({.dropAllAcks = true});
        });
        ASSERT_FALSE(out);
        EXPECT_NE(out.error().english.find(steps[j].name()), std::string::npos)
            << out.error().english;
        EXPECT_EQ(committed, committed_);
        EXPECT_FALSE(kb_->lightsDimmed());
        EXPECT_LE(clock_.now() - began, kAnswerBound);
    }
}

TEST_F(DeviceFaults, LateAcknowledgementsAreWaitedForUpToTheBound) {
    for (const auto delay : {milliseconds(50), kAckTimeout - milliseconds(100)}) {
        restart();
        DeviceImage img = img_, committed = committed_;
        Rig rig(kb_, switched({.ackDelay = delay}));
        EXPECT_TRUE(rig.save(img, committed)) << delay.count() << " ms";
        EXPECT_EQ(committed, img);
    }
    restart();
    DeviceImage img = img_, committed = committed_;
    Rig rig(kb_, switched({.ackDelay = kAckTimeout + milliseconds(100)}));
    const auto began = clock_.now();
    EXPECT_FALSE(rig.save(img, committed));
    EXPECT_EQ(committed, committed_);
    EXPECT_LE(clock_.now() - began, kAnswerBound);
}

// Nothing in a reply or a page tells a garbled one apart, but a Save compares against what was
// read, so everything that differs is sent and the keyboard still ends up holding the image.
TEST_F(DeviceFaults, ASaveAfterAGarbledReadStillLeavesTheKeyboardHoldingTheImage) {
    Rig rig(kb_, switched({.garbleReplies = true, .garblePages = true}));
    auto port = rig.port();
    auto read = startupRead(port, DeviceImage{});
    ASSERT_TRUE(read);
    EXPECT_NE(read->image, committed_);
    kb_->setFaults({});
    DeviceImage committed = read->image;
    DeviceImage img = img_;
    ASSERT_TRUE(rig.save(img, committed));
    rig.cmd.reset();  // one opener at a time

    Rig check(kb_);
    auto checkPort = check.port();
    DeviceImage onKeyboard{};
    ASSERT_TRUE(readAll(checkPort, onKeyboard));
    EXPECT_EQ(onKeyboard, img);
}

TEST_F(DeviceFaults, ASecondKeyboardAppearingIsLeftAlone) {
    auto second = std::make_shared<VirtualKeyboard>(clock_);
    KeyboardState other = second->state();
    other.settings[image::kReportRate] = 0;
    second->restore(other);

    auto transport = std::make_unique<VirtualTransport>(kb_);
    auto* plain = transport.get();
    Rig rig(kb_);
    rig.transport = std::move(transport);
    plain->addKeyboard(second);
    EXPECT_EQ(plain->enumerate().size(), 4u);

    DeviceImage img = img_, committed = committed_;
    ASSERT_TRUE(rig.save(img, committed));
    EXPECT_EQ(second->state(), other);
    EXPECT_EQ(kb_->settings()[image::kReportRate], img[image::kReportRate]);
    // Channels opened afresh still go to the first keyboard in enumeration order.
    rig.cmd.reset();
    auto cmd = plain->openCommand();
    ASSERT_TRUE(cmd);
    CommandPort port(**cmd, clock_);
    DeviceImage read{};
    ASSERT_TRUE(readAll(port, read));
    EXPECT_EQ(read[image::kReportRate], img[image::kReportRate]);
}

// On the real clock with the listener on its own thread: a keyboard that never acknowledges
// keeps the caller no longer than the bound.
TEST(DeviceFaultsRealTime, SilentKeyboardAnswersWithinTheBound) {
    auto kb = std::make_shared<VirtualKeyboard>(SystemClock::instance());
    VirtualTransport transport(kb);
    DeviceLink link(transport, SystemClock::instance());
    ASSERT_TRUE(link.openCommand());
    ASSERT_TRUE(link.openEvent());
    DeviceImage committed{};
    {
        auto lease = link.acquire();
        ASSERT_TRUE(lease);
        ASSERT_TRUE(readAll(lease->port(), committed));
    }
    DeviceImage img = committed;
    img[image::keyCell(0, 2) + 2] = 0x04;
    kb->setFaults({.dropAllAcks = true});
    const auto began = std::chrono::steady_clock::now();
    auto out = link.save(img, committed);
    const auto took = std::chrono::steady_clock::now() - began;
    ASSERT_FALSE(out);
    EXPECT_NE(out.error().english.find("acknowledge"), std::string::npos) << out.error().english;
    EXPECT_LE(took, kAckTimeout + milliseconds(500));
    EXPECT_FALSE(kb->lightsDimmed());
}

}  // namespace
}  // namespace tessaron::device
