#include "keys/host_action.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "core/atomic_file.h"

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

namespace {

// One entry a line: record, key code, kind and the path with \\, \n and \t escaped.
std::string formatEntry(const HostActionEntry& e) {
    std::string line = std::to_string(e.record) + " " + std::to_string(e.vk) + " " +
                       std::to_string(e.kind) + " ";
    for (const char c : e.path) {
        if (c == '\\') line += "\\\\";
        else if (c == '\n') line += "\\n";
        else if (c == '\t') line += "\\t";
        else line += c;
    }
    return line + "\n";
}

std::optional<HostActionEntry> parseEntry(std::string_view line) {
    HostActionEntry e;
    unsigned vk = 0;
    unsigned kind = 0;
    const char* p = line.data();
    const char* end = line.data() + line.size();
    auto number = [&](auto& out) {
        const auto [next, ec] = std::from_chars(p, end, out);
        if (ec != std::errc() || next == end || *next != ' ') return false;
        p = next + 1;
        return true;
    };
    if (!number(e.record) || !number(vk) || !number(kind) || vk > 0xFF || kind > 0xFF) {
        return std::nullopt;
    }
    e.vk = static_cast<std::uint8_t>(vk);
    e.kind = static_cast<std::uint8_t>(kind);
    for (; p < end; ++p) {
        if (*p != '\\' || p + 1 == end) {
            e.path += *p;
            continue;
        }
        const char n = *++p;
        e.path += n == 'n' ? '\n' : n == 't' ? '\t' : n;
    }
    return e;
}

constexpr std::size_t kMaxApprovedFileBytes = 1 << 22;

}  // namespace

std::vector<HostActionEntry> hostActions(const KeyRecordTable& records) {
    std::vector<HostActionEntry> out;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const KeyRecord& r = records[i];
        if (!kind::isHostAction(r.kind)) continue;
        std::string path = hostPath(r);
        if (path.empty()) continue;  // opens nothing
        out.push_back({i, r.vk, r.kind, std::move(path)});
    }
    return out;
}

Result<std::vector<HostActionEntry>> readApprovedHostActions(const std::filesystem::path& folder) {
    const auto file = folder / kApprovedHostActionsFileName;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec) && !ec) return std::vector<HostActionEntry>{};
    auto bytes = readFilePrefix(file, kMaxApprovedFileBytes);
    if (!bytes) return bytes.error();
    std::vector<HostActionEntry> out;
    std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    while (!text.empty()) {
        const auto eol = text.find('\n');
        if (auto entry = parseEntry(text.substr(0, eol))) out.push_back(std::move(*entry));
        text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    }
    return out;
}

Status approveHostActions(const std::filesystem::path& folder,
                          std::span<const HostActionEntry> entries) {
    auto list = readApprovedHostActions(folder);
    if (!list) return list.error();
    const std::size_t before = list->size();
    for (const auto& e : entries) {
        if (std::find(list->begin(), list->end(), e) == list->end()) list->push_back(e);
    }
    if (list->size() == before) return {};
    std::string text;
    for (const auto& e : *list) text += formatEntry(e);
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()),
                                              text.size());
    return writeFileAtomically(folder / kApprovedHostActionsFileName, bytes);
}

std::vector<HostActionEntry> unapprovedHostActions(const KeyRecordTable& records,
                                                   std::span<const HostActionEntry> approved) {
    std::vector<HostActionEntry> out;
    for (auto& e : hostActions(records)) {
        if (std::find(approved.begin(), approved.end(), e) == approved.end()) {
            out.push_back(std::move(e));
        }
    }
    return out;
}

}  // namespace tessaron::keys
