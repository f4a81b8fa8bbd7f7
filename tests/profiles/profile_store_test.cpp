#include "profiles/profile_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <memory>

#include "keys/keymap_file.h"
#include "profiles/profile_messages.h"
#include "support/fake_clock.h"
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
        lang_ = lang;
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
    Language lang_ = Language::English;
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
    EXPECT_EQ(refused.message(lang_), "Only Create Six Profile mostly\n");
    EXPECT_EQ(refused.captionText(lang_), "Profile");
    const StoreResult copy = s.copy(0);
    EXPECT_EQ(copy.outcome, Outcome::Refused);
    EXPECT_TRUE(copy.message(lang_).empty());

    store_.emplace(dir_, Language::Chinese, clock_);
    ASSERT_TRUE(store_->open().done());
    EXPECT_EQ(store_->create().message(Language::Chinese), "最多可以存储6个配置\n");
}

TEST_F(ProfileStoreTest, CopyNamesTakeTheFirstFreeSuffix) {
    auto& s = open();
    ASSERT_TRUE(s.create().done());
    image_[0] = 7;
    ASSERT_TRUE(s.save(0, live(), std::nullopt).done());
    EXPECT_EQ(s.copy(std::nullopt).message(lang_), "Please select a profile to copy\n");
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

    // A device image alone (as older versions made): its bytes, then zero records.
    std::ofstream(folder() / "image.bin", std::ios::binary) << std::string(10056, '\x22');
    // Any other size is no profile: refused, naming the file, and nothing is made.
    std::ofstream(folder() / "torn.bin", std::ios::binary) << std::string(100, '\x22');
    s.rescan();
    ASSERT_TRUE(s.copy(s.indexOf("image")).done());
    auto expected = std::vector<std::uint8_t>(206916, 0);
    std::fill_n(expected.begin(), 10056, 0x22);
    EXPECT_EQ(contents(folder() / "Copy of ? image.bin"), expected);
    const StoreResult torn = s.copy(s.indexOf("torn"));
    EXPECT_EQ(torn.outcome, Outcome::Failed);
    EXPECT_NE(torn.message(lang_).find("torn.bin\" holds 100 bytes"), std::string::npos);
    EXPECT_FALSE(s.indexOf("Copy of ? torn"));
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
    EXPECT_EQ(s.save(std::nullopt, live(), std::nullopt).message(lang_),
              "Please select a profile to Save\n");
    EXPECT_EQ(s.load(std::nullopt, live(), exported).message(lang_), "Please select a profile to Open\n");
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
    EXPECT_EQ(r.message(lang_), messages::holdsNoSettings().english);
    EXPECT_EQ(image_, before);
    EXPECT_EQ((*records_)[200].kind, 3);
    EXPECT_EQ(contents(made), std::vector<std::uint8_t>(206916, 0));

    // An empty, torn or over-long file is none Tessaron wrote: refused, naming it.
    const fs::path torn = dir_ / "torn.bin";
    for (const std::size_t size : {std::size_t{0}, std::size_t{100}, keys::kKeymapFileSize + 1}) {
        std::ofstream(torn, std::ios::binary | std::ios::trunc) << std::string(size, '\x22');
        const StoreResult refused = s.load(0, live(), torn);
        EXPECT_EQ(refused.outcome, Outcome::Failed) << size;
        EXPECT_NE(refused.message(lang_).find("torn.bin"), std::string::npos);
    }
    EXPECT_EQ(s.load(0, live(), fs::path("/dev/null")).outcome, Outcome::Failed);
    EXPECT_EQ(image_, before);
    EXPECT_EQ(contents(made), std::vector<std::uint8_t>(206916, 0));

    // A device image alone leaves the records as they are.
    std::ofstream(torn, std::ios::binary | std::ios::trunc) << std::string(10056, '\x22');
    ASSERT_TRUE(s.load(0, live(), torn).done());
    EXPECT_EQ(image_[device::image::kKeyMap], 0x22);
    EXPECT_EQ((*records_)[200].kind, 3);
    EXPECT_EQ((*records_)[0].vk, keys::layoutVk(0));
    EXPECT_EQ(fs::file_size(made), keys::kKeymapFileSize);
}

// Runs `body` in a child process on a full disk (a file-size limit below a profile's size) or,
// with readOnly, in a folder the child may not change (as root, as CI runs, by dropping to an
// unprivileged user; otherwise by taking the write permission away). Returns the child's exit
// status: 0 when every check inside held.
template <class Body>
int inChild(const fs::path& folder, bool readOnly, Body body) {
    if (readOnly && ::geteuid() != 0) fs::permissions(folder, fs::perms(0555));
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (readOnly && ::geteuid() == 0) {
            if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0) {
                ::_exit(90);
            }
        }
        if (!readOnly) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100'000, 100'000};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(91);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    fs::permissions(folder, fs::perms(0755));
    return WIFEXITED(status) ? WEXITSTATUS(status) : 99;
}

TEST_F(ProfileStoreTest, FailedWritesAreReportedListNothingNewAndKeepTheOldFile) {
    auto& s = open();
    ASSERT_TRUE(s.create().done());
    image_[device::image::kKeyMap] = 0x29;
    ASSERT_TRUE(s.save(0, live(), std::nullopt).done());
    const auto saved = contents(s.paths()[0]);
    fs::permissions(s.paths()[0], fs::perms(0644));  // the unprivileged user may read it
    image_[5] = 0x55;
    // Each: failed, naming the file and the reason, and the list as before.
    auto failedWrite = [&](const StoreResult& r) {
        const std::string m = r.message(lang_);
        return r.outcome == Outcome::Failed && m.find("Could not write") != std::string::npos &&
               m.find(".bin") != std::string::npos && s.names().size() == 1;
    };
    for (const bool readOnly : {false, true}) {
        const int code = inChild(folder(), readOnly, [&] {
            if (!failedWrite(s.create())) return 1;
            if (!failedWrite(s.copy(0))) return 2;
            if (!failedWrite(s.save(0, live(), std::nullopt))) return 3;
            if (!readOnly) return 0;  // a rename writes no bytes
            const StoreResult renamed = s.rename(0, "Gaming");
            if (renamed.outcome != Outcome::Failed || s.names() != std::vector<std::string>{"Profile_1"})
                return 4;
            return renamed.message(lang_).find("Profile_1.bin") != std::string::npos ? 0 : 5;
        });
        EXPECT_EQ(code, 0) << (readOnly ? "read-only" : "full");
        // Nothing new on disk, no temporary file, and the saved profile as it was.
        EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 1);
        EXPECT_EQ(contents(folder() / "Profile_1.bin"), saved);
    }
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
    EXPECT_EQ(s.remove(std::nullopt, [] { return true; }).message(lang_), "Please keep a profile\n");
    ASSERT_TRUE(s.create().done());
    EXPECT_EQ(s.remove(std::nullopt, [] { return true; }).message(lang_),
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
        EXPECT_FALSE(r.message(lang_).empty());
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
