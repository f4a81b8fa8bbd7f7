// What other programs (tessaronctl, a script, a second editor) change in the data folder while the
// window runs. Files are replaced by rename, so the folder is watched, not the files.

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <cstring>
#include <memory>
#include <span>
#include <utility>

#include "app/controller/settings_controller.h"
#include "core/atomic_file.h"
#include "core/data_folder.h"
#include "keys/assignment.h"
#include "macros/macro_file.h"
#include "macros/slot_packing.h"
#include "profiles/profile_store.h"
#include "switching/rules.h"
#include "core/text.h"

namespace tessaron::app {

namespace {

// A writer replaces two files one after the other; the check waits until the folder is quiet.
constexpr int kQuietMs = 300;

QString toQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

QByteArray readAll(const std::filesystem::path& path) {
    QFile file(toQString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.read(static_cast<qint64>(keys::kKeymapFileSize) + 1);
}

QByteArray keymapBytes(const device::DeviceImage& image, const keys::KeyRecordTable& records) {
    QByteArray bytes(reinterpret_cast<const char*>(image.data()),
                     static_cast<qsizetype>(image.size()));
    const auto table = keys::asBytes(records);
    bytes.append(reinterpret_cast<const char*>(table.data()), static_cast<qsizetype>(table.size()));
    return bytes;
}

std::span<const std::uint8_t> asSpan(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

// What differs between two files laid out as keymap.bin.
OutsideConflict differences(const QByteArray& mine, const QByteArray& theirs) {
    OutsideConflict conflict;
    const auto a = asSpan(mine);
    const auto b = asSpan(theirs);
    for (std::size_t i = 0; i < keys::kKeyRecordCount; ++i) {
        const std::size_t at = device::image::kSize + i * keys::kKeyRecordSize;
        if (std::memcmp(a.data() + at, b.data() + at, keys::kKeyRecordSize) != 0) {
            ++conflict.keysDiffering;
        }
    }
    conflict.settingsDiffer = std::memcmp(a.data(), b.data(), device::image::kSize) != 0;
    return conflict;
}

// The watcher and the timer that waits for the folder to be quiet.
class OutsideWatch final : public QObject {
public:
    OutsideWatch(SettingsController& controller, const std::filesystem::path& folder)
        : QObject(&controller),
          folder_(toQString(folder)),
          profiles_(toQString(folder / profiles::kProfileFolderName)),
          rules_(toQString(folder / switching::kRulesFileName)) {
        quiet_.setSingleShot(true);
        quiet_.setInterval(kQuietMs);
        connect(&quiet_, &QTimer::timeout, &controller, &SettingsController::checkOutsideChanges);
        watcher_.addPath(folder_);
        watchProfiles();
        rulesStamp_ = QFileInfo(rules_).lastModified();
        connect(&watcher_, &QFileSystemWatcher::directoryChanged, this,
                [this, &controller](const QString& path) {
                    if (path == profiles_) {
                        emit controller.profilesChanged();
                        return;
                    }
                    watchProfiles();  // the profile folder may have just been made
                    if (const auto stamp = QFileInfo(rules_).lastModified(); stamp != rulesStamp_) {
                        rulesStamp_ = stamp;
                        emit controller.rulesChanged();
                    }
                    quiet_.start();
                });
    }
    void later() { quiet_.start(); }

private:
    void watchProfiles() {
        if (!watcher_.directories().contains(profiles_) && QFileInfo(profiles_).isDir()) {
            watcher_.addPath(profiles_);
        }
    }

    QString folder_, profiles_, rules_;
    QFileSystemWatcher watcher_;
    QTimer quiet_;
    QDateTime rulesStamp_;
};

}  // namespace

void SettingsController::watchDataFolder() {
    if (outsideWatch_ != nullptr || live_.dataFolder.empty()) return;
    outsideWatch_ = new OutsideWatch(*this, live_.dataFolder);
}

SettingsController::DataFileBytes SettingsController::readDataFiles() const {
    return {readAll(live_.keymapPath()), readAll(live_.macroFilePath())};
}

void SettingsController::noteDataFiles() {
    known_ = readDataFiles();
    syncedLive_ = keymapBytes(live_.image, live_.records);
}

void SettingsController::takeSettings(const device::DeviceImage& image,
                                      const keys::KeyRecordTable& records,
                                      const std::optional<Error>& historyWhy) {
    live_.image = image;
    live_.records = records;
    clearHistory(historyWhy ? *historyWhy
                            : makeError(TR_TEXT("Controller", "Settings were applied from outside this window: the undo history was cleared.")));
    keys::fillLayoutVks(live_.records);
    assignmentsKnown_ = true;
    keys::refreshModifiedMarks(live_.liveKeys());
}

void SettingsController::checkOutsideChanges() {
    // The window's own exchange with the keyboard (a tessaronctl call included) and a question
    // already open go first; a writer holding the folder is let finish.
    if (theirs_) return;  // resolveOutsideChange looks again
    auto* watch = static_cast<OutsideWatch*>(outsideWatch_);
    const auto later = [watch] {
        if (watch != nullptr) watch->later();
    };
    if (busy_ > 0 || arrivalsPending_ > 0 || editorsOpen_ > 0) return later();
    auto lock = DataFolderLock::acquire(live_.dataFolder, DataFolderLock::Wait::Try);
    if (!lock) return later();
    DataFileBytes now = readDataFiles();
    const bool keymapNew = now.keymap != known_.keymap &&
                           static_cast<std::size_t>(now.keymap.size()) == keys::kKeymapFileSize;
    const bool macrosNew = now.macros != known_.macros &&
                           static_cast<std::size_t>(now.macros.size()) == macros::kTableSize;
    if (!keymapNew && !macrosNew) return;
    if (keymapNew) {
        const QByteArray mine = keymapBytes(live_.image, live_.records);
        // Edits the file never had would be lost: both sides stay until the user chooses.
        if (mine != syncedLive_ && mine != now.keymap) {
            const OutsideConflict conflict = differences(mine, now.keymap);
            theirs_ = std::move(now);
            emit outsideConflict(conflict);
            return;
        }
    }
    takeTheirs(now);
}

Status SettingsController::unsavedWouldBeLost(const std::filesystem::path& settings) const {
    if (settings != live_.keymapPath()) {
        // A profile replaces keymap.bin too: every unsaved change would go.
        if (!isDirty()) return {};
        return makeError(TR_TEXT("Controller", "The Tessaron window holds changes not yet saved to the keyboard, which loading a profile would replace: nothing was loaded. Save or cancel them in the window, then try again."));
    }
    // Edits keymap.bin holds travel with it; only those it lacks would be lost.
    const QByteArray mine = keymapBytes(live_.image, live_.records);
    const QByteArray file = readAll(settings);
    if (mine == syncedLive_ || mine == file ||
        static_cast<std::size_t>(file.size()) != keys::kKeymapFileSize) {
        return {};
    }
    const OutsideConflict differ = differences(mine, file);
    const std::string keys = std::to_string(differ.keysDiffering);
    Error what;
    if (differ.keysDiffering > 0 && differ.settingsDiffer) {
        what = makeError(TR_TEXT("Controller", "%1 keys and other settings such as the lighting"), keys);
    } else if (differ.keysDiffering > 0) {
        what = makeError(TR_TEXT("Controller", "%1 keys"), keys);
    } else {
        what = makeError(TR_TEXT("Controller", "settings such as the lighting"));
    }
    return makeError(TR_TEXT("Controller", "The Tessaron window holds unsaved changes that %1 lacks (%2), which applying the file would replace: nothing was sent. Choose in the window which settings to keep (it asks when the file was changed), or save or cancel its changes, then try again."),
                     settings.string(), what);
}

void SettingsController::takeTheirs(const DataFileBytes& theirs) {
    const bool macrosNew = theirs.macros != known_.macros &&
                           static_cast<std::size_t>(theirs.macros.size()) == macros::kTableSize;
    const bool keymapNew = theirs.keymap != known_.keymap &&
                           static_cast<std::size_t>(theirs.keymap.size()) == keys::kKeymapFileSize;
    if (macrosNew) {
        macros::MacroTable table;
        table.assignPrefix(asSpan(theirs.macros));
        live_.committedMacros = std::move(table);
    }
    if (keymapNew) {
        const auto bytes = asSpan(theirs.keymap);
        auto image = std::make_unique<device::DeviceImage>();
        auto records = std::make_unique<keys::KeyRecordTable>();
        std::memcpy(image->data(), bytes.data(), image->size());
        const auto table = keys::asWritableBytes(*records);
        std::memcpy(table.data(), bytes.data() + image->size(), table.size());
        takeSettings(*image, *records);
    } else if (macrosNew) {
        // The keyboard's macro slots follow the table.
        macros::packMacroSlots(live_.committedMacros, live_.image);
    }
    known_ = theirs;
    syncedLive_ = keymapBytes(live_.image, live_.records);
    emit settingsReloaded(false);
    emit outsideChangeTaken();
}

Result<std::filesystem::path> SettingsController::resolveOutsideChange(bool takeTheirs) {
    if (!theirs_) {
        return makeError(TR_TEXT("Controller", "No change made by another program is waiting."));
    }
    const DataFileBytes theirs = std::move(*theirs_);
    theirs_.reset();
    const auto keymap = live_.keymapPath();
    std::filesystem::path kept;
    if (takeTheirs) {
        kept = besideName(keymap, "mine");
        if (auto s = keys::writeKeymap(kept, live_.image, live_.records); !s) return s.error();
        this->takeTheirs(theirs);
    } else {
        kept = besideName(keymap, "theirs");
        if (auto s = writeFileAtomically(kept, asSpan(theirs.keymap)); !s) return s.error();
        // Their macros come all the same: the macro manager keeps no unsaved edits.
        const bool macrosNew = theirs.macros != known_.macros &&
                               static_cast<std::size_t>(theirs.macros.size()) == macros::kTableSize;
        if (macrosNew) {
            live_.committedMacros.assignPrefix(asSpan(theirs.macros));
            macros::packMacroSlots(live_.committedMacros, live_.image);
        }
        if (const Status written = writeDataFiles(live_.image, live_.records, macrosNew);
            !written) {
            // Theirs stays in the file and in the kept copy; mine stays in the window.
            known_ = theirs;
            emit errorOccurred(written.error());
        }
        emit settingsReloaded(false);
    }
    // The folder may have changed again while the user chose.
    if (auto* watch = static_cast<OutsideWatch*>(outsideWatch_)) watch->later();
    return kept;
}

}  // namespace tessaron::app
