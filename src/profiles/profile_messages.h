#pragma once
// The texts the profiles panel shows, in both interface languages.

#include "core/result.h"

namespace tessaron::profiles::messages {

inline Error caption() {
    return makeError("Profile", "配置管理");
}
// The caption of the rename failure: the application's title.
inline Error applicationTitle() {
    return makeError("VantorOrvik机械键盘", "VantorOrvik机械键盘");
}

inline Error onlySix() {
    return makeError("Only Create Six Profile mostly\n", "最多可以存储6个配置\n");
}
inline Error selectToCopy() {
    return makeError("Please select a profile to copy\n", "请选择一个配置拷贝");
}
inline Error selectToSave() {
    return makeError("Please select a profile to Save\n", "请选择一个配置存储");
}
inline Error selectToOpen() {
    return makeError("Please select a profile to Open\n", "请选择一个配置打开");
}
inline Error keepOne() {
    return makeError("Please keep a profile\n", "请至少保留一个配置文件");
}
inline Error selectToDelete() {
    return makeError("Please select a profile to delete\n", "请选择一个配置删除");
}
inline Error confirmDelete() {
    return makeError("Delete current profile ?", "删除当前配置文件吗");
}
inline Error renameFailed() {
    return makeError("Fail", "Fail");
}

inline Error badName() {
    return makeError(
        "A profile name cannot be empty or contain \"/\", \"\\\", \"..\" or control characters.",
        "配置名称不能为空，也不能包含 \"/\"、\"\\\"、\"..\" 或控制字符。");
}
inline Error nameTooLong() {
    return makeError("This profile name is too long for the profile folder.",
                     "此配置名称太长，无法存入配置文件夹。");
}
inline Error nameTaken() {
    return makeError("A profile with this name already exists.", "已存在同名的配置。");
}
inline Error holdsNoSettings() {
    return makeError(
        "This file holds no keyboard settings (a new profile is empty until something is saved "
        "into it); nothing was loaded.",
        "此文件中没有键盘设置（新建的配置在保存设置之前是空的）；未加载任何内容。");
}
inline Error deleteFailed() {
    return makeError("The profile file could not be deleted.", "无法删除此配置文件。");
}

}  // namespace tessaron::profiles::messages
