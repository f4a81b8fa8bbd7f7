#include "device/errors.h"

namespace tessaron::device::errors {

Error noKeyboard() {
    return makeError("No gaming keyboard is connected; check the USB cable.",
                     "未连接游戏键盘；请检查 USB 连接。");
}

Error noKeyboardFound() {
#ifdef __linux__
    return makeError(
        "No gaming keyboard was found; check the USB cable and that the udev rule "
        "60-tessaron.rules is installed in /etc/udev/rules.d.",
        "未检测到游戏键盘；请检查 USB 连接，并确认 udev 规则 60-tessaron.rules 已安装到 "
        "/etc/udev/rules.d。");
#else
    return noKeyboard();
#endif
}

Error noAccess(const std::string& path) {
    return makeError(
        "You have no permission to use the keyboard at " + path +
            "; install the udev rule 60-tessaron.rules and plug the keyboard in "
            "again.",
        "没有权限访问键盘 " + path + "；请安装 udev 规则 60-tessaron.rules 后重新插入键盘。");
}

Error notAcknowledged(const std::string& stepEnglish, const std::string& stepChinese) {
    return makeError("The keyboard did not acknowledge the step \"" + stepEnglish +
                         "\"; the settings were not saved completely.",
                     "键盘没有确认步骤“" + stepChinese + "”；设置未能完整保存。");
}

Error transferFailed(const std::string& what) {
    return makeError("The transfer to or from the keyboard failed (" + what + ").",
                     "与键盘的数据传输失败（" + what + "）。");
}

Error shortTransfer(const std::string& what, std::size_t got, std::size_t expected) {
    const std::string counts = std::to_string(got) + "/" + std::to_string(expected);
    return makeError(
        "The transfer to or from the keyboard was cut short (" + what + ", " + counts + " bytes).",
        "与键盘的数据传输不完整（" + what + "，" + counts + " 字节）。");
}

Error channelClosed() {
    return makeError("The keyboard is not connected.", "键盘未连接。");
}

Error keyMapEmpty() {
    return makeError(
        "The key assignments are empty and would leave every key without a function; nothing "
        "was sent to the keyboard.",
        "按键设置为空，发送后所有按键都将失效；未向键盘发送任何数据。");
}

Error eventChannelMissing() {
    return makeError(
        "The keyboard's event interface is not open, so it cannot confirm a save; plug the "
        "keyboard in again.",
        "键盘的事件接口未打开，无法确认保存；请重新插入键盘。");
}

}  // namespace tessaron::device::errors
