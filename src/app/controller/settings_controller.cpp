#include "app/controller/settings_controller.h"

#include <QPointer>

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "app/controller/keyboard_merge.h"
#include "core/atomic_file.h"
#include "core/data_folder.h"
#include "device/errors.h"
#include "device/hotplug.h"
#include "keys/assignment.h"
#include "keys/key_description.h"
#include "keys/keymap_file.h"
#include "keys/lighting.h"
#include "macros/macro_file.h"
#include "macros/slot_packing.h"
#include "core/text.h"

namespace tessaron::app {

namespace {

Error keyboardChangedBeneath() {
    return makeError(TR_TEXT("Controller", "The keyboard holds other settings than before: the undo history was cleared."));
}

}  // namespace

SettingsController::SettingsController(LiveConfig& live, std::unique_ptr<DeviceSession> session,
                                       keys::Launcher* launcher, QObject* parent)
    : QObject(parent), live_(live), session_(std::move(session)), launcher_(launcher) {
    live_.diyMode = false;
    live_.marks.fill(0);
    if (session_) {
        connect(session_.get(), &DeviceSession::plugChanged, this,
                &SettingsController::onPlugChanged);
        // The listener's thread emits; the host action runs here.
        connect(session_.get(), &DeviceSession::keyEvent, this, &SettingsController::onKeyEvent,
                Qt::QueuedConnection);
    }
}

SettingsController::~SettingsController() = default;

bool SettingsController::isDirty() const {
    return live_.image != live_.committedImage ||
           !std::ranges::equal(keys::asBytes(live_.records), keys::asBytes(live_.committedRecords));
}

void SettingsController::beginBusy() {
    if (busy_++ == 0) emit busyChanged(true);
}

void SettingsController::endBusy() {
    if (busy_ > 0 && --busy_ == 0) emit busyChanged(false);
}

// ---- Start.

void SettingsController::loadFiles() {
    // The macro table: a missing file is created empty; an unreadable one leaves it empty.
    std::optional<Error> macroNotice;
    if (auto loaded = macros::loadMacroFile(live_.macroFilePath())) {
        live_.committedMacros = std::move(loaded->table);
        macroNotice = loaded->notice;
    }
    // A file Tessaron could not use was kept aside: say which, why and where.
    if (macroNotice) emit errorOccurred(*macroNotice);
    if (!live_.dataFolder.empty()) {
        // As much as keymap.bin takes, so a nearly full disk is found as well as a locked folder.
        const auto probe = live_.dataFolder / ".tessaron-write-check";
        const std::vector<std::uint8_t> bytes(keys::kKeymapFileSize);
        const std::span<const std::uint8_t> blocks[] = {bytes};
        const Status written = writeFileAtomically(probe, blocks, Durability::Cache);
        std::error_code ignored;
        std::filesystem::remove(probe, ignored);
        if (!written) {
            keymapWriteFailing_ = true;  // told here, not again by every refresh
            emit dataFolderUnwritable(written.error());
        }
    }
    // Key records from keymap.bin (created when missing), then the committed copies.
    live_.records = keys::KeyRecordTable{};
    if (auto loaded = keys::loadKeymap(live_.keymapPath(), live_.image, live_.records); !loaded) {
        // A file that could not be made is covered by the data folder's notice.
        if (!keymapWriteFailing_) emit errorOccurred(loaded.error());
    } else {
        assignmentsKnown_ = *loaded == keys::KeymapLoad::Read;
        if (loaded->notice) emit errorOccurred(*loaded->notice);
    }
    keys::fillLayoutVks(live_.records);
    live_.commit();
    noteDataFiles();
    emit settingsReloaded(false);
}

void SettingsController::connectKeyboard() {
    if (!session_) return;
    if (auto s = session_->startHotplug(); !s) emit errorOccurred(s.error());
    beginBusy();
    session_->startup(live_.committedImage,
                      [this, alive = QPointer<SettingsController>(this)](StartupOutcome out) {
                          if (!alive) return;
                          endBusy();
                          if (!out.image) {
                              // No keyboard: what keymap.bin holds is shown, and it is told.
                              emit connectionChanged(session_->isConnected());
                              return;
                          }
                          emit connectionChanged(true);
                          takeKeyboardRead(*out.image);
                          firmware_ = out.firmware;
                          refresh(true);
                      });
}

// ---- Changes.

void SettingsController::edit(const std::function<void(LiveConfig&)>& change, Error name,
                              int mergeKey) {
    openStep();
    change(live_);
    closeStep(std::move(name), mergeKey);
    emit settingsChanged();
}

void SettingsController::openEditor() {
    if (editorsOpen_++ == 0) emit editorOpenChanged(true);
}

void SettingsController::closeEditor() {
    if (editorsOpen_ > 0 && --editorsOpen_ == 0) emit editorOpenChanged(false);
}

Status SettingsController::beginKeyEdit(keys::KeyIndex key) {
    openStep();
    auto begun = keys::beginKeyEdit(live_.pending, key, live_.liveKeys(), live_.keymapPath());
    if (!begun) {
        stepOpen_ = false;
        return begun.error();
    }
    if (!std::ranges::equal(keys::asBytes(before_->records), keys::asBytes(live_.records))) {
        // keymap.bin was changed beside the window (tessaronctl assign): the page edits that.
        clearHistory(makeError(TR_TEXT("Controller", "The keys were changed outside this window: the undo history was cleared.")));
        openStep();
    }
    return {};
}

void SettingsController::finishKeyEdit() {
    keys::ApplyContext context;
    context.language = live_.language;
    context.repackMacroSlots = [this](device::DeviceImage& image) {
        macros::packMacroSlots(live_.committedMacros, image);
    };
    if (auto s = keys::finishKeyEdit(live_.pending, live_.liveKeys(), context, live_.keymapPath());
        !s) {
        emit errorOccurred(s.error());
    } else {
        noteDataFiles();
    }
    const keys::KeyIndex key = live_.pending.selectedKey;
    if (key < keys::kLayoutKeyCount) {
        const auto macroName = [this](std::uint8_t n) -> std::string {
            if (n >= live_.committedMacros.countInUse()) return {};
            return macros::utf16ToUtf8(live_.committedMacros[n].name());
        };
        const auto name = [&](Language lang) {
            return keys::describeKeyChange(key, live_.image, live_.records, lang, macroName);
        };
        closeStep(composed(name));
    } else {
        closeStep({});
    }
    emit settingsChanged();
}

void SettingsController::beginMacroEdit() {
    openStep();
}

void SettingsController::macrosEdited() {
    macros::packMacroSlots(live_.committedMacros, live_.image);
    keepFiles(true);
    closeStep(makeError(TR_TEXT("Controller", "Edit macros")));
    emit settingsChanged();
}

void SettingsController::beginProfiles() {
    openStep();
}

void SettingsController::profilesClosed() {
    closeStep(makeError(TR_TEXT("Controller", "Load profile")));
}

void SettingsController::keepFiles(bool macros) {
    // The keys and the macros they play change together or not at all.
    const Status written = writeDataFiles(live_.image, live_.records, macros);
    keymapWriteFailing_ = !written;
    if (!written) emit errorOccurred(written.error());
}

// ---- Undo.

void SettingsController::openStep() {
    before_->take(live_);
    stepOpen_ = true;
}

void SettingsController::closeStep(Error name, int mergeKey) {
    if (!std::exchange(stepOpen_, false)) {
        // Changed without a start to compare with: no step can lead back from here.
        clearHistory(makeError(TR_TEXT("Controller", "Settings were changed outside this window: the undo history was cleared.")));
        return;
    }
    SettingsDiff diff = SettingsDiff::between(*before_, live_);
    if (diff.empty()) return;
    if (name.english.empty()) name = makeError(TR_TEXT("Controller", "Change settings"));
    history_.push(new SettingsStep(std::move(diff), std::move(name), live_.language, mergeKey,
                                   [this](const SettingsDiff& d, bool forward) {
                                       applyStep(d, forward);
                                   }));
}

void SettingsController::applyStep(const SettingsDiff& diff, bool forward) {
    diff.applyTo(live_, forward);
    // A step back to a keymap effect leaves DIY mode: its key clicks would light nothing.
    if (!keys::lighting::isDiyEffect(live_.image[device::image::kEffect])) live_.diyMode = false;
    keys::refreshModifiedMarks(live_.liveKeys());
    if (walking_) {
        walkedMacros_ = walkedMacros_ || !diff.macros.empty();
        return;
    }
    keepFiles(!diff.macros.empty());
    emit settingsReloaded(false);
    emit settingsChanged();
}

void SettingsController::undo() {
    if (canUndo()) history_.undo();
}

void SettingsController::redo() {
    if (canRedo()) history_.redo();
}

std::optional<Error> SettingsController::undoName() const {
    if (!history_.canUndo()) return std::nullopt;
    const auto* step = dynamic_cast<const SettingsStep*>(history_.command(history_.index() - 1));
    if (step == nullptr) return std::nullopt;
    return step->name();
}

std::optional<Error> SettingsController::redoName() const {
    if (!history_.canRedo()) return std::nullopt;
    const auto* step = dynamic_cast<const SettingsStep*>(history_.command(history_.index()));
    if (step == nullptr) return std::nullopt;
    return step->name();
}

void SettingsController::clearHistory(const Error& why) {
    const bool had = history_.count() > 0;
    history_.clear();
    if (had) emit historyCleared(why);
}

void SettingsController::historyOutdated(const device::DeviceImage& committedBefore,
                                         const Error& why) {
    if (committedBefore != live_.committedImage) clearHistory(why);
}

void SettingsController::refresh(bool fromKeyboard) {
    keys::refreshModifiedMarks(live_.liveKeys());
    if (fromKeyboard) fetchLighting();
    writeKeymap(true);
    emit settingsReloaded(fromKeyboard);
}

Status SettingsController::writeDataFiles(const device::DeviceImage& image,
                                          const keys::KeyRecordTable& records, bool withMacros) {
    // Bounded: a tessaronctl command may hold the folder through a keyboard transfer.
    constexpr std::chrono::milliseconds kLockBound{1000};
    std::optional<DataFolderLock> lock;
    if (!forLockHolder_) {
        Clock& clock = session_ ? session_->clock() : SystemClock::instance();
        auto taken =
            DataFolderLock::acquireWithin(live_.keymapPath().parent_path(), kLockBound, clock);
        if (!taken) return taken.error();
        lock.emplace(std::move(*taken));
    }
    Status written;
    if (withMacros) {
        FileBatch batch;
        written = macros::stageMacroFile(batch, live_.macroFilePath(), live_.committedMacros);
        if (written) written = keys::stageKeymap(batch, live_.keymapPath(), image, records);
        if (written) written = batch.commit();
    } else {
        written = keys::writeKeymap(live_.keymapPath(), image, records);
    }
    // Still under the lock: what the files hold now is the controller's own.
    if (written) noteDataFiles();
    return written;
}

bool SettingsController::writeKeymap(bool onceWhileFailing) {
    // The action itself still happens; the user learns that the file did not follow.
    const Status written = writeDataFiles(live_.image, live_.records);
    const bool told = keymapWriteFailing_;
    keymapWriteFailing_ = !written;
    if (!written && !(onceWhileFailing && told)) emit errorOccurred(written.error());
    return static_cast<bool>(written);
}

// ---- The keyboard.

void SettingsController::takeKeyboardRead(const device::DeviceImage& read) {
    const auto committedBefore = std::make_unique<device::DeviceImage>(live_.committedImage);
    const std::size_t beyond = mergeKeyboardRead(live_, read, assignmentsKnown_);
    historyOutdated(*committedBefore, keyboardChangedBeneath());
    assignmentsKnown_ = true;
    if (beyond != 0) emit keysBeyondKeyboard(static_cast<int>(beyond));
}

void SettingsController::fetchLighting() {
    if (!isConnected()) return;
    beginBusy();
    session_->fetchLighting(
        live_.committedImage,
        [this, alive = QPointer<SettingsController>(this)](Result<device::DeviceImage> read) {
            if (!alive) return;
            endBusy();
            if (!read) return;  // a keyboard gone meanwhile is reported by the plug notice
            // Only the lighting block: whatever the user changed meanwhile stays.
            const auto committedBefore =
                std::make_unique<device::DeviceImage>(live_.committedImage);
            mergeLightingRead(live_, *read);
            historyOutdated(*committedBefore, keyboardChangedBeneath());
            writeKeymap(true);
            emit settingsReloaded(false);
        });
}

void SettingsController::save() {
    if (!session_) {
        emit errorOccurred(device::errors::noKeyboard());
        return;
    }
    if (arrivalsPending_ > 0) {
        // The keyboard was just plugged in: Save follows its read, against what it holds.
        saveAfterArrival_ = true;
        return;
    }
    beginBusy();
    session_->save(live_.image, live_.committedImage,
                   [this, alive = QPointer<SettingsController>(this)](SaveOutcome out) {
                       if (!alive) return;
                       endBusy();
                       if (!out.result) {
                           // The unsaved changes stay; the next Save tries them again.
                           emit errorOccurred(out.result.error());
                           return;
                       }
                       live_.image = out.image;
                       live_.committedImage = out.committed;
                       live_.committedRecords = live_.records;
                       history_.setClean();
                       const Status written = writeDataFiles(live_.image, live_.records);
                       keymapWriteFailing_ = !written;
                       // The keyboard has them, but the keys' programs live only in the file.
                       if (!written) emit savedButNotKept(written.error());
                       emit settingsChanged();
                   });
}

void SettingsController::revert() {
    // Back along the history to where window and keyboard agreed, so redo still leads forward.
    walkedMacros_ = false;
    if (history_.cleanIndex() >= 0) {
        walking_ = true;
        history_.setIndex(history_.cleanIndex());
        walking_ = false;
    }
    if (isDirty()) {
        // Changes from before the history (keys beyond the keyboard) or a lost clean point.
        live_.restoreCommitted();
        history_.clear();
    }
    keys::recomputeModifiedMarks(live_.liveKeys());
    if (walkedMacros_) {
        keepFiles(true);
    } else {
        writeKeymap();
    }
    emit settingsReloaded(false);
}

void SettingsController::factoryReset() {
    if (!isConnected()) {
        // Nothing could be read back: every setting stays as it is.
        emit errorOccurred(device::errors::noKeyboard());
        return;
    }
    beginBusy();
    session_->factoryReset(
        live_.image,
        [this, alive = QPointer<SettingsController>(this)](Result<device::DeviceImage> out) {
            if (!alive) return;
            endBusy();
            if (!out) {
                // The keyboard may have reset before the failure: its state is unknown until it
                // is read again, and what it lacks then stays as unsaved changes.
                emit factoryResetFailed(out.error());
                reloadFromKeyboard();
                return;
            }
            takeFactorySettings(*out, false);
        });
}

void SettingsController::takeFactorySettings(const device::DeviceImage& image,
                                             bool onceWhileFailing) {
    live_.diyMode = false;
    live_.image = image;
    live_.marks.fill(0);
    keys::enableAllKeys(live_.image);
    keys::resetKeyRecords(live_.records);
    live_.commit();
    clearHistory(makeError(TR_TEXT("Controller", "The keyboard was reset to its factory settings: the undo history was cleared.")));
    writeKeymap(onceWhileFailing);
    emit factoryResetDone();
}

void SettingsController::reloadFromKeyboard() {
    if (!isConnected()) return;  // the arrival reads it
    beginBusy();
    session_->readKeyboard(
        live_.committedImage,
        [this, alive = QPointer<SettingsController>(this)](Result<device::DeviceImage> read) {
            if (!alive) return;
            endBusy();
            if (!read) return;  // a keyboard gone meanwhile is read at its arrival
            takeKeyboardRead(*read);
            refresh(false);
        });
}

void SettingsController::finish(bool keepCommitted) {
    if (finished_) return;
    finished_ = true;
    if (!keepCommitted) return;
    if (auto s = writeDataFiles(live_.committedImage, live_.committedRecords); !s) {
        emit errorOccurred(s.error());
    }
}

void SettingsController::onPlugChanged(int change) {
    if (!session_ || finished_) return;
    if (change == static_cast<int>(device::PlugChange::Removed)) {
        session_->removal({});
        emit connectionChanged(false);
        return;
    }
    emit connectionChanged(true);
    // Only the last of a burst of plug-ins is read; the settings stay usable while it settles.
    ++arrivalsPending_;
    QPointer<SettingsController> alive(this);
    session_->arrival(
        live_.committedImage,
        [this, alive] {
            if (alive) beginBusy();
        },
        [this, alive](std::optional<device::ArrivalResult> out) {
            if (!alive) return;
            --arrivalsPending_;
            if (out) {
                endBusy();
                if (out->commandOpened && out->image) {
                    if (out->firmware && firmware_ &&
                        out->firmware->payload != firmware_->payload) {
                        clearHistory(makeError(TR_TEXT("Controller", "The keyboard's firmware changed: the undo history was cleared.")));
                    }
                    takeKeyboardRead(*out->image);
                    if (out->firmware) firmware_ = out->firmware;
                    refresh(true);
                }
                if (out->eventOpened) refresh(true);
            }
            if (arrivalsPending_ == 0 && std::exchange(saveAfterArrival_, false)) save();
        });
}

void SettingsController::onKeyEvent(quint8 code) {
    if (launcher_ != nullptr) (void)keys::runHostAction(live_.records, code, *launcher_);
}

}  // namespace tessaron::app
