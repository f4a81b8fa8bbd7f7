// The controller on its own, without a window: what later callers (the D-Bus service, undo, the
// profile switcher) stand on.

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include "controller_rig.h"
#include "keys/keymap_file.h"
#include "support/qt_wait.h"

namespace tessaron::app {
namespace {

namespace img = device::image;
using tessaron::testing::waitFor;

std::uint8_t otherThan(std::uint8_t value) {
    return value == 7 ? 9 : 7;
}

TEST(SettingsController, EditsAreUnsavedUntilSavedAndRevertDropsThem) {
    ControllerRig rig;
    ASSERT_TRUE(rig.controller->isConnected());
    ASSERT_FALSE(rig.controller->isDirty());
    QSignalSpy changed(rig.controller.get(), &SettingsController::settingsChanged);

    const std::uint8_t saved = otherThan(rig.live->image[img::kBrightness]);
    rig.controller->edit([&](LiveConfig& live) { live.image[img::kBrightness] = saved; });
    EXPECT_EQ(changed.size(), 1);
    EXPECT_TRUE(rig.controller->isDirty());
    rig.controller->save();
    ASSERT_TRUE(rig.idle());
    EXPECT_FALSE(rig.controller->isDirty());
    EXPECT_EQ(rig.keyboard->settings()[img::kBrightness], saved);
    EXPECT_EQ(rig.onDisk()[img::kBrightness], saved);

    // An edit reverted never reaches the keyboard, and keymap.bin is back to what it holds.
    rig.controller->edit(
        [&](LiveConfig& live) { live.image[img::kBrightness] = otherThan(saved); });
    rig.controller->revert();
    EXPECT_FALSE(rig.controller->isDirty());
    EXPECT_EQ(rig.live->image[img::kBrightness], saved);
    EXPECT_EQ(rig.onDisk()[img::kBrightness], saved);
    EXPECT_EQ(rig.keyboard->settings()[img::kBrightness], saved);
}

TEST(SettingsController, AReloadTakesTheKeyboardsStateAndKeepsUnsavedEdits) {
    ControllerRig rig;
    // The keyboard's own Fn keys changed the brightness; the user changed the speed, unsaved.
    auto settings = rig.keyboard->settings();
    const std::uint8_t onKeyboard = otherThan(settings[img::kBrightness]);
    settings[img::kBrightness] = onKeyboard;
    rig.keyboard->setSettings(settings);
    const std::uint8_t edited = otherThan(rig.live->image[img::kSpeed]);
    rig.controller->edit([&](LiveConfig& live) { live.image[img::kSpeed] = edited; });

    rig.controller->reloadFromKeyboard();
    ASSERT_TRUE(rig.idle());
    EXPECT_EQ(rig.live->committedImage[img::kBrightness], onKeyboard);
    EXPECT_EQ(rig.live->image[img::kBrightness], onKeyboard);
    EXPECT_EQ(rig.live->image[img::kSpeed], edited);
    EXPECT_TRUE(rig.controller->isDirty());
}

TEST(SettingsController, WithoutAKeyboardSaveAndResetAreRefusedAndNothingChanges) {
    ControllerRig rig(false);
    QSignalSpy errors(rig.controller.get(), &SettingsController::errorOccurred);
    QSignalSpy busy(rig.controller.get(), &SettingsController::busyChanged);
    rig.controller->edit([](LiveConfig& live) { live.image[img::kBrightness] ^= 1; });
    rig.controller->save();
    rig.controller->factoryReset();
    EXPECT_EQ(errors.size(), 2);
    EXPECT_TRUE(busy.empty());
    EXPECT_TRUE(rig.controller->isDirty());  // the edit stays for a later Save
}

// Another program's writes to keymap.bin, as tessaronctl makes them.
struct TheirWrite {
    explicit TheirWrite(const LiveConfig& live) : image(live.image), records(live.records) {}
    void flipRecord(std::size_t key) {
        keys::asWritableBytes(records)[key * keys::kKeyRecordSize + 2] ^= 0x5A;
    }
    void to(const std::filesystem::path& file) const {
        ASSERT_TRUE(keys::writeKeymap(file, image, records));
    }
    device::DeviceImage image;
    keys::KeyRecordTable records;
};

bool sameRecords(const keys::KeyRecordTable& a, const keys::KeyRecordTable& b) {
    return std::ranges::equal(keys::asBytes(a), keys::asBytes(b));
}

TEST(SettingsControllerOutside, TheirChangesAreTakenInAndTheControllersOwnWritesAreNot) {
    ControllerRig rig;
    rig.controller->watchDataFolder();
    QSignalSpy taken(rig.controller.get(), &SettingsController::outsideChangeTaken);
    QSignalSpy conflicts(rig.controller.get(), &SettingsController::outsideConflict);

    // The controller's own writes, after an edit it kept in the file, are no outside change.
    rig.controller->edit([](LiveConfig& live) { live.image[img::kSpeed] ^= 1; });
    rig.controller->revert();
    rig.controller->checkOutsideChanges();
    EXPECT_TRUE(taken.empty());

    // Nothing unsaved: their file becomes what the window shows, found by the watcher itself.
    TheirWrite theirs(*rig.live);
    theirs.image[img::kBrightness] = otherThan(theirs.image[img::kBrightness]);
    theirs.flipRecord(5);
    theirs.to(rig.live->keymapPath());
    ASSERT_TRUE(waitFor([&] { return !taken.empty(); }, 5000));
    EXPECT_TRUE(conflicts.empty());
    EXPECT_EQ(rig.live->image[img::kBrightness], theirs.image[img::kBrightness]);
    EXPECT_TRUE(sameRecords(rig.live->records, theirs.records));
    // The keyboard does not have it yet.
    EXPECT_TRUE(rig.controller->isDirty());
}

TEST(SettingsControllerOutside, UnsavedEditsAreNeverOverwrittenSilently) {
    ControllerRig rig;
    QSignalSpy conflicts(rig.controller.get(), &SettingsController::outsideConflict);
    const std::uint8_t mine = otherThan(rig.live->image[img::kSpeed]);
    TheirWrite theirs(*rig.live);
    rig.controller->edit([&](LiveConfig& live) { live.image[img::kSpeed] = mine; });
    theirs.flipRecord(7);
    theirs.to(rig.live->keymapPath());

    rig.controller->checkOutsideChanges();
    ASSERT_EQ(conflicts.size(), 1);
    const auto conflict = conflicts[0][0].value<OutsideConflict>();
    EXPECT_EQ(conflict.keysDiffering, 1);
    EXPECT_TRUE(conflict.settingsDiffer);
    EXPECT_EQ(rig.live->image[img::kSpeed], mine);  // nothing taken before the answer

    // Keep mine: keymap.bin gets the window's settings, theirs is kept beside it.
    auto kept = rig.controller->resolveOutsideChange(false);
    ASSERT_TRUE(kept);
    EXPECT_EQ(rig.onDisk()[img::kSpeed], mine);
    device::DeviceImage keptImage{};
    keys::KeyRecordTable keptRecords{};
    ASSERT_TRUE(keys::loadKeymap(*kept, keptImage, keptRecords));
    EXPECT_TRUE(sameRecords(keptRecords, theirs.records));
    EXPECT_FALSE(rig.controller->outsideChangePending());
    rig.controller->checkOutsideChanges();  // the window's own write asks nothing
    EXPECT_EQ(conflicts.size(), 1);

    // Take theirs, over a new edit: the window shows them, and its settings are kept beside
    // the file.
    rig.controller->edit([](LiveConfig& live) {
        keys::asWritableBytes(live.records)[9 * keys::kKeyRecordSize + 2] ^= 0x33;
    });
    theirs.to(rig.live->keymapPath());
    rig.controller->checkOutsideChanges();
    ASSERT_EQ(conflicts.size(), 2);
    kept = rig.controller->resolveOutsideChange(true);
    ASSERT_TRUE(kept);
    EXPECT_EQ(rig.live->image[img::kSpeed], theirs.image[img::kSpeed]);
    EXPECT_TRUE(sameRecords(rig.live->records, theirs.records));
    ASSERT_TRUE(keys::loadKeymap(*kept, keptImage, keptRecords));
    EXPECT_EQ(keptImage[img::kSpeed], mine);
    EXPECT_FALSE(rig.controller->resolveOutsideChange(true));  // nothing waits any more
}

TEST(SettingsControllerOutside, ApplyingFilesOverEditsTheyLackIsRefusedWithWhatDiffers) {
    ControllerRig rig;
    const auto keymap = rig.live->keymapPath();
    const auto profile = rig.live->dataFolder / "profile.bin";
    TheirWrite theirs(*rig.live);
    theirs.flipRecord(7);
    theirs.to(keymap);
    theirs.to(profile);
    // Nothing unsaved: their file may replace what the window shows.
    EXPECT_TRUE(rig.controller->unsavedWouldBeLost(keymap));
    EXPECT_TRUE(rig.controller->unsavedWouldBeLost(profile));

    rig.controller->edit([](LiveConfig& live) { live.image[img::kSpeed] ^= 1; });
    const auto refused = rig.controller->unsavedWouldBeLost(keymap);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().english.find("(1 keys and other settings"), std::string::npos)
        << refused.error().english;
    EXPECT_FALSE(rig.controller->unsavedWouldBeLost(profile));

    // Edits keymap.bin holds travel with it: applying it drops nothing, a profile still would.
    rig.controller->revert();
    rig.controller->edit([](LiveConfig& live) { live.image[img::kSpeed] ^= 1; });
    ASSERT_TRUE(keys::writeKeymap(keymap, rig.live->image, rig.live->records));
    EXPECT_TRUE(rig.controller->unsavedWouldBeLost(keymap));
    EXPECT_FALSE(rig.controller->unsavedWouldBeLost(profile));
}

}  // namespace
}  // namespace tessaron::app
