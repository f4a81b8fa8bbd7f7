// tessaronctl doctor: why the keyboard cannot be used by this user, and the commands that fix
// it. It only looks, so it runs without root.

#include <iostream>

#include "cli/cli_support.h"
#include "cli/command.h"
#include "core/data_folder.h"
#include "device/hid/permission_doctor.h"

namespace tessaron::cli {
namespace {

int runDoctor(Context& ctx) {
    if (!argsAllowed(ctx, {}, 0)) return usageError(ctx, "doctor");
    auto session = openSession(ctx, Use::Look);
    if (!session) return failWith(ctx, session.error());
    const auto facts = device::hid::gatherFacts(*session->transport, runningExecutableFolder());
    const auto diagnosis = device::hid::diagnose(facts);
    std::cout << device::hid::formatDiagnosis(diagnosis, languageOf(ctx));
    // Scripts can test the status: 0 only when the keyboard can be used.
    return diagnosis.verdict == device::hid::Verdict::Ready ? 0 : 1;
}

const Registrar doctor({"doctor", "doctor",
                        TR_TEXT("Tessaronctl", "Tell whether this user can use the keyboard, and how to fix it if not."),
                        runDoctor});

}  // namespace
}  // namespace tessaron::cli
