#pragma once
// Runs the built tessaronctl on the virtual keyboard in a data folder of its own, and compares
// everything in that folder before and after a command.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "device/device_image.h"
#include "run_process.h"

namespace tessaron::testing {

// Every file under a folder, by relative path, with its bytes. Folders do not count: the data
// folder and "Configure" are created on first use.
using Snapshot = std::map<std::string, std::string>;
Snapshot snapshotOf(const std::filesystem::path& folder);

// Runs the demo keyboard on the real clock, for tests of how long the program waits; every other
// command runs it on its stepped time line (TESSARON_DEMO_TIME=stepped).
ProcessOptions onTheRealClock(ProcessOptions options = {});

class CliTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path data() const { return root_ / "data"; }
    std::filesystem::path keymap() const { return data() / "keymap.bin"; }

    // tessaronctl --data-dir DATA --demo ARGS...
    ProcessResult ctl(const std::vector<std::string>& args, ProcessOptions options = {}) const;
    // tessaronctl ARGS... with nothing added.
    ProcessResult ctlBare(const std::vector<std::string>& args, ProcessOptions options = {}) const;
    // Runs a command that must succeed; fails the test with its output otherwise.
    ProcessResult ok(const std::vector<std::string>& args, ProcessOptions options = {}) const;

    // A command that must be refused with a message containing `message` and leave every file
    // (the data folder, home and anything else under the root) exactly as it was: a failure of
    // the keyboard or a file (exit status 1) ...
    ProcessResult expectRefused(const std::vector<std::string>& args, std::string_view message,
                                ProcessOptions options = {}) const;
    // ... or a wrong command line (exit status 2).
    ProcessResult expectUsageError(const std::vector<std::string>& args, std::string_view message,
                                   ProcessOptions options = {}) const;

    // What the virtual keyboard holds, from its state file in the data folder.
    device::DeviceImage keyboardSettings() const;
    device::DeviceImage keymapImage() const;
    std::filesystem::path writeText(const std::string& name, std::string_view text) const;

private:
    ProcessResult expectNothingChanged(const std::vector<std::string>& args,
                                       std::string_view message, int status,
                                       ProcessOptions options) const;

    std::filesystem::path root_;
};

// The key cell of Caps Lock (matrix column 0, row 2), whose factory cell is 00 00 39 00.
inline constexpr std::size_t kCapsCell = device::image::keyCell(0, 2);

}  // namespace tessaron::testing
