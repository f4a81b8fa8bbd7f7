#include <gtest/gtest.h>

#include <vector>

#include "keys/assignment.h"
#include "keys/host_action.h"

namespace tessaron::keys {
namespace {

struct RecordingLauncher : Launcher {
    void launch(const HostAction& action) override { launched.push_back(action); }
    std::vector<HostAction> launched;
};

TEST(HostPathSplit, AtTheLastSeparator) {
    auto s = splitHostPath("/home/user/Music/song.mp3");
    EXPECT_EQ(s.folder, "/home/user/Music");
    EXPECT_EQ(s.file, "song.mp3");
    s = splitHostPath("/home/user/Docs/");
    EXPECT_EQ(s.folder, "/home/user/Docs");
    EXPECT_EQ(s.file, "");
    s = splitHostPath("notes.txt");
    EXPECT_EQ(s.folder, "notes.txt");
    EXPECT_EQ(s.file, "");
    s = splitHostPath("/vmlinuz");
    EXPECT_EQ(s.folder, "/");
    EXPECT_EQ(s.file, "vmlinuz");
}

TEST(HostPath, Utf16StorageAndLimit) {
    KeyRecord r;
    ASSERT_TRUE(setHostPath(r, "/音乐/歌.mp3"));
    EXPECT_EQ(r.hostPath[2], 0xF3);  // U+97F3 little-endian
    EXPECT_EQ(r.hostPath[3], 0x97);
    EXPECT_EQ(hostPath(r), "/音乐/歌.mp3");

    const std::string longest(255, 'a');
    ASSERT_TRUE(setHostPath(r, longest));
    EXPECT_EQ(r.hostPath[510], 0);
    EXPECT_EQ(hostPath(r), longest);
    EXPECT_FALSE(setHostPath(r, longest + "a"));
    EXPECT_EQ(hostPath(r), longest);  // unchanged after a refusal
    // A character outside the BMP takes two units.
    EXPECT_FALSE(validateHostPath(std::string(254, 'a') + "😀"));
    EXPECT_TRUE(validateHostPath(std::string(253, 'a') + "😀"));
    EXPECT_FALSE(validateHostPath("/bad\xFF"));
}

TEST(HostAction, EachKeyOpensItsOwnRecord) {
    device::DeviceImage image{};
    KeyRecordTable records{};
    ModifiedMarks marks{};
    resetKeyRecords(records);
    PendingAssignment pending;
    const auto assign = [&](KeyIndex k, std::uint8_t kind, const char* path) {
        pending.selectedKey = k;
        pending.kind = kind;
        pending.hostPath = path;
        ASSERT_TRUE(applyAssignment(pending, {image, records, marks}, {}));
    };
    assign(0, kind::kStartup, "/usr/bin/game");
    assign(101, kind::kOpenFolder, "/home/user/Docs/");
    assign(1, kind::kOpenFile, "");

    RecordingLauncher launcher;
    EXPECT_TRUE(runHostAction(records, 27, launcher));
    EXPECT_TRUE(runHostAction(records, 93, launcher));  // the App key; Fn has no host action
    ASSERT_EQ(launcher.launched.size(), 2u);
    EXPECT_EQ(launcher.launched[0].kind, kind::kStartup);
    EXPECT_EQ(launcher.launched[0].folder, "/usr/bin");
    EXPECT_EQ(launcher.launched[0].file, "game");
    EXPECT_EQ(launcher.launched[1].kind, kind::kOpenFolder);
    EXPECT_EQ(launcher.launched[1].folder, "/home/user/Docs");

    EXPECT_FALSE(runHostAction(records, 112, launcher));  // F1's record has an empty path
    EXPECT_FALSE(runHostAction(records, 'A', launcher));  // no host action
    EXPECT_FALSE(runHostAction(records, 0, launcher));    // records 113..254 never match
    EXPECT_EQ(launcher.launched.size(), 2u);

    // The first matching record wins.
    records[5].kind = kind::kPlaySound;
    records[5].vk = 27;
    ASSERT_TRUE(setHostPath(records[5], "/a/b.wav"));
    EXPECT_EQ(findHostAction(records, 27)->file, "game");
}

}  // namespace
}  // namespace tessaron::keys
