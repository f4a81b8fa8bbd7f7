#include "app/macro_manager/macro_manager_dlg_layout.h"

namespace tessaron::app::macromgr {

namespace {

Texts englishTexts() {
    Texts t;
    t.title = QStringLiteral("Macro Manager");
    t.macroHeading = QStringLiteral("Select Macro");
    t.eventHeading = QStringLiteral("Keystrobe Sequence");
    t.optionsHeading = QStringLiteral("Options");
    t.startRecording = QStringLiteral("Start Recording");
    t.stopRecording = QStringLiteral("Stop Recording");
    t.recordDelay[0] = QStringLiteral("Record Delay");
    t.recordDelay[1] = QStringLiteral("between");
    t.recordDelay[2] = QStringLiteral("keystrokes");
    t.loops = QStringLiteral("Number of Loops");
    t.newButton = QStringLiteral("New");
    t.deleteButton = QStringLiteral("Delete");
    t.ok = QStringLiteral("OK");
    t.cancel = QStringLiteral("Cancel");
    t.insertBefore = QStringLiteral("Insert Before");
    t.insertAfter = QStringLiteral("Insert After");
    t.insertMouseKey = QStringLiteral("Insert Mouse Key");
    t.left = QStringLiteral("Left");
    t.right = QStringLiteral("Right");
    t.middle = QStringLiteral("Middle");
    t.down = QStringLiteral("Down");
    t.up = QStringLiteral("Up");
    t.click = QStringLiteral("Click");
    t.insertDelay = QStringLiteral("Insert Delay");
    t.deleteEvent = QStringLiteral("Delete");
    t.recorded = QStringLiteral("Recording");
    t.inserted = QStringLiteral("Insert Key");
    t.renamed = QStringLiteral("Rename");
    t.delayChanged = QStringLiteral("Edit Delay");
    return t;
}

Texts chineseTexts() {
    Texts t;
    t.title = QStringLiteral("宏管理器");
    t.macroHeading = QStringLiteral("选择宏");
    t.eventHeading = QStringLiteral("按键系列");
    t.optionsHeading = QStringLiteral("录制选项");
    t.startRecording = QStringLiteral("开始录制");
    t.stopRecording = QStringLiteral("停止录制");
    t.recordDelay[0] = QStringLiteral("记录按键动作");
    t.recordDelay[1] = QStringLiteral("间的延迟");
    t.loops = QStringLiteral("循环次数");
    t.newButton = QStringLiteral("新建");
    t.deleteButton = QStringLiteral("删除");
    t.ok = QStringLiteral("确定");
    t.cancel = QStringLiteral("取消");
    t.insertBefore = QStringLiteral("在之前开始录入");
    t.insertAfter = QStringLiteral("在之后开始录入");
    t.insertMouseKey = QStringLiteral("插入鼠标按键");
    t.left = QStringLiteral("左键");
    t.right = QStringLiteral("右键");
    t.middle = QStringLiteral("中健");
    t.down = QStringLiteral("压下");
    t.up = QStringLiteral("释放");
    t.click = QStringLiteral("单击");
    t.insertDelay = QStringLiteral("插入延迟");
    t.deleteEvent = QStringLiteral("删除");
    t.recorded = QStringLiteral("录制");
    t.inserted = QStringLiteral("插入按键");
    t.renamed = QStringLiteral("重命名");
    t.delayChanged = QStringLiteral("编辑延迟");
    return t;
}

}  // namespace

const Texts& texts(Language lang) {
    static const Texts english = englishTexts();
    static const Texts chinese = chineseTexts();
    return pick(lang, english, chinese);
}

}  // namespace tessaron::app::macromgr
