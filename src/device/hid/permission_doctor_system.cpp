// The permission doctor's look at this machine: the keyboard's nodes, their udev tags, udev's
// rule folders and the rule shipped with the program.

#include <libudev.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <system_error>

#include "core/atomic_file.h"
#include "device/hid/permission_doctor.h"
#include "device/hid/permission_doctor_rules.h"

namespace tessaron::device::hid {

namespace fs = std::filesystem;

namespace {

// Rule files are short; anything larger is not one a person wrote for this keyboard.
constexpr std::size_t kMaxRuleFileSize = 1 << 20;

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};

// Whether udev tagged the node "uaccess" when it last processed it; nullopt for a path that is
// no hidraw node (the virtual keyboard) or when udev cannot tell.
std::optional<bool> uaccessTag(udev* context, const std::string& path) {
    const fs::path node(path);
    if (!context || node.parent_path() != "/dev") return std::nullopt;
    std::unique_ptr<udev_device, UdevDeleter> device(udev_device_new_from_subsystem_sysname(
        context, "hidraw", node.filename().string().c_str()));
    if (!device) return std::nullopt;
    return udev_device_has_current_tag(device.get(), "uaccess") != 0;
}

bool masked(const fs::path& file) {
    std::error_code ec;
    if (fs::is_symlink(file, ec) && fs::read_symlink(file, ec) == "/dev/null") return true;
    return fs::is_regular_file(file, ec) && fs::file_size(file, ec) == 0;
}

std::vector<RuleFileFacts> activeRuleFiles() {
    std::vector<RuleFileFacts> rules;
    std::set<std::string> seenNames;
    std::set<fs::path> seenFolders;
    const std::string product = usbIdText(kProductId);
    for (const auto& folder : udevRuleFolders()) {
        std::error_code ec;
        const auto real = fs::canonical(folder, ec);
        if (ec || !seenFolders.insert(real).second) continue;  // /lib is often /usr/lib
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
            const auto& file = entry.path();
            if (file.extension() != ".rules") continue;
            if (!seenNames.insert(file.filename().string()).second) continue;
            if (masked(file)) continue;
            auto bytes = readFilePrefix(file, kMaxRuleFileSize);
            if (!bytes) continue;
            std::string text(bytes->begin(), bytes->end());
            // Only files that could name the keyboard need parsing.
            if (text.find(product) == std::string::npos) continue;
            rules.push_back({file, std::move(text)});
        }
    }
    return rules;
}

fs::path shippedRule(const fs::path& executableFolder) {
    std::vector<fs::path> candidates;
    if (!executableFolder.empty()) {
        candidates.push_back((executableFolder / ".." / "lib" / "udev" / "rules.d" / kRuleFileName)
                                 .lexically_normal());
    }
#ifdef TESSARON_PACKAGING_DIR
    candidates.push_back(fs::path(TESSARON_PACKAGING_DIR) / kRuleFileName);
#endif
    for (const auto& c : candidates) {
        std::error_code ec;
        if (fs::is_regular_file(c, ec)) return c;
    }
    return {};
}

}  // namespace

std::vector<fs::path> udevRuleFolders() {
    return {kSystemRuleFolder, "/run/udev/rules.d", "/usr/local/lib/udev/rules.d",
            "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
}

DoctorFacts gatherFacts(Transport& transport, const fs::path& executableFolder) {
    DoctorFacts facts;
    std::unique_ptr<udev, UdevDeleter> context(udev_new());
    for (const auto& info : transport.enumerate()) {
        facts.nodes.push_back({info.path, info.interfaceNumber, info.role, info.accessible,
                               uaccessTag(context.get(), info.path)});
    }
    facts.activeRules = activeRuleFiles();
    facts.shippedRule = shippedRule(executableFolder);
    facts.root = ::geteuid() == 0;
    return facts;
}

}  // namespace tessaron::device::hid
