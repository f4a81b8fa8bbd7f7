// A program killed while it writes keymap.bin, MacroDefine.bin or a profile must leave the file
// whole: a child process rewrites each file in a loop, alternating two contents, and is killed
// at random moments; after every kill the file holds exactly one of the two.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

#include "keys/keymap_file.h"
#include "macros/macro_file.h"
#include "profiles/profile_store.h"
#include "support/fake_clock.h"

namespace tessaron {
namespace {

namespace fs = std::filesystem;

constexpr int kKills = 120;

std::string contentOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class CrashSafety : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            (fs::path(tmp && *tmp ? tmp : "/tmp") / "tessaron-crash-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    // Kills a child that keeps calling write(true) and write(false) in turn, at random moments,
    // and checks the file after each kill. Returns how many kills left a temporary file behind,
    // that is, landed in the middle of a write.
    int killWhileWriting(const fs::path& file, const std::function<void(bool)>& write) {
        write(false);
        const std::string first = contentOf(file);
        write(true);
        const std::string second = contentOf(file);
        EXPECT_NE(first, second);

        std::mt19937 random(20240611);
        std::uniform_int_distribution<int> micros(0, 12000);
        int interrupted = 0;
        int sawFirst = 0;
        int sawSecond = 0;
        for (int i = 0; i < kKills; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                for (bool which = (i % 2) == 0;; which = !which) write(which);
            }
            EXPECT_GT(pid, 0);
            std::this_thread::sleep_for(std::chrono::microseconds(500 + micros(random)));
            ::kill(pid, SIGKILL);
            int status = 0;
            ::waitpid(pid, &status, 0);

            const std::string now = contentOf(file);
            const bool whole = now == first || now == second;
            EXPECT_TRUE(whole) << "kill " << i << " left " << now.size() << " bytes";
            if (!whole) return interrupted;
            (now == first ? sawFirst : sawSecond)++;
            // A kill between creating the new content and putting it in place leaves its
            // temporary file; it is never read, and goes here so the folder stays small.
            for (const auto& entry : fs::directory_iterator(file.parent_path())) {
                if (entry.path().filename().string().find(".tmp.") != std::string::npos) {
                    ++interrupted;
                    fs::remove(entry.path());
                }
            }
        }
        EXPECT_GT(sawFirst, 0);
        EXPECT_GT(sawSecond, 0);
        return interrupted;
    }

    fs::path folder_;
};

TEST_F(CrashSafety, KeymapIsAlwaysTheWholeOldOrNewFile) {
    device::DeviceImage a{}, b{};
    a.fill(0x11);
    b.fill(0x22);
    auto recordsA = std::make_unique<keys::KeyRecordTable>();
    auto recordsB = std::make_unique<keys::KeyRecordTable>();
    keys::resetKeyRecords(*recordsA);
    keys::resetKeyRecords(*recordsB);
    (*recordsB)[5].kind = keys::kind::kCombination;
    const fs::path file = folder_ / keys::kKeymapFileName;
    const int interrupted = killWhileWriting(file, [&](bool second) {
        (void)keys::writeKeymap(file, second ? b : a, second ? *recordsB : *recordsA);
    });
    EXPECT_EQ(fs::file_size(file), keys::kKeymapFileSize);
    EXPECT_GT(interrupted, 0) << "no kill landed inside a write";
}

TEST_F(CrashSafety, MacroFileIsAlwaysTheWholeOldOrNewFile) {
    macros::MacroTable a, b;
    a[0].setName(u"First");
    b[0].setName(u"Second");
    b[1].setName(u"Another");
    const fs::path file = folder_ / macros::kMacroFileName;
    const int interrupted = killWhileWriting(
        file, [&](bool second) { (void)macros::writeMacroFile(file, second ? b : a); });
    EXPECT_EQ(fs::file_size(file), macros::kTableSize);
    EXPECT_GT(interrupted, 0) << "no kill landed inside a write";
}

TEST_F(CrashSafety, ProfileIsAlwaysTheWholeOldOrNewFile) {
    FakeClock clock;
    profiles::ProfileStore store(folder_, Language::English, clock);
    ASSERT_TRUE(store.open().done());
    ASSERT_TRUE(store.create().done());
    device::DeviceImage a{}, b{};
    a.fill(0x33);
    b.fill(0x44);
    auto records = std::make_unique<keys::KeyRecordTable>();
    keys::resetKeyRecords(*records);
    const fs::path file = store.paths().at(0);
    const int interrupted = killWhileWriting(file, [&](bool second) {
        (void)store.save(0, {second ? b : a, *records}, std::nullopt);
    });
    EXPECT_EQ(fs::file_size(file), keys::kKeymapFileSize);
    EXPECT_GT(interrupted, 0) << "no kill landed inside a write";
    // The profile list never shows a half-written file.
    store.rescan();
    EXPECT_EQ(store.names().size(), 1u);
}

}  // namespace
}  // namespace tessaron
