#pragma once
// The settings controller: the one owner of the live configuration's changes and of the keyboard.
// It holds the device session, is the only code that writes keymap.bin and MacroDefine.bin and
// talks to the keyboard, and tells through signals what changed. Windows paint what it holds and
// ask it for every change; edits go through edit() so they can be recorded and marked unsaved.
// Each change made in the window is one step of an undo history holding only what it touched;
// what came from elsewhere (a reset, a keyboard with other settings, tessaronctl) clears it.
//
// Every exchange with the keyboard runs on the session's worker; results come back on this
// object's thread, where the signals are emitted.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QUndoStack>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/controller/device_session.h"
#include "app/controller/settings_history.h"
#include "app/shell/live_config.h"
#include "core/result.h"
#include "device/firmware.h"
#include "keys/host_action.h"
#include "keys/key_layout.h"

namespace tessaron::app {

// keymap.bin changed by another program while the window holds edits the file lacks: what
// differs between the window's settings (mine) and the file's (theirs).
struct OutsideConflict {
    int keysDiffering = 0;        // keys whose assignment or program differs
    bool settingsDiffer = false;  // lighting, speed, report rate and the like
};

class SettingsController final : public QObject {
    Q_OBJECT

public:
    // live outlives the controller; session may be null (no keyboard can ever be reached);
    // launcher may be null (host-action keys are then not carried out).
    SettingsController(LiveConfig& live, std::unique_ptr<DeviceSession> session,
                       keys::Launcher* launcher, QObject* parent = nullptr);
    ~SettingsController() override;
    SettingsController(const SettingsController&) = delete;
    SettingsController& operator=(const SettingsController&) = delete;

    // ---- What it holds. The pages take live() by reference (see Pages) and hand it back;
    // everything else reads it and changes it through edit().
    [[nodiscard]] const LiveConfig& settings() const { return live_; }
    [[nodiscard]] LiveConfig& live() { return live_; }
    [[nodiscard]] DeviceSession* session() const { return session_.get(); }
    [[nodiscard]] bool isConnected() const { return session_ && session_->isConnected(); }
    [[nodiscard]] bool isBusy() const { return busy_ > 0; }
    // A plug-in not yet read (settling, or being read).
    [[nodiscard]] bool arrivalPending() const { return arrivalsPending_ > 0; }
    // Settings or key programs differ from what the keyboard holds.
    [[nodiscard]] bool isDirty() const;
    // A key page, the macro manager or the profiles panel is open: what it edits must not change
    // under it.
    [[nodiscard]] bool editorOpen() const { return editorsOpen_ > 0; }
    [[nodiscard]] const std::optional<device::FirmwareVersion>& firmware() const {
        return firmware_;
    }

    // ---- Start.
    // Loads MacroDefine.bin and keymap.bin (each made when missing) and takes the committed
    // copies; tells when the data folder takes no file.
    void loadFiles();
    // Follows plugging and reads the keyboard.
    void connectKeyboard();

    // ---- Changes.
    // The one entry point for a change of the live settings made in memory: one undo step named
    // name. Adjacent edits with the same non-zero mergeKey are one step (a slider drag).
    void edit(const std::function<void(LiveConfig&)>& change, Error name = {}, int mergeKey = 0);
    // The key page's edit of one key: before the page opens, and after its OK.
    Status beginKeyEdit(keys::KeyIndex key);
    void finishKeyEdit();
    // Before the macro manager opens; then, after its OK, it replaced live().committedMacros:
    // macrosEdited packs the slots and keeps both files.
    void beginMacroEdit();
    void macrosEdited();
    // Around the profiles panel, which changes the live settings itself: a profile loaded there
    // is one step.
    void beginProfiles();
    void profilesClosed();
    // The key page or the macro manager was cancelled: nothing to record.
    void cancelEdit() { stepOpen_ = false; }
    // Around a key page, the macro manager or the profiles panel.
    void openEditor();
    void closeEditor();

    // ---- Undo. Refused while the keyboard is busy (a Save in flight would overwrite it) and
    // while a page edits (its result is measured against where it began).
    void undo();
    void redo();
    [[nodiscard]] bool canUndo() const { return history_.canUndo() && !isBusy() && !stepOpen_; }
    [[nodiscard]] bool canRedo() const { return history_.canRedo() && !isBusy() && !stepOpen_; }
    // The names of the steps undo and redo would take, in both languages.
    [[nodiscard]] std::optional<Error> undoName() const;
    [[nodiscard]] std::optional<Error> redoName() const;
    // Tells when it changes (canUndoChanged, undoTextChanged, cleanChanged, ...).
    [[nodiscard]] const QUndoStack& history() const { return history_; }
    // The history no longer leads to the live settings (e.g. a firmware update): forgets it and
    // tells why with historyCleared.
    void clearHistory(const Error& why);
    // Re-reads what the data files and the live settings hold after something else changed them
    // (a profile applied): the marks, keymap.bin, and with fromKeyboard the lighting the
    // keyboard's Fn keys may have changed.
    void refresh(bool fromKeyboard);

    // ---- The keyboard.
    // Sends the unsaved changes; they are committed once the keyboard took them. While a
    // plug-in is pending it follows that read.
    void save();
    // Back to the committed settings (unsaved changes dropped) and keymap.bin written.
    void revert();
    // The factory reset, then a fresh read. Refused (errorOccurred) without a keyboard.
    void factoryReset();
    // A fresh read of the keyboard (when it is there): it becomes the committed state, the
    // unsaved changes stay over it.
    void reloadFromKeyboard();
    // Ends the work: plugging is no longer followed; with keepCommitted keymap.bin gets what
    // the keyboard holds (unsaved changes never reach the file).
    void finish(bool keepCommitted);

    // ---- For the desktop service (settings_controller_remote.cpp). Each queues on the session's
    // worker after what is queued already, answers through done and never asks the user anything.
    // A keyboard just plugged in counts once it has been read.
    [[nodiscard]] bool keyboardReady() const { return isConnected() && !arrivalPending(); }
    // Reads the keyboard again; its settings become the saved state, unsaved edits stay over it.
    void remoteRead(std::function<void(Result<device::DeviceImage>)> done);
    // Sends what differs from the keyboard, as Save does.
    void remoteSave(std::function<void(Result<device::WriteOutcome>)> done);
    // Takes a settings file laid out as keymap.bin (keymap.bin itself, or a profile) and
    // MacroDefine.bin as they are now, then sends them as Save does.
    // historyWhy: what the cleared undo history is told with (default: settings from outside).
    void remoteApply(const std::filesystem::path& settings,
                     std::function<void(Result<device::WriteOutcome>)> done,
                     std::optional<Error> historyWhy = std::nullopt);
    void remoteFactoryReset(std::function<void(Result<device::DeviceImage>)> done);
    // Applies the profile's file as remoteApply does; once the keyboard took it, name is the
    // loaded profile. fromTray: the user chose it in the icon menu, which the cleared undo
    // history says.
    void remoteLoadProfile(const std::filesystem::path& file, const std::string& name,
                           std::function<void(Result<device::WriteOutcome>)> done,
                           bool fromTray = false);
    // Why applying settings (a file laid out as keymap.bin) would drop changes the window
    // holds, or nothing. A caller on the bus cannot be asked, so the service refuses such a call
    // (the tray asks the user instead): for keymap.bin, edits the file lacks count (the watcher
    // asks about the file itself); for a profile, which replaces keymap.bin, any unsaved change.
    [[nodiscard]] Status unsavedWouldBeLost(const std::filesystem::path& settings) const;
    // The profile last loaded and sent by name (the tray menu, the desktop service); empty
    // before any.
    [[nodiscard]] const std::string& loadedProfile() const { return loadedProfile_; }

    // ---- What other programs change in the data folder (settings_controller_outside.cpp).
    // Follows the data folder: keymap.bin and MacroDefine.bin written by another program are
    // taken in (outsideChangeTaken); where that would overwrite edits the file lacks,
    // outsideConflict asks and the change waits for resolveOutsideChange. Profiles and rules
    // changed are told. The controller's own writes are told apart by their content.
    void watchDataFolder();
    // Looks at the data files now (the watcher calls it once they have been quiet a moment).
    void checkOutsideChanges();
    [[nodiscard]] bool outsideChangePending() const { return theirs_.has_value(); }
    // Ends the waiting conflict. The side not taken is kept beside keymap.bin (returned) as
    // "keymap.bin.mine-DATE" or "keymap.bin.theirs-DATE", a file the profiles panel loads. When
    // that file cannot be written nothing changes and the error says why.
    Result<std::filesystem::path> resolveOutsideChange(bool takeTheirs);

    // ---- For automatic switching: `image` and `records` (a profile laid over what the keyboard
    // holds) become the settings and keymap.bin, and what differs is sent, as Save does. Refused
    // while there are unsaved changes or an editor is open: nothing of the user's is dropped.
    // Once sent, profile (empty: none) is the loaded profile.
    void switchTo(const device::DeviceImage& image, const keys::KeyRecordTable& records,
                  const std::string& profile,
                  std::function<void(Result<device::WriteOutcome>)> done);

signals:
    // The live settings changed (an edit, a read, a revert, a reset, a profile).
    void settingsChanged();
    // Settings changed that the window's sliders show; afterRead: after a fresh keyboard read.
    void settingsReloaded(bool afterRead);
    // The keyboard came, or is known to be absent (unplugged, or not found at start).
    void connectionChanged(bool connected);
    void busyChanged(bool busy);
    void errorOccurred(const Error& error);
    // The data folder takes no file: changes reach the keyboard but no file.
    void dataFolderUnwritable(const Error& error);
    // After a read: this many keys keymap.bin holds beyond the keyboard stay as unsaved changes.
    void keysBeyondKeyboard(int count);
    // The keyboard took the settings, but keymap.bin could not be written.
    void savedButNotKept(const Error& error);
    // The factory reset did not finish (the keyboard is read again when it is there).
    void factoryResetFailed(const Error& error);
    void factoryResetDone();
    // The undo history was forgotten because of what why says.
    void historyCleared(const Error& why);
    // An editor opened or closed (editorOpen()).
    void editorOpenChanged(bool open);
    // Settings another program wrote to the data files were taken in.
    void outsideChangeTaken();
    void outsideConflict(const OutsideConflict& conflict);
    void profilesChanged();
    void rulesChanged();

private:
    // Sends the live settings as Save does and answers through done; forLockHolder: the caller
    // holds the data folder's lock (see forLockHolder_).
    void sendLive(bool forLockHolder, std::function<void(Result<device::WriteOutcome>)> done);
    void beginBusy();
    void endBusy();
    // onceWhileFailing: a write nobody asked for reports only the first of a run of failures.
    bool writeKeymap(bool onceWhileFailing = false);
    // Every write of the data files holds the data folder's lock, as tessaronctl's commands do;
    // with the macros, both files are committed together or neither.
    Status writeDataFiles(const device::DeviceImage& image, const keys::KeyRecordTable& records,
                          bool withMacros = false);
    void takeKeyboardRead(const device::DeviceImage& read);
    // What a factory reset left on the keyboard becomes the saved state and keymap.bin.
    void takeFactorySettings(const device::DeviceImage& image, bool onceWhileFailing);
    void fetchLighting();
    // The keys and settings of a file laid out as keymap.bin become the live ones.
    void takeSettings(const device::DeviceImage& image, const keys::KeyRecordTable& records,
                      const std::optional<Error>& historyWhy = std::nullopt);
    // What the data files hold now; the last the controller wrote or took is known_.
    struct DataFileBytes {
        QByteArray keymap, macros;
    };
    [[nodiscard]] DataFileBytes readDataFiles() const;
    // After the controller's own write or take-in: the files as they are, and the live settings
    // they hold.
    void noteDataFiles();
    void takeTheirs(const DataFileBytes& theirs);
    void onPlugChanged(int change);
    void onKeyEvent(quint8 code);
    // Undo history: what the edit under way started from, and its step once done.
    void openStep();
    void closeStep(Error name, int mergeKey = 0);
    // Moves the live settings to one side of a step and keeps the files, as the edit did.
    void applyStep(const SettingsDiff& diff, bool forward);
    // Writes keymap.bin, and with macros MacroDefine.bin with it.
    void keepFiles(bool macros);
    // The committed settings changed under the history (a read, a reset): it no longer leads
    // to the live settings.
    void historyOutdated(const device::DeviceImage& committedBefore, const Error& why);

    LiveConfig& live_;
    std::unique_ptr<DeviceSession> session_;
    keys::Launcher* launcher_ = nullptr;
    int busy_ = 0;
    int editorsOpen_ = 0;
    int arrivalsPending_ = 0;        // plug-ins not yet read or cancelled
    bool saveAfterArrival_ = false;  // Save asked for while an arrival was pending
    // The key cells are someone's choice (read from keymap.bin or the keyboard), not the blank
    // image of a keymap.bin just made.
    bool assignmentsKnown_ = false;
    bool keymapWriteFailing_ = false;  // the last write of keymap.bin failed and was told
    std::optional<device::FirmwareVersion> firmware_;
    bool finished_ = false;
    // A caller on the bus (tessaronctl) holds the data folder's lock while it waits for the
    // answer: the writes made for it need not, and could not, take it.
    bool forLockHolder_ = false;
    std::string loadedProfile_;
    DataFileBytes known_;
    QByteArray syncedLive_;  // the live settings, laid out as keymap.bin, when known_ was noted
    std::optional<DataFileBytes> theirs_;  // an outside change waiting for the user's choice
    QObject* outsideWatch_ = nullptr;      // the watcher and its quiet timer
    QUndoStack history_;
    std::unique_ptr<SettingsSnapshot> before_ = std::make_unique<SettingsSnapshot>();
    bool stepOpen_ = false;
    // Several steps are walked at once (Cancel): the files are written once, at the end.
    bool walking_ = false;
    bool walkedMacros_ = false;
};

// An editor open for as long as this lives. The controller may end while a modal page runs.
class EditorOpen {
public:
    explicit EditorOpen(SettingsController& controller) : controller_(&controller) {
        controller_->openEditor();
    }
    ~EditorOpen() {
        if (controller_) controller_->closeEditor();
    }
    EditorOpen(const EditorOpen&) = delete;
    EditorOpen& operator=(const EditorOpen&) = delete;

private:
    QPointer<SettingsController> controller_;
};

}  // namespace tessaron::app
