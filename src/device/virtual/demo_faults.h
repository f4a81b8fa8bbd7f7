#pragma once
// Faults for the demo keyboard, named in the environment variable TESSARON_DEMO_FAULTS, so that a
// program's handling of a misbehaving keyboard can be tried from outside it. A comma-separated
// list of:
//   drop-acks        no write step is ever acknowledged
//   drop-acks=N      the next N acknowledgements are lost
//   ack-delay=MS     each acknowledgement comes MS milliseconds late
//   garble-replies   reply frames come back altered
//   garble-pages     pages read from the keyboard come back altered
//   unplug-after=N   the keyboard is pulled out after N transfers on the command channel

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

#include "core/result.h"
#include "device/transport.h"
#include "device/virtual/virtual_keyboard.h"

namespace tessaron::device {

inline constexpr const char* kDemoFaultsVariable = "TESSARON_DEMO_FAULTS";
// "stepped": the demo keyboard and the link to it run on a time line of their own, so the
// keyboard's pacing takes no real time (the tests of tessaronctl ask for it).
inline constexpr const char* kDemoTimeVariable = "TESSARON_DEMO_TIME";

struct DemoFaults {
    FaultSwitches switches;
    std::optional<std::size_t> unplugAfter;
};

Result<DemoFaults> parseDemoFaults(std::string_view list);

// Sets the keyboard's fault switches and, for unplug-after, wraps the transport so that its
// command channels count transfers and pull the keyboard out when the count is reached.
std::unique_ptr<Transport> applyDemoFaults(const DemoFaults& faults,
                                           std::shared_ptr<VirtualKeyboard> keyboard,
                                           std::unique_ptr<Transport> transport);

}  // namespace tessaron::device
