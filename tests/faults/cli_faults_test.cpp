// tessaronctl on a demo keyboard that misbehaves (TESSARON_DEMO_FAULTS) and on a disk that fills
// up: every failure ends the program within the acknowledgement bound with a message and a
// failing status, and no file is left half written or changed by a command that failed.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli_fixture.h"
#include "device/ack.h"

namespace tessaron::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// A full read of the demo keyboard takes about 0.4 s; the rest is the acknowledgement bound and
// room for a loaded machine.
constexpr milliseconds kAnswerBound = device::kAckTimeout + milliseconds(3000);

ProcessOptions faults(const std::string& list, ProcessOptions o = {}) {
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
    const auto r =
        expectRefused({"apply"}, "did not acknowledge", faults("drop-acks", onTheRealClock()));
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
    const auto late = ok({"apply"}, faults("ack-delay=300", onTheRealClock()));
    EXPECT_TRUE(contains(late.out, "sending: key assignments"));
    expectKeyboardHoldsKeymap();

    ok({"assign", "Caps Lock", "single", "B"});
    const auto r = expectRefused({"apply"}, "did not acknowledge",
                                 faults("ack-delay=2500", onTheRealClock()));
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

// One command's files are committed together: a disk with room for MacroDefine.bin (169860
// bytes) but not for keymap.bin (206916) must leave both as they were, or keys would play
// macros that moved under them.
TEST_F(CliFaults, AFullDiskLeavesNoHalfCommand) {
    const auto macro = writeText("macro.txt", "A dn\nA up\n");
    ok({"macro", "import", macro.string()});
    ok({"macro", "import", macro.string()});
    ProcessOptions roomForOne;
    roomForOne.fileSizeLimit = 180'000;
    expectRefused({"macro", "import", macro.string()}, "keymap.bin", roomForOne);
    expectRefused({"macro", "delete", "0"}, "keymap.bin", roomForOne);
    const fs::path json = root() / "c.json";
    ok({"config", "export", json.string()});
    expectRefused({"config", "import", json.string()}, "keymap.bin", roomForOne);
}

// Parallel writers hold the data folder's lock in turn: none loses another's change.
TEST_F(CliFaults, TwentyParallelAssignsAllLand) {
    const std::vector<std::string> keys{"F1", "F2", "F3", "F4", "F5", "F6", "F7",
                                        "F8", "F9", "F10", "F11", "F12", "Q", "W",
                                        "E", "R", "T", "Y", "U", "I"};
    std::vector<ProcessResult> results(keys.size());
    std::vector<std::thread> runs;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        runs.emplace_back([&, i] { results[i] = ctl({"assign", keys[i], "single", "Z"}); });
    }
    for (auto& t : runs) t.join();
    const std::string listing = ok({"keys"}).out;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(results[i].exitCode, 0) << keys[i] << results[i].err;
        const auto at = listing.find("  " + keys[i] + " ");
        ASSERT_NE(at, std::string::npos) << keys[i];
        const std::string line = listing.substr(at, listing.find('\n', at) - at);
        EXPECT_TRUE(contains(line, "single Z")) << line;
    }
}

// Data files Tessaron cannot use: a torn keymap.bin is kept aside (the user told where) and
// made afresh from the keyboard; an empty file is no profile to load.
TEST_F(CliFaults, BrokenFilesAreKeptAsideOrRefused) {
    ok({"profile", "new"});
    std::ofstream(keymap(), std::ios::binary | std::ios::trunc) << std::string(100, 'x');
    const auto fresh = ok({"keys"});
    EXPECT_TRUE(contains(fresh.err, "keymap.bin\" holds 100 bytes")) << fresh.err;
    EXPECT_TRUE(contains(fresh.err, "It was kept as \"" + keymap().string() + ".broken-"));
    EXPECT_EQ(fs::file_size(keymap()), 206916u);

    expectRefused({"profile", "load", "Profile_1", "/dev/null"}, "\"/dev/null\" holds 0 bytes");
    ProcessOptions endless;
    endless.input = std::string((4u << 20) + 10, ' ');
    expectRefused({"config", "check", "-"}, "standard input holds more than 4194304 bytes",
                  endless);
}

// Exports write where the path leads: a link's target (the link kept), a FIFO's reader, the
// standard output; a folder is refused. New data files are the user's alone.
TEST_F(CliFaults, ExportsFollowLinksAndPipesAndDataStaysPrivate) {
    const fs::path target = root() / "real.json";
    const fs::path link = root() / "dotfile.json";
    fs::create_symlink(target, link);
    ok({"config", "export", link.string()});
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_GT(fs::file_size(target), 0u);

    const fs::path fifo = root() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] {
        std::ifstream in(fifo);
        got.assign(std::istreambuf_iterator<char>(in), {});
    });
    ok({"config", "export", fifo.string()});
    reader.join();
    fs::remove(fifo);  // the snapshots below would wait on it
    EXPECT_TRUE(contains(got, "\"format\": 2"));
    EXPECT_TRUE(contains(ok({"config", "export", "/dev/stdout"}).out, "\"format\": 2"));
    expectRefused({"config", "export", root().string()}, "Is a directory");

    EXPECT_EQ(fs::status(data()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(fs::status(keymap()).permissions() & fs::perms::all, fs::perms(0600));
    fs::permissions(keymap(), fs::perms(0640));
    ok({"assign", "Caps Lock", "single", "B"});
    EXPECT_EQ(fs::status(keymap()).permissions() & fs::perms::all, fs::perms(0640));
}

}  // namespace
}  // namespace tessaron::testing
