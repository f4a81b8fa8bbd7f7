#include "core/data_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/fake_clock.h"
#include "support/scratch_folder.h"

namespace tessaron {
namespace {

namespace fs = std::filesystem;

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root / "prefix" / "bin");
        in.executableFolder = root / "prefix" / "bin";
        in.home = (root / "home").string();
    }

    tessaron::testing::ScratchFolder scratch{"data_folder_test"};
    fs::path root = scratch.path();
    DataFolderInputs in;
};

TEST_F(DataFolderTest, RulesInOrder) {
    EXPECT_EQ(chooseDataFolder(in).value(), root / "home" / ".local" / "share" / "tessaron");

    in.xdgDataHome = "relative/ignored";
    EXPECT_EQ(chooseDataFolder(in).value(), root / "home" / ".local" / "share" / "tessaron");
    in.xdgDataHome = (root / "xdg").string();
    EXPECT_EQ(chooseDataFolder(in).value(), root / "xdg" / "tessaron");

    std::ofstream(in.executableFolder / "portable").put('\n');
    EXPECT_EQ(chooseDataFolder(in).value(), in.executableFolder);

    in.dataDirVariable = (root / "env").string();
    EXPECT_EQ(chooseDataFolder(in).value(), root / "env");

    in.dataDirOption = root / "option";
    EXPECT_EQ(chooseDataFolder(in).value(), root / "option");
}

TEST_F(DataFolderTest, CreatedOnFirstUseOrReported) {
    in.home.reset();
    EXPECT_FALSE(chooseDataFolder(in));

    in.dataDirOption = root / "a" / "b";
    const mode_t before = ::umask(022);
    const auto made = openDataFolder(in);
    ::umask(before);
    ASSERT_TRUE(made);
    // Its files hold the paths of programs the keys start: the user's alone, whatever the umask.
    EXPECT_EQ(fs::status(root / "a" / "b").permissions() & fs::perms::mask, fs::perms(0700));

    // The lock is one: a second holder waits (or with Try, is refused) until the first goes.
    {
        auto held = DataFolderLock::acquire(*made);
        ASSERT_TRUE(held);
        EXPECT_FALSE(DataFolderLock::acquire(*made, DataFolderLock::Wait::Try));
        // The window's bounded wait gives up after its bound, naming the other holder.
        FakeClock clock;
        const auto waited = DataFolderLock::acquireWithin(*made, std::chrono::milliseconds(200), clock);
        ASSERT_FALSE(waited);
        EXPECT_NE(waited.error().english.find("another program"), std::string::npos);
        EXPECT_GE(clock.totalSlept(), std::chrono::milliseconds(200));
    }
    EXPECT_TRUE(DataFolderLock::acquire(*made, DataFolderLock::Wait::Try));
    // A folder that is not there is no holder to wait for.
    FakeClock clock;
    EXPECT_FALSE(DataFolderLock::acquireWithin(root / "none", std::chrono::seconds(5), clock));
    EXPECT_TRUE(clock.sleeps().empty());

    std::ofstream(root / "file").put('x');
    in.dataDirOption = root / "file";
    const auto failed = openDataFolder(in);
    ASSERT_FALSE(failed);
    EXPECT_NE(failed.error().english.find("file"), std::string::npos);
    EXPECT_NE(failed.error().text(Language::Chinese), failed.error().english);
}

TEST_F(DataFolderTest, AssetsFromDataFolderThenShareFolder) {
    const auto data = root / "data";
    const auto share = root / "prefix" / "share" / "tessaron";
    fs::create_directories(data / "png");
    fs::create_directories(share / "png");
    std::ofstream(share / "png" / "main.png").put('s');
    std::ofstream(share / "VER.bin").put('s');
    std::ofstream(data / "VER.bin").put('d');

    const auto folders = assetFolders(data, in.executableFolder);
    ASSERT_GE(folders.size(), 2u);
    EXPECT_EQ(folders[0], data);
    EXPECT_EQ(folders[1], share);
    EXPECT_EQ(findAsset(folders, "VER.bin"), data / "VER.bin");
    EXPECT_EQ(findAsset(folders, fs::path("png") / "main.png"), share / "png" / "main.png");
    EXPECT_EQ(findAsset(folders, "missing.png"), std::nullopt);
}

}  // namespace
}  // namespace tessaron
