// tessaronctl --demo press KEY: presses a key of the virtual keyboard that a running
// `tessaron --demo` holds, so a host action can be tried without a keyboard.
// tessaronctl --demo unplug | plug: pulls that keyboard's cable and puts it back.

#include <iostream>
#include <string>

#include "device/virtual/demo_press_client.h"
#include "cli/command.h"
#include "core/data_folder.h"
#include "core/settings.h"
#include "keys/key_layout.h"
#include "keys/key_lookup.h"

namespace tessaron::cli {
namespace {

constexpr const char* kUsage = "press KEY";

int runPress(Context& ctx) {
    const Language lang = resolveLanguage(ctx.options.language, settingsFile());
    if (ctx.args.size() != 1) return failUsage(std::string("usage: tessaronctl --demo ") + kUsage);
    if (!ctx.options.demo) {
        return failUsage(pick<std::string>(
            lang, "press works with --demo only: it presses a key of the virtual keyboard.",
            "press 只能与 --demo 一起使用：它按下的是虚拟键盘上的键。"));
    }
    const auto key = keys::findKey(ctx.args[0]);
    if (!key || *key >= keys::kRealKeyCount) {
        return failUsage(
            pick(lang, std::string("no key \"") + ctx.args[0] + "\" (see tessaronctl keys).",
                 std::string("没有按键 \"") + ctx.args[0] + "\"（参见 tessaronctl keys）。"));
    }
    auto folder = chooseDataFolder(DataFolderInputs::fromProcess(ctx.options.dataDir));
    if (!folder) return fail(folder.error().text(lang));
    auto reply = device::press::sendPress(*folder / device::press::kPressSocketName, *key);
    if (!reply) return fail(reply.error().text(lang));

    const std::string name(keys::legend(*key));
    using Kind = device::press::Reply::Kind;
    switch (reply->kind) {
        case Kind::Reported:
            std::cout << pick(lang,
                              name + ": reported key code " + std::to_string(reply->code) +
                                  " to tessaron.",
                              name + "：已向 tessaron 报告键码 " + std::to_string(reply->code) +
                                  "。")
                      << "\n";
            return 0;
        case Kind::Silent:
            std::cout << pick(lang,
                              name +
                                  ": the keyboard holds no host action for this key, so it "
                                  "reported nothing (assign one and Save first).",
                              name + "：键盘上此键没有主机动作，因此没有报告（请先分配并保存）。")
                      << "\n";
            return 0;
        case Kind::Unplugged:
            std::cout << pick(lang,
                              name +
                                  ": the keyboard is unplugged, so it reported nothing "
                                  "(tessaronctl --demo plug puts it back).",
                              name +
                                  "：键盘已拔出，因此没有报告（用 tessaronctl --demo plug "
                                  "重新插入）。")
                      << "\n";
            return 0;
        case Kind::Plugged:
        case Kind::Error:
            break;
    }
    return fail(reply->text);
}

int runPlug(Context& ctx, bool plugIn) {
    const Language lang = resolveLanguage(ctx.options.language, settingsFile());
    const char* verb = plugIn ? "plug" : "unplug";
    if (!ctx.args.empty()) return failUsage(std::string("usage: tessaronctl --demo ") + verb);
    if (!ctx.options.demo) {
        return failUsage(pick<std::string>(
            lang, std::string(verb) + " works with --demo only: it acts on the virtual keyboard.",
            std::string(verb) + " 只能与 --demo 一起使用：它作用于虚拟键盘。"));
    }
    auto folder = chooseDataFolder(DataFolderInputs::fromProcess(ctx.options.dataDir));
    if (!folder) return fail(folder.error().text(lang));
    auto reply = device::press::sendPlug(*folder / device::press::kPressSocketName, plugIn);
    if (!reply) return fail(reply.error().text(lang));
    using Kind = device::press::Reply::Kind;
    if (reply->kind == Kind::Unplugged && !plugIn) {
        std::cout << pick<std::string>(lang, "The virtual keyboard is unplugged.",
                                       "虚拟键盘已拔出。")
                  << "\n";
        return 0;
    }
    if (reply->kind == Kind::Plugged && plugIn) {
        std::cout << pick<std::string>(lang,
                                       "The virtual keyboard is plugged in; the window reads it "
                                       "after 2 seconds.",
                                       "虚拟键盘已插入；窗口会在 2 秒后读取它。")
                  << "\n";
        return 0;
    }
    return fail(reply->kind == Kind::Error ? reply->text
                                           : pick<std::string>(lang,
                                                               "The running tessaron --demo "
                                                               "gave an unexpected answer.",
                                                               "正在运行的 tessaron --demo "
                                                               "给出了意外的回答。"));
}

const Registrar pressCommand({"press", kUsage,
                              "with --demo: press a key of the virtual keyboard of a running "
                              "tessaron --demo (host actions)",
                              runPress});
const Registrar unplugCommand({"unplug", "unplug",
                               "with --demo: unplug the virtual keyboard of a running "
                               "tessaron --demo",
                               [](Context& ctx) { return runPlug(ctx, false); }});
const Registrar plugCommand({"plug", "plug",
                             "with --demo: plug the virtual keyboard of a running tessaron "
                             "--demo in again",
                             [](Context& ctx) { return runPlug(ctx, true); }});

}  // namespace
}  // namespace tessaron::cli
