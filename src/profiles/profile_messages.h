#pragma once
// The texts the profiles panel shows, in both interface languages.

#include "core/result.h"

namespace tessaron::profiles::messages {

inline Error caption() {
    return makeError(TR_TEXT("Profiles", "Profile"));
}
// The caption of the rename failure: the application's title.
inline Error applicationTitle() {
    return makeError(TR_TEXT("Profiles", "VantorOrvik机械键盘"));
}

inline Error onlySix() {
    return makeError(TR_TEXT("Profiles", "Only Create Six Profile mostly\n"));
}
inline Error selectToCopy() {
    return makeError(TR_TEXT("Profiles", "Please select a profile to copy\n"));
}
inline Error selectToSave() {
    return makeError(TR_TEXT("Profiles", "Please select a profile to Save\n"));
}
inline Error selectToOpen() {
    return makeError(TR_TEXT("Profiles", "Please select a profile to Open\n"));
}
inline Error keepOne() {
    return makeError(TR_TEXT("Profiles", "Please keep a profile\n"));
}
inline Error selectToDelete() {
    return makeError(TR_TEXT("Profiles", "Please select a profile to delete\n"));
}
inline Error confirmDelete() {
    return makeError(TR_TEXT("Profiles", "Delete current profile ?"));
}
inline Error renameFailed() {
    return makeError(TR_TEXT("Profiles", "Fail"));
}

inline Error badName() {
    return makeError(TR_TEXT("Profiles", "A profile name cannot be empty or contain \"/\", \"\\\", \"..\" or control characters."));
}
inline Error nameTooLong() {
    return makeError(TR_TEXT("Profiles", "This profile name is too long for the profile folder."));
}
inline Error nameTaken() {
    return makeError(TR_TEXT("Profiles", "A profile with this name already exists."));
}
inline Error holdsNoSettings() {
    return makeError(TR_TEXT("Profiles", "This file holds no keyboard settings (a new profile is empty until something is saved into it); nothing was loaded."));
}
inline Error deleteFailed() {
    return makeError(TR_TEXT("Profiles", "The profile file could not be deleted."));
}

}  // namespace tessaron::profiles::messages
