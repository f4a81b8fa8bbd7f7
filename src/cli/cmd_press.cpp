// tessaronctl --demo press KEY: presses a key of the virtual keyboard that a running
// `tessaron --demo` holds, so a host action can be tried without a keyboard.
// tessaronctl --demo unplug | plug: pulls that keyboard's cable and puts it back.

#include <iostream>
#include <string>

#include "cli/cli_support.h"
#include "cli/command.h"
#include "core/data_folder.h"
#include "core/text.h"
#include "device/virtual/demo_press_client.h"
#include "keys/key_layout.h"
#include "keys/key_lookup.h"

namespace tessaron::cli {
namespace {

constexpr const char* kUsage = "press KEY";

Error demoUsage(const char* usage) {
    return makeError(TR_TEXT("Tessaronctl", "usage: tessaronctl --demo %1"), std::string(usage));
}

int runPress(Context& ctx) {
    const Language lang = languageOf(ctx);
    if (ctx.args.size() != 1) return refuseWith(ctx, demoUsage(kUsage));
    if (!ctx.options.demo) {
        return failUsage(translate(
            lang,
            TR_TEXT("Tessaronctl",
                    "press works with --demo only: it presses a key of the virtual keyboard.")));
    }
    const auto key = keys::findKey(ctx.args[0]);
    if (!key || *key >= keys::kRealKeyCount) {
        return failUsage(say(lang, TR_TEXT("Tessaronctl", "no key \"%1\" (see tessaronctl keys)."),
                             ctx.args[0]));
    }
    auto folder = chooseDataFolder(DataFolderInputs::fromProcess(ctx.options.dataDir));
    if (!folder) return fail(folder.error().text(lang));
    auto reply = device::press::sendPress(*folder / device::press::kPressSocketName, *key);
    if (!reply) return fail(reply.error().text(lang));

    const std::string name(keys::legend(*key));
    using Kind = device::press::Reply::Kind;
    switch (reply->kind) {
        case Kind::Reported:
            std::cout << say(lang, TR_TEXT("Tessaronctl", "%1: reported key code %2 to tessaron."),
                             name, reply->code)
                      << "\n";
            return 0;
        case Kind::Silent:
            std::cout << say(lang,
                             TR_TEXT("Tessaronctl",
                                     "%1: the keyboard holds no host action for this key, so "
                                     "it reported nothing (assign one and Save first)."),
                             name)
                      << "\n";
            return 0;
        case Kind::Unplugged:
            std::cout << say(lang,
                             TR_TEXT("Tessaronctl",
                                     "%1: the keyboard is unplugged, so it reported "
                                     "nothing (tessaronctl --demo plug puts it back)."),
                             name)
                      << "\n";
            return 0;
        case Kind::Plugged:
        case Kind::Error:
            break;
    }
    return fail(device::press::errorText(lang, reply->text));
}

int runPlug(Context& ctx, bool plugIn) {
    const Language lang = languageOf(ctx);
    const char* verb = plugIn ? "plug" : "unplug";
    if (!ctx.args.empty()) return refuseWith(ctx, demoUsage(verb));
    if (!ctx.options.demo) {
        return failUsage(say(
            lang,
            TR_TEXT("Tessaronctl", "%1 works with --demo only: it acts on the virtual keyboard."),
            std::string(verb)));
    }
    auto folder = chooseDataFolder(DataFolderInputs::fromProcess(ctx.options.dataDir));
    if (!folder) return fail(folder.error().text(lang));
    auto reply = device::press::sendPlug(*folder / device::press::kPressSocketName, plugIn);
    if (!reply) return fail(reply.error().text(lang));
    using Kind = device::press::Reply::Kind;
    if (reply->kind == Kind::Unplugged && !plugIn) {
        std::cout << translate(lang, TR_TEXT("Tessaronctl", "The virtual keyboard is unplugged."))
                  << "\n";
        return 0;
    }
    if (reply->kind == Kind::Plugged && plugIn) {
        std::cout
            << translate(
                   lang,
                   TR_TEXT(
                       "Tessaronctl",
                       "The virtual keyboard is plugged in; the window reads it after 2 seconds."))
            << "\n";
        return 0;
    }
    return fail(
        reply->kind == Kind::Error
            ? device::press::errorText(lang, reply->text)
            : translate(lang, TR_TEXT("Tessaronctl",
                                      "The running tessaron --demo gave an unexpected answer.")));
}

const Registrar pressCommand(
    {"press", kUsage,
     TR_TEXT("Tessaronctl",
             "with --demo: press a key of the virtual keyboard of a running "
             "tessaron --demo (host actions)"),
     runPress});
const Registrar unplugCommand({"unplug", "unplug",
                               TR_TEXT("Tessaronctl",
                                       "with --demo: unplug the virtual keyboard of a running "
                                       "tessaron --demo"),
                               [](Context& ctx) { return runPlug(ctx, false); }});
const Registrar plugCommand({"plug", "plug",
                             TR_TEXT("Tessaronctl",
                                     "with --demo: plug the virtual keyboard of a running tessaron "
                                     "--demo in again"),
                             [](Context& ctx) { return runPlug(ctx, true); }});

}  // namespace
}  // namespace tessaron::cli
