#include "profiles/profile_store.h"

#include <algorithm>
#include <system_error>

#include "core/atomic_file.h"
#include "core/text.h"
#include "keys/keymap_file.h"
#include "profiles/profile_messages.h"

namespace tessaron::profiles {
namespace {

namespace fs = std::filesystem;

// The list's collation: letter case ignored, ties broken byte by byte so the order is total.
bool collatesBefore(const std::string& a, const std::string& b) {
    auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
    const auto [ia, ib] =
        std::mismatch(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
            return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
        });
    if (ia != a.end() && ib != b.end()) {
        return lower(static_cast<unsigned char>(*ia)) < lower(static_cast<unsigned char>(*ib));
    }
    if (ia == a.end() && ib == b.end()) return a < b;
    return ia == a.end();
}

std::size_t utf16Units(std::string_view utf8) {
    std::size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) == 0x80) continue;
        units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

bool holdsNoKeyMap(const device::DeviceImage& image) {
    const auto map = std::span(image).subspan(device::image::kKeyMap, device::image::kKeyMapSize);
    return std::all_of(map.begin(), map.end(), [](std::uint8_t b) { return b == 0; });
}

// The sizes a profile file is written with: the device image alone (older New) or the whole
// configuration.
constexpr std::size_t kProfileSizes[] = {device::image::kSize, keys::kKeymapFileSize};

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace

ProfileStore::ProfileStore(fs::path dataFolder, Language language, Clock& clock)
    : folder_(std::move(dataFolder) / kProfileFolderName), language_(language), clock_(clock) {}

StoreResult ProfileStore::result(Outcome outcome, const Error& message) {
    return result(outcome, message, messages::caption());
}

StoreResult ProfileStore::result(Outcome outcome, const Error& message, const Error& caption) {
    return StoreResult{outcome, message, caption};
}

StoreResult ProfileStore::open() {
    names_.clear();
    paths_.clear();
    std::error_code ec;
    fs::create_directories(folder_, ec);
    rescan();
    if (ec) {
        return result(
            Outcome::Failed,
            makeError(TR_TEXT("Profiles", "Could not create the profile folder \"%1\": %2."),
                      folder_.string(), ec.message()));
    }
    return {};
}

void ProfileStore::rescan() {
    names_.clear();
    paths_.clear();
    std::vector<std::pair<std::string, fs::path>> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string file = it->path().filename().string();
        if (!endsWith(file, kProfileExtension)) continue;
        std::string name = file.substr(0, file.size() - std::string_view(kProfileExtension).size());
        if (name.empty()) continue;
        found.emplace_back(std::move(name), it->path());
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return collatesBefore(a.first, b.first); });
    if (found.size() > kMaxProfiles) found.resize(kMaxProfiles);
    for (auto& [name, path] : found) {
        names_.push_back(std::move(name));
        paths_.push_back(std::move(path));
    }
}

std::optional<std::size_t> ProfileStore::indexOf(std::string_view name) const {
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name) return i;
    }
    return std::nullopt;
}

bool ProfileStore::listed(std::string_view name) const {
    return indexOf(name).has_value();
}

fs::path ProfileStore::pathFor(std::string_view name) const {
    return folder_ / (std::string(name) + kProfileExtension);
}

Status ProfileStore::checkName(std::string_view name) const {
    if (name.empty() || name.find('/') != std::string_view::npos ||
        name.find('\\') != std::string_view::npos || name.find("..") != std::string_view::npos ||
        std::any_of(name.begin(), name.end(), [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u < 0x20 || u == 0x7F;
        })) {
        return messages::badName();
    }
    const std::string file = std::string(name) + kProfileExtension;
    if (file.size() > 255 || utf16Units((folder_ / file).string()) > kMaxPathUnits) {
        return messages::nameTooLong();
    }
    return {};
}

StoreResult ProfileStore::create() {
    if (names_.size() >= kMaxProfiles) return result(Outcome::Refused, messages::onlySix());
    std::string name;
    for (int n = 1;; ++n) {
        name = "Profile_" + std::to_string(n);
        std::error_code ec;
        if (!listed(name) && !fs::exists(pathFor(name), ec)) break;
    }
    if (auto ok = checkName(name); !ok) return result(Outcome::Refused, ok.error());
    // Every profile file has the full size; an empty one is all zeros.
    const std::vector<std::uint8_t> zeros(keys::kKeymapFileSize, 0);
    const Status written = writeFileAtomically(pathFor(name), zeros);
    rescan();
    if (!written) return result(Outcome::Failed, written.error());
    return {};
}

StoreResult ProfileStore::copy(std::optional<std::size_t> selected) {
    if (!selected || *selected >= names_.size()) {
        return result(Outcome::Refused, messages::selectToCopy());
    }
    if (names_.size() >= kMaxProfiles) return StoreResult::silent(Outcome::Refused);

    // The copy takes the file as it is; an image-only profile gets zero records, so every
    // profile file has the full size.
    auto bytes = readFileOfSize(paths_[*selected], kProfileSizes);
    if (!bytes) return result(Outcome::Failed, bytes.error());
    bytes->resize(keys::kKeymapFileSize, 0);

    const std::string& source = names_[*selected];
    const std::string prefix = translate(language_, TR_TEXT("Profiles", "Copy of ?"));
    std::string name;
    for (int k = 0;; ++k) {
        name = prefix + " " + source;
        if (k > 0) name += " " + std::to_string(k);
        std::error_code ec;
        if (!listed(name) && !fs::exists(pathFor(name), ec)) break;
    }
    if (auto ok = checkName(name); !ok) return result(Outcome::Refused, ok.error());
    const Status written = writeFileAtomically(pathFor(name), *bytes);
    rescan();
    if (!written) return result(Outcome::Failed, written.error());
    return {};
}

StoreResult ProfileStore::save(std::optional<std::size_t> selected, const LiveConfiguration& live,
                               const std::optional<fs::path>& exportTo) {
    if (!selected || *selected >= names_.size()) {
        return result(Outcome::Refused, messages::selectToSave());
    }
    if (auto written = keys::writeKeymap(paths_[*selected], live.image, live.records); !written) {
        return result(Outcome::Failed, written.error());
    }
    if (exportTo) {
        std::vector<std::uint8_t> bytes(live.image.begin(), live.image.end());
        const auto records = keys::asBytes(live.records);
        bytes.insert(bytes.end(), records.begin(), records.end());
        if (auto written = writeUserFile(*exportTo, bytes); !written) {
            return result(Outcome::Failed, written.error());
        }
    }
    return {};
}

StoreResult ProfileStore::load(std::optional<std::size_t> selected, const LiveConfiguration& live,
                               const std::optional<fs::path>& chosen) {
    if (!selected || *selected >= names_.size()) {
        return result(Outcome::Refused, messages::selectToOpen());
    }
    // A cancelled choice must not overwrite the profile with a configuration nobody asked to save.
    if (!chosen) return StoreResult::silent(Outcome::Cancelled);
    auto bytes = readFilePrefix(*chosen, keys::kKeymapFileSize + 1);
    if (!bytes) return result(Outcome::Failed, bytes.error());
    // A file Tessaron never wrote is a file that failed, not a wrong command.
    if (auto usable = checkFileSize(*chosen, bytes->size(), kProfileSizes); !usable) {
        return result(Outcome::Failed, usable.error());
    }

    // Each block takes what the file reaches; the rest keeps what it held.
    const std::span<const std::uint8_t> all(*bytes);
    const auto imagePart = all.first(std::min(all.size(), device::image::kSize));
    device::DeviceImage image = live.image;
    std::copy(imagePart.begin(), imagePart.end(), image.begin());
    // A keyboard always holds key cells; an image without any (a file made by New) would, once
    // saved, blank and disable every key of the keyboard.
    if (holdsNoKeyMap(image)) return result(Outcome::Refused, messages::holdsNoSettings());
    live.image = image;
    const auto recordPart = all.subspan(imagePart.size());
    std::copy(recordPart.begin(), recordPart.end(), keys::asWritableBytes(live.records).begin());
    keys::fillLayoutVks(live.records);

    if (auto written = keys::writeKeymap(paths_[*selected], live.image, live.records); !written) {
        return result(Outcome::Failed, written.error());
    }
    return {};
}

int ProfileStore::deleteFile(const fs::path& path) {
    std::error_code ec;
    if (fs::remove(path, ec)) return 0;
    return ec ? 1 : 2;
}

StoreResult ProfileStore::remove(std::optional<std::size_t> selected,
                                 const std::function<bool()>& confirm) {
    if (names_.size() == 1) return result(Outcome::Refused, messages::keepOne());
    if (!selected || *selected >= names_.size()) {
        return result(Outcome::Refused, messages::selectToDelete());
    }
    if (!confirm()) {
        rescan();
        return StoreResult::silent(Outcome::Cancelled);
    }
    const fs::path path = paths_[*selected];
    int code = deleteFile(path);
    // A file not found is tried again, within a budget shared by the store's whole life.
    while (code == 2) {
        code = deleteFile(path);
        ++deleteRetries_;
        if (deleteRetries_ > 10) break;
    }
    rescan();
    if (code == 1) {
        const Error fail = messages::deleteFailed();
        const std::string why = " \"" + path.string() + "\"";
        return result(
            Outcome::Failed,
            makeError(TR_TEXT3("Profiles", "%1%2", "a message and the file it names"), fail, why));
    }
    return {};
}

StoreResult ProfileStore::rename(std::size_t oldIndex, std::string_view newName) {
    if (oldIndex >= names_.size()) return StoreResult::silent(Outcome::Refused);
    // A name typed with the extension gets no second one.
    std::string name(newName);
    if (endsWith(name, kProfileExtension))
        name.resize(name.size() - std::string_view(kProfileExtension).size());
    if (auto ok = checkName(name); !ok) {
        rescan();
        return result(Outcome::Refused, ok.error());
    }
    const fs::path target = pathFor(name);
    std::error_code ec;
    if (std::find(paths_.begin(), paths_.end(), target) != paths_.end() || fs::exists(target, ec)) {
        rescan();
        clock_.sleepMs(300);
        return result(Outcome::Refused, messages::nameTaken());
    }
    StoreResult outcome;
    fs::rename(paths_[oldIndex], target, ec);
    if (ec) {
        const Error fail = messages::renameFailed();
        const std::string why = ": \"" + paths_[oldIndex].string() + "\": " + ec.message() + ".";
        outcome = result(
            Outcome::Failed,
            makeError(TR_TEXT3("Profiles", "%1%2", "a message and the file it names"), fail, why),
            messages::applicationTitle());
    }
    clock_.sleepMs(200);
    rescan();
    clock_.sleepMs(300);
    return outcome;
}

}  // namespace tessaron::profiles
