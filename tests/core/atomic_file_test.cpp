#include "core/atomic_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

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
    EXPECT_NE(status.error().text(Language::Chinese), status.error().english);
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

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

fs::perms modeOf(const fs::path& p) {
    return fs::status(p).permissions() & fs::perms::mask;
}

TEST_F(AtomicFileTest, NewFilesArePrivateAndARewriteKeepsModeAndLinks) {
    const mode_t before = ::umask(0);
    const Status made = writeFileAtomically(dir_ / "f.bin", bytesOf("one"));
    ::umask(before);
    ASSERT_TRUE(made.ok());
    EXPECT_EQ(modeOf(dir_ / "f.bin"), fs::perms(0600));

    fs::permissions(dir_ / "f.bin", fs::perms(0640));
    // Root (as CI runs) also keeps the owner of a file it rewrites.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown((dir_ / "f.bin").c_str(), 65534, 65534), 0);
    }
    ASSERT_TRUE(writeFileAtomically(dir_ / "f.bin", bytesOf("two")).ok());
    EXPECT_EQ(modeOf(dir_ / "f.bin"), fs::perms(0640));
    struct stat st {};
    ASSERT_EQ(::stat((dir_ / "f.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, root ? 65534u : ::getuid());

    // Through a link the target is replaced and the link stays a link.
    fs::create_symlink("f.bin", dir_ / "link.bin");
    ASSERT_TRUE(writeFileAtomically(dir_ / "link.bin", bytesOf("three")).ok());
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.bin"));
    EXPECT_EQ(*readFilePrefix(dir_ / "f.bin", 10), bytesOf("three"));
    EXPECT_EQ(modeOf(dir_ / "f.bin"), fs::perms(0640));
}

TEST_F(AtomicFileTest, UserFilesGoToDevicesPipesAndDescriptorsDirectlyAndNeverOverAFolder) {
    EXPECT_TRUE(writeUserFile("/dev/null", bytesOf("gone")).ok());
    const auto folder = writeUserFile(dir_, bytesOf("x"));
    ASSERT_FALSE(folder.ok());
    EXPECT_NE(folder.error().english.find("Is a directory"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(dir_));

    // A FIFO's reader gets the text; the FIFO stays a FIFO.
    const fs::path fifo = dir_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] {
        std::ifstream in(fifo);
        got.assign(std::istreambuf_iterator<char>(in), {});
    });
    EXPECT_TRUE(writeUserFile(fifo, bytesOf("through the pipe")).ok());
    reader.join();
    EXPECT_EQ(got, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));

    // /dev/fd/N writes to the open descriptor, as >(cat) or a redirection gives it.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    ASSERT_TRUE(writeUserFile("/dev/fd/" + std::to_string(pipeFds[1]), bytesOf("fd")).ok());
    ::close(pipeFds[1]);
    char buffer[8] = {};
    EXPECT_EQ(::read(pipeFds[0], buffer, sizeof buffer), 2);
    ::close(pipeFds[0]);
    EXPECT_EQ(std::string(buffer), "fd");
}

TEST_F(AtomicFileTest, ABatchRenamesNothingUnlessEveryFileWasWritten) {
    ASSERT_TRUE(writeFileAtomically(dir_ / "a.bin", bytesOf("old a")).ok());
    fs::create_directories(dir_ / "b.bin");  // the second file cannot be written
    {
        FileBatch batch;
        ASSERT_TRUE(batch.add(dir_ / "a.bin", bytesOf("new a")).ok());
        EXPECT_FALSE(batch.add(dir_ / "b.bin", bytesOf("new b")).ok());
        EXPECT_FALSE(batch.commit().ok());
    }
    EXPECT_EQ(*readFilePrefix(dir_ / "a.bin", 10), bytesOf("old a"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 2);

    fs::remove(dir_ / "b.bin");
    FileBatch batch;
    ASSERT_TRUE(batch.add(dir_ / "a.bin", bytesOf("new a")).ok());
    ASSERT_TRUE(batch.add(dir_ / "b.bin", bytesOf("new b")).ok());
    ASSERT_TRUE(batch.commit().ok());
    EXPECT_EQ(*readFilePrefix(dir_ / "b.bin", 10), bytesOf("new b"));
}

TEST_F(AtomicFileTest, SizesAndBoundsAreCheckedAndBrokenFilesKeptAside) {
    ASSERT_TRUE(writeFileAtomically(dir_ / "f.bin", bytesOf("12345")).ok());
    const std::size_t sizes[] = {3, 5};
    EXPECT_TRUE(readFileOfSize(dir_ / "f.bin", sizes).ok());
    const std::size_t other[] = {4};
    const auto refused = readFileOfSize(dir_ / "f.bin", other);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().english.find("f.bin\" holds more than 4 bytes"), std::string::npos);
    // An endless device is read only up to the bound.
    EXPECT_FALSE(readFileOfSize("/dev/zero", other).ok());

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    ASSERT_EQ(::write(pipeFds[1], "abcdef", 6), 6);
    ::close(pipeFds[1]);
    const auto bounded = readBounded(pipeFds[0], 5, "standard input");
    ::close(pipeFds[0]);
    ASSERT_FALSE(bounded.ok());
    EXPECT_NE(bounded.error().english.find("more than 5 bytes"), std::string::npos);

    const auto kept = moveAside(dir_ / "f.bin");
    ASSERT_TRUE(kept.ok());
    EXPECT_FALSE(fs::exists(dir_ / "f.bin"));
    EXPECT_TRUE(kept->filename().string().starts_with("f.bin.broken-"));
    EXPECT_EQ(*readFilePrefix(*kept, 10), bytesOf("12345"));
}

}  // namespace
}  // namespace tessaron
