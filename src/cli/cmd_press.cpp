// tessaronctl --demo press KEY: presses a key of the virtual keyboard that a running
// `tessaron --demo` holds, so a host action can be tried without a keyboard.

#include <iostream>
#include <string>

#include "app/key_page_press_client.h"
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
    if (ctx.args.size() != 1) return fail(std::string("usage: tessaronctl --demo ") + kUsage);
    if (!ctx.options.demo) {
        return fail(pick<std::string>(
            lang, "press works with --demo only: it presses a key of the virtual keyboard.",
            "press 只能与 --demo 一起使用：它按下的是虚拟键盘上的键。"));
    }
    const auto key = keys::findKey(ctx.args[0]);
    if (!key || *key >= keys::kRealKeyCount) {
        return fail(
            pick(lang, std::string("no key \"") + ctx.args[0] + "\" (see tessaronctl keys).",
                 std::string("没有按键 \"") + ctx.args[0] + "\"（参见 tessaronctl keys）。"));
    }
    auto folder = chooseDataFolder(DataFolderInputs::fromProcess(ctx.options.dataDir));
    if (!folder) return fail(folder.error().text(lang));
    auto reply = app::press::sendPress(*folder / app::press::kPressSocketName, *key);
    if (!reply) return fail(reply.error().text(lang));

    const std::string name(keys::legend(*key));
    using Kind = app::press::Reply::Kind;
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
        case Kind::Error:
            break;
    }
    return fail(reply->text);
}

const Registrar pressCommand({"press", kUsage,
                              "with --demo: press a key of the virtual keyboard of a running "
                              "tessaron --demo (host actions)",
                              runPress});

}  // namespace
}  // namespace tessaron::cli
