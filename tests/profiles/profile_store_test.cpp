#include "profiles/profile_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <memory>

#include "keys/keymap_file.h"
#include "profiles/profile_messages.h"
#include "support/scratch_folder.h"

namespace tessaron::profiles {
namespace {

namespace fs = std::filesystem;

class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        image_.fill(0);
        records_ = std::make_unique<keys::KeyRecordTable>();
    }
    ProfileStore& open(Language lang = Language::English) {
        store_.emplace(dir_, lang, clock_);
        EXPECT_TRUE(store_->open().done());
        return *store_;
    }
    fs::path folder() const { return dir_ / kProfileFolderName; }
    void touch(const std::string& file, std::size_t size = 4) {
        fs::create_directories(folder());
        std::ofstream(folder() / file, std::ios::binary) << std::string(size, 'p');
    }
    std::vector<std::uint8_t> contents(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    LiveConfiguration live() { return {image_, *records_}; }

    tessaron::testing::ScratchFolder scratch_{"tessaron-profiles"};
    fs::path dir_ = scratch_.path();
    FakeClock clock_;
    std::optional<ProfileStore> store_;
    device::DeviceImage image_{};
    std::unique_ptr<keys::KeyRecordTable> records_;
};

TEST_F(ProfileStoreTest, OpenCreatesTheFolderAndNewFillsIt) {
    auto& s = open();
    EXPECT_TRUE(fs::is_directory(folder()));
    ASSERT_TRUE(s.create().done());
    ASSERT_TRUE(s.create().done());
    EXPECT_EQ(s.names(), (std::vector<std::string>{"Profile_1", "Profile_2"}));
    EXPECT_EQ(s.paths()[0], folder() / "Profile_1.bin");
    EXPECT_EQ(contents(s.paths()[0]), std::vector<std::uint8_t>(206916, 0));

    fs::remove(folder() / "Profile_1.bin");
    touch("Profile_3.bin");
    s.rescan();
    ASSERT_TRUE(s.create().done());
    EXPECT_EQ(s.names(), (std::vector<std::string>{"Profile_1", "Profile_2", "Profile_3"}));
}

TEST_F(ProfileStoreTest, AtMostSixAreListedSortedWithoutCase) {
    for (const char* f : {"delta.bin", "Alpha.bin", "charlie.bin", "Bravo.bin", "echo.bin",
                          "foxtrot.bin", "golf.bin", "hotel.bin", "notes.txt", ".bin"}) {
        touch(f);
    }
    fs::create_directories(folder() / "dir.bin");
    auto& s = open();
    EXPECT_EQ(s.names(),
              (std::vector<std::string>{"Alpha", "Bravo", "charlie", "delta", "echo", "foxtrot"}));
    const StoreResult refused = s.create();
    EXPECT_EQ(refused.outcome, Outcome::Refused);
    EXPECT_EQ(refused.message, "Only Create Six Profile mostly\n");
    EXPECT_EQ(refused.caption, "Profile");
    const StoreResult copy = s.copy(0);
    EXPECT_EQ(copy.outcome, Outcome::Refused);
    EXPECT_TRUE(copy.message.empty());

    store_.emplace(dir_, Language::Chinese, clock_);
    ASSERT_TRUE(store_->open().done());
    EXPECT_EQ(store_->create().message, "最多可以存储6个配置\n");
}

TEST_F(ProfileStoreTest, CopyNamesTakeTheFirstFreeSuffix) {
    auto& s = open();
    ASSERT_TRUE(s.create().done());
    image_[0] = 7;
    ASSERT_TRUE(s.save(0, live(), std::nullopt).done());
    EXPECT_EQ(s.copy(std::nullopt).message, "Please select a profile to copy\n");
    ASSERT_TRUE(s.copy(0).done());
    ASSERT_TRUE(s.copy(s.indexOf("Profile_1")).done());
    ASSERT_TRUE(s.copy(s.indexOf("Profile_1")).done());
    EXPECT_TRUE(s.indexOf("Copy of ? Profile_1"));
    EXPECT_TRUE(s.indexOf("Copy of ? Profile_1 1"));
    EXPECT_TRUE(s.indexOf("Copy of ? Profile_1 2"));
    EXPECT_EQ(contents(s.paths()[*s.indexOf("Copy of ? Profile_1 2")]),
              contents(folder() / "Profile_1.bin"));

    store_.emplace(dir_, Language::Chinese, clock_);
    ASSERT_TRUE(store_->open().done());
    ASSERT_TRUE(store_->copy(store_->indexOf("Profile_1")).done());
    EXPECT_TRUE(store_->indexOf("复制  Profile_1"));
}

TEST_F(ProfileStoreTest, CopiesHaveTheFullSizeWhateverTheSource) {
    auto& s = open();
    ASSERT_TRUE(s.create().done());
    ASSERT_TRUE(s.copy(s.indexOf("Profile_1")).done());
    EXPECT_EQ(contents(folder() / "Copy of ? Profile_1.bin"), std::vector<std::uint8_t>(206916, 0));

    // A short file from elsewhere: its bytes, then zeros up to the full size.
    std::ofstream(folder() / "short.bin", std::ios::binary) << std::string(100, '\x22');
    s.rescan();
    ASSERT_TRUE(s.copy(s.indexOf("short")).done());
    auto expected = std::vector<std::uint8_t>(206916, 0);
    std::fill_n(expected.begin(), 100, 0x22);
    EXPECT_EQ(contents(folder() / "Copy of ? short.bin"), expected);
}

TEST_F(ProfileStoreTest, CopyOfAnUnreadableProfileFails) {
    auto& s = open();
    ASSERT_TRUE(s.create().done());
    ASSERT_TRUE(s.create().done());
    fs::remove(s.paths()[0]);
    EXPECT_EQ(s.copy(0).outcome, Outcome::Failed);
    s.rescan();
    EXPECT_EQ(s.names(), std::vector<std::string>{"Profile_2"});
}

TEST_F(ProfileStoreTest, SaveAndLoadRoundTripTheLiveConfiguration) {
    auto& s = open();
    ASSERT_TRUE(s.create().done());
    image_[100] = 0xAB;
    image_[device::image::kKeyMap + 2] = 0x29;  // a key cell, as every keyboard holds
    (*records_)[3].kind = 5;
    const fs::path exported = dir_ / "export.bin";
    ASSERT_TRUE(s.save(0, live(), exported).done());
    EXPECT_EQ(fs::file_size(s.paths()[0]), keys::kKeymapFileSize);
    EXPECT_EQ(contents(exported), contents(s.paths()[0]));

    image_.fill(0);
    (*records_)[3].kind = 0;
    ASSERT_TRUE(s.load(0, live(), exported).done());
    EXPECT_EQ(image_[100], 0xAB);
    EXPECT_EQ((*records_)[3].kind, 5);
    EXPECT_EQ(s.save(std::nullopt, live(), std::nullopt).message,
              "Please select a profile to Save\n");
    EXPECT_EQ(s.load(std::nullopt, live(), exported).message, "Please select a profile to Open\n");
}

TEST_F(ProfileStoreTest, AFileWithoutKeyCellsIsNotLoaded) {
    // Saved to the keyboard, an image without key cells would blank and disable every key.
    auto& s = open();
    ASSERT_TRUE(s.create().done());
    image_.fill(0x11);
    (*records_)[200].kind = 3;
    const device::DeviceImage before = image_;
    const fs::path made = s.paths()[0];
    const fs::path copyOfNew = dir_ / "new.bin";
    fs::copy_file(made, copyOfNew);
    const StoreResult r = s.load(0, live(), copyOfNew);
    EXPECT_EQ(r.outcome, Outcome::Refused);
    EXPECT_EQ(r.message, messages::holdsNoSettings().english);
    EXPECT_EQ(image_, before);
    EXPECT_EQ((*records_)[200].kind, 3);
    EXPECT_EQ(contents(made), std::vector<std::uint8_t>(206916, 0));

    // A short file reaches only the start of the image; the key cells kept make it loadable.
    const fs::path shortFile = dir_ / "short.bin";
    std::ofstream(shortFile, std::ios::binary) << std::string(100, '\x22');
    ASSERT_TRUE(s.load(0, live(), shortFile).done());
    EXPECT_EQ(image_[99], 0x22);
    EXPECT_EQ(image_[device::image::kKeyMap], 0x11);
    EXPECT_EQ((*records_)[0].vk, keys::layoutVk(0));
    EXPECT_EQ(fs::file_size(made), keys::kKeymapFileSize);
}

TEST_F(ProfileStoreTest, LoadWithoutAFileWritesNothing) {
    auto& s = open();
    ASSERT_TRUE(s.create().done());
    image_.fill(0x22);
    EXPECT_EQ(s.load(0, live(), std::nullopt).outcome, Outcome::Cancelled);
    EXPECT_EQ(s.load(0, live(), dir_ / "missing.bin").outcome, Outcome::Failed);
    EXPECT_EQ(contents(s.paths()[0]), std::vector<std::uint8_t>(206916, 0));
    EXPECT_EQ(image_[0], 0x22);
}

TEST_F(ProfileStoreTest, DeleteKeepsOneAndAsksFirst) {
    auto& s = open();
    ASSERT_TRUE(s.create().done());
    EXPECT_EQ(s.remove(std::nullopt, [] { return true; }).message, "Please keep a profile\n");
    ASSERT_TRUE(s.create().done());
    EXPECT_EQ(s.remove(std::nullopt, [] { return true; }).message,
              "Please select a profile to delete\n");
    EXPECT_EQ(s.remove(0, [] { return false; }).outcome, Outcome::Cancelled);
    EXPECT_EQ(s.names().size(), 2u);
    ASSERT_TRUE(s.remove(0, [] { return true; }).done());
    EXPECT_EQ(s.names(), std::vector<std::string>{"Profile_2"});
    EXPECT_FALSE(fs::exists(folder() / "Profile_1.bin"));
}

TEST_F(ProfileStoreTest, DeletingAFileAlreadyGoneSpendsTheRetryBudgetOnce) {
    auto& s = open();
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(s.create().done());
    fs::remove(s.paths()[0]);
    ASSERT_TRUE(s.remove(0, [] { return true; }).done());
    EXPECT_EQ(s.deleteRetries(), 11);
    s.rescan();
    ASSERT_EQ(s.names().size(), 3u);
    fs::remove(s.paths()[0]);
    ASSERT_TRUE(s.remove(0, [] { return true; }).done());
    EXPECT_EQ(s.deleteRetries(), 12);
}

TEST_F(ProfileStoreTest, RenameAddsOneExtensionAndRefusesClashes) {
    auto& s = open();
    ASSERT_TRUE(s.create().done());
    ASSERT_TRUE(s.create().done());
    image_[5] = 5;
    ASSERT_TRUE(s.save(0, live(), std::nullopt).done());
    const auto before = contents(s.paths()[0]);

    ASSERT_TRUE(s.rename(0, "Gaming.bin").done());
    EXPECT_EQ(s.names(), (std::vector<std::string>{"Gaming", "Profile_2"}));
    EXPECT_EQ(contents(folder() / "Gaming.bin"), before);
    EXPECT_FALSE(fs::exists(folder() / "Profile_1.bin"));

    const StoreResult clash = s.rename(0, "Profile_2");
    EXPECT_EQ(clash.outcome, Outcome::Refused);
    EXPECT_EQ(s.names(), (std::vector<std::string>{"Gaming", "Profile_2"}));
    EXPECT_EQ(clock_.sleeps().back(), std::chrono::milliseconds(300));

    // Names differing only in case are different files here.
    ASSERT_TRUE(s.rename(1, "profile_2").done());
    EXPECT_EQ(s.names(), (std::vector<std::string>{"Gaming", "profile_2"}));
}

TEST_F(ProfileStoreTest, NamesThatLeaveTheFolderAreRefused) {
    auto& s = open();
    ASSERT_TRUE(s.create().done());
    const std::vector<std::string> refused{"",   "../evil",   "a/b",  "a\\b",
                                           "..", "tab\there", "\x7F", std::string("nul\0x", 5)};
    for (const std::string& bad : refused) {
        const StoreResult r = s.rename(0, bad);
        EXPECT_EQ(r.outcome, Outcome::Refused) << bad;
        EXPECT_FALSE(r.message.empty());
    }
    EXPECT_EQ(s.rename(0, std::string(300, 'x')).outcome, Outcome::Refused);
    EXPECT_EQ(s.names(), std::vector<std::string>{"Profile_1"});
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    ASSERT_TRUE(s.rename(0, "Tournament 配置 v1.2").done());
    EXPECT_TRUE(s.indexOf("Tournament 配置 v1.2"));
}

TEST_F(ProfileStoreTest, AFileNamedWithTwoExtensionsKeepsItsOwnPath) {
    touch("double.bin.bin", 10);
    auto& s = open();
    ASSERT_EQ(s.names(), std::vector<std::string>{"double.bin"});
    EXPECT_EQ(s.paths()[0], folder() / "double.bin.bin");
    image_[9] = 9;
    ASSERT_TRUE(s.save(0, live(), std::nullopt).done());
    EXPECT_EQ(fs::file_size(folder() / "double.bin.bin"), keys::kKeymapFileSize);
    EXPECT_FALSE(fs::exists(folder() / "double.bin"));
}

}  // namespace
}  // namespace tessaron::profiles
