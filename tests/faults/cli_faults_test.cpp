// tessaronctl on a demo keyboard that misbehaves (TESSARON_DEMO_FAULTS) and on a disk that fills
// up: every failure ends the program within the acknowledgement bound with a message and a
// failing status, and no file is left half written or changed by a command that failed.

#include <filesystem>
#include <string>

#include "cli_fixture.h"
#include "device/ack.h"

namespace tessaron::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// A full read of the demo keyboard takes about 0.4 s; the rest is the acknowledgement bound and
// room for a loaded machine.
constexpr milliseconds kAnswerBound = device::kAckTimeout + milliseconds(3000);

ProcessOptions faults(const std::string& list) {
    ProcessOptions o;
    o.environment.push_back("TESSARON_DEMO_FAULTS=" + list);
    return o;
}

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

std::size_t transfersTraced(const std::string& trace) {
    std::size_t n = 0;
    for (const char* what : {"> frame:", "< reply:", "> page:", "< page:"}) {
        for (auto at = trace.find(what); at != std::string::npos; at = trace.find(what, at + 1))
            ++n;
    }
    return n;
}

class CliFaults : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        ok({"pull"});
        ok({"assign", "Caps Lock", "single", "A"});
    }
    // The keyboard holds exactly what keymap.bin says.
    void expectKeyboardHoldsKeymap() const { EXPECT_EQ(keyboardSettings(), keymapImage()); }
};

TEST_F(CliFaults, ApplyToASilentKeyboardFailsWithinTheBoundAndChangesNoFile) {
    const auto r = expectRefused({"apply"}, "did not acknowledge", faults("drop-acks"));
    EXPECT_LE(r.elapsed, kAnswerBound);
    EXPECT_FALSE(contains(r.out, "already holds"));
    ok({"apply"});
    expectKeyboardHoldsKeymap();
}

TEST_F(CliFaults, ApplyUnpluggedAnywhereFailsAndTheNextApplyCompletes) {
    // How many transfers a read and a whole apply take, from the trace of a copy.
    ProcessOptions trace;
    trace.environment.push_back("TESSARON_TRACE=1");
    const std::size_t read = transfersTraced(ok({"show"}, trace).err);
    const fs::path copy = root() / "copy";
    fs::copy(data(), copy, fs::copy_options::recursive);
    const auto traced = ctlBare({"--data-dir", copy.string(), "--demo", "apply"}, trace);
    ASSERT_EQ(traced.exitCode, 0) << traced.err;
    const std::size_t total = transfersTraced(traced.err);
    ASSERT_GT(total, read + 10);

    for (std::size_t k : {std::size_t{0}, std::size_t{1}, read / 2, read - 1, read, read + 1,
                          (read + total) / 2, total - 2, total - 1}) {
        SCOPED_TRACE("unplugged after transfer " + std::to_string(k) + " of " +
                     std::to_string(total));
        const Snapshot before = snapshotOf(data());
        const auto r = ctl({"apply"}, faults("unplug-after=" + std::to_string(k)));
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(contains(r.err, "tessaronctl: ")) << r.err;
        EXPECT_LE(r.elapsed, kAnswerBound);
        // keymap.bin is never touched by apply; the keyboard may hold part of the change.
        EXPECT_EQ(snapshotOf(data())["keymap.bin"], before.at("keymap.bin"));
    }
    ok({"apply"});
    expectKeyboardHoldsKeymap();
}

TEST_F(CliFaults, PullAndResetUnpluggedHalfwayKeepKeymapIntact) {
    expectRefused({"pull"}, "", faults("unplug-after=100"));
    const auto keymapBefore = snapshotOf(data()).at("keymap.bin");
    // The reset itself may have reached the keyboard, but keymap.bin is rewritten only after a
    // complete read.
    const auto r = ctl({"reset", "--yes"}, faults("unplug-after=10"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "tessaronctl: ")) << r.err;
    EXPECT_FALSE(contains(r.out, "factory settings"));
    EXPECT_EQ(snapshotOf(data()).at("keymap.bin"), keymapBefore);
}

TEST_F(CliFaults, LateAcknowledgementsAreWaitedForUpToTheBound) {
    const auto late = ok({"apply"}, faults("ack-delay=300"));
    EXPECT_TRUE(contains(late.out, "sending: key assignments"));
    expectKeyboardHoldsKeymap();

    ok({"assign", "Caps Lock", "single", "B"});
    const auto r = expectRefused({"apply"}, "did not acknowledge", faults("ack-delay=2500"));
    EXPECT_LE(r.elapsed, kAnswerBound);
}

// Nothing marks a garbled reply or page, but apply compares against what it read, so everything
// that differs is sent and the keyboard still ends up holding keymap.bin.
TEST_F(CliFaults, ApplyAfterAGarbledReadStillLeavesTheKeyboardHoldingKeymap) {
    ok({"apply"}, faults("garble-replies,garble-pages"));
    expectKeyboardHoldsKeymap();
}

TEST_F(CliFaults, AnUnknownFaultIsRefused) {
    expectRefused({"show"}, "Unknown demo fault \"melt\"", faults("drop-acks,melt"));
    expectRefused({"show"}, "Unknown demo fault \"unplug-after=x\"", faults("unplug-after=x"));
}

// A full disk, made by a file-size limit: keymap.bin (206916 bytes), MacroDefine.bin (169860)
// and profiles cannot be written whole, so each command fails and every file stays as it was,
// with no temporary file left beside it.
TEST_F(CliFaults, AFullDiskLeavesEveryFileAsItWas) {
    ok({"profile", "new"});
    ProcessOptions full;
    full.fileSizeLimit = 100'000;
    const auto macro = writeText("macro.txt", "A dn\nA up\n");
    expectRefused({"assign", "Caps Lock", "single", "B"}, "Could not write", full);
    expectRefused({"pull"}, "Could not write", full);
    expectRefused({"macro", "import", macro.string()}, "Could not write", full);
    expectRefused({"profile", "save", "Profile_1"}, "Could not write", full);
    expectRefused({"reset", "--yes"}, "Could not write", full);
    // With room again, the same commands go through.
    ok({"assign", "Caps Lock", "single", "B"});
    ok({"macro", "import", macro.string()});
}

}  // namespace
}  // namespace tessaron::testing
