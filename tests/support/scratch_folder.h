#pragma once
// A fresh, empty folder for the running test under the system's temporary folder, removed when
// the test ends. Its name carries the process id and the test's name: ctest runs every test in
// a process of its own, and several build folders may run the same suite at the same time.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace tessaron::testing {

class ScratchFolder {
public:
    explicit ScratchFolder(std::string_view prefix)
        : path_(std::filesystem::temp_directory_path() /
                (std::string(prefix) + "-" + std::to_string(::getpid()) + "-" + testName())) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        // A test may have taken the write permission away to provoke a failure.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    // Parameterised tests are named "Case/0": one path component all the same.
    static std::string testName() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info != nullptr ? info->name() : "no-test";
        std::replace(name.begin(), name.end(), '/', '_');
        return name;
    }

    std::filesystem::path path_;
};

}  // namespace tessaron::testing
