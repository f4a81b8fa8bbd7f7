#include "keys/functions.h"

#include <array>

namespace tessaron::keys {
namespace {

constexpr std::array<KeyFunction, kFunctionCount> kFunctions{{
    {"Search", "搜索", {0x00, 0xE3, 0x09, 0x00}},
    {"Run", "运行", {0x00, 0xE3, 0x15, 0x00}},
    {"Media Player", "多媒体播放器", {0x03, 0x00, 0x83, 0x01}},
    {"Prev", "上一曲", {0x03, 0x00, 0xB6, 0x00}},
    {"Next", "下一曲", {0x03, 0x00, 0xB5, 0x00}},
    {"Play/Pause", "播放/暂停", {0x03, 0x00, 0xCD, 0x00}},
    {"Stop", "停止", {0x03, 0x00, 0xB7, 0x00}},
    {"Vol+", "音量+", {0x03, 0x00, 0xE9, 0x00}},
    {"Vol-", "音量-", {0x03, 0x00, 0xEA, 0x00}},
    {"Mute", "静音", {0x03, 0x00, 0xE2, 0x00}},
    {"New", "新建", {0x00, 0xE0, 0x11, 0x00}},
    {"Cut", "剪切", {0x00, 0xE0, 0x1B, 0x00}},
    {"Copy", "复制", {0x00, 0xE0, 0x06, 0x00}},
    {"Paste", "粘贴", {0x00, 0xE0, 0x19, 0x00}},
    {"Save", "保存", {0x00, 0xE0, 0x16, 0x00}},
    {"Print", "打印", {0x00, 0xE0, 0x13, 0x00}},
    {"Select All", "全选", {0x00, 0xE0, 0x04, 0x00}},
    {"Max", "最大化", {0x00, 0xE2, 0x2C, 0x1B}},
    {"Min", "最小化", {0x00, 0xE2, 0x2C, 0x11}},
    {"Computer", "我的电脑", {0x03, 0x00, 0x94, 0x01}},
    {"Task Management", "任务管理器", {0x00, 0xE0, 0xE2, 0x4C}},
    {"Homepage", "浏览器-主页", {0x03, 0x00, 0x23, 0x02}},
    {"Close", "关闭窗口", {0x00, 0xE2, 0x3D, 0x00}},
}};

}  // namespace

std::span<const KeyFunction, kFunctionCount> functionTable() {
    return kFunctions;
}

std::optional<std::size_t> findFunctionByName(std::string_view name, Language lang) {
    for (std::size_t i = 0; i < kFunctionCount; ++i) {
        if (kFunctions[i].name(lang) == name) return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> findFunctionByCell(const KeyCell& c) {
    for (std::size_t i = 0; i < kFunctionCount; ++i) {
        if (kFunctions[i].cell == c) return i;
    }
    return std::nullopt;
}

}  // namespace tessaron::keys
