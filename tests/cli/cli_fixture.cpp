#include "cli_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "device/virtual/demo_faults.h"
#include "device/virtual/keyboard_state_file.h"

namespace tessaron::testing {

namespace fs = std::filesystem;

Snapshot snapshotOf(const fs::path& folder) {
    Snapshot files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        // Folders (the data folder, "Configure") may be created on first use; files may not.
        if (entry.is_directory()) continue;
        const std::string name = fs::relative(entry.path(), folder).string();
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[name] = bytes.str();
    }
    return files;
}

void CliTest::SetUp() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = (fs::path(tmp && *tmp ? tmp : "/tmp") / "tessaron-cli-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "home");
}

void CliTest::TearDown() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

ProcessOptions onTheRealClock(ProcessOptions options) {
    options.environment.push_back(std::string(device::kDemoTimeVariable) + "=real");
    return options;
}

ProcessResult CliTest::ctlBare(const std::vector<std::string>& args, ProcessOptions options) const {
    // The demo keyboard's pacing takes no real time, unless the test chose the clock itself.
    const std::string timeSet = std::string(device::kDemoTimeVariable) + "=";
    if (std::none_of(options.environment.begin(), options.environment.end(),
                     [&](const std::string& e) { return e.starts_with(timeSet); })) {
        options.environment.push_back(timeSet + "stepped");
    }
    options.environment.push_back("HOME=" + (root_ / "home").string());
    options.environment.push_back("XDG_CONFIG_HOME=" + (root_ / "home" / ".config").string());
    return runProcess(TESSARONCTL_PATH, args, options);
}

ProcessResult CliTest::ctl(const std::vector<std::string>& args, ProcessOptions options) const {
    std::vector<std::string> all = {"--data-dir", data().string(), "--demo"};
    all.insert(all.end(), args.begin(), args.end());
    return ctlBare(all, std::move(options));
}

ProcessResult CliTest::ok(const std::vector<std::string>& args, ProcessOptions options) const {
    auto r = ctl(args, std::move(options));
    EXPECT_EQ(r.exitCode, 0) << "tessaronctl " << ::testing::PrintToString(args) << "\n"
                             << r.out << r.err;
    return r;
}

ProcessResult CliTest::expectRefused(const std::vector<std::string>& args, std::string_view message,
                                     ProcessOptions options) const {
    return expectNothingChanged(args, message, 1, std::move(options));
}

ProcessResult CliTest::expectUsageError(const std::vector<std::string>& args,
                                        std::string_view message, ProcessOptions options) const {
    return expectNothingChanged(args, message, 2, std::move(options));
}

ProcessResult CliTest::expectNothingChanged(const std::vector<std::string>& args,
                                            std::string_view message, int status,
                                            ProcessOptions options) const {
    const Snapshot before = snapshotOf(root_);
    const auto r = ctl(args, std::move(options));
    const std::string shown = "tessaronctl " + ::testing::PrintToString(args) + "\n" + r.err;
    EXPECT_EQ(r.exitCode, status) << shown;
    EXPECT_NE(r.err.find("tessaronctl: "), std::string::npos) << shown;
    EXPECT_NE(r.err.find(message), std::string::npos) << shown;
    EXPECT_TRUE(snapshotOf(root_) == before) << "files changed by " << shown;
    return r;
}

device::DeviceImage CliTest::keyboardSettings() const {
    return device::loadKeyboardState(data() / device::kVirtualKeyboardFileName).state.settings;
}

device::DeviceImage CliTest::keymapImage() const {
    device::DeviceImage img{};
    std::ifstream in(keymap(), std::ios::binary);
    in.read(reinterpret_cast<char*>(img.data()), static_cast<std::streamsize>(img.size()));
    return img;
}

fs::path CliTest::writeText(const std::string& name, std::string_view text) const {
    const fs::path path = root_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

}  // namespace tessaron::testing
