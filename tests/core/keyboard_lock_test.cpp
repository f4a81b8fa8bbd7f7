#include "core/keyboard_lock.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "support/fake_clock.h"
#include "support/scratch_folder.h"

namespace tessaron {
namespace {

using std::chrono::milliseconds;

// flock conflicts between two opens of the file even within one process, as between programs.
TEST(KeyboardLockTest, SecondWriterWaitsItsPatienceThenFailsNamingTheHolder) {
    tessaron::testing::ScratchFolder scratch{"keyboard_lock_test"};
    const auto path = scratch.path() / "keyboard.lock";
    FakeClock clock;
    auto first = KeyboardLock::acquire(path, milliseconds(0), clock);
    ASSERT_TRUE(first);

    auto second = KeyboardLock::acquire(path, milliseconds(2000), clock);
    ASSERT_FALSE(second);
    EXPECT_GE(clock.totalSlept(), milliseconds(2000));
    EXPECT_LT(clock.totalSlept(), milliseconds(2200));
    EXPECT_NE(second.error().english.find("in use by another Tessaron program (process " +
                                          std::to_string(::getpid()) + ")"),
              std::string::npos)
        << second.error().english;

    // Released with its holder (a moved-from lock releases nothing twice).
    KeyboardLock moved = std::move(*first);
    { [[maybe_unused]] KeyboardLock gone = std::move(moved); }
    EXPECT_TRUE(KeyboardLock::acquire(path, milliseconds(0), clock));
}

TEST(KeyboardLockTest, TheRealKeyboardsLockIsPerUserTheVirtualOnesPerDataFolder) {
    tessaron::testing::ScratchFolder scratch{"keyboard_lock_places"};
    const char* was = std::getenv("XDG_RUNTIME_DIR");
    const std::string before = was ? was : "";
    ::setenv("XDG_RUNTIME_DIR", scratch.path().c_str(), 1);
    EXPECT_EQ(keyboardLockPath("/a", false), keyboardLockPath("/b", false));
    EXPECT_EQ(keyboardLockPath("/a", false).parent_path(), scratch.path());
    EXPECT_NE(keyboardLockPath("/a", true), keyboardLockPath("/b", true));
    EXPECT_EQ(keyboardLockPath("/a", true), keyboardLockPath("/a/../a", true));
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(keyboardLockPath("/a", false).parent_path(), std::filesystem::temp_directory_path());
    if (was) ::setenv("XDG_RUNTIME_DIR", before.c_str(), 1);
}

TEST(KeyboardLockTest, ALinkPlantedInASharedFolderIsNotFollowed) {
    tessaron::testing::ScratchFolder scratch{"keyboard_lock_link"};
    const auto victim = scratch.path() / "victim";
    { std::ofstream(victim) << "keep me"; }
    std::filesystem::create_symlink(victim, scratch.path() / "lock");
    FakeClock clock;
    EXPECT_FALSE(KeyboardLock::acquire(scratch.path() / "lock", milliseconds(0), clock));
    std::ifstream in(victim);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "keep me");
}

}  // namespace
}  // namespace tessaron
