#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "core/atomic_file.h"
#include "keys/keymap_file.h"
#include "support/child_process.h"
#include "support/scratch_folder.h"

namespace tessaron::keys {
namespace {

namespace fs = std::filesystem;

class KeymapFileTest : public ::testing::Test {
protected:
    static std::vector<std::uint8_t> pattern(std::size_t size) {
        std::vector<std::uint8_t> bytes(size);
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
        return bytes;
    }
    std::vector<std::uint8_t> fileBytes() const {
        auto bytes = readFilePrefix(path, kKeymapFileSize + 100);
        return bytes ? *bytes : std::vector<std::uint8_t>{};
    }
    void putFile(const std::vector<std::uint8_t>& bytes) const {
        ASSERT_TRUE(writeFileAtomically(path, bytes));
    }

    tessaron::testing::ScratchFolder scratch{"keymap"};
    fs::path dir = scratch.path();
    fs::path path = dir / "keymap.bin";
    device::DeviceImage image{};
    KeyRecordTable records{};
};

TEST_F(KeymapFileTest, RoundTripChangesOnlyByteZeroOfLayoutRecords) {
    const auto original = pattern(kKeymapFileSize);
    putFile(original);
    ASSERT_EQ(loadKeymap(path, image, records).value(), KeymapLoad::Read);
    ASSERT_TRUE(writeKeymap(path, image, records));

    const auto written = fileBytes();
    ASSERT_EQ(written.size(), kKeymapFileSize);
    for (std::size_t i = 0; i < kKeymapFileSize; ++i) {
        const bool recordByte = i >= device::image::kSize;
        const std::size_t r = (i - device::image::kSize) / kKeyRecordSize;
        const std::size_t inRecord = (i - device::image::kSize) % kKeyRecordSize;
        if (recordByte && inRecord == 0 && r < kLayoutKeyCount) {
            ASSERT_EQ(written[i], layoutVk(static_cast<KeyIndex>(r))) << i;
        } else {
            ASSERT_EQ(written[i], original[i]) << i;
        }
    }
}

TEST_F(KeymapFileTest, FilesOfAnotherSizeAreKeptAsideAndMadeAfresh) {
    image.fill(0xEE);
    for (auto& r : records) r.spare = {0xAB, 0xCD};
    for (const std::size_t size : {std::size_t{0}, std::size_t{100}, kKeymapFileSize - 1,
                                   kKeymapFileSize + 1}) {
        for (auto& r : records) r.spare = {0xAB, 0xCD};
        fs::remove_all(dir);
        fs::create_directories(dir);
        putFile(std::vector<std::uint8_t>(size, 0x11));
        // While the window holds the settings (the key page's read) it is refused, untouched.
        const auto refused = loadKeymap(path, image, records, KeymapBlocks::RecordsOnly);
        ASSERT_FALSE(refused) << size;
        EXPECT_NE(refused.error().english.find("keymap.bin\" holds"), std::string::npos);
        EXPECT_EQ(records[0].spare[0], 0xAB);
        EXPECT_EQ(fileBytes().size(), size);

        const auto loaded = loadKeymap(path, image, records);
        ASSERT_TRUE(loaded) << size;
        EXPECT_EQ(*loaded, KeymapLoad::Replaced);
        ASSERT_TRUE(loaded->notice);
        EXPECT_NE(loaded->notice->english.find("It was kept as"), std::string::npos);
        // The old bytes kept beside, a fresh file from the image in memory.
        std::vector<fs::path> kept;
        for (const auto& e : fs::directory_iterator(dir)) {
            if (e.path().filename().string().starts_with("keymap.bin.broken-")) kept.push_back(e);
        }
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(fs::file_size(kept[0]), size);
        EXPECT_EQ(fileBytes().size(), kKeymapFileSize);
        EXPECT_EQ(image[0], 0xEE);
        EXPECT_EQ(records[5].vk, layoutVk(5));
    }
}

TEST_F(KeymapFileTest, RecordsOnlyLeavesTheImage) {
    putFile(std::vector<std::uint8_t>(kKeymapFileSize, 0x33));
    image.fill(0x44);
    ASSERT_TRUE(loadKeymap(path, image, records, KeymapBlocks::RecordsOnly));
    EXPECT_EQ(image[0], 0x44);
    EXPECT_EQ(records[200].kind, 0x33);
}

TEST_F(KeymapFileTest, MissingFileIsCreatedFromTheImage) {
    image.fill(0x55);
    records[3].kind = kind::kFunction;
    ASSERT_EQ(loadKeymap(path, image, records).value(), KeymapLoad::Created);
    const auto bytes = fileBytes();
    ASSERT_EQ(bytes.size(), kKeymapFileSize);
    EXPECT_EQ(bytes[device::image::kSize - 1], 0x55);
    EXPECT_EQ(bytes[device::image::kSize], 0);  // records written as zeros
    EXPECT_EQ(records[3].kind, 0);
    EXPECT_EQ(records[3].vk, layoutVk(3));  // but usable in memory
}

// A full disk: the child may write only the first kilobyte of the new file.
TEST_F(KeymapFileTest, FailedWriteKeepsThePreviousFile) {
    const auto original = pattern(kKeymapFileSize);
    putFile(original);
    image.fill(0);
    const int failed = tessaron::testing::runInChild(
        [&] {
            const auto status = writeKeymap(path, image, records);
            return !status && !status.error().english.empty() &&
                   status.error().text(Language::Chinese) != status.error().english;
        },
        {.maxFileBytes = 1024});
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(fileBytes(), original);
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(entry.path(), path) << "temporary file left behind";
    }
}

TEST_F(KeymapFileTest, UnreadableFileIsReportedNotReplaced) {
    const auto original = pattern(kKeymapFileSize);
    putFile(original);
    fs::permissions(dir, fs::perms::all);  // the child could replace the file if it tried
    fs::permissions(path, fs::perms::none);
    image.fill(0x66);
    const int refused = tessaron::testing::runInChild(
        [&] { return !loadKeymap(path, image, records) && image[0] == 0x66; },
        {.unprivileged = true});
    EXPECT_EQ(refused, 1);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fileBytes(), original);
}

TEST_F(KeymapFileTest, AFolderInTheFilesPlaceIsReported) {
    fs::create_directories(path / "inside");
    image.fill(0x77);
    EXPECT_FALSE(loadKeymap(path, image, records));
    EXPECT_EQ(image[0], 0x77);
    const auto status = writeKeymap(path, image, records);
    EXPECT_FALSE(status);
    EXPECT_TRUE(fs::is_directory(path / "inside"));
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(entry.path(), path) << "temporary file left behind";
    }
}

}  // namespace
}  // namespace tessaron::keys
