#include "keys/host_action.h"

namespace tessaron::keys {

SplitPath splitHostPath(std::string_view path) {
    const auto at = path.rfind(kPathSeparator);
    if (at == std::string_view::npos) return {std::string(path), {}};
    std::string folder(path.substr(0, at));
    if (at == 0) folder = std::string(1, kPathSeparator);
    return {std::move(folder), std::string(path.substr(at + 1))};
}

std::optional<HostAction> findHostAction(const KeyRecordTable& records, std::uint8_t code) {
    for (const KeyRecord& r : records) {
        if (!kind::isHostAction(r.kind) || r.vk != code) continue;
        auto split = splitHostPath(hostPath(r));
        return HostAction{r.kind, std::move(split.folder), std::move(split.file)};
    }
    return std::nullopt;
}

bool runHostAction(const KeyRecordTable& records, std::uint8_t code, Launcher& launcher) {
    const auto action = findHostAction(records, code);
    // An empty path (a row chosen without a file) names nothing to open.
    if (!action || (action->folder.empty() && action->file.empty())) return false;
    launcher.launch(*action);
    return true;
}

}  // namespace tessaron::keys
