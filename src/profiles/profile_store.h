#pragma once
// The profile store: up to six named copies of the live configuration (device image and key
// record table, laid out as keymap.bin) in the "Configure" folder of the data folder. It knows
// nothing of windows: the panel passes in its selection and the file chooser's answer, and shows
// the message each operation returns.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/language.h"
#include "core/result.h"
#include "device/device_image.h"
#include "keys/key_record.h"

namespace tessaron::profiles {

inline constexpr const char* kProfileFolderName = "Configure";
inline constexpr const char* kProfileExtension = ".bin";
inline constexpr std::size_t kMaxProfiles = 6;
// A profile's full path must fit 255 UTF-16 units with its terminating zero.
inline constexpr std::size_t kMaxPathUnits = 254;

// The main window's live configuration, edited in place by Load.
struct LiveConfiguration {
    device::DeviceImage& image;
    keys::KeyRecordTable& records;
};

enum class Outcome {
    Done,
    Refused,    // not done; message says why (or nothing, where the panel stays silent)
    Failed,     // a file operation failed; message says which
    Cancelled,  // the user cancelled; nothing changed
};

// What an operation did, on the common result type: `status` holds the refusal or failure in
// both languages (a failed write names the file and the reason); it is ok where there is
// nothing to say, a silent refusal included.
struct StoreResult {
    Outcome outcome = Outcome::Done;
    Status status;
    Error caption;

    [[nodiscard]] bool done() const { return outcome == Outcome::Done; }
    // The text to show in the given language; empty when there is nothing to show.
    [[nodiscard]] std::string message(Language language) const {
        return status ? std::string() : status.error().text(language);
    }
    [[nodiscard]] std::string captionText(Language language) const {
        return caption.text(language);
    }
    static StoreResult silent(Outcome outcome) { return {outcome, {}, {}}; }
};

class ProfileStore {
public:
    ProfileStore(std::filesystem::path dataFolder, Language language, Clock& clock);

    // Creates the profile folder when missing and lists it.
    StoreResult open();
    // Lists the folder again: at most six profiles, sorted without regard to letter case.
    void rescan();

    [[nodiscard]] const std::filesystem::path& folder() const { return folder_; }
    [[nodiscard]] const std::vector<std::string>& names() const { return names_; }
    // The file of each listed profile, in list order.
    [[nodiscard]] const std::vector<std::filesystem::path>& paths() const { return paths_; }
    [[nodiscard]] std::optional<std::size_t> indexOf(std::string_view name) const;

    // New: "Profile_n" with the first free n, holding zeros (a profile without settings).
    StoreResult create();
    StoreResult copy(std::optional<std::size_t> selected);
    // Writes the live configuration into the selected profile, and into exportTo when the user
    // chose a file.
    StoreResult save(std::optional<std::size_t> selected, const LiveConfiguration& live,
                     const std::optional<std::filesystem::path>& exportTo);
    // Reads the chosen file into the live configuration, then writes that into the selected
    // profile. Without a chosen file nothing is read or written; a file of a size no profile
    // has is refused, naming it.
    StoreResult load(std::optional<std::size_t> selected, const LiveConfiguration& live,
                     const std::optional<std::filesystem::path>& chosen);
    // Deletes the selected profile when confirm() says so.
    StoreResult remove(std::optional<std::size_t> selected, const std::function<bool()>& confirm);
    // The panel's in-place rename of list position oldIndex to newName.
    StoreResult rename(std::size_t oldIndex, std::string_view newName);

    // Retries spent on deleting files that were already gone, over the store's whole life.
    [[nodiscard]] int deleteRetries() const { return deleteRetries_; }

    // Refuses names that would leave the folder, hide control characters or overflow a path.
    [[nodiscard]] Status checkName(std::string_view name) const;

private:
    static StoreResult result(Outcome outcome, const Error& message);
    static StoreResult result(Outcome outcome, const Error& message, const Error& caption);
    std::filesystem::path pathFor(std::string_view name) const;
    bool listed(std::string_view name) const;
    // 0 deleted, 2 not found, 1 any other failure.
    static int deleteFile(const std::filesystem::path& path);

    std::filesystem::path folder_;
    Language language_;
    Clock& clock_;
    std::vector<std::string> names_;
    std::vector<std::filesystem::path> paths_;
    int deleteRetries_ = 0;
};

}  // namespace tessaron::profiles
