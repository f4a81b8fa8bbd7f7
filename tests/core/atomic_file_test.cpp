#include "core/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/scratch_folder.h"

namespace tessaron {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    tessaron::testing::ScratchFolder scratch_{"tessaron-atomic"};
    fs::path dir_ = scratch_.path();
};

TEST_F(AtomicFileTest, WritesBlocksInOrderAndLeavesNoTemporaryFile) {
    const std::vector<std::uint8_t> a{1, 2, 3};
    const std::vector<std::uint8_t> b{4, 5};
    const std::span<const std::uint8_t> blocks[] = {a, b};
    ASSERT_TRUE(writeFileAtomically(dir_ / "f.bin", blocks).ok());

    auto read = readFilePrefix(dir_ / "f.bin", 100);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(*read, (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 1);
}

TEST_F(AtomicFileTest, ReplacesExistingContentAndReadsOnlyThePrefix) {
    const std::vector<std::uint8_t> first(100, 0xAA);
    const std::vector<std::uint8_t> second(10, 0x55);
    ASSERT_TRUE(writeFileAtomically(dir_ / "f.bin", first).ok());
    ASSERT_TRUE(writeFileAtomically(dir_ / "f.bin", second).ok());
    auto read = readFilePrefix(dir_ / "f.bin", 4);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(*read, (std::vector<std::uint8_t>(4, 0x55)));
    EXPECT_EQ(fs::file_size(dir_ / "f.bin"), 10u);
}

TEST_F(AtomicFileTest, FailedRenameKeepsWhatWasThereAndLeavesNoTemporaryFile) {
    // A folder in the way makes the final rename fail, whoever runs the test.
    fs::create_directories(dir_ / "f.bin" / "inside");
    const std::vector<std::uint8_t> fresh(8, 9);
    const Status status = writeFileAtomically(dir_ / "f.bin", fresh);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().english.find("f.bin"), std::string::npos);
    EXPECT_FALSE(status.error().chinese.empty());
    EXPECT_TRUE(fs::is_directory(dir_ / "f.bin" / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 1);
}

TEST_F(AtomicFileTest, MissingFolderAndMissingFileAreErrors) {
    const std::vector<std::uint8_t> bytes(3, 1);
    EXPECT_FALSE(writeFileAtomically(dir_ / "no" / "f.bin", bytes).ok());
    EXPECT_FALSE(readFilePrefix(dir_ / "absent.bin", 10).ok());
    // A folder given where a file belongs is an error, not an empty file.
    const auto folder = readFilePrefix(dir_, 10);
    ASSERT_FALSE(folder.ok());
    EXPECT_NE(folder.error().english.find("directory"), std::string::npos);
}

}  // namespace
}  // namespace tessaron
