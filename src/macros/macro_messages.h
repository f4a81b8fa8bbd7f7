#pragma once
// The texts the macro manager shows, in both interface languages. The window owns the message
// boxes; the operations return these as their errors.

#include "core/result.h"

namespace tessaron::macros::messages {

// Captions: Start Recording's message uses the first, every other message the second.
inline Error recordCaption() {
    return makeError("Macro Manager", "宏管理器");
}
inline Error managerCaption() {
    return makeError("Macro Manager", "宏管理");
}

inline Error confirmDelete() {
    return makeError("Confirm to delete?", "确认删除吗？");
}
inline Error selectToRecord() {
    return makeError("Please select a Macro file to record \n", "请选择一个宏指令文件录制\n");
}
inline Error selectToDelete() {
    return makeError("Please select a Macro file to delete\n", "请选择一个宏指令文件删除\n");
}
inline Error editCurrentDelay() {
    return makeError("Please edit current delay\n", "请编辑当前延时\n");
}

inline Error macroFull() {
    return makeError("The macro is full: there is no room left for this event.",
                     "宏已满：没有空间容纳此事件。");
}
inline Error keyNotPlayable() {
    return makeError("This key cannot be played by the keyboard, so it is not recorded.",
                     "键盘无法回放此按键，因此不录制。");
}
inline Error emptyName() {
    return makeError("A macro needs a name; the empty name was not taken.",
                     "宏必须有名称，空名称未被采用。");
}
inline Error nameTooLong() {
    return makeError("A macro name can be at most 254 characters long.",
                     "宏名称最多只能有 254 个字符。");
}
inline Error noSuchLine() {
    return makeError("The selected line is not part of this macro.", "所选行不属于此宏。");
}
inline Error badLoopCount() {
    return makeError("The number of loops takes at most three digits.",
                     "循环次数最多只能输入三位数字。");
}
inline Error noMacroSelected() {
    return makeError("Please select a macro first.", "请先选择一个宏。");
}

}  // namespace tessaron::macros::messages
